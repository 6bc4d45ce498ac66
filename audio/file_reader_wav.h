#pragma once

#include <cstdint>
#include <string>

#include "audio/file_reader.h"
#include "audio/wav_info.h"
#include "foundation/critical_section.h"
#include "foundation/file.h"
#include "foundation/shared_buffer.h"

namespace audio {

// What the WAV readers share: the file, opened for reading by the constructor and kept
// until destruction, the verdict on its header, and the lock that guards both (the
// user-interface thread and the player's thread use one reader at once).
class FileReaderWAV : public FileReader {
public:
    explicit FileReaderWAV(const std::u16string& path);

    bool is_valid() override;
    bool is_at_end() override;
    std::uint32_t get_channels() override;
    std::uint32_t get_bits_per_sample() override;
    std::uint32_t get_sample_rate() override;
    std::uint32_t get_bit_rate() override;

    // The header as read; the fields that a refused header did not reach are 0.
    virtual const WAVInfo* get_format() = 0;

protected:
    // Reads the header into the kind's record; each kind's constructor calls it once.
    void open(WAVInfo& info);

    // The coded readers' unit: a block of the header's block align, counted from the
    // data start. The index says where the file stands.
    std::uint32_t get_block_count(const WAVInfo& info, std::uint32_t fact_blocks) const;
    void seek_block(const WAVInfo& info, std::uint32_t& index, std::uint32_t block);
    // Up to count whole blocks from the index on (fewer when the data ends); the index
    // moves past them and the file stands at the first block not delivered.
    liba::SharedBuffer read_blocks(const WAVInfo& info, std::uint32_t& index, std::uint32_t count,
                                   std::uint32_t fact_blocks);

    os::File file_;
    bool valid_ = false;
    liba::CriticalSection lock_;
};

}  // namespace audio
