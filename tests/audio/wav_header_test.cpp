#include "audio/wav_info.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "audio/file_reader_wav_adpcm.h"
#include "audio/file_reader_wav_gsm.h"
#include "audio/file_reader_wav_pcm.h"
#include "tests/audio/wav_fixture.h"
#include "tests/support/test_device.h"

namespace {

using namespace wav_fixture;

enum class Kind { none, pcm, adpcm, gsm };

struct HeaderCase {
    const char* name;
    std::string file;
    Kind accepted_by;
};

Fmt with(Fmt fmt, std::uint32_t Fmt::*field, std::uint32_t value) {
    fmt.*field = value;
    return fmt;
}

std::string pcm_with(const Fmt& fmt) { return riff(fmt.chunk() + data(counting_bytes(40))); }

const Fmt pcm16 = pcm_fmt(1, 16, 8000);

std::vector<HeaderCase> pcm_cases() {
    std::string const samples = data(counting_bytes(40));
    std::string const list = chunk("LIST", "INFOISFT" + le32(4) + "abc");
    Fmt eighteen_bytes = pcm16;
    eighteen_bytes.extension = le16(0);
    Fmt odd_size = pcm16;
    odd_size.extension = "x";
    std::string const whole = pcm_file(1, 16, 8000, counting_bytes(40));
    return {
        {"8-bit mono", pcm_file(1, 8, 11025, counting_bytes(40)), Kind::pcm},
        {"16-bit stereo", pcm_file(2, 16, 44100, counting_bytes(40)), Kind::pcm},
        {"24-bit mono", pcm_file(1, 24, 48000, counting_bytes(42)), Kind::pcm},
        {"18-byte fmt chunk", riff(eighteen_bytes.chunk() + samples), Kind::pcm},
        {"odd-sized fmt chunk with its pad byte", riff(odd_size.chunk() + samples), Kind::pcm},
        {"other chunks between fmt and data", riff(pcm16.chunk() + list + fact(20) + samples), Kind::pcm},
        {"odd-sized chunk with its pad byte before data", riff(pcm16.chunk() + chunk("junk", "abc") + samples),
         Kind::pcm},
        {"empty data chunk", riff(pcm16.chunk() + data("")), Kind::pcm},
        {"fmt chunk not first", riff(list + pcm16.chunk() + samples), Kind::none},
        {"format tag 3 (float)", pcm_with(with(pcm16, &Fmt::tag, 3)), Kind::none},
        {"format tag 0xFFFE (extensible)", pcm_with(with(pcm16, &Fmt::tag, 0xFFFE)), Kind::none},
        {"no data chunk", riff(pcm16.chunk() + list), Kind::none},
        {"data chunk header cut off", riff(pcm16.chunk() + "data" + le16(4)), Kind::none},
        {"chunk running past the end before data", riff(pcm16.chunk() + "junk" + le32(1000) + samples), Kind::none},
        {"not RIFF", "RF64" + whole.substr(4), Kind::none},
        {"not WAVE", riff(pcm16.chunk() + samples, "AVI "), Kind::none},
        {"cut inside the fmt fields", whole.substr(0, 30), Kind::none},
        {"empty file", "", Kind::none},
        {"fmt chunk shorter than its fields", riff(chunk("fmt ", le16(1) + le16(1)) + samples), Kind::none},
        {"0 channels", pcm_with(with(pcm16, &Fmt::channels, 0)), Kind::none},
        {"0 bits per sample", pcm_with(with(pcm16, &Fmt::bits, 0)), Kind::none},
        {"0 sample rate", pcm_with(with(pcm16, &Fmt::rate, 0)), Kind::none},
        {"0 block align", pcm_with(with(pcm16, &Fmt::block_align, 0)), Kind::none},
        {"block align not one frame", pcm_with(with(pcm16, &Fmt::block_align, 3)), Kind::none},
    };
}

std::string adpcm_file(const Fmt& fmt, std::uint32_t fact_samples = 1000, std::uint32_t data_bytes = 512) {
    return riff(fmt.chunk() + fact(fact_samples) + data(counting_bytes(data_bytes)));
}

std::vector<HeaderCase> adpcm_cases() {
    Fmt const mono = adpcm_fmt(1, 8000, 256, 500);
    Fmt short_fmt = mono;
    short_fmt.extension = short_fmt.extension.substr(0, 10);
    return {
        {"ADPCM mono", adpcm_file(mono), Kind::adpcm},
        {"ADPCM stereo", adpcm_file(adpcm_fmt(2, 44100, 2048, 2036)), Kind::adpcm},
        {"ADPCM fact chunk after the data", riff(mono.chunk() + data(counting_bytes(512)) + fact(1000)),
         Kind::adpcm},
        {"ADPCM smallest mono block", adpcm_file(adpcm_fmt(1, 8000, 8, adpcm_samples_per_block(8, 1))), Kind::adpcm},
        {"ADPCM smallest stereo block", adpcm_file(adpcm_fmt(2, 8000, 15, adpcm_samples_per_block(15, 2))),
         Kind::adpcm},
        {"ADPCM 6 coefficient pairs", adpcm_file(adpcm_fmt(1, 8000, 256, 500, 6)), Kind::none},
        {"ADPCM 8 bits per sample", adpcm_file(with(mono, &Fmt::bits, 8)), Kind::none},
        {"ADPCM 3 channels", adpcm_file(adpcm_fmt(3, 8000, 768, 500)), Kind::none},
        {"ADPCM 0 channels", adpcm_file(with(mono, &Fmt::channels, 0)), Kind::none},
        {"ADPCM 0 sample rate", adpcm_file(with(mono, &Fmt::rate, 0)), Kind::none},
        {"ADPCM mono block align 7", adpcm_file(adpcm_fmt(1, 8000, 7, 2)), Kind::none},
        {"ADPCM stereo block align 14", adpcm_file(adpcm_fmt(2, 8000, 14, 2)), Kind::none},
        {"ADPCM 0 block align", adpcm_file(with(mono, &Fmt::block_align, 0)), Kind::none},
        {"ADPCM 0 samples per block", adpcm_file(adpcm_fmt(1, 8000, 256, 0)), Kind::none},
        {"ADPCM without fact chunk", riff(mono.chunk() + data(counting_bytes(512))), Kind::none},
        {"ADPCM fmt chunk shorter than its coefficient table", adpcm_file(short_fmt), Kind::none},
    };
}

std::string gsm_file(const Fmt& fmt) { return riff(fmt.chunk() + fact(640) + data(counting_bytes(130))); }

std::vector<HeaderCase> gsm_cases() {
    Fmt other_block_length = gsm_fmt();
    other_block_length.extension = le16(2) + le16(0);
    return {
        {"GSM", gsm_file(gsm_fmt()), Kind::gsm},
        {"GSM at 11025 Hz", gsm_file(with(gsm_fmt(), &Fmt::rate, 11025)), Kind::none},
        {"GSM block align 64", gsm_file(with(gsm_fmt(), &Fmt::block_align, 64)), Kind::none},
        {"GSM stereo", gsm_file(with(gsm_fmt(), &Fmt::channels, 2)), Kind::none},
        {"GSM 0 samples per block", gsm_file(other_block_length), Kind::none},
        {"GSM without fact chunk", riff(gsm_fmt().chunk() + data(counting_bytes(130))), Kind::none},
    };
}

class WavHeader : public testing_support::DeviceTest {
protected:
    void check(const std::vector<HeaderCase>& cases) {
        for (auto const& c : cases) {
            SCOPED_TRACE(c.name);
            testing_support::write_host_file(device.host_path("case.wav"), c.file);
            audio::FileReaderWAVPCM pcm(u"\\case.wav");
            audio::FileReaderWAVADPCM adpcm(u"\\case.wav");
            audio::FileReaderWAVGSM gsm(u"\\case.wav");
            EXPECT_EQ(c.accepted_by == Kind::pcm, pcm.is_valid());
            EXPECT_EQ(c.accepted_by == Kind::adpcm, adpcm.is_valid());
            EXPECT_EQ(c.accepted_by == Kind::gsm, gsm.is_valid());
        }
    }
};

TEST_F(WavHeader, PCMAcceptance) { check(pcm_cases()); }
TEST_F(WavHeader, ADPCMAcceptance) { check(adpcm_cases()); }
TEST_F(WavHeader, GSMAcceptance) { check(gsm_cases()); }

TEST_F(WavHeader, AMissingFileIsRefused) {
    audio::FileReaderWAVPCM reader(u"\\missing.wav");
    EXPECT_FALSE(reader.is_valid());
    EXPECT_TRUE(reader.is_at_end());
    EXPECT_TRUE(reader.get_data(100).is_empty());
}

TEST_F(WavHeader, TheRecordHoldsTheFieldsOfAnAcceptedHeader) {
    std::string const body = counting_bytes(30);
    testing_support::write_host_file(device.host_path("a.wav"),
                                     riff(pcm_fmt(2, 16, 22050).chunk() + chunk("LIST", "abcd") + data(body)));
    audio::FileReaderWAVPCM reader(u"\\a.wav");
    ASSERT_TRUE(reader.is_valid());

    const audio::WAVInfo& info = *reader.get_format();
    EXPECT_EQ(1u, info.format_tag);
    EXPECT_EQ(2u, info.channels);
    EXPECT_EQ(16u, info.bits_per_sample);
    EXPECT_EQ(22050u, info.sample_rate);
    EXPECT_EQ(88200u, info.byte_rate);
    EXPECT_EQ(4u, info.block_align);
    EXPECT_EQ(16u, info.fmt_size);
    EXPECT_EQ(4u + 24 + 12 + 8 + 30, info.riff_size);
    EXPECT_EQ(28u, info.data_size) << "whole frames of the 30 bytes";
    EXPECT_EQ(56u, info.data_start);
    EXPECT_EQ(705600u, reader.get_bit_rate());
}

TEST_F(WavHeader, ADataSizeBeyondTheEndOfTheFileIsCutToWhatIsThere) {
    std::string const file = riff(pcm16.chunk() + "data" + le32(100000) + counting_bytes(50));
    testing_support::write_host_file(device.host_path("cut.wav"), file);
    audio::FileReaderWAVPCM reader(u"\\cut.wav");
    ASSERT_TRUE(reader.is_valid());
    EXPECT_EQ(50u, reader.get_size());
    EXPECT_EQ(24u, reader.get_data(12).get_size());
    EXPECT_EQ(26u, reader.get_data(100).get_size()) << "the frames that are there, up to the end of the file";
}

TEST_F(WavHeader, TheCodedRecordsHoldTheirExtensionAndFact) {
    testing_support::write_host_file(device.host_path("a.wav"), adpcm_file(adpcm_fmt(2, 22050, 1024, 1012), 5060, 5 * 1024));
    audio::FileReaderWAVADPCM reader(u"\\a.wav");
    ASSERT_TRUE(reader.is_valid());
    auto const& info = static_cast<const audio::WAVInfoADPCM&>(*reader.get_format());
    EXPECT_EQ(1012u, info.samples_per_block);
    EXPECT_EQ(7u, info.coefficient_count);
    ASSERT_EQ(7u, info.coefficients.size());
    EXPECT_EQ(std::make_pair(460, -208), info.coefficients[5]);
    EXPECT_EQ(5060u, info.fact_sample_count);
    EXPECT_EQ(4u, info.bits_per_sample);
    EXPECT_EQ(16u, reader.get_bits_per_sample()) << "the decoded PCM's";
}

// Collects what a record writes, and reads it back.
class MemoryStream : public liba::StreamReader, public liba::StreamWriter {
public:
    std::uint32_t read(void* buffer, std::uint32_t count) override {
        std::uint32_t const n = std::min<std::uint32_t>(count, static_cast<std::uint32_t>(bytes.size()) - position);
        std::copy_n(bytes.data() + position, n, static_cast<char*>(buffer));
        position += n;
        return n;
    }
    std::uint32_t write(const void* buffer, std::uint32_t count) override {
        bytes.append(static_cast<const char*>(buffer), count);
        position = static_cast<std::uint32_t>(bytes.size());
        return count;
    }
    std::uint32_t skip(std::int32_t) override { return 0; }
    std::uint32_t get_size() override { return static_cast<std::uint32_t>(bytes.size()); }
    bool seek(std::uint32_t to) override {
        position = to;
        return true;
    }
    std::uint32_t get_position() override { return position; }

    std::string bytes;
    std::uint32_t position = 0;
};

TEST(WavExtension, TheCodedKindsWriteWhatTheyRead) {
    Fmt const adpcm = adpcm_fmt(1, 8000, 256, 500);
    Fmt const gsm = gsm_fmt();
    struct Case {
        const char* name;
        std::string file;
        std::string written_after_fields;
    };
    const Case cases[] = {
        {"ADPCM", adpcm_file(adpcm), adpcm.extension + fact(1000)},
        {"GSM", gsm_file(gsm), gsm.extension + fact(640)},
    };
    for (auto const& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryStream in;
        in.bytes = c.file;
        audio::WAVInfoADPCM adpcm_info;
        audio::WAVInfoGSM gsm_info;
        audio::WAVInfo& info = std::string(c.name) == "GSM" ? static_cast<audio::WAVInfo&>(gsm_info) : adpcm_info;
        ASSERT_TRUE(audio::read_wav_header(in, info));

        MemoryStream out;
        ASSERT_TRUE(info.write_extension(out));
        EXPECT_EQ(c.written_after_fields, out.bytes);
    }
}

}  // namespace
