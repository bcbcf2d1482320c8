#pragma once
#include <QFileDialog>
#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <deque>
#include <functional>

// Answers the modal windows that a test's clicks open, as a user would: each new modal window
// (QApplication::activeModalWidget) is offered to the queued answers in order, and the first
// answer that takes it runs. A message box nobody expected is recorded and closed with its
// escape button, so a test fails instead of hanging; other windows nobody answers (a job
// window that closes by itself) are left alone.
namespace trackmill::test {

class ModalAnswerer : public QObject {
 public:
  // Returns false when the window is not the kind this answer is for.
  using Answer = std::function<bool(QWidget*)>;

  ModalAnswerer();

  void Then(Answer answer) { answers_.push_back(std::move(answer)); }
  // The next message box is answered with button; its text and icon are recorded.
  void AnswerBox(QMessageBox::StandardButton button = QMessageBox::Ok);
  // The next window of type W is handed to handle.
  template <typename W>
  void OnWindow(std::function<void(W*)> handle) {
    Then([handle](QWidget* widget) {
      W* window = qobject_cast<W*>(widget);
      if (window) handle(window);
      return window != nullptr;
    });
  }

  // The next file dialog opens directory and takes typed in its file-name box, as a user
  // types it (several files as "a.wav" "b.wav"); look sees the dialog first. A dialog that
  // refuses the name is closed and recorded in refusedFileNames, so the test fails, not hangs.
  void AnswerFileDialog(const QString& directory, const QString& typed,
                        std::function<void(QFileDialog*)> look = {});

  bool AllAnswered() const { return answers_.empty(); }
  QStringList boxTexts;  // message boxes answered, in order
  QList<QMessageBox::Icon> boxIcons;
  QStringList boxCaptions;
  QStringList unexpectedBoxes;
  QStringList refusedFileNames;

 private:
  void Look();

  QTimer timer_;
  std::deque<Answer> answers_;
  QList<QPointer<QWidget>> seen_;
};

}  // namespace trackmill::test
