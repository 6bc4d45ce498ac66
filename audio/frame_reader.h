#pragma once

#include <cstdint>
#include <string>

#include "audio/blocks.h"
#include "audio/file_reader.h"
#include "audio/stream_ends.h"
#include "foundation/critical_section.h"
#include "foundation/file.h"
#include "foundation/nocopy.h"

namespace audio {

// What the readers that decode a compressed file to 16-bit PCM share: the file, opened
// for reading by the constructor, the lock that guards the reader (the user-interface
// thread and the player's thread use one reader at once), and the sample frame as the
// position unit.
class FrameReader : public Provider<PCMData>, public FileReader, private liba::Nocopy {
public:
    std::uint32_t get_bits_per_sample() override { return 16; }
    std::uint32_t time_to_bytes(double seconds) override;
    double bytes_to_time(std::uint32_t frames) override;
    bool read_duration(double seconds) override;
    // Pushes that many frames, in the blocks that get_data gives for what is left.
    bool read_block(std::uint32_t frames) override;

protected:
    explicit FrameReader(const std::u16string& path);

    os::File file_;
    liba::CriticalSection lock_;
};

}  // namespace audio
