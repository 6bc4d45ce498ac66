#pragma once

#include <cstdint>
#include <mutex>
#include <string>

#include "audio/coded_reading.h"
#include "audio/file_reader_wav.h"
#include "audio/stream_ends.h"
#include "audio/wav_info.h"
#include "foundation/shared_buffer.h"

namespace audio {

// Reads a WAV file with block-coded data (the info record's kind). The position unit is
// the block; only whole blocks are delivered. The bits per sample it reports are those of
// the decoded PCM (16). Each kind says how its bytes become a block of its type.
template <class Data, class Info, std::uint32_t PushPiece>
class FileReaderWAVCoded : public Provider<Data>, public FileReaderWAV {
public:
    explicit FileReaderWAVCoded(const std::u16string& path) : FileReaderWAV(path) { open(info_); }

    // At most that many blocks from the position.
    Data get_data(std::uint32_t blocks) override {
        std::lock_guard<liba::CriticalSection> guard(lock_);
        liba::SharedBuffer const bytes = read_blocks(info_, index_, blocks, get_size());
        if (bytes.get_size() == 0) return Data();
        return make_data(bytes);
    }

    std::uint32_t get_bits_per_sample() override { return 16; }

    std::uint32_t time_to_bytes(double seconds) override {
        return seconds_to_blocks(seconds, info_.sample_rate, info_.samples_per_block);
    }

    double bytes_to_time(std::uint32_t blocks) override {
        return blocks_to_seconds(blocks, info_.sample_rate, info_.samples_per_block);
    }

    // The blocks that the "fact" sample count makes, a last partly filled block included
    // (the header's count never promises more than the data holds).
    std::uint32_t get_size() override {
        std::lock_guard<liba::CriticalSection> guard(lock_);
        if (info_.samples_per_block == 0) return 0;
        return static_cast<std::uint32_t>(
            (std::uint64_t{info_.fact_sample_count} + info_.samples_per_block - 1) / info_.samples_per_block);
    }

    std::uint32_t get_position() override {
        std::lock_guard<liba::CriticalSection> guard(lock_);
        return index_;
    }

    void set_position(std::uint32_t block) override {
        std::lock_guard<liba::CriticalSection> guard(lock_);
        seek_block(info_, index_, block);
    }

    bool read_duration(double seconds) override {
        return read_block(seconds_to_blocks(seconds, get_sample_rate(), info_.samples_per_block));
    }

    // Pushes that many blocks, at most PushPiece at a time.
    bool read_block(std::uint32_t blocks) override { return push_blocks(*this, blocks, PushPiece, info_.block_align); }

    const WAVInfo* get_format() override { return &info_; }

protected:
    // The block for bytes read from the data chunk (never empty).
    virtual Data make_data(const liba::SharedBuffer& bytes) const = 0;

    Info info_;

private:
    std::uint32_t index_ = 0;
};

}  // namespace audio
