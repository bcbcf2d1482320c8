#include "tools/wmaencode/WmaEncoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

#include <algorithm>
#include <cstdio>
#include <memory>

namespace trackmill::wma {
namespace {

// The wmav2 encoder refuses rates under 24 kbit/s; the smallest settings of the table are
// raised to that floor rather than failing.
constexpr int kMinBitRate = 24000;

std::string AvErrorText(int code) {
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(code, text, sizeof text);
  return text;
}

struct InputDeleter {
  void operator()(AVFormatContext* c) const { avformat_close_input(&c); }
};
struct OutputDeleter {
  void operator()(AVFormatContext* c) const {
    if (c->pb) avio_closep(&c->pb);
    avformat_free_context(c);
  }
};
struct CodecDeleter {
  void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct FrameDeleter {
  void operator()(AVFrame* f) const { av_frame_free(&f); }
};
struct PacketDeleter {
  void operator()(AVPacket* p) const { av_packet_free(&p); }
};
struct SwrDeleter {
  void operator()(SwrContext* s) const { swr_free(&s); }
};
struct FifoDeleter {
  void operator()(AVAudioFifo* f) const { av_audio_fifo_free(f); }
};

// One encode from open to trailer. Each step returns false with error set.
class Encoding {
 public:
  Encoding(const EncoderArguments& args, const std::function<void(int)>& progress)
      : args_(args), progress_(progress) {}

  bool Run(std::string& error) {
    return OpenInput(error) && OpenOutput(error) && Pump(error) && Finish(error);
  }

 private:
  bool Fail(std::string& error, const std::string& what, int code) {
    error = what + (code < 0 ? ": " + AvErrorText(code) : std::string());
    return false;
  }

  bool OpenInput(std::string& error) {
    AVFormatContext* raw = nullptr;
    int rc = avformat_open_input(&raw, args_.input.c_str(), nullptr, nullptr);
    if (rc < 0) return Fail(error, "cannot open input " + args_.input, rc);
    input_.reset(raw);
    if ((rc = avformat_find_stream_info(raw, nullptr)) < 0)
      return Fail(error, "cannot read input " + args_.input, rc);
    const AVCodec* decoder = nullptr;
    streamIndex_ = av_find_best_stream(raw, AVMEDIA_TYPE_AUDIO, -1, -1, &decoder, 0);
    if (streamIndex_ < 0 || !decoder) return Fail(error, "no audio in " + args_.input, -1);
    decoder_.reset(avcodec_alloc_context3(decoder));
    if (!decoder_) return Fail(error, "out of memory", -1);
    AVStream* stream = raw->streams[streamIndex_];
    avcodec_parameters_to_context(decoder_.get(), stream->codecpar);
    if ((rc = avcodec_open2(decoder_.get(), decoder, nullptr)) < 0)
      return Fail(error, "cannot decode " + args_.input, rc);
    if (decoder_->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC)
      av_channel_layout_default(&decoder_->ch_layout, decoder_->ch_layout.nb_channels);
    if (stream->duration > 0)
      totalSeconds_ = stream->duration * av_q2d(stream->time_base);
    else if (raw->duration > 0)
      totalSeconds_ = raw->duration / double(AV_TIME_BASE);
    return true;
  }

  bool OpenOutput(std::string& error) {
    const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_WMAV2);
    if (!codec) return Fail(error, "no WMA version 2 encoder in the media libraries", -1);
    AVFormatContext* raw = nullptr;
    int rc = avformat_alloc_output_context2(&raw, nullptr, "asf", args_.output.c_str());
    if (rc < 0 || !raw) return Fail(error, "cannot set up ASF output", rc);
    output_.reset(raw);
    encoder_.reset(avcodec_alloc_context3(codec));
    if (!encoder_) return Fail(error, "out of memory", -1);
    encoder_->sample_fmt = codec->sample_fmts ? codec->sample_fmts[0] : AV_SAMPLE_FMT_FLTP;
    encoder_->sample_rate = args_.setting.sampleRateHz;
    av_channel_layout_default(&encoder_->ch_layout, args_.setting.channels);
    encoder_->bit_rate = std::max(args_.setting.bitRateKbps * 1000, kMinBitRate);
    encoder_->time_base = AVRational{1, encoder_->sample_rate};
    if (raw->oformat->flags & AVFMT_GLOBALHEADER) encoder_->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if ((rc = avcodec_open2(encoder_.get(), codec, nullptr)) < 0)
      return Fail(error, "the WMA encoder refused the setting", rc);
    AVStream* stream = avformat_new_stream(raw, nullptr);
    if (!stream) return Fail(error, "out of memory", -1);
    stream->time_base = encoder_->time_base;
    avcodec_parameters_from_context(stream->codecpar, encoder_.get());
    outStream_ = stream;

