#pragma once
#include <QDialog>
#include <QPointer>
#include <QStringList>

#include "cddb/CddbToc.h"
#include "cddb/QueryCDDBThread.h"

class QFrame;
class QLabel;
class QPushButton;

namespace trackmill {

// The CDDB progress window: runs one TQueryCDDBThread for the disc while it is shown. It ends
// with Accepted when the query has ended (the worker has then written the disc fields and the
// row titles), shows the no-match panel with the reason when nothing was found, and ends with
// Rejected on Stop (or Escape): the worker is abandoned at once and writes nothing afterwards.
//
// disc and rowTitles belong to the opener and must outlive the window; while it runs the opener
// leaves them alone (the window is modal). Without a valid toc (a window built for its texts)
// no query starts. No title-bar buttons. Main thread only.
class TfrmStopQuery : public QDialog {
  Q_OBJECT
 public:
  explicit TfrmStopQuery(QWidget* parent = nullptr, CddbToc toc = {}, DiscInfo* disc = nullptr,
                         QStringList* rowTitles = nullptr);
  ~TfrmStopQuery() override;

  // The running worker (null once it has finished or was abandoned).
  QPointer<TQueryCDDBThread> Worker() const { return worker_; }

  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;
  void customEvent(QEvent* event) override;

 private:
  void StopWorker();

  CddbToc toc_;
  DiscInfo* disc_;
  QStringList* rowTitles_;
  QPointer<TQueryCDDBThread> worker_;
  bool started_ = false;

  QLabel* queryingLabel_;
  QFrame* noMatchPanel_;
  QLabel* reasonLabel_;
  QPushButton* stopButton_;
};

}  // namespace trackmill
