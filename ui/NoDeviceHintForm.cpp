#include "ui/NoDeviceHintForm.h"

#include <QDesktopServices>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include "common/AppInfo.h"
#include "settings/translate/TranslateForm.h"
#include "ui/FormParts.h"

namespace trackmill {
namespace {

// Which users may read the drive: the "cdrom" group and how membership works.
constexpr char kGroupsPage[] = "https://wiki.debian.org/SystemGroups";
// How to find the program that holds the drive open.
constexpr char kFuserPage[] = "https://manpages.debian.org/bookworm/psmisc/fuser.1.en.html";

// A label that opens its address in the browser when clicked, or on Space once it has the
// focus (so the keyboard reaches it too); Enter stays the window's, which presses Close. Its
// text is translated like any label's.
class LinkLabel : public QLabel {
 public:
  LinkLabel(const char* name, const QString& text, const char* url, QWidget* parent)
      : QLabel(text, parent), url_(QString::fromLatin1(url)) {
    setObjectName(QString::fromLatin1(name));
    setProperty("url", url_);
    setToolTip(url_);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    setStyleSheet(QStringLiteral("color: #0000ff; text-decoration: underline;"));
  }

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) Open();
  }
  void keyPressEvent(QKeyEvent* event) override {
    if (event->key() == Qt::Key_Space) {
      Open();
      return;
    }
    QLabel::keyPressEvent(event);
  }

 private:
  void Open() const { QDesktopServices::openUrl(QUrl(url_)); }

  QString url_;
};

}  // namespace

TfrmNoDeviceHint::TfrmNoDeviceHint(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("frmNoDeviceHint"));
  setWindowTitle(QString::fromLatin1(kAppTitle));

  auto* panel = new QFrame(this);
  panel->setObjectName(QStringLiteral("Panel1"));
  panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  panel->setBackgroundRole(QPalette::Base);
  panel->setAutoFillBackground(true);
  auto* lines = new QVBoxLayout(panel);
  lines->setSpacing(8);
  const auto addLine = [&](const char* name, const char* text) {
    AddWrappedLabel(lines, panel, name, QString::fromUtf8(text));
  };
  addLine("Label1", "Trackmill could not find a CD drive that it can read. Please check the following:");
  addLine("Label2",
          "1. The drive is connected and known to the system. An external drive must be plugged "
          "in and switched on; the command \"ls -l /dev/sr*\" lists the drives the system has "
          "found.");
  addLine("Label3",
          "2. You may read the drive. Drives belong to the group \"cdrom\"; add yourself with "
          "\"sudo usermod -aG cdrom $USER\", then log out and in again.");
  addLine("Label4",
          "3. No other program holds the drive. Close players, other rippers and burning "
          "programs; \"fuser -v /dev/sr0\" names the program that has the drive open.");
  addLine("Label5",
          "Without a drive you can still open a disc image (.cue, .toc, .nrg) from the File menu, "
          "and convert files.");
  // Each link right under the line that says what it is about.
  const auto addLink = [&](const char* captionName, const char* caption, QLabel* link) {
    auto* pair = new QVBoxLayout;
    pair->setSpacing(2);
    AddWrappedLabel(pair, panel, captionName, QString::fromUtf8(caption));
    pair->addWidget(link);
    lines->addLayout(pair);
  };
  addLink("Label6", "More about groups and the \"cdrom\" group:",
          new LinkLabel("lblGroupsLink", QStringLiteral("System groups (Debian wiki)"), kGroupsPage, panel));
  addLink("Label7", "More about finding the program that uses the drive:",
          new LinkLabel("lblFuserLink", QStringLiteral("The fuser manual page"), kFuserPage, panel));
  panel->setFixedWidth(500);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(panel);
  // The window opens on Close, not on the first link.
  AddClosingButton(layout, this, "btClose", QStringLiteral("&Close"))->setFocus();
  layout->setSizeConstraint(QLayout::SetFixedSize);
  TranslateWhenFirstShown(this);
}

}  // namespace trackmill
