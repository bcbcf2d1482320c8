#include "ui/EditTrackNameForm.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "settings/translate/TranslateForm.h"
#include "ui/FormParts.h"

namespace trackmill {

TfrmEditTrackName::TfrmEditTrackName(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("frmEditTrackName"));
  setWindowTitle(QStringLiteral("Rename Track Title"));

  titleGroup_ = new QGroupBox(QStringLiteral("Please enter the new track title"), this);
  titleGroup_->setObjectName(QStringLiteral("GroupBox1"));
  name_ = new QLineEdit(titleGroup_);
  name_->setObjectName(QStringLiteral("eName"));
  name_->setMinimumWidth(320);
  auto* groupLayout = new QVBoxLayout(titleGroup_);
  groupLayout->addWidget(name_);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(titleGroup_);
  const DialogButtons buttons = AddOkCancelButtons(layout, this, "btOK", QStringLiteral("&OK"), QStringLiteral("&Cancel"));
  okButton_ = buttons.ok;
  cancelButton_ = buttons.cancel;
  layout->setSizeConstraint(QLayout::SetFixedSize);

  connect(name_, &QLineEdit::textChanged, this, &TfrmEditTrackName::UpdateOkButton);
  UpdateOkButton();
  TranslateWhenFirstShown(this);
}

void TfrmEditTrackName::setTrackName(const QString& name) { name_->setText(name); }

QString TfrmEditTrackName::trackName() const { return name_->text(); }

void TfrmEditTrackName::UpdateOkButton() { okButton_->setEnabled(!name_->text().isEmpty()); }

void TfrmEditTrackName::showEvent(QShowEvent* event) {
  name_->selectAll();
  name_->setFocus();
  QDialog::showEvent(event);
}

}  // namespace trackmill
