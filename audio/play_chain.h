#pragma once

#include <memory>
#include <string>

#include "audio/blocks.h"
#include "audio/file_reader.h"
#include "audio/record_chain.h"
#include "audio/stream_ends.h"
#include "foundation/paths.h"

namespace audio {

class FileReaderWMA;

// A sound file opened for playing: its reader and, for coded formats, its decoder, owned
// as one PCM provider, with the format key and the title that the screens show.
class PlayChain {
public:
    virtual ~PlayChain() = default;

    virtual Provider<PCMData>* get_provider() = 0;
    // Null when the chain has no reader.
    virtual FileReader* get_reader() = 0;
    // For a chain that plays by itself.
    virtual bool set_pause_state(bool paused) {
        static_cast<void>(paused);
        return false;
    }
    virtual bool get_pause_state() { return false; }
    // False for a chain that plays by itself instead of feeding the PCM player.
    virtual bool is_pcm_output() { return true; }
    virtual std::u16string get_name() = 0;
    virtual std::u16string get_title() = 0;
    // Links the reader into a record chain of the same format; false for another format.
    virtual bool link_to_record_chain(RecordChain* chain) = 0;
    // Forgets decoded sound not yet handed out; called after the reader was moved.
    virtual void drop_sound() {}

protected:
    PlayChain() = default;
    PlayChain(const PlayChain&) = delete;
    PlayChain& operator=(const PlayChain&) = delete;
};

// The record-chain link operation for each reader type.
inline bool link_reader_to(RecordChain& chain, FileReaderWAVPCM* reader) { return chain.link_reader_wav_pcm(reader); }
inline bool link_reader_to(RecordChain& chain, FileReaderWAVADPCM* reader) {
    return chain.link_reader_wav_adpcm(reader);
}
inline bool link_reader_to(RecordChain& chain, FileReaderWAVGSM* reader) { return chain.link_reader_wav_gsm(reader); }
inline bool link_reader_to(RecordChain& chain, FileReaderMP3* reader) { return chain.link_reader_mp3(reader); }
inline bool link_reader_to(RecordChain& chain, DecoderVorbis* reader) { return chain.link_reader_vorbis(reader); }
inline bool link_reader_to(RecordChain& chain, DecoderMPC* reader) { return chain.link_reader_mpc(reader); }
// No record chain takes WMA.
inline bool link_reader_to(RecordChain&, FileReaderWMA*) { return false; }

// Owns the reader (which may be a wrapper derived from R); titled with the file name.
template <class R>
class PlayChainReaderOnlyBase : public PlayChain {
public:
    PlayChainReaderOnlyBase(R* reader, const std::u16string& path, const std::u16string& key)
        : name_(key), reader_(reader), title_(os::get_file_name(path)) {}

    FileReader* get_reader() override { return reader_.get(); }
    std::u16string get_name() override { return name_; }
    std::u16string get_title() override { return title_; }
    bool link_to_record_chain(RecordChain* chain) override {
        return chain != nullptr && link_reader_to(*chain, reader_.get());
    }

protected:
    R* reader() const { return reader_.get(); }
    void set_title(const std::u16string& title) { title_ = title; }

private:
    std::u16string name_;
    std::unique_ptr<R> reader_;
    std::u16string title_;
};

// A reader that delivers PCM itself.
template <class R>
class PlayChainReaderOnly : public PlayChainReaderOnlyBase<R> {
public:
    using PlayChainReaderOnlyBase<R>::PlayChainReaderOnlyBase;
    Provider<PCMData>* get_provider() override { return this->reader(); }
};

// A reader of coded blocks and the decoder that pulls them and delivers PCM.
template <class R, class D>
class PlayChainReaderDecoder : public PlayChainReaderOnlyBase<R> {
public:
    PlayChainReaderDecoder(R* reader, const std::u16string& path, const std::u16string& key)
        : PlayChainReaderOnlyBase<R>(reader, path, key), decoder_(std::make_unique<D>()) {
        connect(static_cast<Provider<coded_type>*>(reader), decoder_.get());
    }
    ~PlayChainReaderDecoder() override { decoder_.reset(); }

    Provider<PCMData>* get_provider() override { return decoder_.get(); }
    void drop_sound() override { decoder_->drop_sound(); }

private:
    using coded_type = decltype(std::declval<R&>().get_data(0));

    std::unique_ptr<D> decoder_;
};

}  // namespace audio
