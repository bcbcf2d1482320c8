#include "verify/ctdb/CtdbToc.h"

#include <QCryptographicHash>
#include <QStringList>

namespace trackmill::ctdb {

CtdbToc::CtdbToc(std::vector<CtdbTrack> tracks, int leadOutSector)
    : tracks_(std::move(tracks)), leadOut_(leadOutSector) {
  size_t first = 0;
  while (first < tracks_.size() && tracks_[first].data) ++first;
  size_t end = first;
  while (end < tracks_.size() && !tracks_[end].data) ++end;
  for (size_t i = end; i < tracks_.size(); ++i)
    if (!tracks_[i].data) return;  // audio after a data track behind the audio run
  firstAudio_ = int(first);
  audioCount_ = int(end - first);
}

std::optional<CtdbToc> CtdbToc::Parse(const QString& text) {
  const QStringList parts = text.split(QLatin1Char(':'));
  if (parts.size() < 2) return std::nullopt;
  std::vector<CtdbTrack> tracks;
  int previous = -1;
  for (qsizetype i = 0; i < parts.size(); ++i) {
    QString part = parts[i];
    const bool data = part.startsWith(QLatin1Char('-'));
    if (data) part.remove(0, 1);
    bool ok = false;
    const int sector = part.toInt(&ok);
    if (!ok || part.isEmpty() || !part.at(0).isDigit() || sector < previous) return std::nullopt;
    if (i + 1 == parts.size()) {
      if (data) return std::nullopt;
      CtdbToc toc(std::move(tracks), sector);
      if (!toc.Valid()) return std::nullopt;
      return toc;
    }
    tracks.push_back({sector, data});
    previous = sector;
  }
  return std::nullopt;
}

QString CtdbToc::Text() const {
  QStringList parts;
  for (const CtdbTrack& track : tracks_)
    parts << (track.data ? QStringLiteral("-") : QString()) + QString::number(track.startSector);
  parts << QString::number(leadOut_);
  return parts.join(QLatin1Char(':'));
}

int CtdbToc::AudioEndSector(int k) const {
  const size_t index = size_t(firstAudio_ + k);
  if (index + 1 >= tracks_.size()) return leadOut_;
  const int next = tracks_[index + 1].startSector;
  return k + 1 == audioCount_ ? next - kSessionGapSectors : next;
}

int CtdbToc::StreamStartSector() const { return firstAudio_ == 0 ? 0 : AudioStartSector(0); }

qint64 CtdbToc::PregapSamples() const {
  return qint64(AudioStartSector(0) - StreamStartSector()) * kSamplesPerSector;
}

qint64 CtdbToc::StreamSamples() const {
  return qint64(AudioEndSector(audioCount_ - 1) - StreamStartSector()) * kSamplesPerSector;
}

qint64 CtdbToc::TrackBeginSample(int k) const {
  return qint64(AudioStartSector(k) - StreamStartSector()) * kSamplesPerSector;
}

qint64 CtdbToc::TrackEndSample(int k) const {
  return k + 1 == audioCount_ ? StreamSamples() : TrackBeginSample(k + 1);
}

QString CtdbToc::Id() const {
  const int first = AudioStartSector(0);
  QByteArray text;
  for (int k = 1; k < audioCount_; ++k)
    text += QByteArray::number(AudioStartSector(k) - first, 16).toUpper().rightJustified(8, '0');
  text += QByteArray::number(AudioEndSector(audioCount_ - 1) - first, 16)
              .toUpper()
              .rightJustified(8, '0');
  text = text.leftJustified(800, '0');
  QByteArray id = QCryptographicHash::hash(text, QCryptographicHash::Sha1).toBase64();
  id.replace('+', '.').replace('/', '_').replace('=', '-');
  return QString::fromLatin1(id);
}

}  // namespace trackmill::ctdb
