#pragma once
#include <QByteArray>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

#include "common/JobReports.h"

// Turns the console output of an external encoder into progress reports.
//
// The output arrives in chunks as the pipe delivers it. A chunk may hold several records and
// may end in the middle of one: the unfinished tail is kept and completed by the next chunk,
// so every line is examined whole. A lone CR, a lone LF and CR LF all end a line; terminal
// escape sequences and backspaces are left in the line (the fields are read by column).
//
// lame encode: a progress record like "   100/767    (13%)|    0:00/    0:00|..." after a CR,
// each followed by a bit-rate histogram block; the column of the percentage is learnt from the
// first record. lame decode: "Frame#     2/767    128 kbps ..." per frame; the percentage is
// done*100 div total and the times come from the elapsed time passed in. WMA encoder program:
// a line with "100%" is the final progress; a line with "ERROR" is a failure.
//
// Any input is safe: every field is read within its line. Not thread-safe; one per running
// encoder.
namespace trackmill {

enum class EncoderOutputKind { Mp3Encode, Mp3Decode, WmaEncode };

class TEncoderOutputParser {
 public:
  explicit TEncoderOutputParser(EncoderOutputKind kind);

  // The step the encoder's output is progress of.
  JobStep Step() const;
  // Forgets the learnt column and any unfinished line (call at every encoder start).
  void Reset();
  // Examines the complete lines of the chunk; elapsedMs is the time since the encoder
  // started. Returns the progress reports to post (percent 1..100).
  std::vector<StepProgress> Feed(const QByteArray& chunk, qint64 elapsedMs);
  // Examines the unfinished last line, if any (call once the encoder has ended).
  std::vector<StepProgress> Flush(qint64 elapsedMs);

  // The first WMA line containing "ERROR", untrimmed; nothing when none was seen.
  const std::optional<QString>& ErrorLine() const { return errorLine_; }
  // The last line that was not a progress record, trimmed and without control characters
  // (lame's reason when it fails).
  const QString& LastMessageLine() const { return lastMessageLine_; }
  // 1-based column where the progress number starts; 0 until learnt.
  int ProgressColumn() const { return progressColumn_; }

 private:
  void ExamineLine(const QString& line, qint64 elapsedMs,
                   std::vector<StepProgress>& records);
  std::optional<StepProgress> ParseEncodeLine(const QString& line);
  std::optional<StepProgress> ParseDecodeLine(const QString& line, qint64 elapsedMs);
  std::optional<StepProgress> ParseWmaLine(const QString& line, qint64 elapsedMs);

  EncoderOutputKind kind_;
  int progressColumn_ = 0;
  QByteArray pending_;  // bytes after the last line end of the previous chunks
  std::optional<QString> errorLine_;
  QString lastMessageLine_;
};

}  // namespace trackmill
