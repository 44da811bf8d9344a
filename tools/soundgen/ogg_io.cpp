#include "ogg_io.h"

#include <vorbis/codec.h>
#include <vorbis/vorbisenc.h>
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "synth.h"

namespace soundgen {

namespace {

constexpr int kEncodeChunkFrames = 1024;
constexpr int kDecodeChunkBytes = 16384;
constexpr size_t kMaxDecodedSamples = 64u * 1024u * 1024u;  // refuses absurd lengths

void AppendPage(const ogg_page& page, std::vector<uint8_t>* out) {
  out->insert(out->end(), page.header, page.header + page.header_len);
  out->insert(out->end(), page.body, page.body + page.body_len);
}

struct MemoryFile {
  const uint8_t* data;
  size_t size;
  size_t pos;
};

size_t MemRead(void* ptr, size_t size, size_t count, void* source) {
  auto* m = static_cast<MemoryFile*>(source);
  if (size == 0) return 0;
  const size_t avail = (m->size - m->pos) / size;
  const size_t n = std::min(count, avail);
  std::memcpy(ptr, m->data + m->pos, n * size);
  m->pos += n * size;
  return n;
}

int MemSeek(void* source, ogg_int64_t offset, int whence) {
  auto* m = static_cast<MemoryFile*>(source);
  ogg_int64_t base = 0;
  if (whence == SEEK_CUR) base = static_cast<ogg_int64_t>(m->pos);
  else if (whence == SEEK_END) base = static_cast<ogg_int64_t>(m->size);
  else if (whence != SEEK_SET) return -1;
  const ogg_int64_t target = base + offset;
  if (target < 0 || target > static_cast<ogg_int64_t>(m->size)) return -1;
  m->pos = static_cast<size_t>(target);
  return 0;
}

long MemTell(void* source) { return static_cast<long>(static_cast<MemoryFile*>(source)->pos); }

}  // namespace

bool EncodeOgg(const std::vector<float>& interleaved, int channels, float quality, uint32_t serial,
               std::vector<uint8_t>* out) {
  if (channels < 1 || channels > 2 || !out) return false;
  out->clear();
  const size_t frames = interleaved.size() / static_cast<size_t>(channels);

  vorbis_info vi;
  vorbis_info_init(&vi);
  if (vorbis_encode_init_vbr(&vi, channels, kSampleRate, quality) != 0) {
    vorbis_info_clear(&vi);
    return false;
  }
  vorbis_comment vc;
  vorbis_comment_init(&vc);
  vorbis_dsp_state vd;
  vorbis_block vb;
  vorbis_analysis_init(&vd, &vi);
  vorbis_block_init(&vd, &vb);
  ogg_stream_state os;
  ogg_stream_init(&os, static_cast<int>(serial));

  ogg_packet header, comments, codebooks;
  vorbis_analysis_headerout(&vd, &vc, &header, &comments, &codebooks);
  ogg_stream_packetin(&os, &header);
  ogg_stream_packetin(&os, &comments);
  ogg_stream_packetin(&os, &codebooks);
  ogg_page page;
  while (ogg_stream_flush(&os, &page) != 0) AppendPage(page, out);

  size_t done = 0;
  bool finished = false;
  while (!finished) {
    const size_t n = std::min<size_t>(kEncodeChunkFrames, frames - done);
    if (n == 0) {
      vorbis_analysis_wrote(&vd, 0);  // end of stream
    } else {
      float** buffer = vorbis_analysis_buffer(&vd, static_cast<int>(n));
      for (size_t i = 0; i < n; ++i)
        for (int c = 0; c < channels; ++c)
          buffer[c][i] = interleaved[(done + i) * static_cast<size_t>(channels) + static_cast<size_t>(c)];
      vorbis_analysis_wrote(&vd, static_cast<int>(n));
      done += n;
    }
    while (vorbis_analysis_blockout(&vd, &vb) == 1) {
      vorbis_analysis(&vb, nullptr);
      vorbis_bitrate_addblock(&vb);
      ogg_packet packet;
      while (vorbis_bitrate_flushpacket(&vd, &packet)) {
        ogg_stream_packetin(&os, &packet);
        while (ogg_stream_pageout(&os, &page) != 0) {
          AppendPage(page, out);
          if (ogg_page_eos(&page)) finished = true;
        }
      }
    }
    if (n == 0) finished = true;
  }
  while (ogg_stream_flush(&os, &page) != 0) AppendPage(page, out);

  ogg_stream_clear(&os);
  vorbis_block_clear(&vb);
  vorbis_dsp_clear(&vd);
  vorbis_comment_clear(&vc);
  vorbis_info_clear(&vi);
  return !out->empty();
}

bool DecodeOgg(const uint8_t* data, size_t size, Pcm* out) {
  if (!data || !out) return false;
  MemoryFile file{data, size, 0};
  ov_callbacks callbacks{MemRead, MemSeek, nullptr, MemTell};
  OggVorbis_File vf;
  if (ov_open_callbacks(&file, &vf, nullptr, 0, callbacks) != 0) return false;
  const vorbis_info* info = ov_info(&vf, -1);
  if (!info || info->channels < 1) {
    ov_clear(&vf);
    return false;
  }
  out->channels = info->channels;
  out->rate = info->rate;
  out->samples.clear();
  std::vector<char> chunk(kDecodeChunkBytes);
  int section = 0;
  bool ok = true;
  for (;;) {
    const long got = ov_read(&vf, chunk.data(), kDecodeChunkBytes, 0, 2, 1, &section);
    if (got == 0) break;
    if (got < 0 || out->samples.size() > kMaxDecodedSamples) {
      ok = false;
      break;
    }
    for (long i = 0; i + 1 < got; i += 2) {
      const auto lo = static_cast<uint8_t>(chunk[static_cast<size_t>(i)]);
      const auto hi = static_cast<uint8_t>(chunk[static_cast<size_t>(i) + 1]);
      out->samples.push_back(static_cast<int16_t>(static_cast<uint16_t>(lo | (hi << 8))));
    }
  }
  ov_clear(&vf);
  return ok;
}

int PeakOf(const Pcm& pcm) {
  int peak = 0;
  for (int16_t s : pcm.samples) peak = std::max(peak, std::abs(static_cast<int>(s)));
  return peak;
}

}  // namespace soundgen
