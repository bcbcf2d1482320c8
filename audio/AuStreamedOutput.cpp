#include "audio/AuStreamedOutput.h"

namespace trackmill {

TAuStreamedOutput::TAuStreamedOutput(QObject* parent) : TAuOutput(parent) {}
TAuStreamedOutput::~TAuStreamedOutput() = default;

void TAuStreamedOutput::SetStream(QIODevice* stream) {
  ownedStream_.reset();
  stream_ = stream;
  streamSupplied_ = stream != nullptr;
}

}  // namespace trackmill
