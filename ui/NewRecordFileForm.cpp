#include "ui/NewRecordFileForm.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "settings/translate/TranslateForm.h"
#include "ui/FormParts.h"

namespace trackmill {

namespace {

// A pair of exclusive choices in a row, the second one chosen.
QWidget* Choice(QRadioButton* first, QRadioButton* second) {
  auto* row = new QWidget;
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(first);
  layout->addWidget(second);
  auto* group = new QButtonGroup(row);
  group->addButton(first);
  group->addButton(second);
  second->setChecked(true);
  return row;
}

}  // namespace

TfrmNewRecordFile::TfrmNewRecordFile(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("frmNewRecordFile"));
  setWindowTitle(QStringLiteral("New sound file"));
  auto* group = Named(new QGroupBox(QStringLiteral("Record Property"), this), "GroupBox1");
  sampleRate_ = Named(new QComboBox, "cbBitrate");
  sampleRate_->addItems({"  8000", "11025", "12000", "16000", "22050", "24000", "32000", "44100", "48000"});
  sampleRate_->setCurrentText(QStringLiteral("44100"));
  eightBit_ = Named(new QRadioButton(QStringLiteral("8bit")), "rb8bit");
  sixteenBit_ = Named(new QRadioButton(QStringLiteral("16bit")), "rb16bit");
  mono_ = Named(new QRadioButton(QStringLiteral("Mono")), "rbMono");
  stereo_ = Named(new QRadioButton(QStringLiteral("Stereo")), "rbStereo");
  auto* form = new QFormLayout(group);
  // A plain colon: the full-width one is missing from most Linux desktops' fonts.
  form->addRow(Named(new QLabel(QStringLiteral("Sample rate:")), "Label1"), sampleRate_);
  form->addRow(Named(new QLabel(QStringLiteral("Data:")), "Label2"), Choice(eightBit_, sixteenBit_));
  form->addRow(Named(new QLabel(QStringLiteral("Mode:")), "Label3"), Choice(mono_, stereo_));
  auto* buttons = new QDialogButtonBox(this);
  Named(buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole), "btOK");
  Named(buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole), "btCancel");
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(group);
  layout->addWidget(buttons);
  TranslateWhenFirstShown(this);
}

int TfrmNewRecordFile::SampleRate() const { return sampleRate_->currentText().trimmed().toInt(); }
int TfrmNewRecordFile::Bits() const { return eightBit_->isChecked() ? 8 : 16; }
int TfrmNewRecordFile::Channels() const { return mono_->isChecked() ? 1 : 2; }

}  // namespace trackmill
