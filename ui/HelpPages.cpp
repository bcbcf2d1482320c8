#include "ui/HelpPages.h"

#include "common/DataFolder.h"

namespace trackmill {

QUrl ManualUrl() {
  const QString page = FindDataFile(QStringLiteral("manual/index.html"));
  return page.isEmpty() ? QUrl() : QUrl::fromLocalFile(page);
}

QUrl HomePageUrl() { return ManualUrl(); }

}  // namespace trackmill
