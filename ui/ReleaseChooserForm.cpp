#include "ui/ReleaseChooserForm.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "settings/translate/TranslateForm.h"
#include "ui/FormParts.h"

namespace trackmill {

TfrmReleaseChooser::TfrmReleaseChooser(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("frmReleaseChooser"));
  setWindowTitle(QStringLiteral("Choose a Release"));

  releasesLabel_ = new QLabel(QStringLiteral("Several releases hold this disc. Please choose one:"), this);
  releasesLabel_->setObjectName(QStringLiteral("lbReleases"));
  releaseList_ = new QTreeWidget(this);
  releaseList_->setObjectName(QStringLiteral("lvReleases"));
  releaseList_->setHeaderLabels({QStringLiteral("Title"), QStringLiteral("Artist"), QStringLiteral("Date"),
                               QStringLiteral("Country"), QStringLiteral("Barcode")});
  releaseList_->setRootIsDecorated(false);
  releaseList_->setSelectionMode(QAbstractItemView::SingleSelection);
  releaseList_->setAllColumnsShowFocus(true);
  releaseList_->setMinimumSize(560, 180);
  releaseList_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(releasesLabel_);
  layout->addWidget(releaseList_);
  const DialogButtons buttons = AddOkCancelButtons(layout, this, "btOK", QStringLiteral("&OK"), QStringLiteral("&Cancel"));
  okButton_ = buttons.ok;
  cancelButton_ = buttons.cancel;

  connect(releaseList_, &QTreeWidget::itemSelectionChanged, this,
          [this] { okButton_->setEnabled(releaseList_->currentItem() != nullptr); });
  connect(releaseList_, &QTreeWidget::itemDoubleClicked, this, &QDialog::accept);
  okButton_->setEnabled(false);
  TranslateWhenFirstShown(this);
}

void TfrmReleaseChooser::setReleases(const std::vector<MusicBrainzRelease>& releases) {
  releaseList_->clear();
  for (const MusicBrainzRelease& r : releases)
    new QTreeWidgetItem(releaseList_, {r.title, r.artist, r.date, r.country, r.barcode});
  if (releaseList_->topLevelItemCount() > 0) releaseList_->setCurrentItem(releaseList_->topLevelItem(0));
}

int TfrmReleaseChooser::chosenIndex() const { return releaseList_->indexOfTopLevelItem(releaseList_->currentItem()); }

}  // namespace trackmill