    SwrContext* swr = nullptr;
    rc = swr_alloc_set_opts2(&swr, &encoder_->ch_layout, encoder_->sample_fmt,
                             encoder_->sample_rate, &decoder_->ch_layout, decoder_->sample_fmt,
                             decoder_->sample_rate, 0, nullptr);
    if (rc < 0 || !swr) return Fail(error, "cannot set up the resampler", rc);
    resampler_.reset(swr);
    if ((rc = swr_init(swr)) < 0) return Fail(error, "cannot set up the resampler", rc);
    fifo_.reset(av_audio_fifo_alloc(encoder_->sample_fmt, encoder_->ch_layout.nb_channels,
                                    FrameSize() * 2));
    if (!fifo_) return Fail(error, "out of memory", -1);

    if (!args_.author.empty()) av_dict_set(&raw->metadata, "author", args_.author.c_str(), 0);
    if (!args_.description.empty())
      av_dict_set(&raw->metadata, "comment", args_.description.c_str(), 0);
    if ((rc = avio_open(&raw->pb, args_.output.c_str(), AVIO_FLAG_WRITE)) < 0)
      return Fail(error, "cannot create " + args_.output, rc);
    outputCreated_ = true;
    if ((rc = avformat_write_header(raw, nullptr)) < 0)
      return Fail(error, "cannot write the ASF header", rc);
    return true;
  }

  int FrameSize() const { return encoder_->frame_size > 0 ? encoder_->frame_size : 2048; }

  bool Pump(std::string& error) {
    std::unique_ptr<AVPacket, PacketDeleter> packet(av_packet_alloc());
    std::unique_ptr<AVFrame, FrameDeleter> frame(av_frame_alloc());
    if (!packet || !frame) return Fail(error, "out of memory", -1);
    int rc = 0;
    while ((rc = av_read_frame(input_.get(), packet.get())) >= 0) {
      if (packet->stream_index == streamIndex_) {
        rc = avcodec_send_packet(decoder_.get(), packet.get());
        av_packet_unref(packet.get());
        if (rc < 0) return Fail(error, "cannot decode " + args_.input, rc);
        if (!DrainDecoder(frame.get(), error)) return false;
      } else {
        av_packet_unref(packet.get());
      }
    }
    if (rc != AVERROR_EOF) return Fail(error, "cannot read " + args_.input, rc);
    avcodec_send_packet(decoder_.get(), nullptr);
    return DrainDecoder(frame.get(), error);
  }

  bool DrainDecoder(AVFrame* frame, std::string& error) {
    int rc;
    while ((rc = avcodec_receive_frame(decoder_.get(), frame)) >= 0) {
      decodedSeconds_ += frame->nb_samples / double(decoder_->sample_rate);
      const bool ok = Resample(const_cast<const uint8_t**>(frame->extended_data),
                               frame->nb_samples, error);
      av_frame_unref(frame);
      if (!ok) return false;
      ReportProgress();
    }
    if (rc != AVERROR(EAGAIN) && rc != AVERROR_EOF)
      return Fail(error, "cannot decode " + args_.input, rc);
    return true;
  }

  void ReportProgress() {
    if (totalSeconds_ <= 0) return;
    const int percent = static_cast<int>(decodedSeconds_ * 100 / totalSeconds_);
    progress_(std::clamp(percent, 0, 99));
  }

  // Converts input samples (or, with none, what the resampler still holds) into the FIFO and
  // encodes every whole frame it then holds.
  bool Resample(const uint8_t** data, int sampleCount, std::string& error) {
    const int capacity = swr_get_out_samples(resampler_.get(), sampleCount);
    if (capacity < 0) return Fail(error, "resampler failure", capacity);
    uint8_t** converted = nullptr;
    int rc = av_samples_alloc_array_and_samples(&converted, nullptr,
                                                encoder_->ch_layout.nb_channels, capacity + 1,
                                                encoder_->sample_fmt, 0);
    if (rc < 0) return Fail(error, "out of memory", rc);
    const int produced = swr_convert(resampler_.get(), converted, capacity + 1, data, sampleCount);
    if (produced > 0 && av_audio_fifo_write(fifo_.get(), reinterpret_cast<void**>(converted),
                                            produced) < produced)
      rc = AVERROR(ENOMEM);
    av_freep(&converted[0]);
    av_freep(&converted);
    if (produced < 0) return Fail(error, "resampler failure", produced);
    if (rc < 0) return Fail(error, "out of memory", rc);
    while (av_audio_fifo_size(fifo_.get()) >= FrameSize())
      if (!EncodeFromFifo(FrameSize(), error)) return false;
    return true;
  }

