#include "ui/ResampleForm.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QVBoxLayout>

#include "audio/core/AuException.h"
#include "audio/dsp/WaveFileConversion.h"
#include "ui/FormParts.h"
#include "ui/MessageBox.h"

namespace trackmill {
namespace {

QPushButton* AddButton(QBoxLayout* row, QWidget* parent, const char* name, const char* text) {
  auto* button = Named(new QPushButton(QString::fromLatin1(text), parent), name);
  row->addWidget(button);
  return button;
}

}  // namespace

TfrmResample::TfrmResample(QWidget* parent) : QDialog(parent), conversion_(new WaveFileConversion(this)) {
  setObjectName("frmResample");
  setWindowTitle("Wave File Converter");
  setModal(true);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);

  progress_ = Named(new QProgressBar(this), "ProgressBar1");
  progress_->setRange(0, 100);
  progress_->setValue(0);

  auto* input = Named(new QGroupBox("Input File Parameters", this), "GroupBox1");
  auto* inputForm = new QFormLayout(input);
  const auto addFact = [&](const char* caption, const char* name) {
    auto* value = Named(new QLabel(input), name);
    inputForm->addRow(QString::fromLatin1(caption), value);
    return value;
  };
  inputName_ = addFact("File name:", "Label5");
  inputChannels_ = addFact("Channels:", "Label6");
  inputRate_ = addFact("Sample rate:", "Label7");
  inputBits_ = addFact("Bits per sample:", "Label8");
  inputEncoding_ = addFact("Encoding:", "Label15");

  auto* output = Named(new QGroupBox(" Output File Parameters ", this), "GroupBox2");
  auto* outputForm = new QFormLayout(output);
  outputName_ = Named(new QLabel(output), "Label10");
  outputForm->addRow("File name:", outputName_);
  outputChannels_ = Named(new QSpinBox(output), "SpinEdit1");
  outputChannels_->setRange(1, 2);
  outputChannels_->setValue(1);
  outputForm->addRow("&Channels:", outputChannels_);
  outputRate_ = Named(new QLineEdit("22050", output), "Edit1");
  outputForm->addRow("Sample &rate:", outputRate_);
  outputBits_ = Named(new QSpinBox(output), "SpinEdit3");
  outputBits_->setRange(8, 32);
  outputBits_->setSingleStep(8);
  outputBits_->setValue(8);
  outputForm->addRow("&Bits per sample:", outputBits_);
  outputEncoding_ = Named(new QComboBox(output), "ComboBox1");
  outputEncoding_->addItems({"RAW PCM", "DVI IMA ADPCM"});
  outputEncoding_->setCurrentIndex(0);
  outputForm->addRow("&Encoding:", outputEncoding_);

  auto* files = new QHBoxLayout;
  connect(AddButton(files, this, "Button1", "&Input File..."), &QPushButton::clicked, this, &TfrmResample::ChooseInputFile);
  connect(AddButton(files, this, "Button2", "&Output File..."), &QPushButton::clicked, this, &TfrmResample::ChooseOutputFile);
  auto* actions = new QHBoxLayout;
  convertButton_ = AddButton(actions, this, "Button3", "Con&vert");
  connect(convertButton_, &QPushButton::clicked, this, &TfrmResample::Convert);
  connect(AddButton(actions, this, "Button4", "&Abort"), &QPushButton::clicked, this, &TfrmResample::Abort);
  connect(AddButton(actions, this, "Button5", "&Close"), &QPushButton::clicked, this, &QWidget::close);

  statusBar_ = Named(new QStatusBar(this), "StatusBar1");
  statusBar_->setSizeGripEnabled(false);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(progress_);
  layout->addWidget(input);
  layout->addLayout(files);
  layout->addWidget(output);
  layout->addLayout(actions);
  layout->addWidget(statusBar_);

  connect(conversion_, &WaveFileConversion::progressChanged, progress_, &QProgressBar::setValue);
  connect(conversion_, &WaveFileConversion::finished, this, &TfrmResample::ConversionFinished);
}

TfrmResample::~TfrmResample() { conversion_->StopAndWait(); }

QString TfrmResample::StatusText() const { return statusBar_->currentMessage(); }

void TfrmResample::SetStatus(const QString& text) { statusBar_->showMessage(text); }

void TfrmResample::ChooseInputFile() {
  const QString path = QFileDialog::getOpenFileName(this, "Open", QString(), "Wave Files (*.wav)");
  if (!path.isEmpty()) SetInputFile(path);
}

void TfrmResample::SetInputFile(const QString& path) {
  const bool valid = conversion_->SetInputFile(path);
  inputName_->setText(valid ? QFileInfo(path).fileName() : QString());
  inputChannels_->setText(valid ? QString::number(conversion_->InputChannels()) : QString());
  inputRate_->setText(valid ? QString::number(conversion_->InputSampleRate()) : QString());
  inputBits_->setText(valid ? QString::number(conversion_->InputBitsPerSample()) : QString());
  inputEncoding_->setText(valid ? conversion_->InputEncodingName() : QString());
  if (!valid) SetStatus(QFileInfo(path).fileName() + " is not a wave file that can be converted");
}

void TfrmResample::ChooseOutputFile() {
  QString filter;
  const QString path = QFileDialog::getSaveFileName(this, "Save As", QString(),
                                                    "Wave Files (*.wav);;Windows Media Files (*.wma)", &filter);
  if (!path.isEmpty()) SetOutputFile(path);
}

void TfrmResample::SetOutputFile(const QString& path) {
  outputName_->setText(conversion_->SetOutputFile(path) ? QFileInfo(path).fileName() : QString());
}

void TfrmResample::Convert() {
  if (conversion_->IsRunning()) return;
  if (conversion_->OutputFile().isEmpty()) {
    ShowMessageBox(this, "The output file name is not set!", QMessageBox::Critical);
    return;
  }
  bool whole = false;
  const uint rate = outputRate_->text().trimmed().toUInt(&whole);
  if (!whole || rate == 0) {
    SetStatus(QStringLiteral("The sample rate \"%1\" is not a whole number of hertz (for example 22050)")
                  .arg(outputRate_->text()));
    return;
  }
  WaveConversionOptions options;
  options.channels = outputChannels_->value();
  options.sampleRate = rate;
  options.bitsPerSample = outputBits_->value();
  options.encoding = outputEncoding_->currentIndex() == 1 ? TWavType::wtDVIADPCM : TWavType::wtPCM;
  try {
    conversion_->Start(options);
  } catch (const EAuException& error) {
    SetStatus(error.Message());
    return;
  }
  convertButton_->setEnabled(false);
  progress_->setValue(0);
  SetStatus("Converting...");
}

void TfrmResample::Abort() { conversion_->Abort(); }

void TfrmResample::ConversionFinished(const QString& failure) {
  convertButton_->setEnabled(true);
  progress_->setValue(failure.isEmpty() ? 100 : 0);
  SetStatus(failure.isEmpty() ? QStringLiteral("Success!") : failure);
}

void TfrmResample::closeEvent(QCloseEvent* event) {
  conversion_->StopAndWait();
  convertButton_->setEnabled(true);
  QDialog::closeEvent(event);
}

}  // namespace trackmill
