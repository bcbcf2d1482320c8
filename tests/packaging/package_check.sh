#!/usr/bin/env bash
# Builds the Debian package from a finished build tree and checks what a user gets from it:
# the declared dependencies, the files that put Trackmill in the menu (valid for the
# desktop's own validators) and a program that runs.
# Usage: package_check.sh CPACK_COMMAND BUILD_DIR
set -euo pipefail
cpack=$1 build=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "package_check: $*" >&2; exit 1; }

"$cpack" -G DEB -B "$work" --config "$build/CPackConfig.cmake" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log" >&2; fail "cpack failed"; }
deb=$(echo "$work"/trackmill_*_*.deb)
[ -f "$deb" ] || fail "no trackmill_VERSION_ARCH.deb written"

depends=$(dpkg-deb -f "$deb" Depends)
for package in lame qt6-qpa-plugins libqt6core6 libqt6widgets6 libcdio19 libvorbisenc2 libmpg123-0 libcurl4; do
  grep -Eq "(^|, )$package( |,|$)" <<<"$depends" || fail "Depends lacks $package: $depends"
done

dpkg-deb -x "$deb" "$work/root"
root=$work/root/usr
for file in bin/trackmill bin/trackmill-wma-encoder share/applications/trackmill.desktop \
    share/metainfo/org.example.trackmill.metainfo.xml share/icons/hicolor/scalable/apps/trackmill.svg \
    share/icons/hicolor/256x256/apps/trackmill.png share/trackmill/CLan_English.ini \
    share/trackmill/CLan_German.ini share/trackmill/CLan_French.ini share/trackmill/manual/index.html; do
  [ -s "$root/$file" ] || fail "package lacks /usr/$file"
done

desktop-file-validate "$root/share/applications/trackmill.desktop" || fail "desktop entry is invalid"
grep -qx 'Exec=trackmill' "$root/share/applications/trackmill.desktop" || fail "desktop entry runs something else"
grep -qx 'Icon=trackmill' "$root/share/applications/trackmill.desktop" || fail "desktop entry shows another icon"
appstreamcli validate --no-net "$root/share/metainfo/org.example.trackmill.metainfo.xml" >"$work/as.log" 2>&1 ||
  { cat "$work/as.log" >&2; fail "AppStream metadata is invalid"; }
[ "$("$root/bin/trackmill" --version)" = "Trackmill 4.1" ] || fail "packaged trackmill does not run"
echo "package_check: $(basename "$deb") is complete"
