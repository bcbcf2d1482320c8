#include "ui/RipSummaryForm.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>

#include "common/TextForms.h"
#include "settings/translate/TranslateForm.h"
#include "ui/FormParts.h"
#include "verify/RipSummary.h"

namespace trackmill {
namespace {

enum Column { kNumber, kFile, kResult, kVerification, kColumnCount };
constexpr int kMinimumWidth = 600;

QLabel* TextLabel(const char* name, QWidget* parent) {
  auto* label = Named(new QLabel(parent), name);
  label->setWordWrap(true);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  return label;
}

}  // namespace

RipSummaryForm::RipSummaryForm(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("RipSummaryForm"));
  setWindowTitle(QStringLiteral("Rip finished"));
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  setModal(false);

  writtenLabel_ = TextLabel("lblWritten", this);
  QFont bold = writtenLabel_->font();
  bold.setBold(true);
  writtenLabel_->setFont(bold);
  verificationLabel_ = TextLabel("lblVerification", this);
  logErrorLabel_ = TextLabel("lblLogError", this);
  logErrorLabel_->hide();

  auto* folderRow = new QHBoxLayout;
  folderRow->addWidget(Named(new QLabel(QStringLiteral("Folder:"), this), "lblFolderCaption"));
  folderLabel_ = TextLabel("lblFolder", this);
  folderRow->addWidget(folderLabel_, 1);

  trackList_ = Named(new QTreeWidget(this), "lvTracks");
  trackList_->setColumnCount(kColumnCount);
  trackList_->setHeaderLabels({QStringLiteral("No."), QStringLiteral("File"), QStringLiteral("Result"),
                               QStringLiteral("AccurateRip")});
  trackList_->setRootIsDecorated(false);
  trackList_->setUniformRowHeights(true);
  trackList_->setSelectionMode(QAbstractItemView::NoSelection);
  trackList_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  trackList_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  trackList_->header()->setStretchLastSection(true);

  auto* buttons = new QHBoxLayout;
  openFolderButton_ = Named(new QPushButton(QStringLiteral("&Open folder"), this), "btOpenFolder");
  connect(openFolderButton_, &QPushButton::clicked, this, &RipSummaryForm::OpenFolder);
  auto* close = Named(new QPushButton(QStringLiteral("&Close"), this), "btClose");
  close->setDefault(true);
  connect(close, &QPushButton::clicked, this, &QDialog::close);
  buttons->addWidget(openFolderButton_);
  buttons->addStretch();
  buttons->addWidget(close);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(writtenLabel_);
  layout->addWidget(verificationLabel_);
  layout->addWidget(logErrorLabel_);
  layout->addLayout(folderRow);
  layout->addWidget(trackList_, 1);
  layout->addLayout(buttons);
  setMinimumWidth(kMinimumWidth);
  close->setFocus();
  // Translated before the summary fills the labels, which the language file leaves empty.
  TranslateShownForm(this);
}

void RipSummaryForm::ShowSummary(const RipSummary& summary) {
  folder_ = summary.folder;
  writtenLabel_->setText(summary.written);
  verificationLabel_->setText(summary.verification);
  verificationLabel_->setVisible(!summary.verification.isEmpty());
  logErrorLabel_->setText(summary.logError);
  logErrorLabel_->setVisible(!summary.logError.isEmpty());
  folderLabel_->setText(summary.folder);
  openFolderButton_->setEnabled(QFileInfo(summary.folder).isDir());
  trackList_->clear();
  const QIcon attention = style()->standardIcon(QStyle::SP_MessageBoxWarning);
  for (const RipSummaryRow& row : summary.rows) {
    auto* item = new QTreeWidgetItem(trackList_);
    item->setText(kNumber, TwoDigit(row.number));
    // A track in another folder than the rip's (none so far) would name its folder.
    const QString path = QDir(row.folder).filePath(row.fileName);
    item->setText(kFile, QDir(row.folder) == QDir(summary.folder) ? row.fileName : path);
    item->setToolTip(kFile, path);
    item->setText(kResult, row.resultText);
    item->setText(kVerification, row.verification);
    if (row.result == JobItemResult::Failed) item->setIcon(kResult, attention);
    if (row.mismatch) item->setIcon(kVerification, attention);
  }
  trackList_->setColumnHidden(kVerification, summary.verification.isEmpty());
  // Tall enough for a whole disc's rows without a scroll bar, within the screen.
  const int rowHeight = trackList_->sizeHintForRow(0) > 0 ? trackList_->sizeHintForRow(0) : fontMetrics().height();
  trackList_->setMinimumHeight(std::min(int(summary.rows.size()) + 1, 21) * rowHeight + trackList_->header()->height());
  adjustSize();
}

void RipSummaryForm::OpenFolder() const { QDesktopServices::openUrl(QUrl::fromLocalFile(folder_)); }

}  // namespace trackmill
