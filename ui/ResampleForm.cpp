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

  progressBar1_ = Named(new QProgressBar(this), "ProgressBar1");
  progressBar1_->setRange(0, 100);
  progressBar1_->setValue(0);

  auto* input = Named(new QGroupBox("Input File Parameters", this), "GroupBox1");
  auto* inputForm = new QFormLayout(input);
  const auto addFact = [&](const char* caption, const char* name) {
    auto* value = Named(new QLabel(input), name);
    inputForm->addRow(QString::fromLatin1(caption), value);
    return value;
  };
  label5_ = addFact("File name:", "Label5");
  label6_ = addFact("Channels:", "Label6");
  label7_ = addFact("Sample rate:", "Label7");
  label8_ = addFact("Bits per sample:", "Label8");
  label15_ = addFact("Encoding:", "Label15");

  auto* output = Named(new QGroupBox(" Output File Parameters ", this), "GroupBox2");
  auto* outputForm = new QFormLayout(output);
  label10_ = Named(new QLabel(output), "Label10");
  outputForm->addRow("File name:", label10_);
  spinEdit1_ = Named(new QSpinBox(output), "SpinEdit1");
  spinEdit1_->setRange(1, 2);
  spinEdit1_->setValue(1);
  outputForm->addRow("&Channels:", spinEdit1_);
  edit1_ = Named(new QLineEdit("22050", output), "Edit1");
  outputForm->addRow("Sample &rate:", edit1_);
  spinEdit3_ = Named(new QSpinBox(output), "SpinEdit3");
  spinEdit3_->setRange(8, 32);
  spinEdit3_->setSingleStep(8);
  spinEdit3_->setValue(8);
  outputForm->addRow("&Bits per sample:", spinEdit3_);
  comboBox1_ = Named(new QComboBox(output), "ComboBox1");
  comboBox1_->addItems({"RAW PCM", "DVI IMA ADPCM"});
  comboBox1_->setCurrentIndex(0);
  outputForm->addRow("&Encoding:", comboBox1_);

  auto* files = new QHBoxLayout;
  connect(AddButton(files, this, "Button1", "&Input File..."), &QPushButton::clicked, this, &TfrmResample::Button1Click);
  connect(AddButton(files, this, "Button2", "&Output File..."), &QPushButton::clicked, this, &TfrmResample::Button2Click);
  auto* actions = new QHBoxLayout;
  button3_ = AddButton(actions, this, "Button3", "Con&vert");
  connect(button3_, &QPushButton::clicked, this, &TfrmResample::Button3Click);
  connect(AddButton(actions, this, "Button4", "&Abort"), &QPushButton::clicked, this, &TfrmResample::Button4Click);
  connect(AddButton(actions, this, "Button5", "&Close"), &QPushButton::clicked, this, &QWidget::close);

  statusBar1_ = Named(new QStatusBar(this), "StatusBar1");
  statusBar1_->setSizeGripEnabled(false);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(progressBar1_);
  layout->addWidget(input);
  layout->addLayout(files);
  layout->addWidget(output);
  layout->addLayout(actions);
  layout->addWidget(statusBar1_);

  connect(conversion_, &WaveFileConversion::progressChanged, progressBar1_, &QProgressBar::setValue);
  connect(conversion_, &WaveFileConversion::finished, this, &TfrmResample::ConversionFinished);
}

TfrmResample::~TfrmResample() { conversion_->StopAndWait(); }

QString TfrmResample::StatusText() const { return statusBar1_->currentMessage(); }

void TfrmResample::SetStatus(const QString& text) { statusBar1_->showMessage(text); }

void TfrmResample::Button1Click() {
  const QString path = QFileDialog::getOpenFileName(this, "Open", QString(), "Wave Files (*.wav)");
  if (!path.isEmpty()) SetInputFile(path);
}

void TfrmResample::SetInputFile(const QString& path) {
  const bool valid = conversion_->SetInputFile(path);
  label5_->setText(valid ? QFileInfo(path).fileName() : QString());
  label6_->setText(valid ? QString::number(conversion_->InputChannels()) : QString());
  label7_->setText(valid ? QString::number(conversion_->InputSampleRate()) : QString());
  label8_->setText(valid ? QString::number(conversion_->InputBitsPerSample()) : QString());
  label15_->setText(valid ? conversion_->InputEncodingName() : QString());
  if (!valid) SetStatus(QFileInfo(path).fileName() + " is not a wave file that can be converted");
}

void TfrmResample::Button2Click() {
  QString filter;
  const QString path = QFileDialog::getSaveFileName(this, "Save As", QString(),
                                                    "Wave Files (*.wav);;Windows Media Files (*.wma)", &filter);
  if (!path.isEmpty()) SetOutputFile(path);
}

void TfrmResample::SetOutputFile(const QString& path) {
  label10_->setText(conversion_->SetOutputFile(path) ? QFileInfo(path).fileName() : QString());
}

void TfrmResample::Button3Click() {
  if (conversion_->IsRunning()) return;
  if (conversion_->OutputFile().isEmpty()) {
    ShowMessageBox(this, "The output file name is not set!", QMessageBox::Critical);
    return;
  }
  bool whole = false;
  const uint rate = edit1_->text().trimmed().toUInt(&whole);
  if (!whole || rate == 0) {
    SetStatus(QStringLiteral("The sample rate \"%1\" is not a whole number of hertz (for example 22050)")
                  .arg(edit1_->text()));
    return;
  }
  WaveConversionOptions options;
  options.channels = spinEdit1_->value();
  options.sampleRate = rate;
  options.bitsPerSample = spinEdit3_->value();
  options.encoding = comboBox1_->currentIndex() == 1 ? TWavType::wtDVIADPCM : TWavType::wtPCM;
  try {
    conversion_->Start(options);
  } catch (const EAuException& error) {
    SetStatus(error.Message());
    return;
  }
  button3_->setEnabled(false);
  progressBar1_->setValue(0);
  SetStatus("Converting...");
}

void TfrmResample::Button4Click() { conversion_->Abort(); }

void TfrmResample::ConversionFinished(const QString& failure) {
  button3_->setEnabled(true);
  progressBar1_->setValue(failure.isEmpty() ? 100 : 0);
  SetStatus(failure.isEmpty() ? QStringLiteral("Success!") : failure);
}

void TfrmResample::closeEvent(QCloseEvent* event) {
  conversion_->StopAndWait();
  button3_->setEnabled(true);
  QDialog::closeEvent(event);
}

}  // namespace trackmill
