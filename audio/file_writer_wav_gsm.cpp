#include "audio/file_writer_wav_gsm.h"

#include "audio/gsm_codec.h"

namespace audio {

namespace {

WAVInfoGSM new_gsm_header() {
    WAVInfoGSM header;
    header.format_tag = 49;
    header.channels = 1;
    header.sample_rate = 8000;
    header.bits_per_sample = 0;
    header.block_align = GSMCodec::block_bytes;
    header.samples_per_block = GSMCodec::block_samples;
    header.byte_rate = 1625;
    header.fmt_size = 20;
    header.data_start = 60;
    return header;
}

}  // namespace

FileWriterWAVGSM::FileWriterWAVGSM(const std::u16string& path, bool append)
    : FileWriterWAV(path, append, new_gsm_header()) {}

bool FileWriterWAVGSM::set_format(const GSMData& block) {
    static_cast<void>(block);
    return true;
}

bool FileWriterWAVGSM::write_data(const GSMData& block) {
    bool complete = false;
    header_.fact_sample_count += append_units(block.buffer, GSMCodec::block_bytes, complete) * GSMCodec::block_samples;
    return complete;
}

std::uint32_t FileWriterWAVGSM::get_position() {
    std::lock_guard<liba::CriticalSection> guard(get_lock());
    return written_;
}

}  // namespace audio
