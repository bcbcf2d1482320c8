#include "verify/RipSummary.h"

#include <QFileInfo>

#include "common/TextForms.h"
#include "settings/LangString.h"
#include "verify/RipVerification.h"

namespace trackmill {
namespace {

QString Text(const char* key) { return LangStringOrEnglish(QLatin1String(key)); }

QString ResultText(JobItemResult result) {
  switch (result) {
    case JobItemResult::Done: return Text("RES_Summary_Written");
    case JobItemResult::Declined: return Text("RES_Summary_Declined");
    case JobItemResult::Failed: return Text("RES_Summary_Failed");
    case JobItemResult::Stopped: return Text("RES_Summary_Stopped");
    case JobItemResult::Pending: break;
  }
  return Text("RES_Summary_Not_Done");
}

QString VerdictWords(const AccurateRipVerdict& verdict) {
  switch (verdict.kind) {
    case AccurateRipVerdict::Kind::Accurate: return Text("RES_Summary_Accurate").arg(verdict.confidence);
    case AccurateRipVerdict::Kind::NotAccurate: return Text("RES_Summary_Not_Accurate");
    case AccurateRipVerdict::Kind::NotInDatabase: return Text("RES_Summary_Not_In_Database");
    case AccurateRipVerdict::Kind::NotChecked:
    case AccurateRipVerdict::Kind::NoAnswer: break;
  }
  return Text("RES_Summary_Not_Checked");
}

// The database's answer for the whole disc.
QString VerificationText(const RipVerification& v) {
  using Outcome = AccurateRipLookup::Outcome;
  switch (v.lookup.outcome) {
    case Outcome::Found:
      return Text("RES_Summary_Accurate_Count").arg(v.accurate).arg(v.record.tracks.size());
    case Outcome::NotInDatabase: return Text("RES_Summary_Disc_Unknown");
    case Outcome::Unreadable: return Text("RES_Summary_Unreadable");
    case Outcome::Unreachable: break;
  }
  const QString why = v.lookup.detail.isEmpty() ? QString() : "\n(" + v.lookup.detail + ")";
  return Text("RES_Summary_Unreachable") + why;
}

QString TrackLine(int number, const QString& what) {
  return Text("RES_Summary_Track").arg(TwoDigit(number), what);
}

}  // namespace

RipSummary SummarizeRip(const RipVerification& v, const QString& folder, const QString& logError) {
  RipSummary summary;
  summary.folder = folder;
  summary.logError = logError;
  int declined = 0;
  for (const RippedTrack& track : v.record.tracks) {
    RipSummaryRow row;
    row.number = track.number;
    const QFileInfo file(track.file);
    row.fileName = file.fileName();
    row.folder = track.file.isEmpty() ? folder : file.absolutePath();
    row.result = track.result;
    row.resultText = ResultText(track.result);
    if (track.copy.secure && track.sums.valid) {
      row.copy = track.copy.Verdict();
      row.suspicious = !track.copy.CopyOk();
      // The row's result names the damage wherever the summary is shown.
      if (row.suspicious) row.resultText += QStringLiteral(" (") + row.copy + u')';
    }
    if (v.record.lookedUp) row.verification = VerdictWords(track.verdict);
    row.mismatch = track.verdict.kind == AccurateRipVerdict::Kind::NotAccurate;
    summary.writtenCount += track.result == JobItemResult::Done;
    summary.failedCount += track.result == JobItemResult::Failed;
    summary.mismatchCount += row.mismatch;
    summary.suspiciousCount += row.suspicious;
    declined += track.result == JobItemResult::Declined;
    summary.rows.push_back(row);
  }
  const bool allKept = !summary.rows.empty() && declined == int(summary.rows.size());
  summary.written = allKept ? Text("RES_Summary_Nothing_Written")
                            : Text("RES_Summary_Written_Count").arg(summary.writtenCount).arg(summary.rows.size());
  // With nothing read, the database has nothing to judge.
  if (v.record.lookedUp && !allKept) summary.verification = VerificationText(v);
  return summary;
}

QString RipSummary::AttentionText() const {
  QStringList lines{Text("RES_Summary_Attention")};
  for (const RipSummaryRow& row : rows) {
    if (row.result == JobItemResult::Failed) lines << TrackLine(row.number, row.resultText);
    else if (row.mismatch) lines << TrackLine(row.number, row.verification);
  }
  if (!logError.isEmpty()) lines << logError;
  return lines.join('\n');
}

QString RipSummary::OverallText() const {
  QStringList lines{written};
  if (!verification.isEmpty()) lines << verification;
  if (!logError.isEmpty()) lines << logError;
  return lines.join('\n');
}

}  // namespace trackmill
