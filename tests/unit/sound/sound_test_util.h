// Helpers for sound tests: tiny WAV and Ogg Vorbis files made at test time.
#pragma once

#include <vorbis/vorbisenc.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace soundtest {

inline void Put16(std::vector<uint8_t>& v, uint32_t x) {
  v.push_back(static_cast<uint8_t>(x));
  v.push_back(static_cast<uint8_t>(x >> 8));
}
inline void Put32(std::vector<uint8_t>& v, uint32_t x) { Put16(v, x & 0xFFFF); Put16(v, x >> 16); }
inline void PutTag(std::vector<uint8_t>& v, const char* tag) {
  for (int i = 0; i < 4; ++i) v.push_back(static_cast<uint8_t>(tag[i]));
}

inline std::vector<uint8_t> FmtChunk(uint16_t channels, uint32_t rate, uint16_t bits) {
  std::vector<uint8_t> v;
  PutTag(v, "fmt ");
  Put32(v, 16);
  Put16(v, 1);
  Put16(v, channels);
  Put32(v, rate);
  Put32(v, rate * channels * bits / 8);
  Put16(v, channels * bits / 8);
  Put16(v, bits);
  return v;
}

inline std::vector<uint8_t> DataChunk(const std::vector<uint8_t>& pcm, uint32_t declared) {
  std::vector<uint8_t> v;
  PutTag(v, "data");
  Put32(v, declared);
  v.insert(v.end(), pcm.begin(), pcm.end());
  return v;
}

inline std::vector<uint8_t> Pcm16(const std::vector<int16_t>& samples) {
  std::vector<uint8_t> v;
  for (int16_t s : samples) Put16(v, static_cast<uint16_t>(s));
  return v;
}

// A RIFF WAV with the given chunks in order.
inline std::vector<uint8_t> Riff(const std::vector<std::vector<uint8_t>>& chunks) {
  std::vector<uint8_t> body;
  PutTag(body, "WAVE");
  for (const auto& c : chunks) body.insert(body.end(), c.begin(), c.end());
  std::vector<uint8_t> v;
  PutTag(v, "RIFF");
  Put32(v, static_cast<uint32_t>(body.size()));
  v.insert(v.end(), body.begin(), body.end());
  return v;
}

inline std::vector<uint8_t> Wav16(uint16_t channels, uint32_t rate, const std::vector<int16_t>& samples) {
  std::vector<uint8_t> pcm = Pcm16(samples);
  return Riff({FmtChunk(channels, rate, 16), DataChunk(pcm, static_cast<uint32_t>(pcm.size()))});
}

// Encodes interleaved 16-bit samples as Ogg Vorbis.
inline std::vector<uint8_t> EncodeOgg(int channels, long rate, const std::vector<int16_t>& samples) {
  std::vector<uint8_t> out;
  vorbis_info vi;
  vorbis_info_init(&vi);
  if (vorbis_encode_init_vbr(&vi, channels, rate, 0.3f) != 0) {
    vorbis_info_clear(&vi);
    return out;
  }
  vorbis_comment vc;
  vorbis_comment_init(&vc);
  vorbis_dsp_state vd;
  vorbis_block vb;
  vorbis_analysis_init(&vd, &vi);
  vorbis_block_init(&vd, &vb);
  ogg_stream_state os;
  ogg_stream_init(&os, 12345);
  ogg_packet h[3];
  vorbis_analysis_headerout(&vd, &vc, &h[0], &h[1], &h[2]);
  for (ogg_packet& p : h) ogg_stream_packetin(&os, &p);
  ogg_page og;
  auto emit = [&out](const ogg_page& p) {
    out.insert(out.end(), p.header, p.header + p.header_len);
    out.insert(out.end(), p.body, p.body + p.body_len);
  };
  while (ogg_stream_flush(&os, &og)) emit(og);
  // Feeds the samples in chunks, then the end of stream, writing out every finished page.
  auto drain = [&] {
    while (vorbis_analysis_blockout(&vd, &vb) == 1) {
      vorbis_analysis(&vb, nullptr);
      vorbis_bitrate_addblock(&vb);
      ogg_packet op;
      while (vorbis_bitrate_flushpacket(&vd, &op)) {
        ogg_stream_packetin(&os, &op);
        while (ogg_stream_pageout(&os, &og)) emit(og);
      }
    }
  };
  const long frames = static_cast<long>(samples.size()) / channels;
  for (long done = 0; done < frames; done += 4096) {
    const long n = std::min(4096L, frames - done);
    float** buf = vorbis_analysis_buffer(&vd, static_cast<int>(n));
    for (long i = 0; i < n; ++i)
      for (int c = 0; c < channels; ++c) buf[c][i] = samples[(done + i) * channels + c] / 32768.0f;
    vorbis_analysis_wrote(&vd, static_cast<int>(n));
    drain();
  }
  vorbis_analysis_wrote(&vd, 0);
  drain();
  while (ogg_stream_flush(&os, &og)) emit(og);
  ogg_stream_clear(&os);
  vorbis_block_clear(&vb);
  vorbis_dsp_clear(&vd);
  vorbis_comment_clear(&vc);
  vorbis_info_clear(&vi);
  return out;
}

// A tone with a slow sweep, loud enough to tell from silence after encoding.
inline std::vector<int16_t> Tone(int channels, long frames, long rate) {
  std::vector<int16_t> s;
  for (long i = 0; i < frames; ++i) {
    double v = 12000.0 * std::sin(2.0 * 3.14159265 * (220.0 + i * 0.01) * i / rate);
    for (int c = 0; c < channels; ++c) s.push_back(static_cast<int16_t>(c ? -v : v));
  }
  return s;
}

inline std::string TempPath(const std::string& name) {
  const char* dir = std::getenv("TMPDIR");
  return std::string(dir && *dir ? dir : "/tmp") + "/br2_sound_" + std::to_string(::getpid()) + "_" + name;
}

inline bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

// Polls `cond` every millisecond for at most `ms` milliseconds.
template <typename F>
bool WaitFor(F cond, int ms = 3000) {
  for (int i = 0; i < ms; ++i) {
    if (cond()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return cond();
}

}  // namespace soundtest
