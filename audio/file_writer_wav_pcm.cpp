#include "audio/file_writer_wav_pcm.h"

namespace audio {

namespace {

WAVInfoPCM new_pcm_header() {
    WAVInfoPCM header;
    header.format_tag = 1;
    header.fmt_size = 16;
    header.data_start = 44;
    return header;
}

}  // namespace

FileWriterWAVPCM::FileWriterWAVPCM(const std::u16string& path, bool append)
    : FileWriterWAV(path, append, new_pcm_header()) {}

bool FileWriterWAVPCM::set_format(const PCMData& block) {
    std::uint64_t const align = block.get_frame_bytes();
    // What the header's 16-bit fields and 32-bit byte rate cannot hold, and a frame of no
    // bytes, cannot be stored.
    if (align == 0 || align > 0xFFFF || block.bits_per_sample > 0xFFFF || align * block.sample_rate > 0xFFFFFFFFu)
        return false;
    header_.channels = block.channels;
    header_.bits_per_sample = block.bits_per_sample;
    header_.sample_rate = block.sample_rate;
    header_.block_align = static_cast<std::uint16_t>(align);
    header_.byte_rate = static_cast<std::uint32_t>(align * block.sample_rate);
    return true;
}

bool FileWriterWAVPCM::write_data(const PCMData& block) {
    bool const same_format = block.channels == header_.channels && block.bits_per_sample == header_.bits_per_sample &&
                             block.sample_rate == header_.sample_rate;
    if (!same_format) return true;
    bool complete = false;
    append_units(block.buffer, header_.block_align, complete);
    return complete;
}

std::uint32_t FileWriterWAVPCM::get_position() {
    std::lock_guard<liba::CriticalSection> guard(get_lock());
    return header_.block_align * written_;
}

std::uint32_t FileWriterWAVPCM::get_bit_rate() {
    std::lock_guard<liba::CriticalSection> guard(get_lock());
    return header_.byte_rate * 8;
}

}  // namespace audio
