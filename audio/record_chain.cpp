#include "audio/record_chain.h"

#include "audio/encoder_adpcm.h"
#include "audio/encoder_gsm.h"
#include "audio/encoder_mp3.h"
#include "audio/file_reader_mp3.h"
#include "audio/file_reader_wav_adpcm.h"
#include "audio/file_reader_wav_gsm.h"
#include "audio/file_reader_wav_pcm.h"
#include "audio/file_writer_mp3.h"
#include "audio/file_writer_wav_adpcm.h"
#include "audio/file_writer_wav_gsm.h"
#include "audio/file_writer_wav_pcm.h"
#include "audio/format_keys.h"

namespace audio {
namespace {

class RecordChainMP3 : public RecordChainBase<EncoderMP3, FileWriterMP3, FileReaderMP3> {
public:
    RecordChainMP3(EncoderMP3* encoder, const std::u16string& path, const std::u16string& key, bool append)
        : RecordChainBase(encoder, path, key, append) {
        encoder->set_info_frame(!append);
    }
    // The encoder's tag frame goes into the place at the start of the stream.
    ~RecordChainMP3() override { writer().end_stream(encoder().end_stream()); }
    bool link_reader_mp3(FileReaderMP3* reader) override { return link(reader); }
};

class RecordChainADPCM : public RecordChainBase<EncoderADPCM, FileWriterWAVADPCM, FileReaderWAVADPCM> {
public:
    using RecordChainBase::RecordChainBase;
    // The last block is completed with silence; the file counts only the recorded samples.
    ~RecordChainADPCM() override { writer().set_padding(encoder().finish()); }
    bool link_reader_wav_adpcm(FileReaderWAVADPCM* reader) override { return link(reader); }
};

class RecordChainGSM : public RecordChainBase<EncoderGSM, FileWriterWAVGSM, FileReaderWAVGSM> {
public:
    using RecordChainBase::RecordChainBase;
    // The last block is completed with silence and written.
    ~RecordChainGSM() override { encoder().finish(); }
    bool link_reader_wav_gsm(FileReaderWAVGSM* reader) override { return link(reader); }
};

}  // namespace

bool RecordChain::link_reader_mpc(DecoderMPC*) { return false; }
bool RecordChain::link_reader_vorbis(DecoderVorbis*) { return false; }
bool RecordChain::link_reader_wav_gsm(FileReaderWAVGSM*) { return false; }
bool RecordChain::link_reader_wav_adpcm(FileReaderWAVADPCM*) { return false; }
bool RecordChain::link_reader_wav_pcm(FileReaderWAVPCM*) { return false; }
bool RecordChain::link_reader_mp3(FileReaderMP3*) { return false; }

RecordChainWAV::RecordChainWAV(const std::u16string& path, bool append)
    : writer_(std::make_unique<FileWriterWAVPCM>(path, append)) {}

RecordChainWAV::~RecordChainWAV() = default;

Encoder* RecordChainWAV::get_encoder() { return writer_.get(); }
Consumer<PCMData>* RecordChainWAV::get_consumer() { return writer_.get(); }
FileWriter* RecordChainWAV::get_file_writer() { return writer_.get(); }
std::u16string RecordChainWAV::get_format_key() { return key_pcm; }

bool RecordChainWAV::link_reader_wav_pcm(FileReaderWAVPCM* reader) {
    if (reader == nullptr) return false;
    connect(static_cast<Provider<PCMData>*>(reader), writer_.get());
    return true;
}

std::unique_ptr<RecordChain> create_record_chain(const std::u16string& path, const std::u16string& key,
                                                 std::uint32_t, std::uint32_t, std::uint32_t,
                                                 std::uint32_t mp3_bit_rate, bool append) {
    if (key == key_pcm) return std::make_unique<RecordChainWAV>(path, append);
    if (key == key_mp3) return std::make_unique<RecordChainMP3>(new EncoderMP3(mp3_bit_rate), path, key, append);
    if (key == key_adpcm) return std::make_unique<RecordChainADPCM>(new EncoderADPCM, path, key, append);
    if (key == key_gsm) return std::make_unique<RecordChainGSM>(new EncoderGSM, path, key, append);
    return nullptr;
}

}  // namespace audio
