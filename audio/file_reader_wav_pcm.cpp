#include "audio/file_reader_wav_pcm.h"

#include <algorithm>
#include <mutex>

#include "audio/push_pieces.h"
#include "audio/reader_arithmetic.h"

namespace audio {

namespace {

constexpr std::uint32_t max_frames_per_push = 5000;

}  // namespace

FileReaderWAVPCM::FileReaderWAVPCM(const std::u16string& path) : FileReaderWAV(path) { open(info_); }

PCMData FileReaderWAVPCM::get_data(std::uint32_t frames) {
    std::lock_guard<liba::CriticalSection> guard(lock_);
    if (!valid_) return PCMData();
    if (position_ >= info_.data_size) return PCMData();
    std::uint64_t const wanted = std::uint64_t{frames} * info_.block_align;
    std::uint32_t size = static_cast<std::uint32_t>(std::min<std::uint64_t>(wanted, info_.data_size - position_));
    size -= size % info_.block_align;
    if (size == 0) return PCMData();
    liba::SharedBuffer buffer(size);
    std::uint32_t const read = file_.read(buffer.get_writable_data(), size);
    position_ += read;
    if (read != size) return PCMData();
    return PCMData(buffer, info_.channels, info_.bits_per_sample, info_.sample_rate);
}

std::uint32_t FileReaderWAVPCM::time_to_bytes(double seconds) {
    return clamp_to_u32(std::uint64_t{whole_units(info_.sample_rate * seconds)} * info_.block_align);
}

double FileReaderWAVPCM::bytes_to_time(std::uint32_t bytes) {
    if (info_.block_align == 0 || info_.sample_rate == 0) return 0.0;
    return static_cast<double>(bytes / info_.block_align) / info_.sample_rate;
}

std::uint32_t FileReaderWAVPCM::get_size() {
    std::lock_guard<liba::CriticalSection> guard(lock_);
    return info_.data_size;
}

std::uint32_t FileReaderWAVPCM::get_position() {
    std::lock_guard<liba::CriticalSection> guard(lock_);
    return position_;
}

void FileReaderWAVPCM::set_position(std::uint32_t bytes) {
    std::lock_guard<liba::CriticalSection> guard(lock_);
    if (info_.block_align != 0) bytes -= bytes % info_.block_align;
    std::uint32_t const target = std::min(bytes, info_.data_size);
    if (file_.seek(info_.data_start + target)) position_ = target;
}

bool FileReaderWAVPCM::read_duration(double seconds) {
    std::uint32_t const frames = whole_units(get_sample_rate() * seconds);
    return read_block(clamp_to_u32(std::uint64_t{frames} * info_.block_align));
}

bool FileReaderWAVPCM::read_block(std::uint32_t bytes) {
    if (!is_valid() || info_.block_align == 0) return false;
    return push_frames(*this, bytes / info_.block_align, max_frames_per_push);
}

}  // namespace audio
