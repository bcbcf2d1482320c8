#include "ui/AboutBox.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "common/AppInfo.h"
#include "settings/translate/TranslateForm.h"
#include "ui/FormParts.h"

namespace trackmill {
namespace {

struct Component {
  const char* name;
  const char* licence;  // as the Debian packages that the program runs with state it
};

constexpr Component kComponents[] = {
    {"Qt 6", "LGPL 3 or GPL 2"},
    {"libcdio, libcdio-paranoia", "GPL 3"},
    {"libogg, libvorbis", "BSD 3-clause"},
    {"libmpg123", "LGPL 2.1"},
    {"libFLAC", "BSD 3-clause"},
    {"zlib", "zlib licence"},
    {"libcurl", "curl licence (MIT style)"},
    {"TagLib", "LGPL 2.1 or MPL 1.1"},
    {"PortAudio", "MIT style"},
    {"libebur128", "MIT"},
    {"libdiscid", "LGPL 2.1 or later"},
    {"FFmpeg (libavcodec, libavformat, libswresample, libavutil)", "GPL 2 or later (LGPL 2.1 or later upstream)"},
    {"lame (MP3 encoder program)", "LGPL 2 or later"},
};

}  // namespace

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("AboutBox"));
  setWindowTitle(QStringLiteral("About Trackmill"));
  auto* layout = new QVBoxLayout(this);

  QLabel* title = AddWrappedLabel(layout, this, "ProductName", QString::fromLatin1(kAppTitle));
  QFont big = title->font();
  big.setPointSizeF(big.pointSizeF() * 1.8);
  big.setBold(true);
  title->setFont(big);
  // Only the number is ours to fill in: the word before it is translated, the number is not.
  auto* versionRow = new QHBoxLayout;
  auto* versionWord = new QLabel(QStringLiteral("Version"), this);
  versionWord->setObjectName(QStringLiteral("lblVersionCaption"));
  auto* versionNumber = new QLabel(this);  // no name: not a text to translate
  versionNumber->setText(QString::fromLatin1(kAppVersion) + QStringLiteral(" (Qt ") + QString::fromLatin1(qVersion()) + ')');
  versionRow->setSpacing(4);
  versionRow->addWidget(versionWord);
  versionRow->addWidget(versionNumber);
  versionRow->addStretch();
  layout->addLayout(versionRow);
  AddWrappedLabel(layout, this, "Comments",
           QStringLiteral("Rips audio CDs and disc images to WAV, MP3, Ogg Vorbis and WMA files with "
                          "tags, converts audio files and looks discs up in CDDB."));
  AddWrappedLabel(layout, this, "Copyright", QStringLiteral("Written by the Trackmill developers."));
  AddWrappedLabel(layout, this, "lblLibraries", QStringLiteral("Trackmill is built on these libraries and programs:"));

  auto* libraries = new QTreeWidget(this);
  libraries->setObjectName(QStringLiteral("lvLibraries"));
  libraries->setColumnCount(2);
  libraries->setHeaderLabels({QStringLiteral("Library"), QStringLiteral("Licence")});
  libraries->setRootIsDecorated(false);
  libraries->setSelectionMode(QAbstractItemView::NoSelection);
  libraries->setFocusPolicy(Qt::NoFocus);
  for (const Component& component : kComponents) {
    new QTreeWidgetItem(libraries, {QString::fromUtf8(component.name), QString::fromUtf8(component.licence)});
  }
  libraries->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  libraries->setFixedHeight(libraries->header()->sizeHint().height() +
                            libraries->sizeHintForRow(0) * int(std::size(kComponents)) + 2 * libraries->frameWidth());
  layout->addWidget(libraries);
  AddWrappedLabel(layout, this, "lblLicenceTexts",
           QStringLiteral("The licence texts are in /usr/share/common-licenses and in each "
                          "package's folder under /usr/share/doc."));

  AddClosingButton(layout, this, "OKButton", QStringLiteral("OK"));
  // Wide enough for every name and licence in full: the table never scrolls sideways.
  int nameWidth = 0, licenceWidth = 0;
  const QFontMetrics metrics = libraries->fontMetrics();
  for (const Component& component : kComponents) {
    nameWidth = std::max(nameWidth, metrics.horizontalAdvance(QString::fromUtf8(component.name)));
    licenceWidth = std::max(licenceWidth, metrics.horizontalAdvance(QString::fromUtf8(component.licence)));
  }
  constexpr int kCellPadding = 16;
  libraries->setMinimumWidth(nameWidth + licenceWidth + 2 * kCellPadding + 2 * libraries->frameWidth());
  layout->setSizeConstraint(QLayout::SetFixedSize);
  TranslateWhenFirstShown(this);
}

}  // namespace trackmill
