// Any file handed to the play-chain probe, as the file explorer and the Document hand it
// over: probing every format, asking the reader for its figures, playing, seeking and
// playing bookmarked ranges must stay inside the file's bytes and end.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "audio/bookmarks.h"
#include "audio/file_reader.h"
#include "audio/play_chain.h"
#include "audio/play_chain_factory.h"
#include "tests/fuzz/fuzz_input.h"

namespace {

const char16_t* const sound_path = u"\\fuzz\\sound.bin";
constexpr int pulls_per_visit = 24;

void ask_figures(audio::FileReader& reader) {
    static_cast<void>(reader.get_channels());
    static_cast<void>(reader.get_bits_per_sample());
    static_cast<void>(reader.get_sample_rate());
    static_cast<void>(reader.get_bit_rate());
    static_cast<void>(reader.get_duration());
    static_cast<void>(reader.get_time());
    static_cast<void>(reader.is_at_end());
    static_cast<void>(reader.time_to_bytes(1.5));
}

void pull_some(audio::Provider<audio::PCMData>& provider) {
    for (int i = 0; i < pulls_per_visit; ++i) {
        audio::PCMData const block = provider.get_data(4096);
        if (block.is_empty()) return;
        if (block.get_size() > 64u * 1024 * 1024) std::abort();
    }
}

void play_around(audio::PlayChain& chain) {
    audio::FileReader* const reader = chain.get_reader();
    audio::Provider<audio::PCMData>* const provider = chain.get_provider();
    if (reader == nullptr || provider == nullptr) return;
    ask_figures(*reader);
    pull_some(*provider);
    std::uint32_t const size = reader->get_size();
    reader->set_position(size / 2);
    pull_some(*provider);
    reader->set_position(size);
    pull_some(*provider);
    reader->set_time(0.0);
    pull_some(*provider);
    ask_figures(*reader);
}

Bookmarks two_ranges(std::uint32_t size) {
    Bookmarks bookmarks;
    bookmarks.insert(static_cast<std::int32_t>(size / 3 * 2), u"C", true);
    bookmarks.insert(0, u"A", true);
    bookmarks.insert(static_cast<std::int32_t>(size / 3), u"B", false);
    return bookmarks;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzing::use_private_device();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (!fuzzing::write_device_file(sound_path, data, size)) return 0;
    std::uint32_t reader_size = 0;
    if (std::unique_ptr<audio::PlayChain> chain = audio::open_play_chain_plain(sound_path)) {
        static_cast<void>(chain->get_name());
        static_cast<void>(chain->get_title());
        reader_size = chain->get_reader()->get_size();
        play_around(*chain);
    }
    Bookmarks const bookmarks = two_ranges(reader_size);
    if (std::unique_ptr<audio::PlayChain> routed = audio::create_play_chain(sound_path, &bookmarks)) play_around(*routed);
    return 0;
}
