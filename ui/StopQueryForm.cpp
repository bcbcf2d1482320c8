#include "ui/StopQueryForm.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "cddb/DriveCddb.h"
#include "settings/LangString.h"
#include "settings/translate/TranslateForm.h"

namespace trackmill {

TfrmStopQuery::TfrmStopQuery(QWidget* parent, CddbToc toc, DiscInfo* disc, QStringList* rowTitles)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      toc_(std::move(toc)),
      disc_(disc),
      rowTitles_(rowTitles) {
  setObjectName(QStringLiteral("frmStopQuery"));
  setWindowTitle(QStringLiteral("Query CDDB..."));

  queryingLabel_ = new QLabel(QStringLiteral("Query CDDB..."), this);
  queryingLabel_->setObjectName(QStringLiteral("Label1"));
  queryingLabel_->setMinimumWidth(260);
  // The no-match panel: one label per line, since a language file keeps a text on one line.
  noMatchPanel_ = new QFrame(this);
  noMatchPanel_->setObjectName(QStringLiteral("Panel1"));
  noMatchPanel_->setFrameShape(QFrame::Panel);
  noMatchPanel_->setFrameShadow(QFrame::Sunken);
  auto* panelLayout = new QVBoxLayout(noMatchPanel_);
  const std::pair<const char*, const char*> lines[] = {
      {"lblNoMatch", "No match found. Perhaps:"},
      {"lblNoMatch1", "1. The CDDB server has no entry for this disc."},
      {"lblNoMatch2", "2. The CDDB options are wrong."},
      {"lblNoMatch3", "3. The network cannot be reached."},
  };
  for (const auto& [name, text] : lines) {
    auto* line = new QLabel(QString::fromLatin1(text), noMatchPanel_);
    line->setObjectName(QString::fromLatin1(name));
    panelLayout->addWidget(line);
  }
  // What the server or the network said: set when there is no match.
  reasonLabel_ = new QLabel(noMatchPanel_);
  reasonLabel_->setWordWrap(true);
  reasonLabel_->setMaximumWidth(360);
  panelLayout->addSpacing(6);
  panelLayout->addWidget(reasonLabel_);
  noMatchPanel_->hide();
  stopButton_ = new QPushButton(QStringLiteral("Stop"), this);
  stopButton_->setObjectName(QStringLiteral("btStop"));
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(stopButton_);
  buttons->addStretch();

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(queryingLabel_);
  layout->addWidget(noMatchPanel_);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  // Stop while the worker runs, Close once the panel shows: both end the window unanswered.
  connect(stopButton_, &QPushButton::clicked, this, &TfrmStopQuery::reject);
  TranslateWhenFirstShown(this);
}

TfrmStopQuery::~TfrmStopQuery() { StopWorker(); }

void TfrmStopQuery::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (started_ || !toc_.IsValid()) return;
  started_ = true;
  worker_ = new TQueryCDDBThread(this, toc_, CddbQuerySettings::FromSettings(Settings()), disc_, rowTitles_);
  worker_->start();
}

void TfrmStopQuery::StopWorker() {
  // Once Stop returns the worker writes and posts nothing; it ends by itself when its transfer
  // gives up.
  if (worker_) worker_->Stop();
  worker_ = nullptr;
}

void TfrmStopQuery::reject() {
  StopWorker();
  QDialog::reject();
}

void TfrmStopQuery::customEvent(QEvent* event) {
  if (event->type() != CddbQueryEvent::EventType()) return QDialog::customEvent(event);
  const auto* query = static_cast<CddbQueryEvent*>(event);
  worker_ = nullptr;  // it posts once, then finishes by itself
  if (query->End() == CddbQueryEnd::Ended) {
    accept();
    return;
  }
  queryingLabel_->hide();
  noMatchPanel_->show();
  reasonLabel_->setText(CddbErrorText(query->Detail()));
  stopButton_->setText(LangString(QStringLiteral("RES_CddbClose")));
}

}  // namespace trackmill
