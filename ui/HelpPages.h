#pragma once
#include <QUrl>

// Addresses that the Help menu opens in the browser. Both are local files of the shipped
// HTML manual, found like the language files (per-user folder, build tree, installed share
// folder); empty when the manual is missing. Thread-safe.
namespace trackmill {

// The user manual's first page (manual/index.html).
QUrl ManualUrl();
// The project's home page. The project has no public address, so this is the manual's
// first page.
QUrl HomePageUrl();

}  // namespace trackmill
