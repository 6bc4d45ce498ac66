// A recording in a process of its own, for the tests that cut one off with kill -9.
//   <format key> <device path> <tenths of a second> [append]
// Records that much of a tone at 8000 Hz mono 16-bit through the record chain of the key,
// prints "recorded <writer position>" and waits for an input line before it completes the
// file (the tests kill it first).
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <string>

#include "audio/record_chain.h"
#include "foundation/shared_buffer.h"

namespace {

constexpr std::uint32_t rate = 8000;
constexpr std::uint32_t frames_per_block = rate / 10;

std::u16string widen(const std::string& text) { return std::u16string(text.begin(), text.end()); }

audio::PCMData tone_block(std::uint32_t first_frame) {
    liba::SharedBuffer buffer(frames_per_block * 2);
    std::uint8_t* bytes = buffer.get_writable_data();
    for (std::uint32_t i = 0; i < frames_per_block; ++i) {
        auto const sample = static_cast<std::int16_t>(8000 * std::sin(0.05 * (first_frame + i)));
        bytes[2 * i] = static_cast<std::uint8_t>(sample & 0xFF);
        bytes[2 * i + 1] = static_cast<std::uint8_t>((sample >> 8) & 0xFF);
    }
    return audio::PCMData(buffer, 1, 16, rate);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) return 2;
    bool const append = argc > 4 && std::string(argv[4]) == "append";
    auto chain = audio::create_record_chain(widen(argv[2]), widen(argv[1]), 1, rate, 16, 32000, append);
    if (!chain) return 2;
    int const blocks = std::atoi(argv[3]);
    for (int i = 0; i < blocks; ++i)
        chain->get_consumer()->on_data(tone_block(static_cast<std::uint32_t>(i) * frames_per_block));
    std::cout << "recorded " << chain->get_file_writer()->get_position() << std::endl;
    std::string line;
    std::getline(std::cin, line);
    return 0;
}
