#include "audio/file_reader_wav.h"

#include <algorithm>
#include <mutex>

namespace audio {

FileReaderWAV::FileReaderWAV(const std::u16string& path) : file_(path, 0) {}

void FileReaderWAV::open(WAVInfo& info) {
    std::lock_guard<liba::CriticalSection> guard(lock_);
    valid_ = read_wav_header(file_, info);
}

bool FileReaderWAV::is_valid() {
    std::lock_guard<liba::CriticalSection> guard(lock_);
    return valid_;
}

bool FileReaderWAV::is_at_end() {
    std::lock_guard<liba::CriticalSection> guard(lock_);
    return !valid_ || get_position() >= get_size();
}

std::uint32_t FileReaderWAV::get_channels() {
    std::lock_guard<liba::CriticalSection> guard(lock_);
    return get_format()->channels;
}

std::uint32_t FileReaderWAV::get_bits_per_sample() {
    std::lock_guard<liba::CriticalSection> guard(lock_);
    return get_format()->bits_per_sample;
}

std::uint32_t FileReaderWAV::get_sample_rate() {
    std::lock_guard<liba::CriticalSection> guard(lock_);
    return get_format()->sample_rate;
}

std::uint32_t FileReaderWAV::get_bit_rate() {
    std::lock_guard<liba::CriticalSection> guard(lock_);
    return get_format()->byte_rate * 8;
}

std::uint32_t FileReaderWAV::get_block_count(const WAVInfo& info, std::uint32_t fact_blocks) const {
    if (info.block_align == 0) return 0;
    return std::min(fact_blocks, info.data_size / info.block_align);
}

void FileReaderWAV::seek_block(const WAVInfo& info, std::uint32_t& index, std::uint32_t block) {
    if (block == index) return;
    std::uint64_t const position = info.data_start + std::uint64_t{info.block_align} * block;
    if (position <= 0xFFFFFFFFu) file_.seek(static_cast<std::uint32_t>(position));
    index = block;
}

liba::SharedBuffer FileReaderWAV::read_blocks(const WAVInfo& info, std::uint32_t& index, std::uint32_t count,
                                              std::uint32_t fact_blocks) {
    std::uint32_t const available = get_block_count(info, fact_blocks);
    if (!valid_ || index >= available) return liba::SharedBuffer();
    std::uint32_t const blocks = std::min(count, available - index);
    if (blocks == 0) return liba::SharedBuffer();
    // Inside the data chunk, so below 4 GB.
    std::uint32_t const bytes = blocks * info.block_align;
    liba::SharedBuffer buffer(bytes);
    std::uint32_t const read = file_.read(buffer.get_writable_data(), bytes);
    std::uint32_t const whole = read / info.block_align;
    if (read != whole * info.block_align) file_.seek(info.data_start + (index + whole) * info.block_align);
    index += whole;
    return liba::SharedBuffer(buffer, 0, whole * info.block_align);
}

}  // namespace audio
