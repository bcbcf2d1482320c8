#include "cddb/CddbReply.h"

#include <QStringList>

namespace trackmill {
namespace {

// Lines of a reply without their line ends; a trailing partial line (a cut-off reply) is kept.
QStringList ReplyLines(const QByteArray& reply) {
  QStringList lines = QString::fromUtf8(reply).split(QLatin1Char('\n'));
  for (QString& line : lines) {
    if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
  }
  if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
  return lines;
}

// "categ discid title..." (the form of a match line and of a 200 status line after its code).
bool ParseMatch(const QString& text, CddbMatch& match) {
  const QString trimmed = text.trimmed();
  const qsizetype firstBlank = trimmed.indexOf(QLatin1Char(' '));
  if (firstBlank <= 0) return false;
  const qsizetype secondBlank = trimmed.indexOf(QLatin1Char(' '), firstBlank + 1);
  match.category = trimmed.left(firstBlank);
  if (secondBlank < 0) {
    match.discId = trimmed.mid(firstBlank + 1);
    match.title.clear();
  } else {
    match.discId = trimmed.mid(firstBlank + 1, secondBlank - firstBlank - 1);
    match.title = trimmed.mid(secondBlank + 1).trimmed();
  }
  return !match.discId.isEmpty();
}

}  // namespace

int CddbReplyCode(const QByteArray& reply) {
  if (reply.size() < 3) return 0;
  int code = 0;
  for (int i = 0; i < 3; ++i) {
    const char c = reply.at(i);
    if (c < '0' || c > '9') return 0;
    code = code * 10 + (c - '0');
  }
  if (reply.size() > 3 && reply.at(3) != ' ' && reply.at(3) != '\r' && reply.at(3) != '\n' &&
      reply.at(3) != '-') {
    return 0;
  }
  return code;
}

CddbQueryReply ParseCddbQueryReply(const QByteArray& reply) {
  CddbQueryReply result;
  result.code = CddbReplyCode(reply);
  const QStringList lines = ReplyLines(reply);
  if (lines.isEmpty()) return result;
  if (result.code == 200) {
    CddbMatch match;
    if (ParseMatch(lines.first().mid(3), match)) result.matches.push_back(match);
  } else if (result.code == 210 || result.code == 211) {
    for (qsizetype i = 1; i < lines.size(); ++i) {
      if (lines.at(i) == QLatin1String(".")) break;
      if (static_cast<int>(result.matches.size()) == kCddbMaxMatches) break;
      CddbMatch match;
      if (ParseMatch(lines.at(i), match)) result.matches.push_back(match);
    }
  }
  return result;
}

CddbReadReply ParseCddbReadReply(const QByteArray& reply) {
  CddbReadReply result;
  result.code = CddbReplyCode(reply);
  if (result.code != 210) return result;
  const QStringList lines = ReplyLines(reply);
  QStringList entry;
  for (qsizetype i = 1; i < lines.size(); ++i) {
    if (lines.at(i) == QLatin1String(".")) break;
    entry << lines.at(i);
  }
  result.entry = entry.join(QLatin1Char('\n'));
  return result;
}

}  // namespace trackmill
