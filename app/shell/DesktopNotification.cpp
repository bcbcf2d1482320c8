#include "app/shell/DesktopNotification.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QStringList>
#include <QVariantMap>

namespace trackmill {
namespace {

constexpr char kService[] = "org.freedesktop.Notifications";
constexpr char kPath[] = "/org/freedesktop/Notifications";
constexpr char kAppName[] = "Trackmill";
// The icon and desktop entry the package installs (data/trackmill.desktop).
constexpr char kIconName[] = "trackmill";
constexpr int kServerDefaultTimeout = -1;

}  // namespace

bool NotifyDesktop(const QDBusConnection& bus, const QString& summary, const QString& body) {
  if (!bus.isConnected()) return false;
  QDBusMessage call = QDBusMessage::createMethodCall(QLatin1String(kService), QLatin1String(kPath),
                                                     QLatin1String(kService), QStringLiteral("Notify"));
  const QVariantMap hints{{QStringLiteral("desktop-entry"), QLatin1String(kIconName)}};
  call << QLatin1String(kAppName) << 0u << QLatin1String(kIconName) << summary << body << QStringList() << hints
       << kServerDefaultTimeout;
  // The reply (the note's id, or an error when nobody serves the name) is of no use here: the
  // bus drops it.
  call.setAutoStartService(true);
  return bus.send(call);
}

bool NotifyDesktop(const QString& summary, const QString& body) {
  return NotifyDesktop(QDBusConnection::sessionBus(), summary, body);
}

}  // namespace trackmill
