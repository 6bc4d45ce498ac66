// PNG files for the decoder tests: written by libpng, read back by libpng as RGBA, or put
// together chunk by chunk with zlib when a test needs a file that libpng would not write.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace png_fixture {

using Bytes = std::vector<std::uint8_t>;

enum class Blocks { stored, fixed, dynamic };

struct Image {
    std::uint32_t width = 13;
    std::uint32_t height = 11;
    int colour_type = 6;
    int bit_depth = 8;
    bool interlaced = false;
    Blocks blocks = Blocks::dynamic;
    int palette_entries = 16;
    Bytes transparency;  // the tRNS chunk's data, as stored
};

// Samples for the image, packed as the format stores them, row after row.
std::vector<Bytes> sample_rows(const Image& image);
// The file libpng writes for the image with those rows (every row filter allowed).
Bytes write_with_libpng(const Image& image, const std::vector<Bytes>& rows);
Bytes write_with_libpng(const Image& image);

// libpng's reading as 8-bit RGBA (palette and low depths expanded, tRNS as alpha, 16-bit
// samples cut to their high byte); empty when libpng refuses the file.
struct Rgba {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    Bytes pixels;
};
Rgba read_with_libpng(const Bytes& file);

// A PNG file from chunks: signature, then each (type, data) with its length and CRC.
struct Chunk {
    std::string type;
    Bytes data;
};
Bytes assemble(const std::vector<Chunk>& chunks);
Bytes header(std::uint32_t width, std::uint32_t height, int bit_depth, int colour_type, int interlace = 0);
// zlib-compressed scanlines (each already starting with its filter byte).
Bytes compress(const Bytes& scanlines);

// Writes a deflate stream bit by bit, least significant bit first.
class BitWriter {
public:
    void bits(std::uint32_t value, int count);
    // A Huffman code, most significant bit first.
    void code(std::uint32_t value, int length);
    Bytes finish();

private:
    Bytes bytes_;
    std::uint32_t buffer_ = 0;
    int held_ = 0;
};

}  // namespace png_fixture
