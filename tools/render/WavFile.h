// Reading and writing sound files through libsndfile.
#pragma once

#include <string>

#include "tools/render/AudioBuffer.h"

namespace ka813::render {

enum class SampleFormat { Float32, Pcm24, Pcm16 };

const char* sampleFormatName(SampleFormat format);

// Any format libsndfile reads; samples come back in -1..1 for integer files.
bool readSoundFile(const std::string& path, AudioBuffer& buffer, std::string* error);

// Whether a file can be written at path, checked by opening it the way
// writeWav will, without changing what is there: a render that cannot be
// saved fails before it starts.
bool checkWritable(const std::string& path, std::string* error);

// A WAV file of the buffer's channels at its rate. Integer formats clip
// instead of wrapping around.
bool writeWav(const std::string& path, const AudioBuffer& buffer, SampleFormat format,
              std::string* error);

}  // namespace ka813::render
