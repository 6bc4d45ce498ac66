#include "audio/file_reader_mp3.h"

#include <algorithm>
#include <cstring>
#include <mutex>

#include "audio/reader_arithmetic.h"

namespace audio {

FileReaderMP3::FileReaderMP3(const std::u16string& path) : file_(path, 0) {
    if (file_.has_errors()) {
        valid_ = false;
        return;
    }
    file_size_ = file_.get_size();
    if (file_size_ == 0) return;
    find_stream_start();
}

void FileReaderMP3::find_stream_start() {
    for (;;) {
        if (!scan(reference_)) {
            refill();
            // A read that gives nothing (a failing or shrunken file) ends the search too.
            if (at_end() || fill_ == 0) {
                valid_ = false;
                return;
            }
            continue;
        }
        refill();
        stream_start_ = position();
        index_ += static_cast<std::int32_t>(reference_.frame_length);
        if (header_at_index_matches() || at_end()) break;
    }
    valid_ = !at_end();
    index_ = 0;
}

bool FileReaderMP3::header_at_index_matches() const {
    MP3FrameHeader next;
    return index_ + 4 <= fill_ && mp3_header_parse(buffer_ + index_, next) && next.has_format_of(reference_);
}

// Keeps at least that many bytes (the look-ahead unless more is asked) in the buffer while the file has it. An index beyond the
// buffered bytes (after skipping a frame longer than what was left) goes on from that
// place in the file.
void FileReaderMP3::refill(std::int32_t ahead) {
    if (index_ <= fill_ - ahead) return;
    std::int32_t remaining = fill_ - index_;
    if (remaining < 0) {
        std::int64_t const target = std::min<std::int64_t>(position(), file_size_);
        file_.seek(static_cast<std::uint32_t>(target));
        buffer_position_ = static_cast<std::uint32_t>(target);
        remaining = 0;
    } else {
        std::memmove(buffer_, buffer_ + index_, static_cast<std::size_t>(remaining));
    }
    std::uint32_t const got = file_.read(buffer_ + remaining, static_cast<std::uint32_t>(buffer_size - remaining));
    buffer_position_ += got;
    index_ = 0;
    fill_ = remaining + static_cast<std::int32_t>(got);
    std::memset(buffer_ + fill_, 0, static_cast<std::size_t>(buffer_size - fill_));
}

bool FileReaderMP3::scan(MP3FrameHeader& header) {
    for (; index_ < fill_ - 4; ++index_)
        if (mp3_header_parse(buffer_ + index_, header)) return true;
    index_ = std::max(index_, fill_);
    return false;
}

// Other data may lie between frames (a tag, a picture, a damaged stretch, larger than the
// buffer): the scan goes on through the file, a buffer at a time, until it finds a frame
// of the stream's format or the file ends.
MP3Data FileReaderMP3::get_data(std::uint32_t) {
    std::lock_guard<liba::CriticalSection> guard(lock_);
    while (!at_end()) {
        refill();
        std::int32_t const from = index_;
        MP3FrameHeader found;
        if (!scan(found)) {
            if (!read_on_from(std::max(from, fill_ - 4))) break;
            continue;
        }
        if (!found.has_format_of(reference_)) {
            ++index_;
            continue;
        }
        if (is_info_frame_at_stream_start(found)) {
            index_ += static_cast<std::int32_t>(found.frame_length);
            continue;
        }
        return take_frame(found);
    }
    index_ = std::max(index_, fill_);
    return MP3Data();
}

// The bytes from there on stay (a frame header may begin in them) and the buffer is filled
// up behind them; false when the file has nothing more.
bool FileReaderMP3::read_on_from(std::int32_t index) {
    index_ = std::max(index, 0);
    if (buffer_position_ >= file_size_) return false;
    std::int32_t const before = fill_ - index_;
    refill(buffer_size);
    return fill_ > before;
}

// The tag frame that encoders put first (a frame of silence that carries "Xing", "Info" or
// "VBRI" where its audio would begin) is not sound: players skip it.
bool FileReaderMP3::is_info_frame_at_stream_start(const MP3FrameHeader& found) const {
    if (position() != stream_start_ || found.layer != 3) return false;
    return mp3_is_info_frame(buffer_ + index_, static_cast<std::uint32_t>(fill_ - index_), found);
}

MP3Data FileReaderMP3::take_frame(const MP3FrameHeader& found) {
    std::int32_t const length = static_cast<std::int32_t>(found.frame_length);
    refill(std::max(look_ahead, length));
    if (index_ + length > fill_) {
        index_ = fill_;
        return MP3Data();
    }
    // A frame longer than the look-ahead (MPEG 2.5 layer II at high bit rates) comes whole.
    std::int32_t const copied = std::min(std::max(look_ahead, length), buffer_size - index_);
    MP3Data const block(liba::SharedBuffer(static_cast<std::uint32_t>(copied), buffer_ + index_), found.frame_length);
    index_ += length;
    return block;
}

bool FileReaderMP3::is_valid() {
    std::lock_guard<liba::CriticalSection> guard(lock_);
    return valid_;
}

bool FileReaderMP3::is_at_end() {
    std::lock_guard<liba::CriticalSection> guard(lock_);
    return at_end();
}

std::uint32_t FileReaderMP3::time_to_bytes(double seconds) { return whole_units(reference_.bit_rate * seconds * 125); }

double FileReaderMP3::bytes_to_time(std::uint32_t bytes) {
    if (reference_.bit_rate == 0) return 0.0;
    return static_cast<double>(bytes) * 8 / reference_.bit_rate * 0.001;
}

std::uint32_t FileReaderMP3::get_size() {
    std::lock_guard<liba::CriticalSection> guard(lock_);
    return file_size_;
}

std::uint32_t FileReaderMP3::get_position() {
    std::lock_guard<liba::CriticalSection> guard(lock_);
    return static_cast<std::uint32_t>(std::clamp<std::int64_t>(position(), 0, file_size_));
}

void FileReaderMP3::set_position(std::uint32_t bytes) {
    std::lock_guard<liba::CriticalSection> guard(lock_);
    bytes = std::min(bytes, file_size_);
    file_.seek(bytes);
    buffer_position_ = bytes;
    fill_ = index_ = 0;
    std::memset(buffer_, 0, sizeof buffer_);
}

bool FileReaderMP3::read_duration(double seconds) {
    double const start = get_time();
    while (get_time() - start < seconds) {
        MP3Data const block = get_data(1);
        if (block.is_empty()) return false;
        push_data(block);
    }
    return true;
}

bool FileReaderMP3::read_block(std::uint32_t bytes) {
    std::uint32_t const start = get_position();
    while (get_position() - start < bytes) {
        MP3Data const block = get_data(1);
        if (block.is_empty()) return false;
        push_data(block);
    }
    return true;
}

}  // namespace audio
