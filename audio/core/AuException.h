#pragma once
#include <QString>

#include <stdexcept>

// The error type of the audio pipeline and the CD inputs. Its message is a fixed English
// text (never translated: callers that show it to the user translate by their own key).
namespace trackmill {

class EAuException : public std::runtime_error {
 public:
  explicit EAuException(const QString& message) : std::runtime_error(message.toStdString()) {}
  explicit EAuException(const char* message) : std::runtime_error(message) {}

  QString Message() const { return QString::fromStdString(what()); }
};

}  // namespace trackmill
