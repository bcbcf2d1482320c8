#include "audio/core/AuFileOut.h"

namespace trackmill {

TAuFileOut::TAuFileOut(QObject* parent) : TAuStreamedOutput(parent) {}
TAuFileOut::~TAuFileOut() = default;

void TAuFileOut::SetFileMode(TFileOutputMode) { fileMode_ = TFileOutputMode::foRewrite; }

}  // namespace trackmill
