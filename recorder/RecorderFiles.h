#pragma once
#include <QString>

// The recorder's files without its window: the current file, the working copy the sound
// devices use while a named file is current, the unnamed recording, the modified and
// "MP3 asked" flags, and New, Open, Save, Save As, Undo and the conversion to MP3 with every
// question and message they need. The window stops playback and recording before it calls
// anything that copies, renames or deletes (every call below but Caption and the getters).
//
// Files live in the per-user data folder: "MyNoName.wav" (the unnamed recording, kept when
// the user declines to save it) and "MyTemp.wav" (the working copy, removed by Finish).
// Main thread only. A failed step leaves the current file, the working copy and Modified as
// they were, and answers false.
namespace trackmill {

// What the recorder asks the user, and the conversion it starts. The window answers with
// boxes and dialogs; tests answer directly.
class TRecorderPrompts {
 public:
  enum class Answer { Yes, No, Cancel };
  virtual ~TRecorderPrompts() = default;
  virtual void Information(const QString& text) = 0;
  virtual void Warning(const QString& text) = 0;
  virtual void Error(const QString& text) = 0;
  virtual bool AskYesNo(const QString& text) = 0;
  virtual Answer AskYesNoCancel(const QString& text) = 0;
  // The save dialog: a file name, or empty when cancelled.
  virtual QString SaveFileName() = 0;
  // Runs the MP3 job (kind 4) on the WAV file, modally.
  virtual void ConvertToMp3(const QString& wavFile) = 0;
};

class TRecorderFiles {
 public:
  explicit TRecorderFiles(TRecorderPrompts& prompts);

  static QString UnnamedPath();      // MyNoName.wav
  static QString WorkingCopyPath();  // MyTemp.wav
  // "1Hour2 Min3 Sec" from a minute on, else "45.7 Sec".
  static QString TimeText(qint64 ms);
  // Milliseconds to wait on Stop so that a recording of elapsedMs ends on a whole second: none
  // when the fraction is 100 ms or less.
  static int WholeSecondWaitMs(qint64 elapsedMs);

  const QString& CurrentFile() const { return current_; }
  bool HasFile() const { return !current_.isEmpty(); }
  bool IsUnnamed() const { return current_ == UnnamedPath(); }
  // The file that playback and recording use: the unnamed recording itself, else the working
  // copy.
  QString DeviceFile() const { return IsUnnamed() ? current_ : WorkingCopyPath(); }
  QString Caption() const;
  bool Modified() const { return modified_; }
  void SetModified() { modified_ = true; }
  bool CanUndo(bool recording) const { return modified_ && !recording && HasFile() && !IsUnnamed(); }
  bool SaveMp3 = false;  // the "MP3 format" menu item

  // A new unnamed recording: a WAV header of that format with no audio.
  bool New(int sampleRate, int bits, int channels);
  // Makes an existing WAV file current (its copy becomes the working copy). Opening the
  // current file again does nothing and answers true.
  bool Open(const QString& path);
  // Closing the current file (before New, Open and at the end). With asking, a modified file
  // gives the save question; without, the file is saved. False when the caller must not go on.
  bool CloseCurrent(bool asking);
  bool Save() { return CloseCurrent(false); }
  bool SaveAs();
  // Asks, then puts the current file back over the working copy.
  bool Undo();
  // The window closes: the working copy goes.
  void Finish();

 private:
  bool MakeCurrent(const QString& path);
  // The save dialog with the ".wav" rule and the overwrite question; empty when refused.
  QString AskSaveName(bool deleteExisting);
  void ConvertToMp3();

  TRecorderPrompts& prompts_;
  QString current_;
  bool modified_ = false;
  bool mp3Asked_ = false;
};

}  // namespace trackmill
