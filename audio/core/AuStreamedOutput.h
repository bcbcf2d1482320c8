#pragma once
#include <QIODevice>

#include <memory>

#include "audio/core/AuOutput.h"

// TAuStreamedOutput: an output that writes a byte stream, either one it opens itself
// (owned) or one the caller supplied with SetStream() (never freed by the output).
// Set the stream only while the output is idle.
namespace trackmill {

class TAuStreamedOutput : public TAuOutput {
  Q_OBJECT
 public:
  explicit TAuStreamedOutput(QObject* parent = nullptr);
  ~TAuStreamedOutput() override;

  void SetStream(QIODevice* stream);
  QIODevice* Stream() const { return stream_; }

 protected:
  // Flushes the stream and closes it when the output opened it. Throws EAuException
  // "failure: reason" when written data did not reach the file; the stream is closed anyway.
  void FinishStream(const QString& failure);

  QIODevice* stream_ = nullptr;
  bool streamSupplied_ = false;
  std::unique_ptr<QIODevice> ownedStream_;
};

}  // namespace trackmill
