#include "verify/ctdb/CtdbReply.h"

#include <QXmlStreamReader>
#include <algorithm>

#include "verify/ctdb/GaloisField.h"
#include "verify/ctdb/ReedSolomon.h"

namespace trackmill::ctdb {
namespace {

constexpr int kMaxEntries = 1000;
constexpr int kMaxTracks = 99;

std::vector<uint16_t> Words(const QByteArray& bytes) {
  std::vector<uint16_t> words;
  for (qsizetype i = 0; i + 1 < bytes.size(); i += 2)
    words.push_back(uint16_t(uint8_t(bytes[i]) | uint8_t(bytes[i + 1]) << 8));
  return words;
}

std::optional<QByteArray> Base64(QStringView text) {
  auto decoded = QByteArray::fromBase64Encoding(text.toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
  if (!decoded) return std::nullopt;
  return *decoded;
}

std::optional<uint32_t> Hex32(QStringView text) {
  bool ok = false;
  const uint32_t value = text.toUInt(&ok, 16);
  if (!ok || text.size() != 8) return std::nullopt;
  return value;
}

std::optional<CtdbEntry> ReadEntry(const QXmlStreamAttributes& attributes) {
  CtdbEntry entry;
  bool ok = true;
  auto number = [&](const char* name, qint64 fallback, bool required) -> qint64 {
    if (!attributes.hasAttribute(QLatin1String(name))) {
      if (required) ok = false;
      return fallback;
    }
    bool parsed = false;
    const qint64 value = attributes.value(QLatin1String(name)).toLongLong(&parsed);
    if (!parsed || value < 0) ok = false;
    return value;
  };
  entry.toc = attributes.value(QLatin1String("toc")).toString();
  entry.id = number("id", 0, true);
  entry.confidence = int(std::clamp<qint64>(number("confidence", 0, true), 0, 1 << 30));
  entry.npar = int(std::clamp<qint64>(number("npar", 8, false), 0, 1 << 16));
  entry.strideSamples = int(std::clamp<qint64>(number("stride", 5880, false), 0, 1 << 20));
  const auto crc = Hex32(attributes.value(QLatin1String("crc32")));
  if (!ok || !crc || entry.toc.isEmpty()) return std::nullopt;
  entry.crc = *crc;
  entry.parityUrl = attributes.value(QLatin1String("hasparity")).toString();

  if (attributes.hasAttribute(QLatin1String("syndrome"))) {
    const auto bytes = Base64(attributes.value(QLatin1String("syndrome")));
    if (!bytes || bytes->size() % 2 != 0) return std::nullopt;
    entry.syndromes = Words(*bytes);
    if (int(entry.syndromes.size()) < std::min(entry.npar, 16)) return std::nullopt;
  } else if (attributes.hasAttribute(QLatin1String("parity"))) {
    // Old entries: the eight check words of column 0, turned into its syndromes.
    const auto bytes = Base64(attributes.value(QLatin1String("parity")));
    if (!bytes || bytes->size() != 16) return std::nullopt;
    std::vector<uint32_t> checks;
    for (uint16_t word : Words(*bytes)) checks.push_back(word);
    for (uint32_t s : SyndromesFromChecks(GaloisField::Audio(), checks))
      entry.syndromes.push_back(uint16_t(s));
    entry.npar = 8;
    entry.parityUrl.clear();
  }
  if (attributes.hasAttribute(QLatin1String("trackcrcs"))) {
    const QStringList crcs =
        attributes.value(QLatin1String("trackcrcs")).toString().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (crcs.size() > kMaxTracks) return std::nullopt;
    for (const QString& text : crcs) {
      const auto value = Hex32(text);
      if (!value) return std::nullopt;
      entry.trackCrcs.push_back(*value);
    }
  }
  return entry;
}

}  // namespace

CtdbReply ParseCtdbReply(const QByteArray& body) {
  CtdbReply reply;
  if (body.size() > kMaxReplyBytes) {
    reply.failure = QStringLiteral("reply larger than %1 bytes").arg(kMaxReplyBytes);
    return reply;
  }
  QXmlStreamReader xml(body);
  bool sawRoot = false;
  int depth = 0;
  while (!xml.atEnd()) {
    const QXmlStreamReader::TokenType token = xml.readNext();
    if (token == QXmlStreamReader::StartElement) {
      ++depth;
      if (depth == 1) {
        if (xml.name() != QLatin1String("ctdb")) {
          reply.failure = QStringLiteral("reply is not a database reply");
          reply.entries.clear();
          return reply;
        }
        sawRoot = true;
      } else if (depth == 2 && xml.name() == QLatin1String("entry")) {
        if (int(reply.entries.size()) + reply.skippedEntries >= kMaxEntries) {
          ++reply.skippedEntries;
          continue;
        }
        if (auto entry = ReadEntry(xml.attributes()))
          reply.entries.push_back(std::move(*entry));
        else
          ++reply.skippedEntries;
      }
    } else if (token == QXmlStreamReader::EndElement) {
      --depth;
    }
  }
  if (xml.hasError() || !sawRoot) {
    reply.failure = xml.hasError() ? QStringLiteral("reply unreadable: %1").arg(xml.errorString())
                                   : QStringLiteral("reply unreadable: no database reply");
    reply.entries.clear();
    return reply;
  }
  reply.readable = true;
  return reply;
}

}  // namespace trackmill::ctdb
