#pragma once

#include <cstdint>
#include <string>

#include "audio/blocks.h"
#include "audio/file_reader.h"
#include "audio/mp3_header.h"
#include "audio/stream_ends.h"
#include "foundation/critical_section.h"
#include "foundation/file.h"

namespace audio {

// Reads an MPEG audio file frame by frame. The position unit is the byte of the file.
// The stream's format is fixed by the first frame that the next frame of the same format
// follows at frame-length distance; bytes before it (other data, a tag) are skipped, and
// so are frames of another format later on. Each block holds one frame at its start and
// the bytes after it (at least 2000 bytes in all, zeros past the end of the file), so that
// a decoder can look beyond the frame.
class FileReaderMP3 : public Provider<MP3Data>, public FileReader {
public:
    explicit FileReaderMP3(const std::u16string& path);

    // The next frame; the count is not used. Empty at the end and when the rest of the
    // buffered data holds no frame of the stream's format.
    MP3Data get_data(std::uint32_t count) override;

    bool is_valid() override;
    bool is_at_end() override;
    std::uint32_t get_channels() override { return reference_.channels; }
    std::uint32_t get_bits_per_sample() override { return 16; }
    std::uint32_t get_sample_rate() override { return reference_.sample_rate; }
    // Of the first frame: a variable bit rate is not followed.
    std::uint32_t get_bit_rate() override { return reference_.bit_rate * 1000; }
    std::uint32_t time_to_bytes(double seconds) override;
    double bytes_to_time(std::uint32_t bytes) override;
    std::uint32_t get_size() override;
    std::uint32_t get_position() override;
    // Kept inside the file; playing goes on from the next frame found there.
    void set_position(std::uint32_t bytes) override;
    bool read_duration(double seconds) override;
    bool read_block(std::uint32_t bytes) override;

    const MP3FrameHeader& get_reference_header() const { return reference_; }
    // File offset of the stream's first frame; -1 when there is none.
    std::int64_t get_stream_start() const { return stream_start_; }

private:
    static constexpr std::int32_t buffer_size = 10000;
    static constexpr std::int32_t look_ahead = 2000;

    std::int64_t position() const { return std::int64_t{buffer_position_} - fill_ + index_; }
    bool at_end() const { return !valid_ || position() >= file_size_; }
    void refill(std::int32_t ahead = look_ahead);
    bool scan(MP3FrameHeader& header);
    bool header_at_index_matches() const;
    void find_stream_start();
    bool read_on_from(std::int32_t index);
    bool is_info_frame_at_stream_start(const MP3FrameHeader& found) const;
    MP3Data take_frame(const MP3FrameHeader& found);

    os::File file_;
    std::uint32_t file_size_ = 0;
    MP3FrameHeader reference_;
    // File offset just past the last byte read into the buffer.
    std::uint32_t buffer_position_ = 0;
    // File offset of the stream's first frame.
    std::int64_t stream_start_ = -1;
    bool valid_ = true;
    liba::CriticalSection lock_;
    // Bytes past the fill are always zero.
    std::uint8_t buffer_[buffer_size] = {};
    std::int32_t fill_ = 0;
    std::int32_t index_ = 0;
};

}  // namespace audio
