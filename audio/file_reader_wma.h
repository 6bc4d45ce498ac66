#pragma once

#include <cstdint>
#include <string>

#include "audio/blocks.h"
#include "audio/file_reader.h"
#include "audio/stream_ends.h"
#include "audio/wma_window.h"
#include "foundation/critical_section.h"

namespace audio {

// A WMA file played by the platform's media-player control in a hidden window: the reader
// starts it and answers for it. Positions and sizes are milliseconds. Its PCM end yields
// nothing: the control plays by itself. Only one WMA reader at a time gets a control; a
// second one made while the first lives is not valid.
class FileReaderWMA : public Provider<PCMData>, public FileReader {
public:
    explicit FileReaderWMA(const std::u16string& path);
    ~FileReaderWMA() override;

    // Always empty.
    PCMData get_data(std::uint32_t count) override;

    bool is_valid() override;
    bool is_at_end() override;
    std::uint32_t get_channels() override;
    std::uint32_t get_bits_per_sample() override;
    std::uint32_t get_sample_rate() override;
    std::uint32_t get_bit_rate() override;
    std::uint32_t time_to_bytes(double seconds) override;
    double bytes_to_time(std::uint32_t milliseconds) override;
    std::uint32_t get_size() override;
    // The size once the control has played to the end.
    std::uint32_t get_position() override;
    void set_position(std::uint32_t milliseconds) override;
    bool read_duration(double seconds) override;
    bool read_block(std::uint32_t amount) override;

    // Pauses or resumes the control and keeps the flag; true.
    bool set_pause_state(bool paused);
    bool get_pause_state();

private:
    std::uint32_t read_size();

    WMAWindow window_;
    liba::CriticalSection lock_;
    bool paused_ = false;
    bool valid_ = false;
    std::int32_t last_play_state_ = 0;
};

}  // namespace audio
