#pragma once
#include <QPointer>

#include "audio/core/AuInput.h"

// TAuConverter: an input that reads another input (its Input). Its OpenInput() is expected
// to Init() the input and its CloseInput() to Flush() it. Bits per sample are the input's
// with bit 7 cleared (unless the full-bits flag is set), channels and rate the input's; all
// three are 0 without an input. Pause/resume are passed on. Threads and errors as TAuInput.
namespace trackmill {

class TAuConverter : public TAuInput {
  Q_OBJECT
 public:
  explicit TAuConverter(QObject* parent = nullptr);
  ~TAuConverter() override;

  int GetBitsPerSample() override;
  int GetChannels() override;
  int GetSampleRate() override;
  void GetData(const char*& data, int& byteCount) override;
  void PauseInput() override;
  void ResumeInput() override;

  // Ignored when it would make the converter its own input. While busy the old input is
  // flushed and the new one initialised.
  virtual void SetInput(TAuInput* input);
  TAuInput* Input() const { return input_.data(); }
  // After the input was moved (a jump): Position becomes the same fraction of Size as the
  // input's, and what was read ahead is dropped, so progress and the end of this converter
  // follow the new place instead of cutting playback short after a jump back.
  void FollowInputPosition();

 protected:
  QPointer<TAuInput> input_;  // cleared when the input is destroyed
};

}  // namespace trackmill
