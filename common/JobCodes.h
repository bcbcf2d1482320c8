#pragma once
#include <QtGlobal>
#include <array>

// The numbers of what a job does and what ripped tracks become. Their values are fixed: stored
// settings hold the output format.
namespace trackmill {

// What a job does with its items.
namespace job_kind {
inline constexpr int kRipCd = 1;              // CD tracks, then the output format's encode
inline constexpr int kWavToMp3 = 2;
inline constexpr int kMp3ToWav = 3;
inline constexpr int kRecorderWavToMp3 = 4;   // the MP3 goes beside its source
inline constexpr int kWavToOgg = 5;
inline constexpr int kWavToWma = 6;
inline constexpr int kWavToFlac = 7;         // any sample rate
}  // namespace job_kind

// [CommonOptions] OutputFormat: what ripped CD tracks become.
namespace output_format {
inline constexpr qint32 kMp3 = 0;
inline constexpr qint32 kWav = 1;
inline constexpr qint32 kOgg = 2;
inline constexpr qint32 kWma = 3;
inline constexpr qint32 kFlac = 4;
// By format: the file extension without its dot, which is also the format's name.
inline constexpr std::array<const char*, 5> kExtensions{"mp3", "wav", "ogg", "wma", "flac"};
constexpr bool IsKnown(qint32 format) { return format >= kMp3 && format <= kFlac; }
}  // namespace output_format


}  // namespace trackmill
