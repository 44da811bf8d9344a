// Ogg Vorbis encoding of rendered sound, and in-memory decoding used to check
// the encoded result exactly as the game's decoder will see it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace soundgen {

struct Pcm {
  int channels = 0;
  long rate = 0;
  std::vector<int16_t> samples;  // interleaved
  size_t Frames() const { return channels > 0 ? samples.size() / static_cast<size_t>(channels) : 0; }
};

// Encodes interleaved float samples (1 or 2 channels, 44.1 kHz) with the
// variable-bitrate quality given. The stream serial number is fixed by the
// caller, so identical input always yields identical bytes.
bool EncodeOgg(const std::vector<float>& interleaved, int channels, float quality, uint32_t serial,
               std::vector<uint8_t>* out);

// Decodes a complete Ogg Vorbis file held in memory to 16-bit PCM. Returns
// false (`out` may then hold partial data) on anything that is not decodable.
bool DecodeOgg(const uint8_t* data, size_t size, Pcm* out);

// Largest absolute 16-bit sample value.
int PeakOf(const Pcm& pcm);

}  // namespace soundgen
