// The status record as the program fills it for the start-screen plug-in, from whatever
// holds the player's state (the Document, through its adapter).
#pragma once

#include <cstdint>
#include <string>

#include "app/comm/sonbrix_status.h"

class StatusSource {
public:
    virtual ~StatusSource() = default;
    virtual bool is_playing() = 0;
    virtual bool is_recording() = 0;
    virtual bool is_paused() = 0;
    virtual double get_position_seconds() = 0;
    virtual std::u16string get_current_file() = 0;
    virtual std::uint32_t get_sample_rate() = 0;
    virtual std::uint32_t get_bits_per_sample() = 0;
    virtual std::uint32_t get_bitrate_kbps() = 0;
    virtual bool is_stereo() = 0;
    virtual std::u16string get_codec() = 0;
    virtual std::uint32_t get_length() = 0;
    virtual std::uint32_t get_position() = 0;
};

// State 1 idle, 2 playing, 3 recording, 4 and 5 paused (playing is looked at first);
// the elapsed time in milliseconds; idle: empty path, length and position -1, format kind
// 2, stereo 2, the rest 0; otherwise the file (at most 259 units) and its format.
StatusData make_status(StatusSource& source);

// Pushes the status record and then the Bool true onto the process's stack: the reply to
// the status request. 1 when both were pushed, else 0 and the stack as it was.
std::uint32_t push_status_reply(const StatusData& status);
