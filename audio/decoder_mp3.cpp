#include "audio/decoder_mp3.h"

#include <algorithm>

#include "audio/mp3_decoder.h"
#include "audio/mp3_header.h"

namespace audio {

namespace {

bool is_decoded_rate(std::uint32_t rate) {
    static constexpr std::uint32_t rates[] = {8000, 11025, 16000, 22050, 24000, 32000, 44100, 48000};
    return std::find(std::begin(rates), std::end(rates), rate) != std::end(rates);
}

}  // namespace

DecoderMP3::DecoderMP3() : decoder_(mp3_decoder_create()) {}

DecoderMP3::~DecoderMP3() { mp3_decoder_destroy(decoder_); }

PCMData DecoderMP3::decode(const MP3Data& block) {
    MP3FrameHeader header;
    if (decoder_ == nullptr || block.get_size() < 4 || !mp3_header_parse(block.buffer.get_data(), header))
        return PCMData();
    if (!is_decoded_rate(header.sample_rate)) return PCMData();
    liba::SharedBuffer output(header.samples_per_frame * header.channels * 2);
    std::uint32_t consumed = 0;
    std::uint32_t produced = 0;
    int const result = mp3_decoder_decode(decoder_, block.buffer.get_data(), block.get_size(),
                                          output.get_writable_data(), output.get_size(), consumed, produced);
    if (result != 0) return PCMData();
    return PCMData(liba::SharedBuffer(output, 0, produced), header.channels, 16, header.sample_rate);
}

}  // namespace audio
