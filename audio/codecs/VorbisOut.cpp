#include "audio/codecs/VorbisOut.h"

#include <QFileInfo>

#include <exception>

#include "audio/core/AuException.h"
#include "audio/core/AuFileStream.h"
#include "audio/codecs/VorbisEncoder.h"
#include "audio/codecs/VorbisLibraries.h"
#include "tags/VorbisComments.h"

namespace trackmill {

TVorbisOut::TVorbisOut(QObject* parent) : TAuFileOut(parent) {}

TVorbisOut::~TVorbisOut() {
  // The worker must be ended before the encoder it uses goes away.
  ShutDown();
}

void TVorbisOut::SetFileMode(TFileOutputMode mode) { fileMode_ = mode; }

void TVorbisOut::PrepareOutput() {
  EnsureVorbisLibraries();
  if (!streamSupplied_) {
    if (fileName_.isEmpty()) throw EAuException("File name is not assigned.");
    const bool append = fileMode_ == TFileOutputMode::foAppend && QFileInfo::exists(fileName_);
    const quint16 mode = append ? quint16(kAuOpenReadWrite | (shareMode_ & 0xF0)) : kAuCreate;
    ownedStream_ = std::make_unique<TAuFileStream>(fileName_, mode);
    stream_ = ownedStream_.get();
  }
  input_->Init();
  if (fileMode_ == TFileOutputMode::foAppend && !stream_->isSequential()) stream_->seek(stream_->size());

  VorbisEncoderSetup setup;
  setup.channels = input_->GetChannels();
  setup.sampleRate = input_->GetSampleRate();
  setup.quality = compression_;
  setup.bitRates = bitRates_;
  setup.serial = serial_;
  for (const auto& [name, value] : VorbisCommentsToWrite(comments_)) setup.comments.emplace_back(name, value);
  bitsPerSample_ = input_->GetBitsPerSample();
  frameBytes_ = setup.channels * bitsPerSample_ / 8;
  if (frameBytes_ <= 0) throw EAuException("Vorbis codec setup failed.");
  block_.resize(static_cast<std::size_t>(kStepBytes - kStepBytes % frameBytes_));
  encoder_ = std::make_unique<VorbisEncoder>(stream_, setup);
}

bool TVorbisOut::OutputBlock(bool abort) {
  if (!encoder_) return false;
  if (abort || encoder_->Ended()) return false;
  bool endOfInput = false;
  // Whole frames: a reader may end a block inside a frame.
  const int got = input_->FillBuffer(block_.data(), static_cast<int>(block_.size()), endOfInput);
  encoder_->Write(block_.data(), got / frameBytes_, bitsPerSample_);
  return true;
}

void TVorbisOut::FinishOutput() {
  encoder_.reset();
  comments_.Clear();
  std::exception_ptr failure;
  try {
    FinishStream(QStringLiteral("Error writing ogg file"));
  } catch (...) {
    failure = std::current_exception();
  }
  if (input_) input_->Flush();
  if (failure) std::rethrow_exception(failure);
}

}  // namespace trackmill
