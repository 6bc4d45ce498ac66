#include "audio/file_writer_mp3.h"

#include <algorithm>
#include <cstring>
#include <mutex>

#include "audio/file_reader_mp3.h"
#include "audio/mp3_header.h"

namespace audio {

FileWriterMP3::FileWriterMP3(const std::u16string& path, bool append)
    : file_(path, append ? 3 : 1), buffer_(new std::uint8_t[buffer_size]) {
    file_.seek(file_.get_size());
    written_ = file_.get_position();
    start_ = written_;
    path_ = path;
}

void FileWriterMP3::end_stream(const std::vector<std::uint8_t>& info_frame) {
    std::lock_guard<liba::CriticalSection> guard(get_lock());
    if (!open() || written_ == start_) return;
    if (buffer_fill_ > 0) {
        ok_ = write_all(buffer_.get(), buffer_fill_);
        buffer_fill_ = 0;
        if (!open()) return;
    }
    if (start_ == 0) {
        if (!info_frame.empty() && info_frame.size() <= written_)
            write_at(0, info_frame.data(), static_cast<std::uint32_t>(info_frame.size()));
    } else {
        silence_old_info_frame();
    }
}

void FileWriterMP3::write_at(std::uint32_t position, const std::uint8_t* bytes, std::uint32_t count) {
    if (file_.seek(position)) ok_ = write_all(bytes, count);
    file_.seek(written_);
}

void FileWriterMP3::silence_old_info_frame() {
    FileReaderMP3 reader(path_);
    std::int64_t const first = reader.get_stream_start();
    if (!reader.is_valid() || first < 0 || first >= start_) return;
    std::uint8_t frame[64] = {};
    if (!file_.seek(static_cast<std::uint32_t>(first))) return;
    std::uint32_t const got = file_.read(frame, sizeof frame);
    file_.seek(written_);
    MP3FrameHeader header;
    if (got < 4 || !mp3_header_parse(frame, header) || !mp3_is_info_frame(frame, got, header)) return;
    // The tag's name goes: decoders then take the frame for silence, and the whole file plays.
    for (std::uint32_t at = 4; at + 4 <= got; ++at) {
        if (std::memcmp(frame + at, "Xing", 4) == 0 || std::memcmp(frame + at, "Info", 4) == 0 ||
            std::memcmp(frame + at, "VBRI", 4) == 0) {
            std::uint8_t const zeros[4] = {};
            write_at(static_cast<std::uint32_t>(first) + at, zeros, 4);
            return;
        }
    }
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
