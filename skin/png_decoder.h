// The skin's own PNG decoder: a chunk walk, a zlib/deflate decompressor and a streaming pixel
// stage that turns the decompressed bytes into 8-bit RGBA pixels.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The chunk walk and the decompressor; a derived class receives the decompressed bytes.
class ZqGenericPngDecoder {
public:
    static constexpr std::uint32_t no_colour_key = 0x7FFFFFFF;

    ZqGenericPngDecoder() = default;
    ZqGenericPngDecoder(const ZqGenericPngDecoder&) = delete;
    ZqGenericPngDecoder& operator=(const ZqGenericPngDecoder&) = delete;
    virtual ~ZqGenericPngDecoder() = default;

    // 1 when the signature was valid (whether or not an image resulted); -1 when the
    // signature is wrong or the PLTE chunk is malformed.
    int decode(const std::uint8_t* bytes, std::size_t size);

protected:
    virtual bool begin_image() = 0;
    // One decompressed byte; false stops the decompression.
    virtual bool put_byte(std::uint8_t byte) = 0;
    virtual bool end_image() = 0;

    // Decompresses a zlib stream into put_byte; false when the stream is damaged.
    bool inflate(const std::uint8_t* data, std::size_t size);

    std::uint32_t width_ = 0;
    std::uint32_t height_ = 0;
    std::uint8_t bit_depth_ = 0;
    std::uint8_t colour_type_ = 0;
    std::uint8_t compression_method_ = 0;
    std::uint8_t filter_method_ = 0;
    std::uint8_t interlace_method_ = 0;
    std::vector<std::uint8_t> palette_;          // RGB triples
    std::uint8_t palette_alpha_[256] = {};       // tRNS of a palette image, one byte an entry
    std::uint32_t colour_keys_[3] = {no_colour_key, no_colour_key, no_colour_key};
    std::uint32_t gamma_ = 100000;

private:
    bool read_chunks(const std::uint8_t* bytes, std::size_t size, std::vector<std::uint8_t>& idat);
    void read_header(const std::uint8_t* data, std::uint32_t length);
    void read_transparency(const std::uint8_t* data, std::uint32_t length);
};

// Builds an RGBA image in memory, rows top-down.
class ZqRawPngDecoder : public ZqGenericPngDecoder {
public:
    // Pictures larger than this on either side, or in all, are refused as no image.
    static constexpr std::uint32_t max_side = 16384;
    static constexpr std::uint64_t max_pixels = std::uint64_t{1} << 26;

    std::uint32_t get_image_width() const { return image_width_; }
    std::uint32_t get_image_height() const { return image_height_; }
    // Width x height x 4 bytes, each pixel R, G, B, A; null when there is no image.
    const std::uint8_t* get_image() const { return image_.empty() ? nullptr : image_.data(); }
    // Writes every pixel as B, G, R, A, width x 4 bytes a row, rows in order.
    void copy_to_bgra(std::uint8_t* bits) const;

protected:
    bool begin_image() override;
    bool put_byte(std::uint8_t byte) override;
    bool end_image() override { return true; }

private:
    bool accepts_format() const;
    std::uint32_t bits_per_pixel() const;
    bool start_pass();
    void next_row();
    std::uint8_t unfilter(std::size_t i, std::uint8_t byte) const;
    void convert_byte(std::size_t i);
    void write_pixel(std::uint32_t x, std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a);
    std::uint8_t key_alpha(std::uint32_t sample) const;

    std::uint32_t image_width_ = 0;
    std::uint32_t image_height_ = 0;
    std::vector<std::uint8_t> image_;

    std::uint32_t pass_ = 0;            // index into the pass table in use
    bool interlaced_ = false;
    bool finished_ = false;
    std::uint32_t pass_width_ = 0;
    std::uint32_t pass_height_ = 0;
    std::size_t row_bytes_ = 0;
    std::size_t filter_unit_ = 1;       // bytes per pixel for the row filters
    std::uint8_t row_filter_ = 0;
    std::int64_t x_ = -1;               // byte index in the row; -1 = filter byte next
    std::uint32_t y_ = 0;
    std::vector<std::uint8_t> rows_;    // current and previous row
    std::uint8_t* current_ = nullptr;
    std::uint8_t* previous_ = nullptr;
};
