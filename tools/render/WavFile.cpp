#include "tools/render/WavFile.h"

#include <fcntl.h>
#include <sndfile.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <memory>

namespace ka813::render {

namespace {

struct SndfileCloser {
    void operator()(SNDFILE* file) const { sf_close(file); }
};
using SndfileHandle = std::unique_ptr<SNDFILE, SndfileCloser>;

bool fail(std::string* error, const std::string& reason)
{
    if (error)
        *error = reason;
    return false;
}

// Frames moved per libsndfile call: big enough to be quick, small enough
// that a long file does not need a second copy of itself.
constexpr sf_count_t kChunkFrames = 65536;

}  // namespace

const char* sampleFormatName(SampleFormat format)
{
    switch (format) {
    case SampleFormat::Float32: return "32-bit float";
    case SampleFormat::Pcm24: return "24-bit PCM";
    case SampleFormat::Pcm16: return "16-bit PCM";
    }
    return "?";
}

bool readSoundFile(const std::string& path, AudioBuffer& buffer, std::string* error)
{
    SF_INFO info{};
    SndfileHandle file(sf_open(path.c_str(), SFM_READ, &info));
    if (!file)
        return fail(error, "cannot read " + path + ": " + sf_strerror(nullptr));
    if (info.channels <= 0 || info.samplerate <= 0)
        return fail(error, path + ": no channels or no sample rate");

    const int channels = info.channels;
    buffer = AudioBuffer();
    buffer.sampleRate = info.samplerate;
    buffer.channels.resize(static_cast<size_t>(channels));
    if (info.frames > 0)
        for (std::vector<float>& channel : buffer.channels)
            channel.reserve(static_cast<size_t>(info.frames));

    std::vector<float> interleaved(static_cast<size_t>(kChunkFrames * channels));
    for (;;) {
        sf_count_t got = sf_readf_float(file.get(), interleaved.data(), kChunkFrames);
        if (got <= 0)
            break;
        for (sf_count_t i = 0; i < got; ++i)
            for (int c = 0; c < channels; ++c)
                buffer.channels[static_cast<size_t>(c)].push_back(
                    interleaved[static_cast<size_t>(i * channels + c)]);
    }
    if (sf_error(file.get()) != SF_ERR_NO_ERROR)
        return fail(error, path + ": " + sf_strerror(file.get()));
    return true;
}

bool checkWritable(const std::string& path, std::string* error)
{
    int file = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (file >= 0) {
        close(file);
        unlink(path.c_str());
        return true;
    }
    if (errno == EEXIST) {
        // No truncation: an old file stays whole until the new one is ready.
        file = open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (file >= 0) {
            close(file);
            return true;
        }
    }
    return fail(error, "cannot write " + path + ": " + std::strerror(errno));
}

bool writeWav(const std::string& path, const AudioBuffer& buffer, SampleFormat format,
              std::string* error)
{
    if (buffer.channelCount() <= 0)
        return fail(error, "nothing to write to " + path);
    SF_INFO info{};
    info.samplerate = static_cast<int>(std::lround(buffer.sampleRate));
    info.channels = buffer.channelCount();
    info.format = SF_FORMAT_WAV;
    switch (format) {
    case SampleFormat::Float32: info.format |= SF_FORMAT_FLOAT; break;
    case SampleFormat::Pcm24: info.format |= SF_FORMAT_PCM_24; break;
    case SampleFormat::Pcm16: info.format |= SF_FORMAT_PCM_16; break;
    }
    SndfileHandle file(sf_open(path.c_str(), SFM_WRITE, &info));
    if (!file)
        return fail(error, "cannot write " + path + ": " + sf_strerror(nullptr));
    sf_command(file.get(), SFC_SET_CLIPPING, nullptr, SF_TRUE);
    // The peak chunk carries the time of writing: without it the same
    // render writes the same bytes, and two renders compare with cmp.
    sf_command(file.get(), SFC_SET_ADD_PEAK_CHUNK, nullptr, SF_FALSE);

    const int channels = info.channels;
    const sf_count_t frames = buffer.frames();
    std::vector<float> interleaved(static_cast<size_t>(kChunkFrames * channels));
    for (sf_count_t start = 0; start < frames; start += kChunkFrames) {
        sf_count_t count = frames - start < kChunkFrames ? frames - start : kChunkFrames;
        for (sf_count_t i = 0; i < count; ++i)
            for (int c = 0; c < channels; ++c)
                interleaved[static_cast<size_t>(i * channels + c)] =
                    buffer.channels[static_cast<size_t>(c)][static_cast<size_t>(start + i)];
        if (sf_writef_float(file.get(), interleaved.data(), count) != count)
            return fail(error, path + ": " + sf_strerror(file.get()));
    }
    if (sf_close(file.release()) != 0)
        return fail(error, "cannot finish " + path);
    return true;
}

}  // namespace ka813::render
