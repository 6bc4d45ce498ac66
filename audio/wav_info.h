#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "foundation/streams.h"

namespace audio {

// The header of a WAV file as the readers find it and the writers write it.
//
// read_extension() is called with the file just after the 16 common fmt fields; it reads
// what the kind keeps after them (and its "fact" chunk) and says whether the kind accepts
// the header. write_extension() writes the same part back.
class WAVInfo {
public:
    virtual ~WAVInfo() = default;
    virtual bool read_extension(liba::StreamReader& file);
    virtual bool write_extension(liba::StreamWriter& file);
    // Called once the data size is known: brings what the header promises in line with
    // the data there is. recovered says that the data size was taken from the file's
    // length because the header's could not be right (a recording cut off by a crash).
    virtual void fit_to_data(bool recovered);

    // Where the fmt chunk ends, its pad byte included.
    std::uint64_t get_fmt_end() const { return 20 + std::uint64_t{fmt_size} + (fmt_size & 1); }

    std::uint32_t channels = 0;
    std::uint32_t bits_per_sample = 0;
    std::uint32_t sample_rate = 0;
    std::uint16_t format_tag = 0;
    std::uint32_t byte_rate = 0;
    std::uint16_t block_align = 0;
    std::uint32_t riff_size = 0;
    std::uint32_t fmt_size = 0;
    std::uint32_t data_size = 0;
    std::uint32_t data_start = 0;

protected:
    WAVInfo() = default;
    WAVInfo(const WAVInfo&) = default;
    WAVInfo& operator=(const WAVInfo&) = default;
};

// Format tag 1: interleaved PCM of any channel count, bit depth and rate, whose block
// align is the size of one sample frame.
class WAVInfoPCM : public WAVInfo {
public:
    bool read_extension(liba::StreamReader& file) override;
    bool write_extension(liba::StreamWriter& file) override;
};

// Format tag 2: Microsoft ADPCM, 4 bits, mono or stereo, with its coefficient table and
// the sample count of the "fact" chunk.
class WAVInfoADPCM : public WAVInfo {
public:
    bool read_extension(liba::StreamReader& file) override;
    bool write_extension(liba::StreamWriter& file) override;
    void fit_to_data(bool recovered) override;

    std::uint16_t samples_per_block = 1;
    std::vector<std::pair<std::int32_t, std::int32_t>> coefficients;
    std::uint32_t coefficient_count = 0;
    std::uint32_t fact_sample_count = 0;
};

// Format tag 49: GSM 6.10 at 8000 Hz mono in 65-byte blocks of 320 samples, with the
// sample count of the "fact" chunk.
class WAVInfoGSM : public WAVInfo {
public:
    bool read_extension(liba::StreamReader& file) override;
    bool write_extension(liba::StreamWriter& file) override;
    void fit_to_data(bool recovered) override;

    std::uint16_t samples_per_block = 1;
    std::uint32_t fact_sample_count = 0;
};

// Reads and checks the header from the start of the file into info and leaves the file
// at the first data byte. False when the file is not a WAV file that info's kind accepts.
// A data size of 0 or one beyond the end of the file (a recording whose header was not
// brought up to date) is taken from the file's length; the data size is then cut to whole
// frames or blocks and a sample count to what the data holds.
bool read_wav_header(liba::StreamReader& file, WAVInfo& info);

// Moves on from the file's position, chunk by chunk (each skipped with its pad byte),
// to the body of the first chunk with that four-character id; its size goes to size.
// False when the file ends first.
bool find_wav_chunk(liba::StreamReader& file, const char* id, std::uint32_t& size);

}  // namespace audio
