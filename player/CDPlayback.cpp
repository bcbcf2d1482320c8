#include "player/CDPlayback.h"

#include "cd/DiscLayout.h"

namespace trackmill {

namespace {
constexpr int kLatencyMs = 200;
}  // namespace

TCDPlayback::TCDPlayback(QObject* parent)
    : QObject(parent), input_(new TCDSectorIn(this)), output_(new PortAudioOutput(this)) {
  output_->SetLatency(kLatencyMs);
  output_->SetPrefetchData(true);
  output_->SetInput(input_);
  output_->SetOnThreadException([this](TAuOutput* sender) { error_ = sender->ExceptionMessage(); });
  output_->SetOnDone([this](TAuOutput*) { Done(); });
}

TCDPlayback::~TCDPlayback() {
  // The output reads the input: it stops first.
  delete output_;
}

QString TCDPlayback::Play(std::shared_ptr<CdDrive> drive, int trackNumber) {
  Stop();
  const std::optional<DiscToc> toc = drive ? drive->ReadToc() : std::nullopt;
  if (!toc) return QStringLiteral("The table of contents cannot be read");
  const DiscLayout disc = DiscLayout::FromToc(*toc);
  const int index = disc.IndexOf(trackNumber);
  if (index < 0) return QStringLiteral("The disc has no track %1").arg(trackNumber);
  const DiscTrack& track = disc.tracks[size_t(index)];
  if (track.data) return QStringLiteral("Track %1 is a data track").arg(trackNumber);
  input_->SetRange(std::move(drive), track.startFrame - kLeadInSectors, track.endFrame - kLeadInSectors);
  error_.clear();
  output_->Run();
  playing_ = true;
  paused_ = false;
  return {};
}

void TCDPlayback::Pause() {
  if (!playing_ || paused_) return;
  paused_ = true;
  output_->Pause();
}

void TCDPlayback::Resume() {
  if (!paused_) return;
  paused_ = false;
  output_->Resume();
}

void TCDPlayback::Stop() {
  if (output_->Busy()) output_->Stop(false);
  playing_ = false;
  paused_ = false;
}

qint64 TCDPlayback::PlayedSeconds() const {
  // What was handed to the sound output, less what its buffer still holds, is close enough
  // for a progress line.
  return output_->Progress() * input_->GetTotalSeconds() / 100;
}

void TCDPlayback::Done() {
  playing_ = false;
  paused_ = false;
  emit Finished(error_);
}

}  // namespace trackmill
