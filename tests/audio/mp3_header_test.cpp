// Frame headers: the format and frame geometry of every version and layer, and the
// headers that are refused.
#include <gtest/gtest.h>

#include "audio/mp3_header.h"
#include "tests/audio/mp3_fixture.h"

namespace {

using audio_test::MpegVersion;
using audio_test::mp3_header_bytes;

audio::MP3FrameHeader parse(const std::string& bytes) {
    audio::MP3FrameHeader header;
    EXPECT_TRUE(audio::mp3_header_parse(reinterpret_cast<const std::uint8_t*>(bytes.data()), header));
    return header;
}

bool accepted(const std::string& bytes) {
    audio::MP3FrameHeader header;
    return audio::mp3_header_parse(reinterpret_cast<const std::uint8_t*>(bytes.data()), header);
}

struct HeaderCase {
    MpegVersion version;
    std::uint32_t layer;
    std::uint32_t bit_rate_index;
    std::uint32_t rate_index;
    bool pad;
    // Expected:
    std::uint32_t version_number;
    std::uint32_t sample_rate;
    std::uint32_t bit_rate;
    std::uint32_t frame_length;
    std::uint32_t samples;
};

TEST(MP3Header, VersionsLayersRatesBitRatesAndPadding) {
    HeaderCase const cases[] = {
        {MpegVersion::mpeg1, 3, 9, 0, false, 1, 44100, 128, 417, 1152},
        {MpegVersion::mpeg1, 3, 9, 0, true, 1, 44100, 128, 418, 1152},
        {MpegVersion::mpeg1, 3, 14, 2, false, 1, 32000, 320, 1440, 1152},
        {MpegVersion::mpeg1, 2, 10, 1, false, 1, 48000, 192, 576, 1152},
        {MpegVersion::mpeg1, 2, 14, 0, true, 1, 44100, 384, 1254, 1152},
        {MpegVersion::mpeg1, 1, 12, 0, false, 1, 44100, 384, 416, 384},
        {MpegVersion::mpeg1, 1, 1, 2, true, 1, 32000, 32, 52, 384},
        {MpegVersion::mpeg1, 1, 14, 1, false, 1, 48000, 448, 448, 384},
        {MpegVersion::mpeg2, 3, 8, 0, false, 2, 22050, 64, 208, 576},
        {MpegVersion::mpeg2, 3, 14, 1, true, 2, 24000, 160, 481, 576},
        {MpegVersion::mpeg2, 2, 14, 1, false, 2, 24000, 160, 960, 1152},
        {MpegVersion::mpeg2, 1, 14, 2, false, 2, 16000, 256, 768, 384},
        {MpegVersion::mpeg25, 3, 1, 2, false, 3, 8000, 8, 72, 576},
        {MpegVersion::mpeg25, 3, 4, 1, false, 3, 12000, 32, 192, 576},
        {MpegVersion::mpeg25, 3, 14, 0, true, 3, 11025, 160, 1045, 576},
        {MpegVersion::mpeg25, 2, 14, 2, false, 3, 8000, 160, 2880, 1152},
    };
    for (auto const& c : cases) {
        SCOPED_TRACE(testing::Message() << "version " << c.version_number << " layer " << c.layer << " index "
                                        << c.bit_rate_index << " rate index " << c.rate_index << " pad " << c.pad);
        audio::MP3FrameHeader const header =
            parse(mp3_header_bytes(c.version, c.layer, c.bit_rate_index, c.rate_index, c.pad));
        EXPECT_EQ(c.version_number, header.version);
        EXPECT_EQ(c.layer, header.layer);
        EXPECT_EQ(c.sample_rate, header.sample_rate);
        EXPECT_EQ(c.bit_rate, header.bit_rate);
        EXPECT_EQ(c.frame_length, header.frame_length);
        EXPECT_EQ(c.samples, header.samples_per_frame);
        EXPECT_EQ(2u, header.channels);
    }
}

TEST(MP3Header, OnlyTheSingleChannelModeIsMono) {
    EXPECT_EQ(1u, parse(mp3_header_bytes(MpegVersion::mpeg1, 3, 9, 0, false, true)).channels);
    for (std::uint8_t mode = 0; mode < 3; ++mode) {
        std::string bytes = mp3_header_bytes(MpegVersion::mpeg1, 3, 9, 0);
        bytes[3] = static_cast<char>(mode << 6);
        EXPECT_EQ(2u, parse(bytes).channels) << "mode " << int{mode};
    }
}

TEST(MP3Header, ReservedAndFreeFormatHeadersAreRefused) {
    std::string const good = mp3_header_bytes(MpegVersion::mpeg1, 3, 9, 0);
    ASSERT_TRUE(accepted(good));
    std::string no_sync = good;
    no_sync[1] = static_cast<char>(no_sync[1] & ~0x20);  // the eleventh sync bit
    std::string reserved_layer = good;
    reserved_layer[1] = static_cast<char>(reserved_layer[1] & ~0x06);
    EXPECT_FALSE(accepted(no_sync));
    EXPECT_FALSE(accepted(reserved_layer));
    EXPECT_FALSE(accepted(mp3_header_bytes(MpegVersion::mpeg1, 3, 0, 0))) << "free format";
    EXPECT_FALSE(accepted(mp3_header_bytes(MpegVersion::mpeg1, 3, 15, 0))) << "bit-rate index 15";
    EXPECT_FALSE(accepted(mp3_header_bytes(MpegVersion::mpeg1, 3, 9, 3))) << "rate index 3";
    EXPECT_TRUE(audio::mp3_header_check(0xFFE2A000u)) << "MPEG 2.5 has only eleven sync bits";
}

}  // namespace
