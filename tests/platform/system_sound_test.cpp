#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "platform/device.h"
#include "platform/sound.h"
#include "platform/wave_testing.h"
#include "tests/support/test_device.h"
#include "tests/support/virtual_wave.h"

namespace {

using testing_support::read_host_file;
using testing_support::write_host_file;

std::string le(std::uint32_t value, int bytes) {
    std::string out;
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
    return out;
}

std::string wav(std::uint16_t tag, std::uint16_t channels, std::uint32_t rate, std::uint16_t bits,
                const std::string& data) {
    std::uint16_t const align = static_cast<std::uint16_t>(channels * bits / 8);
    std::string const format = le(tag, 2) + le(channels, 2) + le(rate, 4) + le(rate * align, 4) + le(align, 2) +
                               le(bits, 2);
    // A chunk before "fmt " that a reader must step over, odd-sized to test the pad byte.
    std::string const body = "WAVE" + std::string("LIST") + le(3, 4) + "abc" + '\0' + "fmt " + le(16, 4) + format +
                             "data" + le(static_cast<std::uint32_t>(data.size()), 4) + data;
    return "RIFF" + le(static_cast<std::uint32_t>(body.size()), 4) + body;
}

class SystemSound : public testing_support::VirtualWaveTest {};

TEST_F(SystemSound, ANewDeviceCarriesBothSoundsAsPcmWavFiles) {
    ASSERT_TRUE(platform::host_path(u"\\"));  // sets the device up
    for (char const* name : {"Windows/Voicbeep.wav", "Windows/RecEnd.wav"}) {
        std::string const bytes = read_host_file(device.host_path(name));
        ASSERT_GT(bytes.size(), 44u) << name;
        EXPECT_EQ(bytes.substr(0, 4), "RIFF") << name;
        EXPECT_EQ(bytes.substr(8, 4), "WAVE") << name;
        EXPECT_EQ(bytes.substr(20, 2), le(1, 2)) << name;
    }
}

TEST_F(SystemSound, ABareNameIsPlayedFromWindowsWholeBeforeTheCallReturns) {
    ASSERT_TRUE(sndPlaySoundW(u"RecEnd.wav", SND_SYNC));
    auto const outputs = platform::virtual_wave_outputs();
    ASSERT_EQ(outputs.size(), 1u);
    EXPECT_TRUE(outputs[0].closed);
    EXPECT_EQ(outputs[0].sample_rate, 22050u);
    std::string const file = read_host_file(device.host_path("Windows/RecEnd.wav"));
    EXPECT_EQ(std::string(outputs[0].bytes.begin(), outputs[0].bytes.end()), file.substr(44));
}

TEST_F(SystemSound, AFullPathPlaysTheFileInItsOwnFormat) {
    std::string const data = "\x10\x20\x30\x40\x50\x60\x70\x80";
    write_host_file(device.host_path("My Documents/ding.wav"), wav(1, 2, 11025, 8, data));
    ASSERT_TRUE(sndPlaySoundW(u"\\My Documents\\ding.wav", 0));
    auto const outputs = platform::virtual_wave_outputs();
    ASSERT_EQ(outputs.size(), 1u);
    EXPECT_EQ(outputs[0].channels, 2u);
    EXPECT_EQ(outputs[0].bits_per_sample, 8u);
    EXPECT_EQ(outputs[0].sample_rate, 11025u);
    EXPECT_EQ(std::string(outputs[0].bytes.begin(), outputs[0].bytes.end()), data);
}

TEST_F(SystemSound, WhatCannotBePlayedPlaysNothingAndFails) {
    write_host_file(device.host_path("My Documents/text.wav"), "not a sound");
    write_host_file(device.host_path("My Documents/adpcm.wav"), wav(2, 1, 8000, 4, std::string(64, '\x11')));
    write_host_file(device.host_path("My Documents/empty.wav"), wav(1, 1, 8000, 16, ""));
    for (char16_t const* name : {u"Missing.wav", u"\\My Documents\\text.wav", u"\\My Documents\\adpcm.wav",
                                 u"\\My Documents\\empty.wav", u"\\..\\outside.wav"}) {
        EXPECT_FALSE(sndPlaySoundW(name, SND_SYNC));
    }
    EXPECT_TRUE(platform::virtual_wave_outputs().empty());
}

TEST_F(SystemSound, NoDeviceMeansFailure) {
    platform::set_virtual_wave_refusals(true, false);
    EXPECT_FALSE(sndPlaySoundW(u"Voicbeep.wav", SND_SYNC));
}

}  // namespace
