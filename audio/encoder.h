#pragma once

#include <cstdint>

namespace audio {

// What every encoder of a record chain offers: the bit rate of what it produces.
class Encoder {
public:
    virtual ~Encoder() = default;
    // Bits per second of the encoded output.
    virtual std::uint32_t get_bit_rate() = 0;

protected:
    Encoder() = default;
    Encoder(const Encoder&) = default;
    Encoder& operator=(const Encoder&) = default;
};

}  // namespace audio
