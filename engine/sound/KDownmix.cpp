#include "engine/sound/KDownmix.h"

#include <vorbis/vorbisfile.h>

#include <vector>

namespace {

constexpr int kMaxVorbisLayout = 8;  // channel orders the Vorbis format fixes
constexpr float kCentreWeight = 0.7071f;
constexpr int kFrameBytesOut = 4;    // 16-bit stereo

// Where each channel of a Vorbis stream goes: 'L' left, 'R' right, 'C' both,
// 'N' nowhere (the low-frequency channel). Beyond eight channels the order is
// not fixed; they alternate left and right.
char Place(int channels, int index) {
  static const char* const kLayouts[kMaxVorbisLayout + 1] = {
      "", "C", "LR", "LCR", "LRLR", "LCRLR", "LCRLRN", "LCRLRCN", "LCRLRLRN"};
  if (channels <= kMaxVorbisLayout) return kLayouts[channels][index];
  return index % 2 == 0 ? 'L' : 'R';
}

int16_t Clamp16(float v) {
  if (v > 32767.0f) return 32767;
  if (v < -32768.0f) return -32768;
  return static_cast<int16_t>(v);
}

}  // namespace

int StereoChannelsFor(int channels) { return channels > 2 ? 2 : channels; }

long ReadVorbisStereo(OggVorbis_File* file, char* out, int bytes, int* bitstream) {
  vorbis_info* info = ov_info(file, -1);
  const int channels = info != nullptr ? info->channels : 0;
  if (channels <= 2) return ov_read(file, out, bytes, 0, 2, 1, bitstream);

  // Each side is the weighted mean of the channels that feed it, so a full
  // scale input never clips.
  float weightL = 0, weightR = 0;
  for (int c = 0; c < channels; ++c) {
    const char p = Place(channels, c);
    weightL += p == 'L' ? 1.0f : p == 'C' ? kCentreWeight : 0.0f;
    weightR += p == 'R' ? 1.0f : p == 'C' ? kCentreWeight : 0.0f;
  }
  const int frames = bytes / kFrameBytesOut;
  if (frames <= 0) return 0;
  static thread_local std::vector<char> decoded;
  decoded.resize(static_cast<size_t>(frames) * channels * 2);
  const long got = ov_read(file, decoded.data(), static_cast<int>(decoded.size()), 0, 2, 1, bitstream);
  if (got <= 0) return got;
  const long gotFrames = got / (channels * 2);
  for (long f = 0; f < gotFrames; ++f) {
    float l = 0, r = 0;
    for (int c = 0; c < channels; ++c) {
      const uint8_t* s = reinterpret_cast<const uint8_t*>(&decoded[(f * channels + c) * 2]);
      const float v = static_cast<int16_t>(s[0] | (s[1] << 8));
      const char p = Place(channels, c);
      if (p == 'L' || p == 'C') l += v * (p == 'C' ? kCentreWeight : 1.0f);
      if (p == 'R' || p == 'C') r += v * (p == 'C' ? kCentreWeight : 1.0f);
    }
    const int16_t outL = Clamp16(l / weightL), outR = Clamp16(r / weightR);
    uint8_t* o = reinterpret_cast<uint8_t*>(out + f * kFrameBytesOut);
    o[0] = static_cast<uint8_t>(outL);
    o[1] = static_cast<uint8_t>(static_cast<uint16_t>(outL) >> 8);
    o[2] = static_cast<uint8_t>(outR);
    o[3] = static_cast<uint8_t>(static_cast<uint16_t>(outR) >> 8);
  }
  return gotFrames * kFrameBytesOut;
}
