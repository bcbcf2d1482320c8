#include "app/shell/DesktopNotification.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QElapsedTimer>
#include <QTest>
#include <gtest/gtest.h>

#include "verify/RipSummary.h"
#include "verify/RipVerification.h"

// Runs under a private session bus (dbus-run-session, see CMakeLists.txt), except the case
// without a bus, which runs with DBUS_SESSION_BUS_ADDRESS pointing nowhere.
namespace trackmill {
namespace {

constexpr char kService[] = "org.freedesktop.Notifications";

// A notification service of the test's own, on a connection of its own.
class FakeNotifications : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
 public:
  struct Note {
    QString app, icon, summary, body;
  };
  QList<Note> notes;

 public slots:
  uint Notify(const QString& app, uint, const QString& icon, const QString& summary, const QString& body,
              const QStringList&, const QVariantMap&, int) {
    notes.append({app, icon, summary, body});
    return uint(notes.size());
  }
};

TEST(DesktopNotificationTest, TheRipSummaryReachesTheNotificationServiceOnce) {
  ASSERT_TRUE(QDBusConnection::sessionBus().isConnected()) << "run it under dbus-run-session";
  FakeNotifications fake;
  {
    QDBusConnection service = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "fake-notifications");
    ASSERT_TRUE(service.registerService(kService));
    ASSERT_TRUE(service.registerObject("/org/freedesktop/Notifications", &fake, QDBusConnection::ExportAllSlots));
  }
  RipVerification rip;
  rip.record.lookedUp = true;
  rip.record.tracks.resize(2);
  for (RippedTrack& track : rip.record.tracks) track.result = JobItemResult::Done;
  const RipSummary summary = SummarizeRip(rip, "/music", "");
  EXPECT_TRUE(NotifyDesktop("Rip finished", summary.OverallText()));
  EXPECT_TRUE(QTest::qWaitFor([&] { return !fake.notes.isEmpty(); }, 5000));
  QTest::qWait(200);
  ASSERT_EQ(fake.notes.size(), 1);
  EXPECT_EQ(fake.notes[0].app, "Trackmill");
  EXPECT_EQ(fake.notes[0].icon, "trackmill");
  EXPECT_EQ(fake.notes[0].summary, "Rip finished");
  EXPECT_EQ(fake.notes[0].body, summary.OverallText());
  EXPECT_TRUE(fake.notes[0].body.startsWith("2 of 2 tracks written.\nThe AccurateRip database could not be reached"));
  QDBusConnection::disconnectFromBus("fake-notifications");
}

// No notification service, no bus: nothing fails and nothing waits.
TEST(DesktopNotificationTest, WithoutAServiceNothingFailsOrWaits) {
  ASSERT_FALSE(QDBusConnection::sessionBus().interface()->isServiceRegistered(kService).value());
  QElapsedTimer clock;
  clock.start();
  EXPECT_TRUE(NotifyDesktop("Rip finished", "nobody listens"));
  EXPECT_LT(clock.elapsed(), 500);
}

TEST(DesktopNotificationTest, WithoutABusNothingFailsOrWaits) {
  QElapsedTimer clock;
  clock.start();
  EXPECT_FALSE(NotifyDesktop("Rip finished", "no bus"));
  EXPECT_FALSE(NotifyDesktop(QDBusConnection::connectToBus("unix:path=/nonexistent/bus", "nowhere"), "a", "b"));
  EXPECT_LT(clock.elapsed(), 1000);
}

}  // namespace
}  // namespace trackmill

#include "DesktopNotification_test.moc"
