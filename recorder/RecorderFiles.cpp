#include "recorder/RecorderFiles.h"

#include <QFile>
#include <QFileInfo>

#include <cstdio>

#include "audio/wav/WavFormat.h"
#include "common/DataFolder.h"
#include "common/FileUtils.h"
#include "settings/LangString.h"

namespace trackmill {

namespace {

// Renames over an existing target in one step.
bool MoveOver(const QString& source, const QString& target) {
  return std::rename(QFile::encodeName(source).constData(), QFile::encodeName(target).constData()) == 0;
}

// Copies the whole file over target, through a temporary beside it, so a failed copy leaves
// target as it was.
bool CopyOver(const QString& source, const QString& target) {
  const QString temporary = target + QStringLiteral(".part");
  QFile::remove(temporary);
  if (!QFile::copy(source, temporary)) return false;
  if (MoveOver(temporary, target)) return true;
  QFile::remove(temporary);
  return false;
}

}  // namespace

TRecorderFiles::TRecorderFiles(TRecorderPrompts& prompts) : prompts_(prompts) {}

QString TRecorderFiles::UnnamedPath() { return DataFile(QStringLiteral("MyNoName.wav")); }

QString TRecorderFiles::WorkingCopyPath() { return DataFile(QStringLiteral("MyTemp.wav")); }

QString TRecorderFiles::TimeText(qint64 ms) {
  if (ms < 60000) return QString::number(double(ms) / 1000.0, 'g', 3) + QStringLiteral(" Sec");
  const qint64 seconds = ms / 1000;
  QString text;
  if (seconds / 3600) text += QString::number(seconds / 3600) + QStringLiteral("Hour");
  if (seconds / 60 % 60) text += QString::number(seconds / 60 % 60) + QStringLiteral(" Min");
  if (seconds % 60) text += QString::number(seconds % 60) + QStringLiteral(" Sec");
  return text;
}

int TRecorderFiles::WholeSecondWaitMs(qint64 elapsedMs) {
  const int fraction = int(elapsedMs % 1000);
  return fraction > 100 ? 1000 - fraction : 0;
}

QString TRecorderFiles::Caption() const {
  const QString name = !HasFile() || IsUnnamed() ? LangString("RES_NoNameStr") : current_;
  return LangString("RES_TitleStr") + "(" + name + ")";
}

bool TRecorderFiles::New(int sampleRate, int bits, int channels) {
  QFile file(UnnamedPath());
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
      file.write(wav::PcmHeader(channels, quint32(sampleRate), bits, 0)) != wav::kPcmHeaderBytes) {
    prompts_.Error(LangString("RES_MCI_Init_Fail"));
    return false;
  }
  current_ = UnnamedPath();
  modified_ = false;
  mp3Asked_ = false;
  return true;
}

bool TRecorderFiles::Open(const QString& path) {
  if (QFileInfo(path).absoluteFilePath() == QFileInfo(current_).absoluteFilePath()) return true;
  if (!MakeCurrent(path)) return false;
  mp3Asked_ = false;
  return true;
}

bool TRecorderFiles::MakeCurrent(const QString& path) {
  if (!CopyOver(path, WorkingCopyPath())) {
    prompts_.Error(LangString("RES_MCI_Init_Fail"));
    return false;
  }
  current_ = QFileInfo(path).absoluteFilePath();
  modified_ = false;
  return true;
}

QString TRecorderFiles::AskSaveName(bool deleteExisting) {
  const QString name = prompts_.SaveFileName();
  if (name.isEmpty()) return {};
  if (QFileInfo(name).suffix().compare(QStringLiteral("wav"), Qt::CaseInsensitive) != 0) {
    prompts_.Information(LangString("RES_Wav_File"));
    return {};
  }
  if (QFileInfo::exists(name)) {
    if (!prompts_.AskYesNo(name + LangString("RES_File_Exist"))) return {};
    if (deleteExisting && !QFile::remove(name)) {
      prompts_.Error(LangString("RES_Delete_Fail"));
      return {};
    }
  }
  return name;
}

bool TRecorderFiles::CloseCurrent(bool asking) {
  if (!HasFile()) return true;
  if (!modified_ && (asking || !IsUnnamed())) return true;
  if (modified_ && asking) {
    const QString name = IsUnnamed() ? LangString("RES_NoNameStr") : current_;
    switch (prompts_.AskYesNoCancel(name + LangString("RES_Have_Modify"))) {
      case TRecorderPrompts::Answer::Cancel: return false;
      case TRecorderPrompts::Answer::No: modified_ = false; return true;
      case TRecorderPrompts::Answer::Yes: break;
    }
  }
  if (!IsUnnamed()) {
    if (!CopyOver(WorkingCopyPath(), current_)) {
      prompts_.Error(LangString("RES_Save_Fail"));
      return false;
    }
    ConvertToMp3();
    modified_ = false;
    return true;
  }
  const QString name = AskSaveName(true);
  if (name.isEmpty()) return false;
  QFile::remove(WorkingCopyPath());
  if (!MoveOver(UnnamedPath(), name)) {
    prompts_.Error(LangString("RES_Save_Fail"));
    return false;
  }
  if (!MakeCurrent(name)) return false;
  ConvertToMp3();
  modified_ = false;
  return true;
}

bool TRecorderFiles::SaveAs() {
  if (!HasFile()) return false;
  const QString name = AskSaveName(false);
  if (name.isEmpty()) return false;
  // The overwrite question was answered: the old file goes only once the new one is in place.
  const bool same = QFileInfo(name).absoluteFilePath() == QFileInfo(current_).absoluteFilePath();
  const bool saved = IsUnnamed() ? same || MoveOver(UnnamedPath(), name) : CopyOver(WorkingCopyPath(), name);
  if (!saved) {
    prompts_.Error(LangString("RES_Save_Fail"));
    return false;
  }
  if (!MakeCurrent(name)) return false;
  ConvertToMp3();
  return true;
}

bool TRecorderFiles::Undo() {
  if (!CanUndo(false) || !prompts_.AskYesNo(LangString("RES_Discard_Modify"))) return false;
  if (!CopyOver(current_, WorkingCopyPath())) {
    prompts_.Error(LangString("RES_MCI_Init_Fail"));
    return false;
  }
  modified_ = false;
  return true;
}

void TRecorderFiles::ConvertToMp3() {
  // The conversion reads the saved file only: no drive is needed for it.
  if (!SaveMp3 || !HasFile()) return;
  const QString mp3 = QFileInfo(current_).path() + "/" + QFileInfo(current_).completeBaseName() + ".mp3";
  if (!mp3Asked_ && QFileInfo::exists(mp3)) {
    if (!prompts_.AskYesNo(mp3 + LangString("RES_File_Exist"))) return;
    if (IsFileInUse(mp3)) {
      prompts_.Error(mp3 + LangString("RES_File_Cannot_Create"));
      return;
    }
  }
  mp3Asked_ = true;
  prompts_.ConvertToMp3(current_);
}

void TRecorderFiles::Finish() { QFile::remove(WorkingCopyPath()); }

}  // namespace trackmill
