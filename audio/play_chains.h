#pragma once

// The concrete play chains of every format.

#include <string>

#include "audio/decoder_adpcm.h"
#include "audio/decoder_gsm.h"
#include "audio/decoder_mp3.h"
#include "audio/decoder_mpc.h"
#include "audio/decoder_vorbis.h"
#include "audio/file_reader_mp3.h"
#include "audio/file_reader_wav_adpcm.h"
#include "audio/file_reader_wav_gsm.h"
#include "audio/file_reader_wav_pcm.h"
#include "audio/file_reader_wma.h"
#include "audio/play_chain.h"

namespace audio {

using PlayChainWAVPCM = PlayChainReaderOnly<FileReaderWAVPCM>;
using PlayChainWAVADPCM = PlayChainReaderDecoder<FileReaderWAVADPCM, DecoderADPCM>;
using PlayChainWAVGSM = PlayChainReaderDecoder<FileReaderWAVGSM, DecoderGSM>;
using PlayChainVorbis = PlayChainReaderOnly<DecoderVorbis>;
using PlayChainMPC = PlayChainReaderOnly<DecoderMPC>;

// MP3: titled with the ID3v1 title when the file has one that is not empty.
class PlayChainMP3 : public PlayChainReaderDecoder<FileReaderMP3, DecoderMP3> {
public:
    PlayChainMP3(FileReaderMP3* reader, const std::u16string& path, const std::u16string& key);
};

}  // namespace audio

// WMA: the media-player control plays the file by itself; the chain only passes pausing on.
class PlayChainWMA : public audio::PlayChainReaderOnlyBase<audio::FileReaderWMA> {
public:
    using PlayChainReaderOnlyBase::PlayChainReaderOnlyBase;

    audio::Provider<audio::PCMData>* get_provider() override { return reader(); }
    bool set_pause_state(bool paused) override { return reader()->set_pause_state(paused); }
    bool get_pause_state() override { return reader()->get_pause_state(); }
    bool is_pcm_output() override { return false; }
    bool link_to_record_chain(audio::RecordChain*) override { return false; }
};
