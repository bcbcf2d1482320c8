#pragma once
#include <QIODevice>

#include <memory>

#include "audio/core/AuInput.h"

// TAuStreamedInput: an input that reads a byte stream (a QIODevice), either one it opened
// itself (owned) or one the caller supplied with SetStream() (never freed by the input).
// Adds the run range StartSample..EndSample (frames; 0 and -1 cover everything) and Loop.
// Seekable by default. Threads and errors as TAuInput.
namespace trackmill {

class TAuStreamedInput : public TAuInput {
  Q_OBJECT
 public:
  explicit TAuStreamedInput(QObject* parent = nullptr);
  ~TAuStreamedInput() override;

  // Uses the caller's stream instead of opening a file; nullptr returns to file mode.
  // The stream must outlive the input's use of it.
  virtual void SetStream(QIODevice* stream);
  // Positions the stream at a frame (counted from the file start); returns success.
  virtual bool SeekTo(qint64 frame) = 0;

  // Serves the pre-buffer, then ReadBlock(), cuts the count at Size and applies Loop.
  void GetData(const char*& data, int& byteCount) override;

  bool Loop() const { return loop_; }
  void SetLoop(bool loop) { loop_ = loop; }
  qint64 StartSample() const { return startSample_; }
  void SetStartSample(qint64 frame) { startSample_ = frame; }
  qint64 EndSample() const { return endSample_; }
  void SetEndSample(qint64 frame) { endSample_ = frame; }

 protected:
  QIODevice* stream_ = nullptr;  // the stream being read (owned or supplied)
  bool streamSupplied_ = false;
  std::unique_ptr<QIODevice> ownedStream_;
  qint64 startSample_ = 0;
  qint64 endSample_ = -1;
  bool loop_ = false;
  qint64 totalFrames_ = 0;
};

}  // namespace trackmill
