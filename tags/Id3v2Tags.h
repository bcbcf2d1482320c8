#pragma once
#include <QStringList>

#include "tags/AuTags.h"

namespace trackmill {

// Tag container of the ID3v2 scheme: 24 keys, the 12 three-character frame ids of version
// 2.2 and the 12 four-character ids of versions 2.3/2.4, all unassigned at first. NewIds
// selects which set the properties use (true at creation; ReadFromHandle sets it from the
// tag version). The comment key is kept but never read from or written to a file.
//
// File operations (see TAuTags for the general contract):
// - ReadFromHandle reads a tag at the device's current position (versions 2.2, 2.3, 2.4) and
//   leaves the position just past the tag (at most at the end of the device).
// - WriteToHandle puts a version 2.4 tag in front of the device's content. A QFile is never
//   rewritten in place: the new content goes to a temporary file beside it that is renamed
//   over the original, after which the QFile is reopened on the new file at its old position.
//   Other random-access devices (such as a QBuffer) are rewritten in memory.
class TId3v2Tags : public TAuTags {
 public:
  // Positions of the frames in the id tables, in key order.
  enum Frame { kAlbum, kArtist, kGenre, kTitle, kTrack, kYear, kComment, kComposer, kEncoder,
               kCopyright, kLanguage, kLink, kFrameCount };
  static QString FrameId(Frame frame, bool newIds);

  TId3v2Tags();

  bool NewIds() const { return newIds_; }
  void SetNewIds(bool newIds) { newIds_ = newIds; }

  QString Album() const { return Text(kAlbum); }
  void SetAlbum(const QString& text) { SetText(kAlbum, text); }
  QString Artist() const { return Text(kArtist); }
  void SetArtist(const QString& text) { SetText(kArtist, text); }
  QString Genre() const { return Text(kGenre); }
  void SetGenre(const QString& text) { SetText(kGenre, text); }
  QString Title() const { return Text(kTitle); }
  void SetTitle(const QString& text) { SetText(kTitle, text); }
  QByteArray Track() const { return AsString(FrameId(kTrack, newIds_)); }
  void SetTrack(const QString& text) { SetValue(FrameId(kTrack, newIds_), TagValue::Ansi(text)); }
  QByteArray Year() const { return AsString(FrameId(kYear, newIds_)); }
  void SetYear(const QString& text) { SetValue(FrameId(kYear, newIds_), TagValue::Ansi(text)); }
  QString Comment() const { return Text(kComment); }
  void SetComment(const QString& text) { SetText(kComment, text); }
  QString Composer() const { return Text(kComposer); }
  void SetComposer(const QString& text) { SetText(kComposer, text); }
  QString Encoder() const { return Text(kEncoder); }
  void SetEncoder(const QString& text) { SetText(kEncoder, text); }
  QString Copyright() const { return Text(kCopyright); }
  void SetCopyright(const QString& text) { SetText(kCopyright, text); }
  QString Language() const { return Text(kLanguage); }
  void SetLanguage(const QString& text) { SetText(kLanguage, text); }
  QString Link() const { return Text(kLink); }
  void SetLink(const QString& text) { SetText(kLink, text); }

  // Whether a valid tag header is at the current position; the position is kept.
  bool HasTagAt(QIODevice* device) override;
  // True when the frames were read up to the tag end without a read error.
  bool ReadFromHandle(QIODevice* device) override;
  // Frames of the four-character ids with a non-empty value, in key order (the comment
  // aside), then zero padding to a multiple of 16 bytes. With allowUnicode, wide values are
  // written as UTF-8, otherwise as ISO-8859-1.
  bool WriteToHandle(QIODevice* device, bool allowUnicode) override;
  // The bytes WriteToHandle puts in front of the content; empty when a value is too long
  // for the format.
  QByteArray RenderTag(bool allowUnicode) const;

 private:
  QString Text(Frame frame) const { return AsWideString(FrameId(frame, newIds_)); }
  void SetText(Frame frame, const QString& text) { SetValue(FrameId(frame, newIds_), TagValue::Wide(text)); }

  bool newIds_ = true;
};

}  // namespace trackmill
