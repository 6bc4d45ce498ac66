#include "audio/file_writer_wav_adpcm.h"

#include <algorithm>
#include <iterator>
#include <mutex>

#include "audio/adpcm.h"

namespace audio {

namespace {

WAVInfoADPCM new_adpcm_header() {
    WAVInfoADPCM header;
    header.format_tag = 2;
    header.bits_per_sample = 4;
    header.fmt_size = 50;
    header.data_start = 90;
    header.coefficient_count = adpcm::coefficient_count;
    header.coefficients.assign(std::begin(adpcm::coefficients), std::end(adpcm::coefficients));
    return header;
}

}  // namespace

FileWriterWAVADPCM::FileWriterWAVADPCM(const std::u16string& path, bool append)
    : FileWriterWAV(path, append, new_adpcm_header()) {
    // Padding at the end of the old recording now lies inside the file: it is played.
    if (append && file_) header_.fact_sample_count = written_ * header_.samples_per_block;
}

bool FileWriterWAVADPCM::set_format(const ADPCMData& block) {
    if (block.channels != 1 && block.channels != 2) return false;
    std::uint32_t const samples = adpcm::samples_per_block(block.block_align, block.channels);
    // A block without room for its header, or one whose sizes the header's 16-bit fields
    // cannot hold, cannot be stored.
    if (samples <= 2 || block.block_align > 0xFFFF || samples > 0xFFFF) return false;
    header_.channels = block.channels;
    header_.sample_rate = block.sample_rate;
    header_.block_align = static_cast<std::uint16_t>(block.block_align);
    header_.samples_per_block = static_cast<std::uint16_t>(samples);
    header_.byte_rate = static_cast<std::uint32_t>(std::uint64_t{block.sample_rate} * block.block_align / samples);
    return true;
}

bool FileWriterWAVADPCM::write_data(const ADPCMData& block) {
    bool const same_format = block.channels == header_.channels && block.bits_per_sample == header_.bits_per_sample &&
                             block.sample_rate == header_.sample_rate && block.block_align == header_.block_align;
    if (!same_format) return true;
    bool complete = false;
    std::uint32_t const blocks = append_units(block.buffer, header_.block_align, complete);
    std::uint32_t const samples =
        adpcm::samples_per_block(header_.block_align, header_.channels, header_.bits_per_sample);
    header_.fact_sample_count += blocks * samples;
    return complete;
}

void FileWriterWAVADPCM::set_padding(std::uint32_t frames) {
    std::lock_guard<liba::CriticalSection> guard(get_lock());
    if (written_ == 0 || frames >= header_.samples_per_block) return;
    header_.fact_sample_count -= std::min(frames, header_.fact_sample_count);
}

std::uint32_t FileWriterWAVADPCM::get_position() {
    std::lock_guard<liba::CriticalSection> guard(get_lock());
    return written_;
}

}  // namespace audio
