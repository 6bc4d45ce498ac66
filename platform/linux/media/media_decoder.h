// Decodes the sound of a media file with FFmpeg into interleaved 16-bit PCM of at most two
// channels, for the media-player control.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform::detail {

class MediaDecoder {
public:
    // Null when the file cannot be opened or holds no sound stream that FFmpeg decodes.
    static std::unique_ptr<MediaDecoder> open(const std::string& host_path);
    ~MediaDecoder();
    MediaDecoder(const MediaDecoder&) = delete;
    MediaDecoder& operator=(const MediaDecoder&) = delete;

    int channels() const { return channels_; }
    int sample_rate() const { return sample_rate_; }
    // Seconds; 0 when the file does not say.
    double duration() const { return duration_; }
    std::int64_t bit_rate() const { return bit_rate_; }

    // Up to frames sample frames into out; fewer only at the end of the sound (0 there).
    std::size_t read(std::int16_t* out, std::size_t frames);
    // Goes on from that time; false when the file cannot seek.
    bool seek(double seconds);

    // FFmpeg's state for one file.
    struct Context;

private:
    explicit MediaDecoder(std::unique_ptr<Context> context);
    // Decodes the next frame into pending_; false at the end.
    bool decode_more();
    void skip(std::size_t frames);

    std::unique_ptr<Context> context_;
    int channels_ = 0;
    int sample_rate_ = 0;
    double duration_ = 0.0;
    std::int64_t bit_rate_ = 0;
    std::vector<std::int16_t> pending_;
    std::size_t pending_start_ = 0;  // samples of pending_ already handed out
    bool ended_ = false;
};

}  // namespace platform::detail
