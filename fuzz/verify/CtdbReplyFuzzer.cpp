// Feeds arbitrary bytes to the parity database's reply reader: every entry it keeps has a TOC
// and enough column-0 syndromes, its parity address is plain HTTP or refused, and a TOC string
// that parses writes itself back the same.
#include <QByteArray>
#include <cstdint>
#include <cstdlib>

#include "verify/ctdb/CtdbLookup.h"

using namespace trackmill::ctdb;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray body(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const CtdbLookup lookup = SortCtdbReply(body);
  if (lookup.outcome == CtdbLookup::Outcome::Found && lookup.entries.empty()) std::abort();
  for (const CtdbEntry& entry : lookup.entries) {
    if (entry.toc.isEmpty() || entry.trackCrcs.size() > 99) std::abort();
    if (!entry.syndromes.empty() && int(entry.syndromes.size()) < std::min(entry.npar, 16)) std::abort();
    if (const auto url = ParityFileUrl(entry.parityUrl, QStringLiteral("db.example"))) {
      if (!url->startsWith("http://")) std::abort();
    }
    if (const auto toc = CtdbToc::Parse(entry.toc)) {
      const auto again = CtdbToc::Parse(toc->Text());
      if (!again || again->Text() != toc->Text() || toc->Id().size() != 28) std::abort();
      if (toc->StreamSamples() < toc->PregapSamples()) std::abort();
    }
  }
  return 0;
}
