#include "player/OggPlayer.h"

#include <QFileInfo>

namespace trackmill {

namespace {
constexpr int kLatencyMs = 80;
constexpr int kPollingIntervalMs = 200;
constexpr int kFramesInBuffer = 65536;
}  // namespace

OggPlayer::OggPlayer(QObject* parent)
    : QObject(parent), input_(new TVorbisIn(this)), balance_(new TStereoBalance(this)),
      output_(new PortAudioOutput(this)) {
  input_->SetLoop(false);
  balance_->SetInput(input_);
  balance_->SetBalance(0.5f);
  output_->SetDeviceNumber(0);
  output_->SetLatency(kLatencyMs);
  output_->SetPrefetchData(true);
  output_->SetPollingInterval(kPollingIntervalMs);
  output_->SetFramesInBuffer(kFramesInBuffer);
  output_->SetSpeedFactor(1.0f);
  output_->SetInput(balance_);
}

OggPlayer::~OggPlayer() {
  // The output reads the others: it goes first.
  delete output_;
}

bool OggPlayer::Open(const QString& fileName) {
  if (!Idle()) return false;  // renaming closes the file under a running playback
  input_->SetFileName(fileName);
  totalSeconds_ = 0;
  const QString suffix = fileName.right(4);
  const bool oggName = suffix.compare(QStringLiteral(".ogg"), Qt::CaseInsensitive) == 0 ||
                       suffix.compare(QStringLiteral(".oga"), Qt::CaseInsensitive) == 0;
  if (!oggName || !input_->Valid()) return false;
  // Asked now: during playback the output's thread opens and closes the file.
  totalSeconds_ = input_->GetTotalSeconds();
  return true;
}

void OggPlayer::Play() { output_->Run(); }

bool OggPlayer::TogglePause() {
  if (output_->Status() == 0) {
    output_->Pause();
    return false;
  }
  output_->Resume();
  return true;
}

void OggPlayer::Stop() {
  if (output_->Status() == 1) output_->Resume();
  output_->Stop();
}

qint64 OggPlayer::JumpTo(int position) {
  output_->Jump((position - output_->Progress()) * 10);
  return TotalSeconds() * position * 10;
}

void OggPlayer::SetBalance(int sliderPosition) { balance_->SetBalance(float(sliderPosition) / 10.0f); }

QString OggPlayer::DisplayName() const {
  const QString name = QFileInfo(input_->FileName()).fileName();
  return name.left(name.size() - 4);
}

QString OggPlayer::RateText() { return QString::number(input_->GetSampleRate()) + QStringLiteral(" Hz"); }

qint64 OggPlayer::TotalSeconds() const { return totalSeconds_; }

QStringList OggPlayer::CommentLines() {
  const TVorbisTags& tags = input_->Comments();
  const std::pair<const char*, QString> comments[] = {
      {"Artist: ", tags.Artist()}, {"Album: ", tags.Album()}, {"Title: ", tags.Title()},
      {"Date: ", tags.Date()},     {"Genre: ", tags.Genre()}, {"Track: ", tags.Track()},
  };
  QStringList lines;
  for (const auto& [label, value] : comments) {
    if (!value.isEmpty()) lines << QLatin1String(label) + value;
  }
  return lines;
}

QString OggPlayer::MinutesSeconds(qint64 seconds) {
  return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

}  // namespace trackmill
