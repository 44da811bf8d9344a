// Reading Ogg Vorbis as at most two channels: streams of three or more
// channels are mixed down to stereo as they are decoded.
#pragma once

#include <cstdint>

struct OggVorbis_File;

// The channel count a voice gets for a stream of `channels` channels.
int StereoChannelsFor(int channels);
// Like ov_read (16-bit signed little-endian) into out, at most `bytes`
// bytes, but with StereoChannelsFor(channels) channels per frame. Returns
// the bytes written, 0 at the end of the stream, or ov_read's negative error.
long ReadVorbisStereo(OggVorbis_File* file, char* out, int bytes, int* bitstream);
