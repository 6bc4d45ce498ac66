#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "audio/blocks.h"
#include "audio/encoder.h"
#include "audio/file_writer.h"
#include "audio/stream_ends.h"

namespace audio {

class FileReaderWAVPCM;
class FileReaderWAVADPCM;
class FileReaderWAVGSM;
class FileReaderMP3;
class DecoderVorbis;
class DecoderMPC;
class FileWriterWAVPCM;

// The encoder and the file writer of a recording, owned as one PCM consumer. Deleting the
// chain completes the file. A chain of a format can also take a reader of that format:
// the reader's coded blocks then go into the new file unchanged.
class RecordChain {
public:
    virtual ~RecordChain() = default;

    virtual Encoder* get_encoder() = 0;
    // The head of the chain, to which the active buffer's provider end is linked.
    virtual Consumer<PCMData>* get_consumer() = 0;
    virtual FileWriter* get_file_writer() = 0;
    virtual std::u16string get_format_key() = 0;

    // Each links a reader of one format straight to the writer; false for other formats.
    virtual bool link_reader_mpc(DecoderMPC* reader);
    virtual bool link_reader_vorbis(DecoderVorbis* reader);
    virtual bool link_reader_wav_gsm(FileReaderWAVGSM* reader);
    virtual bool link_reader_wav_adpcm(FileReaderWAVADPCM* reader);
    virtual bool link_reader_wav_pcm(FileReaderWAVPCM* reader);
    virtual bool link_reader_mp3(FileReaderMP3* reader);

protected:
    RecordChain() = default;
    RecordChain(const RecordChain&) = delete;
    RecordChain& operator=(const RecordChain&) = delete;
};

// PCM: the writer is the whole chain.
class RecordChainWAV : public RecordChain {
public:
    RecordChainWAV(const std::u16string& path, bool append);
    ~RecordChainWAV() override;

    Encoder* get_encoder() override;
    Consumer<PCMData>* get_consumer() override;
    FileWriter* get_file_writer() override;
    std::u16string get_format_key() override;
    bool link_reader_wav_pcm(FileReaderWAVPCM* reader) override;

private:
    std::unique_ptr<FileWriterWAVPCM> writer_;
};

// An encoder E feeding a writer W; readers of type R link to the writer.
template <class E, class W, class R>
class RecordChainBase : public RecordChain {
public:
    RecordChainBase(E* encoder, const std::u16string& path, const std::u16string& key, bool append)
        : writer_(std::make_unique<W>(path, append)), encoder_(encoder), key_(key) {
        connect(static_cast<Provider<coded_type>*>(encoder_.get()), writer_.get());
    }
    // The encoder goes first: it may still hand its last blocks to the writer.
    ~RecordChainBase() override { encoder_.reset(); }

    Encoder* get_encoder() override { return encoder_.get(); }
    Consumer<PCMData>* get_consumer() override { return encoder_.get(); }
    FileWriter* get_file_writer() override { return writer_.get(); }
    std::u16string get_format_key() override { return key_; }

protected:
    using coded_type = decltype(std::declval<R&>().get_data(0));

    E& encoder() { return *encoder_; }
    W& writer() { return *writer_; }

    bool link(R* reader) {
        if (reader == nullptr) return false;
        connect(static_cast<Provider<coded_type>*>(reader), writer_.get());
        return true;
    }

private:
    std::unique_ptr<W> writer_;
    std::unique_ptr<E> encoder_;
    std::u16string key_;
};

// Null for a key outside "PCM", "mp3", "ADPCM" and "GSM". Channels, rate and bits are not
// used; the MP3 bit rate is in bits per second.
std::unique_ptr<RecordChain> create_record_chain(const std::u16string& path, const std::u16string& key,
                                                 std::uint32_t channels, std::uint32_t sample_rate,
                                                 std::uint32_t bits_per_sample, std::uint32_t mp3_bit_rate,
                                                 bool append);

}  // namespace audio
