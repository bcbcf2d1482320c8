#include "audio/codecs/VorbisEncoder.h"

#include <vorbis/vorbisenc.h>

#include <cstdint>
#include <cstring>

#include "audio/core/AuException.h"

namespace trackmill {

struct VorbisEncoder::State {
  ogg_stream_state stream{};
  vorbis_info info{};
  vorbis_comment comment{};
  vorbis_dsp_state dsp{};
  vorbis_block block{};
  bool streamReady = false;
  bool commentReady = false;
  bool dspReady = false;
  bool blockReady = false;
};

VorbisEncoder::VorbisEncoder(QIODevice* device, const VorbisEncoderSetup& setup)
    : device_(device), channels_(setup.channels), s_(std::make_unique<State>()) {
  vorbis_info_init(&s_->info);
  if (setup.bitRates.IsManaged()) {
    const VorbisBitRates::Managed m = setup.bitRates.ManagedArguments();
    if (vorbis_encode_init(&s_->info, setup.channels, setup.sampleRate, m.maximum, m.nominal, m.minimum) != 0) {
      vorbis_info_clear(&s_->info);
      throw EAuException("Vorbis codec setup with the requested bitrate failed. Try a lower bitrate.");
    }
  } else {
    // Both results matter: analysis on a half set-up encoder reads uninitialised tables.
    if (vorbis_encode_setup_vbr(&s_->info, setup.channels, setup.sampleRate, setup.quality) != 0 ||
        vorbis_encode_setup_init(&s_->info) != 0) {
      vorbis_info_clear(&s_->info);
      throw EAuException("Vorbis codec setup failed.");
    }
  }

  vorbis_comment_init(&s_->comment);
  s_->commentReady = true;
  for (const auto& [name, value] : setup.comments) {
    if (value.isEmpty()) continue;
    vorbis_comment_add_tag(&s_->comment, name.constData(), value.constData());
  }
  vorbis_analysis_init(&s_->dsp, &s_->info);
  s_->dspReady = true;
  vorbis_block_init(&s_->dsp, &s_->block);
  s_->blockReady = true;
  ogg_stream_init(&s_->stream, setup.serial);
  s_->streamReady = true;

  ogg_packet identification;
  ogg_packet comments;
  ogg_packet codebooks;
  vorbis_analysis_headerout(&s_->dsp, &s_->comment, &identification, &comments, &codebooks);
  ogg_stream_packetin(&s_->stream, &identification);
  ogg_stream_packetin(&s_->stream, &comments);
  ogg_stream_packetin(&s_->stream, &codebooks);
  ogg_page page;
  while (ogg_stream_flush(&s_->stream, &page) != 0)
    WritePage(page.header, page.header_len, page.body, page.body_len);
}

VorbisEncoder::~VorbisEncoder() {
  if (s_->streamReady) ogg_stream_clear(&s_->stream);
  if (s_->blockReady) vorbis_block_clear(&s_->block);
  if (s_->dspReady) vorbis_dsp_clear(&s_->dsp);
  if (s_->commentReady) vorbis_comment_clear(&s_->comment);
  vorbis_info_clear(&s_->info);
}

void VorbisEncoder::WritePage(const unsigned char* header, long headerLength, const unsigned char* body,
                              long bodyLength) {
  if (device_->write(reinterpret_cast<const char*>(header), headerLength) != headerLength ||
      device_->write(reinterpret_cast<const char*>(body), bodyLength) != bodyLength)
    throw EAuException("Error writing ogg file");
}

void VorbisEncoder::Write(const char* pcm, int frameCount, int bitsPerSample) {
  if (ended_) return;
  if (frameCount <= 0 && endRequested_) {
    // The end was announced already and every page is out.
    ended_ = true;
    return;
  }
  if (frameCount > kMaxFramesPerWrite) frameCount = kMaxFramesPerWrite;
  if (frameCount > 0) {
    float** buffer = vorbis_analysis_buffer(&s_->dsp, kMaxFramesPerWrite);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(pcm);
    const int ch = channels_;
    switch (bitsPerSample) {
      case 8:
        for (int i = 0; i < frameCount; ++i)
          for (int c = 0; c < ch; ++c) buffer[c][i] = (int(bytes[i * ch + c]) - 128) / 128.0f;
        break;
      case 16:
        for (int i = 0; i < frameCount; ++i)
          for (int c = 0; c < ch; ++c) {
            const std::uint8_t* p = bytes + 2 * (i * ch + c);
            buffer[c][i] = std::int16_t(p[0] | (p[1] << 8)) / 32768.0f;
          }
        break;
      case 32:
        for (int i = 0; i < frameCount; ++i)
          for (int c = 0; c < ch; ++c) {
            std::int32_t v;
            std::memcpy(&v, bytes + 4 * (i * ch + c), 4);
            buffer[c][i] = float(v) / 2147483648.0f;
          }
        break;
      default:  // packed 24-bit
        for (int i = 0; i < frameCount; ++i)
          for (int c = 0; c < ch; ++c) {
            const std::uint8_t* p = bytes + 3 * (i * ch + c);
            buffer[c][i] = (std::int16_t(p[1] | (p[2] << 8)) * 256 + p[0]) / 8388608.0f;
          }
        break;
    }
  }
  vorbis_analysis_wrote(&s_->dsp, frameCount > 0 ? frameCount : 0);
  if (frameCount <= 0) endRequested_ = true;

  ogg_packet packet;
  ogg_page page;
  while (vorbis_analysis_blockout(&s_->dsp, &s_->block) == 1) {
    vorbis_analysis(&s_->block, nullptr);
    vorbis_bitrate_addblock(&s_->block);
    while (vorbis_bitrate_flushpacket(&s_->dsp, &packet) != 0) {
      ogg_stream_packetin(&s_->stream, &packet);
      while (!ended_ && ogg_stream_pageout(&s_->stream, &page) != 0) {
        WritePage(page.header, page.header_len, page.body, page.body_len);
        if (ogg_page_eos(&page)) ended_ = true;
      }
    }
  }
}

}  // namespace trackmill
