// The main window's look: its colours, its default size and the placement and column widths
// it keeps from one run to the next.
#include <QApplication>
#include <QFrame>
#include <QHeaderView>
#include <QMenuBar>
#include <QScreen>
#include <QScrollBar>
#include <QToolBar>
#include <QTreeWidget>

#include "settings/IniFile.h"
#include "settings/Settings.h"
#include "ui/DiscFieldsPanel.h"
#include "ui/MainForm.h"

namespace trackmill {
namespace {

// The light lavender of the window. Under a dark palette these colours would sit behind
// the palette's light text, so they are used only while the palette is a light one.
const QColor kClientColour(214, 223, 247);
const QColor kListColour(239, 239, 255);
const QColor kStatusColour(220, 225, 255);
constexpr int kMinimumWidth = 551;
constexpr int kMinimumHeight = 500;
constexpr int kRowsShown = 20;  // a full album shows whole at the default size
constexpr int kHiddenColumnWidth = 170;  // room kept for the Artist column while it is hidden

// The placement is the window's own state, not an option: it lives beside the options in
// options.ini, outside the settings record.
constexpr char kPlacementSection[] = "MainForm";
constexpr char kGeometryKey[] = "Geometry";  // base64 of QWidget::saveGeometry
constexpr char kColumnWidthsKey[] = "ColumnWidths";  // pixels, comma-separated
constexpr int kStoredColumnCount = 4;  // No., Title, Length and Size, as ColumnWidths has always held them
constexpr char kArtistColumnWidthKey[] = "ArtistColumnWidth";  // pixels

bool IsDark(const QPalette& palette) {
  return palette.color(QPalette::WindowText).lightness() > palette.color(QPalette::Window).lightness();
}

void Paint(QWidget* widget, QPalette::ColorRole role, const QColor& colour, bool fixedColours) {
  if (!fixedColours) {
    widget->setPalette(QPalette());  // inherit the application's palette again
    return;
  }
  QPalette palette = widget->palette();
  palette.setColor(role, colour);
  widget->setPalette(palette);
  widget->setAutoFillBackground(true);
}

}  // namespace

void TMainForm::ApplyColours() {
  const bool fixedColours = !IsDark(QApplication::palette());
  Paint(this, QPalette::Window, kClientColour, fixedColours);
  Paint(trackList_, QPalette::Base, kListColour, fixedColours);
  Paint(statusPanel_, QPalette::Window, kStatusColour, fixedColours);
}

QSize TMainForm::DefaultSize() {
  ensurePolished();
  trackList_->ensurePolished();
  // One row as a disc's row is drawn, measured and taken away again.
  auto* probe = new QTreeWidgetItem(trackList_, {"20", "Title", "00:00", "00.00"});
  probe->setCheckState(0, Qt::Checked);
  const int rowHeight = std::max(trackList_->sizeHintForRow(0), trackList_->fontMetrics().height());
  delete probe;
  // Wide enough for the Artist column too, which comes with a disc of several artists.
  int columnsWidth = 0;
  for (int column = 0; column < trackList_->columnCount(); ++column)
    columnsWidth += trackList_->isColumnHidden(column) ? kHiddenColumnWidth : trackList_->columnWidth(column);
  const int listFrame = 2 * trackList_->frameWidth();
  const int scrollBar = trackList_->verticalScrollBar()->sizeHint().width();
  const auto* toolBar = findChild<QToolBar*>(QStringLiteral("ToolBar1"));
  const int listHeight = trackList_->header()->sizeHint().height() + kRowsShown * rowHeight + listFrame + 4;
  // The client area's margins: 8 left and right, 4 between list and status line, 8 below.
  // The client area's margins: 4 above the disc's details and 4 below them.
  const int height = menuBar()->sizeHint().height() + (toolBar ? toolBar->sizeHint().height() : 0) +
                     discPanel_->sizeHint().height() + 8 + listHeight + statusPanel_->sizeHint().height() + 12 + 4;
  const int width = columnsWidth + listFrame + scrollBar + 16;
  QSize size(std::max(width, kMinimumWidth), std::max(height, kMinimumHeight));
  if (const QScreen* screen = QApplication::primaryScreen()) size = size.boundedTo(screen->availableGeometry().size());
  return size;
}

void TMainForm::RestorePlacement() {
  const IniFile ini = IniFile::Load(SettingsFilePath());
  const QString section = QLatin1String(kPlacementSection);
  const QByteArray geometry =
      QByteArray::fromBase64(ini.ReadString(section, QLatin1String(kGeometryKey), {}).toLatin1());
  if (!geometry.isEmpty()) restoreGeometry(geometry);  // a damaged value leaves the window as it is
  QStringList widths = ini.ReadString(section, QLatin1String(kColumnWidthsKey), {}).split(u',');
  if (widths.size() != kStoredColumnCount) return;
  widths << ini.ReadString(section, QLatin1String(kArtistColumnWidthKey), {});
  for (int column = 0; column < widths.size(); ++column) {
    bool ok = false;
    const int width = widths[column].trimmed().toInt(&ok);
    // The Title column takes whatever the others leave.
    if (ok && width > 0 && trackList_->header()->sectionResizeMode(column) != QHeaderView::Stretch)
      trackList_->setColumnWidth(column, width);
  }
}

void TMainForm::SavePlacement() {
  IniFile ini = IniFile::Load(SettingsFilePath());
  if (ini.LastLoadResult() == IniFile::LoadResult::Unreadable) return;  // never over a file we cannot read
  QStringList widths;
  for (int column = 0; column < kStoredColumnCount; ++column)
    widths << QString::number(trackList_->columnWidth(column));
  const QString section = QLatin1String(kPlacementSection);
  ini.WriteString(section, QLatin1String(kGeometryKey), QString::fromLatin1(saveGeometry().toBase64()));
  ini.WriteString(section, QLatin1String(kColumnWidthsKey), widths.join(u','));
  // A hidden column has no width of its own: the one it had when last shown stays.
  if (!trackList_->isColumnHidden(kArtistColumn))
    ini.WriteString(section, QLatin1String(kArtistColumnWidthKey),
                    QString::number(trackList_->columnWidth(kArtistColumn)));
  // Only where the window stood is lost when this fails; the settings are saved already.
  ini.Save(SettingsFilePath());
}

}  // namespace trackmill
