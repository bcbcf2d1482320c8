#!/usr/bin/env bash
# Installs every Debian package Trackmill needs to build, test and run.
# Idempotent: does nothing (and prints nothing) when all are present.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config ccache
  qt6-base-dev qt6-base-dev-tools libgl-dev
  dbus-daemon  # dbus-run-session: the desktop notification's test on a private bus
  libgtest-dev libgmock-dev
  libcdio-dev libcdio-paranoia-dev libcdio-utils cd-paranoia libiso9660-dev
  libogg-dev libvorbis-dev
  libmpg123-dev
  libavformat-dev libavcodec-dev libavutil-dev libswresample-dev
  portaudio19-dev libasound2-dev libasound2-plugins pulseaudio pulseaudio-utils
  libcurl4-openssl-dev
  lame sox libsox-fmt-all ffmpeg vorbis-tools id3v2 libsndfile1-dev sndfile-tools strace
  libflac-dev flac whipper cuetools zlib1g-dev
  clang libclang-rt-14-dev
  python3
  libdiscid-dev libtag1-dev libebur128-dev python3-mutagen
  desktop-file-utils appstream librsvg2-bin dpkg-dev
  file  # cpack -G DEB (the README's install steps and the package test) needs it
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
