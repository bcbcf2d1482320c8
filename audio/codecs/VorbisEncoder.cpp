#include "audio/codecs/VorbisEncoder.h"

#include <array>

#include <vorbis/vorbisenc.h>

#include <cstdint>
#include <cstring>

#include "audio/core/AuException.h"

namespace trackmill {
namespace {

// Vorbis orders the channels of three to eight channels its own way (front left, centre, front
// right, surrounds, LFE last); WAV puts centre and LFE right after the front pair. Row n: the
// WAV channel that feeds each Vorbis channel of an n-channel stream.
constexpr int kMaxVorbisChannels = 255;
constexpr int kMaxMappedChannels = 8;
constexpr int kWavChannelOfVorbis[kMaxMappedChannels + 1][kMaxMappedChannels] = {
    {}, {0}, {0, 1},
    {0, 2, 1},                    // L R C -> L C R
    {0, 1, 2, 3},                 // FL FR BL BR: the same
    {0, 2, 1, 3, 4},              // FL FR C BL BR -> FL C FR BL BR
    {0, 2, 1, 4, 5, 3},           // FL FR C LFE BL BR -> FL C FR BL BR LFE
    {0, 2, 1, 5, 6, 4, 3},        // FL FR C LFE BC SL SR -> FL C FR SL SR BC LFE
    {0, 2, 1, 6, 7, 4, 5, 3},     // FL FR C LFE BL BR SL SR -> FL C FR SL SR BL BR LFE
};
const int* WavChannelsInVorbisOrder(int channels) {
  if (channels >= 1 && channels <= kMaxMappedChannels) return kWavChannelOfVorbis[channels];
  // More channels have no defined order in Vorbis: they go as they come.
  static const auto identity = [] {
    std::array<int, kMaxVorbisChannels> order{};
    for (int c = 0; c < int(order.size()); ++c) order[size_t(c)] = c;
    return order;
  }();
  return identity.data();
}

}  // namespace


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
  // A Vorbis stream has room for 255 channels.
  if (setup.channels < 1 || setup.channels > kMaxVorbisChannels) throw EAuException("Vorbis codec setup failed.");
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
    const int* from = WavChannelsInVorbisOrder(ch);
    switch (bitsPerSample) {
      case 8:
        for (int i = 0; i < frameCount; ++i)
          for (int c = 0; c < ch; ++c) buffer[c][i] = (int(bytes[i * ch + from[c]]) - 128) / 128.0f;
        break;
      case 16:
        for (int i = 0; i < frameCount; ++i)
          for (int c = 0; c < ch; ++c) {
            const std::uint8_t* p = bytes + 2 * (i * ch + from[c]);
            buffer[c][i] = std::int16_t(p[0] | (p[1] << 8)) / 32768.0f;
          }
        break;
      case 32:
        for (int i = 0; i < frameCount; ++i)
          for (int c = 0; c < ch; ++c) {
            std::int32_t v;
            std::memcpy(&v, bytes + 4 * (i * ch + from[c]), 4);
            buffer[c][i] = float(v) / 2147483648.0f;
          }
        break;
      default:  // packed 24-bit
        for (int i = 0; i < frameCount; ++i)
          for (int c = 0; c < ch; ++c) {
            const std::uint8_t* p = bytes + 3 * (i * ch + from[c]);
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
