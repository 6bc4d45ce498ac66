// The stream ends and codec adaptors of every block type, compiled once here.
#include "audio/stream_ends.h"

#include "audio/block_decoder.h"
#include "audio/block_encoder.h"
#include "audio/blocks.h"

namespace audio {

template class Provider<PCMData>;
template class Provider<ADPCMData>;
template class Provider<GSMData>;
template class Provider<MP3Data>;
template class Consumer<PCMData>;
template class Consumer<ADPCMData>;
template class Consumer<GSMData>;
template class Consumer<MP3Data>;
template class Processor<PCMData, PCMData>;
template class Processor<ADPCMData, ADPCMData>;
template class Processor<GSMData, GSMData>;
template class NullProcessor<PCMData>;
template class BlockDecoderPCM<ADPCMData>;
template class BlockDecoderPCM<GSMData>;
template class BlockDecoderPCM<MP3Data>;
template class BlockEncoderPCM<ADPCMData>;
template class BlockEncoderPCM<GSMData>;

}  // namespace audio
