// Feeds arbitrary bytes to the CDDB reply parsers, the bounded store of a disc entry and the
// xmcd entry reader. A guard zone after the entry buffer catches any write past its size.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "cddb/CddbReply.h"
#include "cddb/DriveCddb.h"
#include "cddb/XmcdEntry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const int firstTrack = 1 + data[0] % 99;
  const int lastTrack = firstTrack + data[1] % 99;
  const QByteArray reply(reinterpret_cast<const char*>(data + 2), static_cast<qsizetype>(size - 2));

  const trackmill::CddbQueryReply query = trackmill::ParseCddbQueryReply(reply);
  if (query.matches.size() > static_cast<size_t>(trackmill::kCddbMaxMatches)) std::abort();

  // Buffer sizes from tiny to the real one, so that cutting is exercised too.
  const int bufferSize = 1 + (data[0] * 131 + data[1]) % trackmill::kDiscInfoBufferBytes;
  constexpr int kGuard = 64;
  std::vector<char> memory(static_cast<size_t>(bufferSize + kGuard), '\x5a');
  trackmill::StoreDiscEntry(reply, (data[1] & 1) != 0, memory.data(), bufferSize);
  for (int i = bufferSize; i < bufferSize + kGuard; ++i) {
    if (memory[static_cast<size_t>(i)] != '\x5a') std::abort();
  }
  if (strnlen(memory.data(), static_cast<size_t>(bufferSize)) >= static_cast<size_t>(bufferSize)) {
    std::abort();  // not terminated inside the buffer
  }

  trackmill::DiscInfo disc;
  QStringList rows;
  for (int i = 0; i < (data[1] % 20); ++i) rows << QStringLiteral("Track");
  const qsizetype rowsBefore = rows.size();
  trackmill::ApplyXmcdEntry(QString::fromUtf8(reply), firstTrack, lastTrack, disc, rows);
  trackmill::ApplyXmcdEntry(QString::fromUtf8(memory.data()), firstTrack, lastTrack, disc, rows);
  if (rows.size() != rowsBefore) std::abort();
  if (disc.Genre < -1 || disc.Genre > 148) std::abort();
  return 0;
}
