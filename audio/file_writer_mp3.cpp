#include "audio/file_writer_mp3.h"

#include <algorithm>
#include <cstring>
#include <mutex>

#include "audio/mp3_header.h"

namespace audio {

FileWriterMP3::FileWriterMP3(const std::u16string& path, bool append)
    : file_(path, append ? 3 : 1), buffer_(new std::uint8_t[buffer_size]) {
    file_.seek(file_.get_size());
    written_ = file_.get_position();
}

FileWriterMP3::~FileWriterMP3() {
    std::lock_guard<liba::CriticalSection> guard(get_lock());
    if (buffer_fill_ > 0) write_all(buffer_.get(), buffer_fill_);
}

void FileWriterMP3::on_data(const MP3Data& block) {
    std::lock_guard<liba::CriticalSection> guard(get_lock());
    if (!open()) return;
    // A length beyond the block's bytes is not trusted further than the bytes go.
    std::uint32_t const length = std::min(block.frame_length, block.get_size());
    written_ += length;
    if (buffer_fill_ + length > buffer_size) {
        ok_ = write_buffer();
        if (!open()) return;
    }
    if (length <= buffer_size) {
        std::memcpy(buffer_.get() + buffer_fill_, block.buffer.get_data(), length);
        buffer_fill_ += length;
        if (second_bytes_ == 0) second_bytes_ = second_of(block);
        if (buffer_fill_ >= (second_bytes_ == 0 ? default_second_bytes : second_bytes_)) ok_ = write_buffer();
    } else {
        ok_ = write_all(block.buffer.get_data(), length);
    }
}

bool FileWriterMP3::write_buffer() {
    bool const written = write_all(buffer_.get(), buffer_fill_);
    buffer_fill_ = 0;
    return written;
}

// The encoder's blocks do not keep to frames; the stream's first block starts with one,
// whose bit rate tells how many bytes make a second (of a constant-bit-rate stream).
std::uint32_t FileWriterMP3::second_of(const MP3Data& block) {
    MP3FrameHeader header;
    if (block.get_size() < 4 || !mp3_header_parse(block.buffer.get_data(), header)) return 0;
    return header.bit_rate * 1000 / 8;
}

bool FileWriterMP3::write_all(const std::uint8_t* bytes, std::uint32_t count) {
    return file_.write(bytes, count) == count;
}

bool FileWriterMP3::is_open() {
    std::lock_guard<liba::CriticalSection> guard(get_lock());
    return open();
}

std::uint32_t FileWriterMP3::get_position() {
    std::lock_guard<liba::CriticalSection> guard(get_lock());
    return written_;
}

}  // namespace audio
