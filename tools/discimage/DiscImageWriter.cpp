#include "DiscImageWriter.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <memory>

namespace trackmill::discimage {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kFramesPerSector = kSectorBytes / 4;
constexpr int kSampleRate = 44100;

// 64-bit mix (splitmix64 finaliser): independent, reproducible values per position.
uint64_t Mix(uint64_t x) {
  x += 0x9e3779b97f4a7c15ULL;
  x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ULL;
  x = (x ^ (x >> 27)) * 0x94d049bb133111ebULL;
  return x ^ (x >> 31);
}

// One stretch of audio: a track body (part 0) or the pregap in front of it (part 1).
struct Segment {
  int track;  // 1-based
  int part;
  int64_t sectors;
};

void NoiseSector(const Segment& seg, int64_t sector, uint8_t* out) {
  const uint64_t base = (uint64_t(seg.track) << 48) ^ (uint64_t(seg.part) << 44) ^ uint64_t(sector);
  for (int i = 0; i < kSectorBytes; i += 8) {
    const uint64_t v = Mix(base * 1024 + uint64_t(i / 8));
    for (int b = 0; b < 8; ++b) out[i + b] = uint8_t(v >> (8 * b));
  }
}

// A pentatonic melody with soft plucked notes; pregaps are near-silence.
void MusicSector(const Segment& seg, int64_t sector, uint8_t* out) {
  static const int kScale[] = {0, 2, 4, 7, 9, 12, 14, 16};
  const double root = 220.0 * std::pow(2.0, (seg.track * 5 % 12) / 12.0);
  const int64_t noteFrames = kSampleRate / 4;  // quarter-second notes
  for (int f = 0; f < kFramesPerSector; ++f) {
    const int64_t frame = sector * kFramesPerSector + f;
    double value = 0;
    if (seg.part == 0) {
      const int64_t note = frame / noteFrames;
      const double t = double(frame % noteFrames) / kSampleRate;
      const int step = kScale[Mix(uint64_t(seg.track) * 977 + uint64_t(note)) % 8];
      const double freq = root * std::pow(2.0, step / 12.0);
      const double envelope = std::exp(-6.0 * t) * std::min(1.0, t * 200.0);
      const double bass = 0.35 * std::sin(2 * kPi * root / 2 * double(frame) / kSampleRate);
      value = envelope * (std::sin(2 * kPi * freq * t) + 0.3 * std::sin(4 * kPi * freq * t)) + bass;
      value *= 0.4;
    }
    const double pan = 0.15 * std::sin(2 * kPi * 0.25 * double(frame) / kSampleRate);
    const auto left = int16_t(std::lround(value * (1 - pan) * 20000));
    const auto right = int16_t(std::lround(value * (1 + pan) * 20000));
    uint8_t* p = out + f * 4;
    p[0] = uint8_t(left);
    p[1] = uint8_t(uint16_t(left) >> 8);
    p[2] = uint8_t(right);
    p[3] = uint8_t(uint16_t(right) >> 8);
  }
}

std::string Msf(int64_t sectors) {
  char text[40];
  std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld", (long long)(sectors / 4500),
                (long long)(sectors / 75 % 60), (long long)(sectors % 75));
  return text;
}

