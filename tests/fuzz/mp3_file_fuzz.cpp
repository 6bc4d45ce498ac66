// Any file opened as an MP3 file: the frame scan, the ID3v1 tag and decoding to the end,
// with seeks on the way.
#include <cstdlib>
#include <string>

#include "audio/id3_tag.h"
#include "audio/play_chains.h"
#include "tests/fuzz/fuzz_input.h"

namespace {

const char16_t* const mp3_path = u"\\fuzz\\input.mp3";

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzing::use_private_device();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (!fuzzing::write_device_file(mp3_path, data, size)) return 0;
    audio::read_id3_tag(mp3_path);
    audio::PlayChainMP3 chain(new audio::FileReaderMP3(mp3_path), mp3_path, u"mp3");
    audio::FileReader& reader = *chain.get_reader();
    if (!reader.is_valid()) return 0;
    reader.get_duration();
    reader.get_bit_rate();
    std::uint32_t const length = reader.get_size();
    reader.set_position(length / 3);
    chain.get_provider()->get_data(1152);
    reader.set_position(0);
    for (int pulls = 0; pulls < 2000; ++pulls) {
        if (chain.get_provider()->get_data(4096).is_empty()) break;
    }
    return 0;
}
