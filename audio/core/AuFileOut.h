#pragma once
#include <QString>

#include "audio/core/AuStreamedOutput.h"

// TAuFileOut: an output that writes a named file or a supplied stream. FileMode chooses
// between replacing and appending (outputs that cannot append keep foRewrite); ShareMode is
// the sharing part of the file stream's mode (TAuFileStream) used when appending.
// Properties are changed only while the output is idle.
namespace trackmill {

enum class TFileOutputMode { foRewrite, foAppend };

class TAuFileOut : public TAuStreamedOutput {
  Q_OBJECT
 public:
  explicit TAuFileOut(QObject* parent = nullptr);
  ~TAuFileOut() override;

  // Base: ignores the value and keeps foRewrite.
  virtual void SetFileMode(TFileOutputMode mode);

  QString FileName() const { return fileName_; }
  void SetFileName(const QString& fileName) { fileName_ = fileName; }
  TFileOutputMode FileMode() const { return fileMode_; }
  quint16 ShareMode() const { return shareMode_; }
  void SetShareMode(quint16 shareMode) { shareMode_ = shareMode; }

 protected:
  QString fileName_;
  TFileOutputMode fileMode_ = TFileOutputMode::foRewrite;
  quint16 shareMode_ = 0;
};

}  // namespace trackmill
