#pragma once
#include <QtGlobal>
#include <array>

// The numbers that jobs, their workers and their windows exchange. Their values are fixed:
// stored settings hold the output format, and posted records and events carry the rest.
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

// TProcessInfo::Percent values that end a step (ErrorCode then holds the step's result);
// any other value is progress.
namespace status {
inline constexpr qint32 kNormalizeBegins = 999;
inline constexpr qint32 kExtractionEnded = 1000;
inline constexpr qint32 kMp3Ended = 2000;
inline constexpr qint32 kOggEnded = 3000;
inline constexpr qint32 kResampleEnded = 4000;
inline constexpr qint32 kWmaEnded = 5000;
inline constexpr qint32 kFlacEnded = 6000;
constexpr bool IsStatusValue(qint32 percent) {
  return percent == kNormalizeBegins || percent == kExtractionEnded || percent == kMp3Ended ||
         percent == kOggEnded || percent == kResampleEnded || percent == kWmaEnded ||
         percent == kFlacEnded;
}
}  // namespace status

// Event type numbers of the messages workers post to their windows (the user message base
// 1024 + 101, + 102).
inline constexpr int WM_RIP_FAILED = 1125;
inline constexpr int WM_JOB_PROGRESS = 1126;

// WM_RIP_FAILED reasons.
inline constexpr int kRipFailedAddressFormat = 1;
inline constexpr int kRipFailedReadToc = 2;

}  // namespace trackmill
