// Decodes the sound of a media file into interleaved 16-bit PCM of at most two channels, for
// the media-player control. The decoder is FFmpeg's (ffmpeg/), built as a module of its own
// that is opened the first time a process opens a media file, so that no other process
// loads FFmpeg.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace platform::detail {

class MediaDecoder {
public:
    // Null when the file cannot be opened, holds no sound stream that the decoder decodes, or
    // the decoder's module cannot be loaded (said once on stderr).
    static std::unique_ptr<MediaDecoder> open(const std::string& host_path);
    virtual ~MediaDecoder() = default;

    virtual int channels() const = 0;
    virtual int sample_rate() const = 0;
    // Seconds; 0 when the file does not say.
    virtual double duration() const = 0;
    virtual std::int64_t bit_rate() const = 0;

    // Up to frames sample frames into out; fewer only at the end of the sound (0 there).
    virtual std::size_t read(std::int16_t* out, std::size_t frames) = 0;
    // Goes on from that time; false when the file cannot seek.
    virtual bool seek(double seconds) = 0;
};

}  // namespace platform::detail
