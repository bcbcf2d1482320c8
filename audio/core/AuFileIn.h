#pragma once
#include <QRecursiveMutex>
#include <QString>

#include <memory>

#include "audio/core/AuStreamedInput.h"
#include "tags/CommonTags.h"

// TAuFileIn: an input that reads a named file or a supplied stream. Concrete inputs
// implement OpenFile() (open and read the format) and CloseFile(); this class turns them into
// OpenInput()/CloseInput() with the run range, and answers the format getters before a run
// by opening the file. OpenFile()/CloseFile() run under the open/close lock; every run's range
// (StartSample/EndSample) is reset when the run closes.
//
// An unreadable or unsupported file raises nothing: Valid() is false and the input reports
// 8000 Hz, 8 bits, 1 channel and delivers no data.
namespace trackmill {

class TAuFileIn : public TAuStreamedInput {
  Q_OBJECT
 public:
  explicit TAuFileIn(QObject* parent = nullptr);
  ~TAuFileIn() override;

  int GetBitsPerSample() override;
  int GetChannels() override;
  int GetSampleRate() override;
  qint64 GetTotalSeconds() override;
  qint64 GetTotalFrames() override;
  void Reset() override;

 protected:
  // Opens the file (unless a stream was supplied) and reads its format into bitsPerSample_,
  // channels_, sampleRate_, size_ and valid_. Does nothing when already open. May raise
  // EAuException when the file cannot be opened at all.
  virtual void OpenFile() = 0;
  // Releases what OpenFile() acquired; a supplied stream is kept.
  virtual void CloseFile() = 0;

  void OpenInput() override;
  void CloseInput() override;

 public:
  QString FileName() const;
  // Closes the file first.
  void SetFileName(const QString& fileName);
  // Opens the file to read its header; closes it again when it is not valid.
  bool Valid();
  // Moves to a frame of the run range. Busy: repositions the stream; idle: sets the range
  // start. False when not seekable or the frame is beyond the file.
  bool Seek(qint64 frame);
  // Moves by offsetPermille thousandths of the whole length (limited to start..end).
  bool Jump(int offsetPermille);

 protected:
  mutable QRecursiveMutex openLock_;
  QString fileName_;  // guarded by openLock_
  int openCount_ = 0;  // > 0 while the file is open; guarded by openLock_
  bool valid_ = false;
  int bitsPerSample_ = 0;
  int sampleRate_ = 0;
  int channels_ = 0;
  qint64 totalSeconds_ = 0;
};

// Applies Jump() to the file input at the end of a chain of converters starting at input.
// False when the chain ends in something that is not a file input.
bool JumpThroughChain(TAuInput* input, int offsetPermille);

// A file input that carries tags: the common container (title, artist, album, ...), created
// and freed with it.
// The concrete input fills them when it reads its file; callers read them on the thread that
// owns the input, outside a run.
class TAuTaggedFileIn : public TAuFileIn {
  Q_OBJECT
 public:
  explicit TAuTaggedFileIn(QObject* parent = nullptr);
  ~TAuTaggedFileIn() override;

  TCommonTags& CommonTags() { return *commonTags_; }

 private:
  std::unique_ptr<TCommonTags> commonTags_;
};

}  // namespace trackmill
