#include "jobs/EncoderOutputParser.h"

#include <QRegularExpression>
#include <cmath>

#include "common/TextForms.h"

namespace trackmill {
namespace {

// An unfinished line longer than this is no record we know; it is dropped rather than kept
// growing while a misbehaving program writes without line ends.
constexpr qsizetype kMaxPendingBytes = 64 * 1024;

// Characters [column, column + count) of a line, 1-based; shorter or empty past the end.
QString Field(const QString& line, int column, int count) {
  if (column < 1 || column > line.size()) return {};
  return line.mid(column - 1, count);
}

std::optional<int> ToInt(const QString& text) {
  bool ok = false;
  const int value = text.trimmed().toInt(&ok);
  return ok ? std::optional<int>(value) : std::nullopt;
}

qint64 RoundedSeconds(qint64 elapsedMs) { return std::llround(elapsedMs / 1000.0); }

}  // namespace

TEncoderOutputParser::TEncoderOutputParser(EncoderOutputKind kind) : kind_(kind) {}

void TEncoderOutputParser::Reset() {
  progressColumn_ = 0;
  pending_.clear();
  errorLine_.reset();
  lastMessageLine_.clear();
}

JobStep TEncoderOutputParser::Step() const {
  switch (kind_) {
    case EncoderOutputKind::Mp3Decode: return JobStep::DecodeMp3;
    case EncoderOutputKind::WmaEncode: return JobStep::EncodeWma;
    default: return JobStep::EncodeMp3;
  }
}

std::vector<StepProgress> TEncoderOutputParser::Feed(const QByteArray& chunk,
                                                                      qint64 elapsedMs) {
  std::vector<StepProgress> records;
  // The kept tail holds no line end, so only the new bytes are searched: rescanning it on
  // every chunk cost quadratic time on output without line ends that arrives a few bytes at
  // a time.
  qsizetype lineStart = 0;
  qsizetype i = pending_.size();
  pending_ += chunk;
  for (; i < pending_.size(); ++i) {
    const char c = pending_.at(i);
    if (c != '\r' && c != '\n') continue;
    ExamineLine(QString::fromUtf8(pending_.mid(lineStart, i - lineStart)), elapsedMs, records);
    if (c == '\r' && i + 1 < pending_.size() && pending_.at(i + 1) == '\n') ++i;
    lineStart = i + 1;
  }
  pending_.remove(0, lineStart);
  // A CR at the very end may be the first half of CR LF; the empty line it leaves is skipped.
  if (pending_.size() > kMaxPendingBytes) pending_.clear();
  return records;
}

std::vector<StepProgress> TEncoderOutputParser::Flush(qint64 elapsedMs) {
  std::vector<StepProgress> records;
  if (!pending_.isEmpty()) ExamineLine(QString::fromUtf8(pending_), elapsedMs, records);
  pending_.clear();
  return records;
}

void TEncoderOutputParser::ExamineLine(const QString& line, qint64 elapsedMs,
                                       std::vector<StepProgress>& records) {
  // After an error line the WMA encoder's output means nothing more.
  if (errorLine_ || line.trimmed().isEmpty()) return;
  std::optional<StepProgress> record;
  switch (kind_) {
    case EncoderOutputKind::Mp3Encode: record = ParseEncodeLine(line); break;
    case EncoderOutputKind::Mp3Decode: record = ParseDecodeLine(line, elapsedMs); break;
    case EncoderOutputKind::WmaEncode: record = ParseWmaLine(line, elapsedMs); break;
  }
  if (record && record->percent >= 1 && record->percent <= 100) {
    records.push_back(*record);
  } else if (!record) {
    static const QRegularExpression kEscape(QStringLiteral("\x1b\\[[0-9;]*[A-Za-z]"));
    QString bare = line;
    bare.remove(kEscape);
    QString text;
    for (QChar c : bare)
      if (c.unicode() >= 0x20) text += c;
    text = text.trimmed();
    if (!text.isEmpty()) lastMessageLine_ = text;
  }
}

std::optional<StepProgress> TEncoderOutputParser::ParseEncodeLine(const QString& line) {
  if (!line.contains('%')) return std::nullopt;
  if (progressColumn_ == 0) {
    // Only a real progress record, "(NN%)", teaches the column: the lines before it name
    // the files, and a file name may hold a "%" of its own.
    static const QRegularExpression kRecord(QStringLiteral("\\(\\s*\\d{1,3}%\\)"));
    const auto match = kRecord.match(line);
    if (!match.hasMatch()) return std::nullopt;
    progressColumn_ = static_cast<int>(match.capturedEnd() - 2) - 3 + 1;
    if (progressColumn_ < 1) progressColumn_ = 1;
  }
  QString field = Field(line, progressColumn_, 3).trimmed();
  if (field.startsWith('(')) field.remove(0, 1);
  std::optional<StepProgress> record = StepProgress{Step(), 0, {}, {}};
  record->percent = ToInt(field).value_or(0);
  record->elapsed = Field(line, 21, 8).trimmed();
  record->estimated = Field(line, 30, 8).trimmed();
  return record;
}

std::optional<StepProgress> TEncoderOutputParser::ParseDecodeLine(const QString& line,
                                                                    qint64 elapsedMs) {
  if (progressColumn_ == 0) {
    // The frame counter, not any "#": the file names printed before it may contain one.
    const qsizetype at = line.indexOf(QLatin1String("Frame#"));
    if (at < 0) return std::nullopt;
    progressColumn_ = static_cast<int>(at + 6) + 1;
  }
  const auto done = ToInt(Field(line, progressColumn_, 6));
  const auto total = ToInt(Field(line, progressColumn_ + 7, 6));
  // A total of 0 (or less) says nothing about progress.
  if (!done || !total || *done < 0 || *total <= 0) return std::nullopt;
  const qint32 percent = static_cast<qint32>(qint64(*done) * 100 / *total);
  std::optional<StepProgress> record = StepProgress{Step(), 0, {}, {}};
  record->percent = percent;
  if (percent > 0) {
    const qint64 elapsed = RoundedSeconds(elapsedMs);
    record->elapsed = DurationText(elapsed);
    record->estimated = DurationText(std::llround(elapsed * 100.0 / percent));
  }
  return record;
}

std::optional<StepProgress> TEncoderOutputParser::ParseWmaLine(const QString& line,
                                                                 qint64 elapsedMs) {
  if (line.contains(QLatin1String("ERROR"))) {
    errorLine_ = line;
    return std::nullopt;
  }
  if (!line.contains(QLatin1String("100%"))) return std::nullopt;
  const qint64 elapsed = std::max<qint64>(1, RoundedSeconds(elapsedMs));
  std::optional<StepProgress> record = StepProgress{Step(), 0, {}, {}};
  record->percent = 100;
  record->elapsed = DurationText(elapsed);
  record->estimated = record->elapsed;
  return record;
}

}  // namespace trackmill
