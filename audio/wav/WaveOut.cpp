#include "audio/wav/WaveOut.h"

#include <QFileInfo>

#include <algorithm>
#include <cstring>

#include "audio/core/AuException.h"
#include "audio/core/AuFileStream.h"
#include "audio/core/LittleEndian.h"

namespace trackmill {
namespace {

constexpr int kPcmStepBytes = 16384;

void WriteLe32At(QIODevice& file, qint64 offset, quint32 value) {
  char bytes[4];
  PutLe32(bytes, value);
  if (!file.seek(offset) || file.write(bytes, 4) != 4) throw EAuException("Error writing wave file");
}

}  // namespace

TWaveOut::TWaveOut(QObject* parent) : TAuFileOut(parent) {}

TWaveOut::~TWaveOut() { ShutDown(); }

void TWaveOut::SetWavType(TWavType type) {
  if (Busy()) return;
  if (type == TWavType::wtPCM || type == TWavType::wtDVIADPCM) wavType_ = type;
}

void TWaveOut::SetBlockSize(quint16 blockSize) {
  if (Busy() || blockSize == 0 || blockSize % 4 != 0) return;
  blockSize_ = blockSize;
}

void TWaveOut::SetFileMode(TFileOutputMode mode) { fileMode_ = mode; }

void TWaveOut::OpenTarget() {
  if (streamSupplied_) return;
  if (fileName_.isEmpty()) throw EAuException("File name is not assigned.");
  if (fileMode_ == TFileOutputMode::foAppend && QFileInfo::exists(fileName_)) {
    ownedStream_ = std::make_unique<TAuFileStream>(fileName_, kAuOpenReadWrite | (shareMode_ & 0xF0));
  } else {
    ownedStream_ = std::make_unique<TAuFileStream>(fileName_, kAuCreate);
  }
  stream_ = ownedStream_.get();
}

void TWaveOut::CloseTarget() {
  if (streamSupplied_) return;
  ownedStream_.reset();
  stream_ = nullptr;
}

void TWaveOut::Refuse(const char* message) {
  CloseTarget();
  throw EAuException(message);
}

void TWaveOut::WriteHeader(const QByteArray& header) {
  if (stream_->write(header) != header.size()) throw EAuException("Error writing wave file");
}

void TWaveOut::PrepareOutput() {
  endOfInput_ = false;
  targetReady_ = false;
  completed_ = false;
  appending_ = false;
  framesEncoded_ = 0;
  runType_ = wavType_;
  // The input is opened before the target is touched, so a bad input leaves an existing
  // file as it was.
  input_->Init();
  inputOpen_ = true;
  const int bits = input_->GetBitsPerSample();
  // Refused before the target is created, so an existing file is not truncated for nothing.
  const bool mayAppend = fileMode_ == TFileOutputMode::foAppend && (streamSupplied_ || QFileInfo::exists(fileName_));
  if (runType_ == TWavType::wtDVIADPCM && bits != 16 && !mayAppend) {
    throw EAuException("Cannot encode 8 bit sound into ADPCM.");
  }
  OpenTarget();

  channels_ = input_->GetChannels();
  const quint32 rate = static_cast<quint32>(input_->GetSampleRate());
  announcedBytes_ = input_->Size();
  if (!createNonMsHeaders_ && (channels_ > 2 || bits > 16)) runType_ = TWavType::wtExtPCM;

  if (fileMode_ == TFileOutputMode::foAppend && stream_->size() > 0) {
    stream_->seek(0);
    existing_ = ScanWavHeader(*stream_, TWavScanMode::Append);
    if (existing_.type != TWavType::wtPCM && existing_.type != TWavType::wtDVIADPCM) {
      Refuse("Cannot append data to this .wav file.");
    }
    if (existing_.type == TWavType::wtDVIADPCM && existing_.factValueOffset < 0) {
      Refuse("Cannot append data to this .wav file.");
    }
    runType_ = existing_.type;
    blockSize_ = existing_.blockAlign;
    appending_ = true;
  }

  const quint32 announced32 = static_cast<quint32>(announcedBytes_ & 0xFFFFFFFF);
  switch (runType_) {
    case TWavType::wtPCM:
      if (appending_) {
        if (existing_.sampleRate != rate || existing_.bitsPerSample != bits || existing_.channels != channels_) {
          Refuse("Cannot append data in different audio format.");
        }
        stream_->seek(stream_->size());
        break;
      }
      WriteHeader(wav::PcmHeader(channels_, rate, bits, announced32));
      break;
    case TWavType::wtDVIADPCM: {
      if (bits != 16) Refuse("Cannot encode 8 bit sound into ADPCM.");
      if (ima::FramesPerBlock(channels_, blockSize_) < 2) Refuse("Cannot append data to this .wav file.");
      imaState_.assign(static_cast<size_t>(channels_), ima::TImaChannelState{});
      const int blockFrames = wav::ImaSamplesPerBlock(channels_, blockSize_);
      chunk_.resize(qsizetype(blockFrames) * 2 * channels_);
      block_.resize(blockSize_);
      if (appending_) {
        if (existing_.sampleRate != rate || existing_.channels != channels_) {
          Refuse("Cannot append data in different audio format.");
        }
        stream_->seek(stream_->size());
        break;
      }
      const qint64 totalFrames = announcedBytes_ > 0 ? announcedBytes_ / 2 / channels_ : 0;
      // Whole blocks: the last one is padded with silence.
      const qint64 blocks = (totalFrames + blockFrames - 1) / blockFrames;
      WriteHeader(wav::ImaHeader(channels_, rate, blockSize_, quint32(totalFrames), quint32(blocks * blockSize_)));
      break;
    }
    case TWavType::wtExtPCM:
      WriteHeader(wav::ExtensibleHeader(channels_, rate, bits, announced32));
      break;
    default:
      Refuse("Cannot append data to this .wav file.");
  }
  targetReady_ = true;
}

bool TWaveOut::OutputBlock(bool abort) {
  if (!CanOutput()) return true;
  if (abort || endOfInput_) return false;
  return runType_ == TWavType::wtDVIADPCM ? WriteAdpcmStep() : WritePcmStep();
}

bool TWaveOut::WritePcmStep() {
  const char* data = nullptr;
  int count = kPcmStepBytes;
  input_->GetData(data, count);
  if (count <= 0) {
    completed_ = true;
    return false;
  }
  if (stream_->write(data, count) != count) throw EAuException("Error writing wave file");
  return true;
}

bool TWaveOut::WriteAdpcmStep() {
  chunk_.fill('\0');
  bool end = false;
  const int got = input_->FillBuffer(chunk_.data(), static_cast<int>(chunk_.size()), end);
  if (end) {
    endOfInput_ = true;
    completed_ = true;
  }
  const int frames = got / (2 * channels_);
  // An input that ends on a block boundary adds no block of pure silence.
  if (frames == 0) return !end;
  ima::EncodeBlock(reinterpret_cast<const qint16*>(chunk_.constData()), channels_, blockSize_, imaState_.data(),
                   block_.data());
  if (stream_->write(block_) != block_.size()) throw EAuException("Error writing wave file");
  framesEncoded_ += frames;
  return true;
}

void TWaveOut::CorrectHeader() {
  QIODevice& file = *stream_;
  const qint64 length = file.size();
  const int blockFrames = wav::ImaSamplesPerBlock(channels_, blockSize_);
  switch (runType_) {
    case TWavType::wtPCM:
      if (appending_) {
        WriteLe32At(file, existing_.dataSizeOffset, quint32(length - existing_.dataOffset));
      } else {
        WriteLe32At(file, wav::kPcmDataSizeOffset, quint32(length - wav::kPcmHeaderBytes));
      }
      break;
    case TWavType::wtDVIADPCM:
      if (appending_) {
        const qint64 dataBytes = length - existing_.dataOffset;
        const qint64 earlierBlocks = std::max<qint64>(existing_.dataBytes, 0) / blockSize_;
        WriteLe32At(file, existing_.dataSizeOffset, quint32(dataBytes));
        WriteLe32At(file, existing_.factValueOffset, quint32(earlierBlocks * blockFrames + framesEncoded_));
      } else {
        WriteLe32At(file, wav::kImaDataSizeOffset, quint32(length - wav::kImaHeaderBytes));
        WriteLe32At(file, wav::kImaFactOffset, quint32(framesEncoded_));
      }
      break;
    case TWavType::wtExtPCM:
      WriteLe32At(file, wav::kExtensibleDataSizeOffset, quint32(length - wav::kExtensibleHeaderBytes));
      break;
    default:
      return;
  }
  WriteLe32At(file, wav::kRiffSizeOffset, quint32(length - 8));
}

void TWaveOut::PadToAnnouncedSize(qint64 headerBytes) {
  const qint64 target = headerBytes + announcedBytes_;
  qint64 missing = target - stream_->size();
  if (missing <= 0) return;
  stream_->seek(stream_->size());
  const QByteArray silence(kPcmStepBytes, '\0');
  while (missing > 0) {
    const qint64 piece = std::min<qint64>(missing, silence.size());
    if (stream_->write(silence.constData(), piece) != piece) throw EAuException("Error writing wave file");
    missing -= piece;
  }
}

void TWaveOut::FinishOutput() {
  // The file is closed and the input flushed whatever happens while fixing the header.
  struct Cleanup {
    TWaveOut* out;
    ~Cleanup() {
      out->CloseTarget();
      if (out->inputOpen_) {
        out->inputOpen_ = false;
        try {
          out->input_->Flush();
        } catch (...) {
        }
      }
    }
  } cleanup{this};
  if (!targetReady_ || !stream_ || !stream_->isOpen()) return;
  targetReady_ = false;
  const bool needsCorrection = announcedBytes_ < 0 || appending_ || !completed_;
  if (needsCorrection) {
    CorrectHeader();
  } else if (runType_ == TWavType::wtPCM) {
    PadToAnnouncedSize(wav::kPcmHeaderBytes);
  } else if (runType_ == TWavType::wtExtPCM) {
    PadToAnnouncedSize(wav::kExtensibleHeaderBytes);
  } else if (runType_ == TWavType::wtDVIADPCM) {
    // The announced frame count in "fact" must name exactly what the blocks hold.
    if (framesEncoded_ != announcedBytes_ / 2 / channels_) CorrectHeader();
  }
  FinishStream(QStringLiteral("Error writing wave file"));
}

}  // namespace trackmill
