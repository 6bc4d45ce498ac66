// What the program tells the start-screen plug-in about the player: the status record.
#pragma once

#include <cstddef>
#include <cstdint>

#include "app/comm/serializable.h"

// The plain record, 556 bytes, laid out as it travels (all numbers signed 32-bit).
struct StatusData {
    // 1 idle, 2 playing, 3 recording, 4 playing and paused, 5 recording and paused.
    std::int32_t state;
    // The file played or recorded: at most 259 units and a terminator.
    char16_t current_file[260];
    // In the reader's (while recording the writer's) position unit; -1 when idle.
    std::int32_t length;
    std::int32_t position;
    // 1 a WAV codec ("PCM", "ADPCM", "GSM"), 0 "mp3", 2 any other codec and idle.
    std::int32_t format_kind;
    std::int32_t sample_rate;      // Hz
    std::int32_t bits_per_sample;  //
    std::int32_t bit_rate;         // kbit/s
    std::int32_t stereo;           // 1 two channels, 0 one, 2 idle
    std::int32_t elapsed;          // milliseconds
};
static_assert(sizeof(StatusData) == 556);
static_assert(offsetof(StatusData, length) == 524);
static_assert(offsetof(StatusData, elapsed) == 552);

// The record as a value of the channel. It pushes, in record order, the state, the whole
// path array, the length, the position, the five format numbers as one 20-byte piece and
// the elapsed time; it pops them in the reverse order.
class CSonbrixStatus : public CSerializable {
public:
    // State 0, empty path, format kind 2, stereo 2, all else 0.
    CSonbrixStatus();
    // Copies the state, the path up to its terminator (at most 259 units) and the numbers.
    explicit CSonbrixStatus(const StatusData& data);

    // The path read is cut to end within its 260 units.
    bool read(CCommClipboard& clipboard) override;
    bool write(CCommClipboard& clipboard) const override;

    const StatusData& get_data() const { return data_; }

private:
    StatusData data_;
};
