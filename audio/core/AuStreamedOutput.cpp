#include "audio/core/AuStreamedOutput.h"

#include <QFileDevice>

#include "audio/core/AuException.h"

namespace trackmill {

TAuStreamedOutput::TAuStreamedOutput(QObject* parent) : TAuOutput(parent) {}
TAuStreamedOutput::~TAuStreamedOutput() = default;

void TAuStreamedOutput::SetStream(QIODevice* stream) {
  ownedStream_.reset();
  stream_ = stream;
  streamSupplied_ = stream != nullptr;
}

void TAuStreamedOutput::FinishStream(const QString& failure) {
  auto* file = qobject_cast<QFileDevice*>(stream_);
  bool written = !file || file->flush();
  QString reason = file ? file->errorString() : QString();
  if (!streamSupplied_ && ownedStream_) {
    // Closing may report what the flush could not (a failing close, a failure noted earlier).
    ownedStream_->close();
    if (file && file->error() != QFileDevice::NoError) {
      written = false;
      reason = file->errorString();
    }
    ownedStream_.reset();
    stream_ = nullptr;
  }
  if (!written) throw EAuException(failure + QStringLiteral(": ") + reason);
}

}  // namespace trackmill
