#pragma once
#include <QString>

// The boxes a command of the main window shows the user (caption Trackmill). The window
// answers with message boxes; tests record the texts and give the answers.
namespace trackmill {

class TUserPrompts {
 public:
  virtual ~TUserPrompts() = default;
  virtual void Information(const QString& text) = 0;
  virtual void Error(const QString& text) = 0;
  // Yes/No with the information icon; true for Yes.
  virtual bool AskYesNo(const QString& text) = 0;
};

}  // namespace trackmill
