// Any file opened as a WAV file of each kind and played through its decoder: the header is
// read, the data decoded to the end, with seeks on the way.
#include <cstdlib>
#include <memory>
#include <string>

#include "audio/play_chains.h"
#include "tests/fuzz/fuzz_input.h"

namespace {

const char16_t* const wav_path = u"\\fuzz\\input.wav";

void play(audio::PlayChain& chain) {
    audio::FileReader& reader = *chain.get_reader();
    if (!reader.is_valid()) return;
    reader.get_duration();
    reader.get_bit_rate();
    std::uint32_t const size = reader.get_size();
    reader.set_position(size / 2);
    reader.set_position(0);
    // Whole frames are delivered and the end is reached.
    for (int pulls = 0; pulls < 10000; ++pulls) {
        audio::PCMData const block = chain.get_provider()->get_data(4096);
        if (block.is_empty()) break;
    }
    reader.set_position(size);
    if (!chain.get_provider()->get_data(4096).is_empty() && reader.get_position() > reader.get_size()) std::abort();
}

template <class Chain, class Reader>
void play_as() {
    Chain chain(new Reader(wav_path), wav_path, u"fuzz");
    play(chain);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzing::use_private_device();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (!fuzzing::write_device_file(wav_path, data, size)) return 0;
    play_as<audio::PlayChainWAVPCM, audio::FileReaderWAVPCM>();
    play_as<audio::PlayChainWAVADPCM, audio::FileReaderWAVADPCM>();
    play_as<audio::PlayChainWAVGSM, audio::FileReaderWAVGSM>();
    return 0;
}
