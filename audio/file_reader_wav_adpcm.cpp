#include "audio/file_reader_wav_adpcm.h"

#include <mutex>

#include "audio/coded_reading.h"

namespace audio {

FileReaderWAVADPCM::FileReaderWAVADPCM(const std::u16string& path) : FileReaderWAV(path) { open(info_); }

ADPCMData FileReaderWAVADPCM::get_data(std::uint32_t blocks) {
    std::lock_guard<liba::CriticalSection> guard(lock_);
    liba::SharedBuffer const bytes = read_blocks(info_, index_, blocks, get_size());
    if (bytes.get_size() == 0) return ADPCMData();
    return ADPCMData(bytes, info_.channels, info_.bits_per_sample, info_.sample_rate, info_.block_align);
}

std::uint32_t FileReaderWAVADPCM::time_to_bytes(double seconds) {
    return seconds_to_blocks(seconds, info_.sample_rate, info_.samples_per_block);
}

double FileReaderWAVADPCM::bytes_to_time(std::uint32_t blocks) {
    return blocks_to_seconds(blocks, info_.sample_rate, info_.samples_per_block);
}

std::uint32_t FileReaderWAVADPCM::get_size() {
    std::lock_guard<liba::CriticalSection> guard(lock_);
    return info_.samples_per_block == 0 ? 0 : info_.fact_sample_count / info_.samples_per_block;
}

std::uint32_t FileReaderWAVADPCM::get_position() {
    std::lock_guard<liba::CriticalSection> guard(lock_);
    return index_;
}

void FileReaderWAVADPCM::set_position(std::uint32_t block) {
    std::lock_guard<liba::CriticalSection> guard(lock_);
    seek_block(info_, index_, block);
}

bool FileReaderWAVADPCM::read_duration(double seconds) {
    return read_block(seconds_to_blocks(seconds, get_sample_rate(), info_.samples_per_block));
}

bool FileReaderWAVADPCM::read_block(std::uint32_t blocks) { return push_blocks(*this, blocks, 5, info_.block_align); }

}  // namespace audio
