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

// Options come before a "--" word: every word after it is an operand, even one that starts
// with "-" (a file named "--no" or "-x.wav").
// Takes "--name VALUE" out of args; returns the value (empty when absent). A missing value
// after the option sets ok to false.
QString TakeOption(QStringList& args, const QString& name, bool* ok = nullptr);
// Takes a bare "--flag" out of args; true when it was there.
bool TakeFlag(QStringList& args, const QString& name);
// The operands left once the options were taken: the words before "--" and every word after
// it. unknownOption receives the first word before "--" that looks like an option ("--..."),
// and stays empty when there is none.
QStringList Operands(const QStringList& args, QString* unknownOption);

// Loads the settings; a settings file that exists but cannot be read is said on stderr, and
// the command goes on with the defaults.
void LoadSettingsOrWarn();

int RunCommandLine(const QStringList& arguments);  // arguments without the program name
QString HelpText();

}  // namespace trackmill::cli
