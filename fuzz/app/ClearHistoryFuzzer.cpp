// Reads arbitrary bytes as a player's configuration and as a recently-used list, and checks
// that clearing only ever removes text, and that a cleared text has nothing left to clear.
#include <cstddef>
#include <cstdint>

#include "app/shell/ClearHistory.h"

namespace {

void Require(bool condition) {
  if (!condition) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
  const trackmill::ClearedText conf = trackmill::WithoutVlcRecents(text);
  Require(conf.removed >= 0 && conf.text.size() <= text.size());
  Require(trackmill::WithoutVlcRecents(conf.text).removed == 0);
  const trackmill::ClearedText xbel = trackmill::WithoutAudioBookmarks(text);
  Require(xbel.removed >= 0 && xbel.text.size() <= text.size());
  if (xbel.removed > 0) Require(trackmill::WithoutAudioBookmarks(xbel.text).removed == 0);
  return 0;
}
