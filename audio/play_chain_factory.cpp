#include "audio/play_chain_factory.h"

#include "audio/bookmarks.h"
#include "audio/format_keys.h"
#include "audio/id3_tag.h"
#include "audio/play_chains.h"
#include "audio/router.h"

namespace audio {
namespace {

bool is_accepted(PlayChain* chain) {
    FileReader* const reader = chain != nullptr ? chain->get_reader() : nullptr;
    return reader != nullptr && reader->is_valid();
}

// Tries the candidates in order. A rejected candidate is deleted only after the next one
// has been made, so two readers of the file may be open at once (files are shared for
// reading).
class Probe {
public:
    template <class Make>
    Probe& then(Make make) {
        if (accepted_) return *this;
        std::unique_ptr<PlayChain> candidate = make();
        last_ = std::move(candidate);
        accepted_ = is_accepted(last_.get());
        return *this;
    }
    std::unique_ptr<PlayChain> result() { return accepted_ ? std::move(last_) : nullptr; }

private:
    std::unique_ptr<PlayChain> last_;
    bool accepted_ = false;
};

template <class Chain, class Reader>
std::unique_ptr<PlayChain> make_chain(const std::u16string& path, const char16_t* key) {
    return std::make_unique<Chain>(new Reader(path), path, key);
}

template <class Chain, class Reader>
std::unique_ptr<PlayChain> make_routed(const std::u16string& path, const Bookmarks& bookmarks, const char16_t* key) {
    return std::make_unique<Chain>(new Router<Reader>(path, bookmarks), path, key);
}

}  // namespace

PlayChainMP3::PlayChainMP3(FileReaderMP3* reader, const std::u16string& path, const std::u16string& key)
    : PlayChainReaderDecoder(reader, path, key) {
    Id3Tag const tag = read_id3_tag(path);
    if (!tag.title.empty()) set_title(tag.title);
}

std::unique_ptr<PlayChain> open_play_chain_plain(const std::u16string& path) {
    return Probe()
        .then([&] { return make_chain<PlayChainWAVPCM, FileReaderWAVPCM>(path, key_pcm); })
        .then([&] { return make_chain<PlayChainWAVADPCM, FileReaderWAVADPCM>(path, key_adpcm); })
        .then([&] { return make_chain<PlayChainWAVGSM, FileReaderWAVGSM>(path, key_gsm); })
        .then([&] { return make_chain<PlayChainVorbis, DecoderVorbis>(path, key_vorbis); })
        .then([&] { return make_chain<PlayChainMPC, DecoderMPC>(path, key_mpc); })
        .then([&] { return make_chain<PlayChainMP3, FileReaderMP3>(path, key_mp3); })
        .result();
}

std::unique_ptr<PlayChain> create_play_chain(const std::u16string& path, const Bookmarks* bookmarks) {
    if (bookmarks != nullptr) {
        const Bookmarks& list = *bookmarks;
        return Probe()
            .then([&] { return make_routed<PlayChainWAVPCM, FileReaderWAVPCM>(path, list, key_pcm); })
            .then([&] { return make_routed<PlayChainWAVADPCM, FileReaderWAVADPCM>(path, list, key_adpcm); })
            .then([&] { return make_routed<PlayChainWAVGSM, FileReaderWAVGSM>(path, list, key_gsm); })
            .then([&] { return make_routed<PlayChainVorbis, DecoderVorbis>(path, list, key_vorbis); })
            .then([&] { return make_routed<PlayChainMP3, FileReaderMP3>(path, list, key_mp3); })
            .result();
    }
    std::unique_ptr<PlayChain> plain = open_play_chain_plain(path);
    if (plain != nullptr) return plain;
    std::unique_ptr<PlayChain> wma = std::make_unique<PlayChainWMA>(new FileReaderWMA(path), path, key_wma);
    if (is_accepted(wma.get())) return wma;
    return nullptr;
}

}  // namespace audio