  bool EncodeFromFifo(int sampleCount, std::string& error) {
    std::unique_ptr<AVFrame, FrameDeleter> frame(av_frame_alloc());
    if (!frame) return Fail(error, "out of memory", -1);
    // The encoder takes whole frames only: a short last frame is padded with silence.
    frame->nb_samples = FrameSize();
    frame->format = encoder_->sample_fmt;
    frame->sample_rate = encoder_->sample_rate;
    av_channel_layout_copy(&frame->ch_layout, &encoder_->ch_layout);
    int rc = av_frame_get_buffer(frame.get(), 0);
    if (rc < 0) return Fail(error, "out of memory", rc);
    av_samples_set_silence(frame->extended_data, 0, frame->nb_samples,
                           encoder_->ch_layout.nb_channels, encoder_->sample_fmt);
    if (av_audio_fifo_read(fifo_.get(), reinterpret_cast<void**>(frame->extended_data),
                           sampleCount) < sampleCount)
      return Fail(error, "resampler failure", -1);
    frame->pts = nextPts_;
    nextPts_ += frame->nb_samples;
    return SendToEncoder(frame.get(), error);
  }

  bool SendToEncoder(AVFrame* frame, std::string& error) {
    int rc = avcodec_send_frame(encoder_.get(), frame);
    if (rc < 0) return Fail(error, "the WMA encoder failed", rc);
    std::unique_ptr<AVPacket, PacketDeleter> packet(av_packet_alloc());
    while ((rc = avcodec_receive_packet(encoder_.get(), packet.get())) >= 0) {
      av_packet_rescale_ts(packet.get(), encoder_->time_base, outStream_->time_base);
      packet->stream_index = outStream_->index;
      rc = av_interleaved_write_frame(output_.get(), packet.get());
      if (rc < 0) return Fail(error, "cannot write " + args_.output, rc);
    }
    if (rc != AVERROR(EAGAIN) && rc != AVERROR_EOF)
      return Fail(error, "the WMA encoder failed", rc);
    return true;
  }

  bool Finish(std::string& error) {
    if (!Resample(nullptr, 0, error)) return false;
    const int rest = av_audio_fifo_size(fifo_.get());
    if (rest > 0 && !EncodeFromFifo(rest, error)) return false;
    if (!SendToEncoder(nullptr, error)) return false;
    int rc = av_write_trailer(output_.get());
    if (rc < 0) return Fail(error, "cannot write " + args_.output, rc);
    rc = avio_closep(&output_->pb);
    if (rc < 0) return Fail(error, "cannot write " + args_.output, rc);
    outputCreated_ = false;
    return true;
  }

 public:
  ~Encoding() {
    if (outputCreated_) {
      output_.reset();
      std::remove(args_.output.c_str());
    }
  }

 private:
  const EncoderArguments& args_;
  const std::function<void(int)>& progress_;
  std::unique_ptr<AVFormatContext, InputDeleter> input_;
  std::unique_ptr<AVCodecContext, CodecDeleter> decoder_;
  std::unique_ptr<AVFormatContext, OutputDeleter> output_;
  std::unique_ptr<AVCodecContext, CodecDeleter> encoder_;
  std::unique_ptr<SwrContext, SwrDeleter> resampler_;
  std::unique_ptr<AVAudioFifo, FifoDeleter> fifo_;
  AVStream* outStream_ = nullptr;
  int streamIndex_ = -1;
  int64_t nextPts_ = 0;
  double totalSeconds_ = 0;
  double decodedSeconds_ = 0;
  bool outputCreated_ = false;
};

}  // namespace

bool EncodeToWma(const EncoderArguments& args, const std::function<void(int)>& progress,
                 std::string& error) {
  av_log_set_level(AV_LOG_ERROR);
  Encoding encoding(args, progress);
  return encoding.Run(error);
}

}  // namespace trackmill::wma
