#pragma once
#include <QString>

// Message texts of the job runner and the encoder runners in the current language
// (LangString; the fallback stands in only for a key the English table lacks). Main thread only.
namespace trackmill {

QString JobText(const char* key, const QString& fallback = {});

// Window caption of a job step: phase + two-digit(current) + "/" + two-digit(count) + "): "
// + name, phase being "Extracting(", "Normalizing(", "Encoding(", "Decoding(" or "Resampling(".
QString JobCaption(const QString& phase, int current, int count, const QString& name);

enum class JobItemResult;
// How an item ended, in a word: "done", "failed", "not replaced", "stopped" or "not done".
QString JobItemResultWord(JobItemResult result);

}  // namespace trackmill
