#include "settings/IniFileUpdate.h"

#include <QLockFile>

namespace trackmill {
namespace {

// A save takes milliseconds; waiting this long covers a crowd of processes saving at once.
constexpr int kLockWaitMs = 20000;
// A holder that has not finished in this time is taken to be gone (QLockFile also takes over
// at once a lock whose process no longer exists).
constexpr int kStaleLockMs = 30000;

}  // namespace

bool UpdateIniFile(const QString& path, const std::function<void(IniFile&)>& change) {
  QLockFile lock(path + QStringLiteral(".lock"));
  lock.setStaleLockTime(kStaleLockMs);
  if (!lock.tryLock(kLockWaitMs)) return false;
  IniFile ini = IniFile::Load(path);
  if (ini.LastLoadResult() == IniFile::LoadResult::Unreadable) return false;
  change(ini);
  return ini.Save(path);
}

}  // namespace trackmill
