#pragma once
#include <QString>

class QDBusConnection;

// A note to the desktop's notification service (org.freedesktop.Notifications, Notify, on the
// session bus), for news the user should see while working in another window, such as the end
// of a rip. Fire and forget: the call is sent without waiting for the service's reply, so it
// never delays the caller; no session bus, nobody owning the service's name or a service that
// refuses the call all come to nothing, silently. Call it on the main thread.
namespace trackmill {

// False when the note could not even be sent (the bus is not connected); true says only that
// it left, not that anyone showed it.
bool NotifyDesktop(const QDBusConnection& bus, const QString& summary, const QString& body);
// The same on the session bus.
bool NotifyDesktop(const QString& summary, const QString& body);

}  // namespace trackmill
