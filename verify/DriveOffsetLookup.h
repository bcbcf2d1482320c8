#pragma once
#include <QString>

#include "verify/AccurateRipLookup.h"
#include "verify/DriveOffsetList.h"

// Looking a drive up in the checksum database's drive offset list, fetched from the server of
// the disc lookups over plain HTTP. Blocking; any thread.
namespace trackmill {

struct DriveOffsetLookup {
  enum class Outcome { Found, NotListed, Unreachable, Unreadable };
  Outcome outcome = Outcome::Unreachable;
  DriveOffsetEntry entry;  // Found
  QString detail;          // why it was unreachable or unreadable
};

DriveOffsetLookup LookUpDriveOffset(const AccurateRipServer& server, const QString& vendor, const QString& model);

}  // namespace trackmill
