#pragma once
#include <QObject>
#include <QString>

// The gain pass over an extracted track: every 16-bit sample after the 44-byte header is
// scaled by percent / 100 (a 32-bit float factor), rounded to the nearest integer with ties
// to even, in blocks of 2048 bytes. Posts {Percent 999} first and a progress record before
// every block to window (may be null). Runs on the calling thread.
//
// The result goes to a ".nor" file beside the WAV, which then replaces the WAV in one
// rename, so the track is never missing. On any failure the WAV is left as it was, the
// temporary file is removed, and the reason is returned; an empty string means success.
// Products beyond the 16-bit range (percent above 100, only from a hand-edited settings
// file) are limited to it rather than wrapped.
namespace trackmill {

QString NormalizeFile(QObject* window, int percent, const QString& fileName);

// One sample scaled the way NormalizeFile does it.
qint16 ScaleSample(qint16 sample, float gain);

}  // namespace trackmill
