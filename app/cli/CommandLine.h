#pragma once
#include <QString>
#include <QStringList>
#include <QTextStream>

// Shared pieces of the headless commands: output streams and small argument helpers.
namespace trackmill::cli {

QTextStream& Out();  // stdout, UTF-8
QTextStream& Err();  // stderr, UTF-8

// Prints "trackmill: message" on stderr and returns exit code 1 (or the given code).
int Fail(const QString& message, int exitCode = 1);
int NotYetAvailable(const QString& command);

// Takes "--name VALUE" out of args; returns the value (empty when absent). A missing value
// after the option sets ok to false.
QString TakeOption(QStringList& args, const QString& name, bool* ok = nullptr);
// Takes a bare "--flag" out of args; true when it was there.
bool TakeFlag(QStringList& args, const QString& name);

int RunCommandLine(const QStringList& arguments);  // arguments without the program name
QString HelpText();

}  // namespace trackmill::cli
