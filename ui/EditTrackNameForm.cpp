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
  eName = new QLineEdit(titleGroup_);
  eName->setObjectName(QStringLiteral("eName"));
  eName->setMinimumWidth(320);
  auto* groupLayout = new QVBoxLayout(titleGroup_);
  groupLayout->addWidget(eName);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(titleGroup_);
  const DialogButtons buttons = AddOkCancelButtons(layout, this, "btOK", QStringLiteral("&OK"), QStringLiteral("&Cancel"));
  btOK = buttons.ok;
  btCancel = buttons.cancel;
  layout->setSizeConstraint(QLayout::SetFixedSize);

  connect(eName, &QLineEdit::textChanged, this, &TfrmEditTrackName::UpdateOkButton);
  UpdateOkButton();
  TranslateWhenFirstShown(this);
}

void TfrmEditTrackName::setTrackName(const QString& name) { eName->setText(name); }

QString TfrmEditTrackName::trackName() const { return eName->text(); }

void TfrmEditTrackName::UpdateOkButton() { btOK->setEnabled(!eName->text().isEmpty()); }

void TfrmEditTrackName::showEvent(QShowEvent* event) {
  eName->selectAll();
  eName->setFocus();
  QDialog::showEvent(event);
}

}  // namespace trackmill