std::string BaseName(const std::string& path) {
  const auto slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

int64_t ParseSectors(const std::string& text) {
  if (text.empty()) return -1;
  size_t used = 0;
  long long value = 0;
  try {
    value = std::stoll(text, &used);
  } catch (...) {
    return -1;
  }
  if (value < 0) return -1;
  if (used == text.size()) return value;
  if (used + 1 == text.size() && text[used] == 's') return value * kSectorsPerSecond;
  return -1;
}

// UTF-8 to ISO-8859-1 for a quoted cue field: characters beyond it and quotes become "?".
std::string Latin1Field(const std::string& utf8) {
  std::string out;
  for (size_t i = 0; i < utf8.size();) {
    const auto byte = static_cast<unsigned char>(utf8[i]);
    const int length = byte < 0x80 ? 1 : (byte >> 5) == 6 ? 2 : (byte >> 4) == 14 ? 3 : 4;
    unsigned code = byte;
    if (length == 2 && i + 1 < utf8.size()) code = ((byte & 0x1Fu) << 6) | (utf8[i + 1] & 0x3Fu);
    out += code == '"' || (length > 2) || code > 0xFF ? '?' : static_cast<char>(code);
    i += static_cast<size_t>(length);
  }
  return out;
}

void WriteCdText(std::ostream& cue, const CdTextPlan& text, const char* indent) {
  if (!text.title.empty()) cue << indent << "TITLE \"" << Latin1Field(text.title) << "\"\r\n";
  if (!text.performer.empty()) cue << indent << "PERFORMER \"" << Latin1Field(text.performer) << "\"\r\n";
}

std::string WriteDiscImage(const DiscPlan& plan, const std::string& base,
                           const std::string& expectDir) {
  if (plan.tracks.empty() || plan.tracks.size() > 99) return "between 1 and 99 tracks needed";

  std::vector<Segment> segments;
  for (size_t i = 0; i < plan.tracks.size(); ++i) {
    const int track = int(i) + 1;
    if (plan.tracks[i].pregapSectors > 0) segments.push_back({track, 1, plan.tracks[i].pregapSectors});
    if (plan.tracks[i].sectors <= 0) return "every track needs at least one sector";
    segments.push_back({track, 0, plan.tracks[i].sectors});
  }

  std::ofstream cue(base + ".cue", std::ios::trunc);
  std::ofstream bin(base + ".bin", std::ios::binary | std::ios::trunc);
  if (!cue || !bin) return "cannot create " + base + ".cue/.bin";
  cue << "REM generated test disc\r\n";
  WriteCdText(cue, plan.text, "");
  cue << "FILE \"" << BaseName(base) << ".bin\" BINARY\r\n";

  // Expected extraction of track n: its body plus the pregap of track n + 1.
  std::unique_ptr<std::ofstream> expect;
  auto openExpect = [&](int track) -> bool {
    if (expectDir.empty()) return true;
    char name[32];
    std::snprintf(name, sizeof name, "/track%02d.pcm", track);
    expect = std::make_unique<std::ofstream>(expectDir + name, std::ios::binary | std::ios::trunc);
    return bool(*expect);
  };

  std::vector<uint8_t> sector(kSectorBytes);
  int64_t position = 0;
  for (const Segment& seg : segments) {
    if (seg.part == 1) {
      cue << "  TRACK " << (seg.track < 10 ? "0" : "") << seg.track << " AUDIO\r\n";
      WriteCdText(cue, plan.tracks[size_t(seg.track) - 1].text, "    ");
      cue << "    INDEX 00 " << Msf(position) << "\r\n";
    } else {
      if (plan.tracks[size_t(seg.track) - 1].pregapSectors == 0) {
        cue << "  TRACK " << (seg.track < 10 ? "0" : "") << seg.track << " AUDIO\r\n";
        WriteCdText(cue, plan.tracks[size_t(seg.track) - 1].text, "    ");
      }
      cue << "    INDEX 01 " << Msf(position) << "\r\n";
      if (!openExpect(seg.track)) return "cannot create the expected-audio files";
    }
    for (int64_t s = 0; s < seg.sectors; ++s, ++position) {
      if (plan.content == Content::kMusic)
        MusicSector(seg, s, sector.data());
      else
        NoiseSector(seg, s, sector.data());
      if (plan.binSectors < 0 || position < plan.binSectors)
        bin.write(reinterpret_cast<const char*>(sector.data()), kSectorBytes);
      const bool hidden = seg.part == 1 && seg.track == 1;
      if (expect && !hidden) expect->write(reinterpret_cast<const char*>(sector.data()), kSectorBytes);
    }
  }
  cue.flush();
  bin.flush();
  if (!cue || !bin || (expect && !*expect)) return "write error";
  return {};
}

}  // namespace trackmill::discimage
