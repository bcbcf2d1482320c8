// Files dropped on the main window: a disc image is opened as "Open Disc Image" opens it; WAV
// and MP3 files get a menu of the File menu's conversions that apply to them, each run as that
// menu's job (same job window, same output folder).
#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <QTimer>

#include "app/shell/DroppedFiles.h"
#include "app/shell/ExtractCommand.h"
#include "common/JobCodes.h"
#include "ui/MainForm.h"
#include "ui/ResampleForm.h"

namespace trackmill {
namespace {

DroppedFiles DroppedOn(const QDropEvent& event) {
  const QMimeData* data = event.mimeData();
  return data && data->hasUrls() ? ClassifyDroppedFiles(data->urls()) : DroppedFiles{};
}

}  // namespace

void TMainForm::dragEnterEvent(QDragEnterEvent* event) {
  dropAccepted_ = DroppedOn(*event).kind != DroppedFiles::Kind::Refused;
  if (dropAccepted_)
    event->acceptProposedAction();
  else
    event->ignore();
}

void TMainForm::dragMoveEvent(QDragMoveEvent* event) {
  if (dropAccepted_)
    event->acceptProposedAction();
  else
    event->ignore();
}

void TMainForm::dropEvent(QDropEvent* event) {
  const DroppedFiles dropped = DroppedOn(*event);
  if (dropped.kind == DroppedFiles::Kind::Refused) return event->ignore();
  event->acceptProposedAction();
  const QPoint at = mapToGlobal(event->position().toPoint());
  // From the event loop, not inside the drop: the source of the drag waits for its end.
  QTimer::singleShot(0, this, [this, dropped, at] {
    if (closing_) return;
    if (dropped.kind == DroppedFiles::Kind::DiscImage)
      OpenDiscImage(dropped.paths.first());
    else
      ShowDropMenu(dropped, at);
  });
}

void TMainForm::ShowDropMenu(const DroppedFiles& dropped, const QPoint& at) {
  auto* menu = new QMenu(this);
  menu->setAttribute(Qt::WA_DeleteOnClose);
  // Each entry reads as its File menu entry; its job runs once the menu has gone.
  const auto offer = [this, menu](const QAction* like, std::function<void()> run) {
    QAction* entry = menu->addAction(like->text());
    connect(entry, &QAction::triggered, this, [this, run] { QTimer::singleShot(0, this, run); });
  };
  const QStringList files = dropped.paths;
  if (dropped.kind == DroppedFiles::Kind::WavFiles) {
    offer(actionWavToMp3_, [this, files] { RunFileJob(job_kind::kWavToMp3, files); });
    offer(actionWavToOgg_, [this, files] { RunFileJob(job_kind::kWavToOgg, files); });
    offer(actionWavToWma_, [this, files] { RunFileJob(job_kind::kWavToWma, files); });
    // The wave file converter takes one file at a time.
    if (files.size() == 1) offer(actionWavToWav_, [this, files] { ConvertDroppedWav(files.first()); });
  } else {
    offer(actionMp3ToWav_, [this, files] { RunFileJob(job_kind::kMp3ToWav, files); });
  }
  menu->popup(at);
}

void TMainForm::RunFileJob(int jobKind, const QStringList& files) {
  if (closing_ || !CheckOutputFolder(*prompts_)) return;
  RunJobWindow(jobKind, 0, FileItems(files));
}

void TMainForm::ConvertDroppedWav(const QString& file) {
  if (closing_) return;
  TfrmResample converter(this);
  converter.SetInputFile(file);
  converter.exec();
}

}  // namespace trackmill
