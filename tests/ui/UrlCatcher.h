#pragma once
#include <QList>
#include <QObject>
#include <QUrl>

// Receives the addresses that QDesktopServices would hand to the file browser or the web
// browser (QDesktopServices::setUrlHandler(scheme, &catcher, "Open")).
namespace trackmill::test {

class UrlCatcher : public QObject {
  Q_OBJECT
 public:
  QList<QUrl> opened;
 public slots:
  void Open(const QUrl& url) { opened << url; }
};

}  // namespace trackmill::test
