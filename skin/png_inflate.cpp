// The decoder's zlib/deflate decompressor. It reads only the bytes it is given, refuses
// over-subscribed codes, distances beyond the output so far and the unused distance symbols.
#include <array>
#include <cstring>
#include <memory>
#include <new>

#include "skin/png_decoder.h"

namespace {

constexpr int max_code_bits = 15;
constexpr std::size_t window_size = 32768;

class BitReader {
public:
    BitReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool bits(int count, std::uint32_t& value) {
        while (held_ < count) {
            if (position_ >= size_) return false;
            buffer_ |= std::uint32_t(data_[position_++]) << held_;
            held_ += 8;
        }
        value = buffer_ & ((1u << count) - 1);
        buffer_ >>= count;
        held_ -= count;
        return true;
    }

    bool bit(std::uint32_t& value) { return bits(1, value); }

    // The next count bits without taking them; false when the input holds fewer.
    bool peek(int count, std::uint32_t& value) {
        while (held_ < count) {
            if (position_ >= size_) return false;
            buffer_ |= std::uint32_t(data_[position_++]) << held_;
            held_ += 8;
        }
        value = buffer_ & ((1u << count) - 1);
        return true;
    }

    void drop(int count) {
        buffer_ >>= count;
        held_ -= count;
    }

    void align() {
        buffer_ = 0;
        held_ = 0;
    }

    // Every bit of the input has been read.
    bool exhausted() const { return position_ >= size_ && held_ == 0; }

    bool take_bytes(std::size_t count, const std::uint8_t*& bytes) {
        if (count > size_ - position_) return false;
        bytes = data_ + position_;
        position_ += count;
        return true;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t position_ = 0;
    std::uint32_t buffer_ = 0;
    int held_ = 0;
};

// A canonical Huffman code: how many codes each length has, and the symbols in code order.
class HuffmanCode {
public:
    // False when the lengths over-subscribe the code space.
    bool build(const std::uint8_t* lengths, int count) {
        counts_.fill(0);
        for (int symbol = 0; symbol < count; ++symbol) ++counts_[lengths[symbol]];
        counts_[0] = 0;
        int left = 1;
        for (int length = 1; length <= max_code_bits; ++length) {
            left = left * 2 - counts_[length];
            if (left < 0) return false;
        }
        std::array<std::uint16_t, max_code_bits + 1> offsets{};
        for (int length = 1; length < max_code_bits; ++length) offsets[length + 1] = offsets[length] + counts_[length];
        for (int symbol = 0; symbol < count; ++symbol)
            if (lengths[symbol] != 0) symbols_[offsets[lengths[symbol]]++] = std::uint16_t(symbol);
        build_fast_table(lengths, count);
        return true;
    }

    // The next symbol; -1 when the bits run out or lead to no code. Short codes are looked up
    // in a table by the next bits; the others are decoded one bit at a time.
    int decode(BitReader& reader) const {
        std::uint32_t next = 0;
        if (reader.peek(fast_bits, next) && fast_[next].length != 0) {
            reader.drop(fast_[next].length);
            return fast_[next].symbol;
        }
        return decode_bitwise(reader);
    }

private:
    static constexpr int fast_bits = 9;
    struct FastEntry {
        std::uint16_t symbol = 0;
        std::uint8_t length = 0;
    };

    // Canonical codes, most significant bit first, entered bit-reversed (the order they are read in).
    void build_fast_table(const std::uint8_t* lengths, int count) {
        fast_.fill({});
        std::array<std::uint32_t, max_code_bits + 2> next_code{};
        std::uint32_t code = 0;
        for (int length = 1; length <= max_code_bits; ++length) {
            code = (code + counts_[length - 1]) << 1;
            next_code[length] = code;
        }
        for (int symbol = 0; symbol < count; ++symbol) {
            int length = lengths[symbol];
            if (length == 0) continue;
            std::uint32_t value = next_code[length]++;
            if (length > fast_bits) continue;
            std::uint32_t reversed = 0;
            for (int i = 0; i < length; ++i) reversed |= ((value >> i) & 1u) << (length - 1 - i);
            for (std::uint32_t fill = reversed; fill < (1u << fast_bits); fill += 1u << length)
                fast_[fill] = {std::uint16_t(symbol), std::uint8_t(length)};
        }
    }

    int decode_bitwise(BitReader& reader) const {
        int code = 0, first = 0, index = 0;
        for (int length = 1; length <= max_code_bits; ++length) {
            std::uint32_t bit = 0;
            if (!reader.bit(bit)) return -1;
            code |= int(bit);
            int count = counts_[length];
            if (code - first < count) return symbols_[index + code - first];
            index += count;
            first = (first + count) << 1;
            code <<= 1;
        }
        return -1;
    }

    std::array<std::uint16_t, max_code_bits + 1> counts_{};
    std::array<std::uint16_t, 288> symbols_{};
    std::array<FastEntry, 1 << fast_bits> fast_{};
};

constexpr std::uint16_t length_base[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                           31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::uint8_t length_extra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                           2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::uint16_t distance_base[30] = {1,   2,   3,   4,   5,   7,    9,    13,   17,   25,
                                             33,  49,  65,  97,  129, 193,  257,  385,  513,  769,
                                             1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr std::uint8_t distance_extra[30] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                             6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
constexpr std::uint8_t code_length_order[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};

// One decompression: the input bits, the window of recent output and the byte sink.
template <typename Sink>
class Inflater {
public:
    Inflater(BitReader& reader, Sink sink) : reader_(reader), sink_(sink) {}

    bool run() {
        for (;;) {
            std::uint32_t final_block = 0, type = 0;
            if (!reader_.bit(final_block) || !reader_.bits(2, type)) return false;
            if (reader_.exhausted()) return false;
            bool ok = type == 0 ? stored_block() : type == 1 ? fixed_block() : type == 2 ? dynamic_block() : false;
            if (!ok) return false;
            if (final_block) return true;
        }
    }

private:
    bool emit(std::uint8_t byte) {
        window_[position_] = byte;
        position_ = (position_ + 1) % window_size;
        ++produced_;
        return sink_(byte);
    }

    bool stored_block() {
        reader_.align();
        const std::uint8_t* header = nullptr;
        if (!reader_.take_bytes(4, header)) return false;
        std::size_t length = header[0] | std::size_t(header[1]) << 8;
        const std::uint8_t* bytes = nullptr;
        if (!reader_.take_bytes(length, bytes)) return false;
        for (std::size_t i = 0; i < length; ++i)
            if (!emit(bytes[i])) return false;
        return true;
    }

    bool fixed_block() {
        std::uint8_t lengths[288 + 32];
        std::memset(lengths, 8, 144);
        std::memset(lengths + 144, 9, 112);
        std::memset(lengths + 256, 7, 24);
        std::memset(lengths + 280, 8, 8);
        std::memset(lengths + 288, 5, 32);
        HuffmanCode literals, distances;
        literals.build(lengths, 288);
        distances.build(lengths + 288, 32);
        return codes(literals, distances);
    }

    bool dynamic_block() {
        std::uint32_t hlit = 0, hdist = 0, hclen = 0;
        if (!reader_.bits(5, hlit) || !reader_.bits(5, hdist) || !reader_.bits(4, hclen)) return false;
        std::uint8_t code_lengths[19] = {};
        for (std::uint32_t i = 0; i < hclen + 4; ++i) {
            std::uint32_t length = 0;
            if (!reader_.bits(3, length)) return false;
            code_lengths[code_length_order[i]] = std::uint8_t(length);
        }
        HuffmanCode code_length_code;
        if (!code_length_code.build(code_lengths, 19)) return false;
        int literal_count = int(hlit) + 257, total = literal_count + int(hdist) + 1;
        std::uint8_t lengths[288 + 32] = {};
        if (!read_lengths(code_length_code, lengths, total)) return false;
        HuffmanCode literals, distances;
        if (!literals.build(lengths, literal_count) || !distances.build(lengths + literal_count, int(hdist) + 1))
            return false;
        return codes(literals, distances);
    }

    bool read_lengths(const HuffmanCode& code, std::uint8_t* lengths, int total) {
        for (int index = 0; index < total;) {
            int symbol = code.decode(reader_);
            if (symbol < 0) return false;
            if (symbol < 16) {
                lengths[index++] = std::uint8_t(symbol);
                continue;
            }
            std::uint32_t extra = 0;
            std::uint8_t value = 0;
            int repeat = 0;
            if (symbol == 16) {
                if (index == 0 || !reader_.bits(2, extra)) return false;
                value = lengths[index - 1];
                repeat = 3 + int(extra);
            } else if (symbol == 17) {
                if (!reader_.bits(3, extra)) return false;
                repeat = 3 + int(extra);
            } else {
                if (!reader_.bits(7, extra)) return false;
                repeat = 11 + int(extra);
            }
            if (index + repeat > total) return false;
            while (repeat-- > 0) lengths[index++] = value;
        }
        return true;
    }

    bool codes(const HuffmanCode& literals, const HuffmanCode& distances) {
        for (;;) {
            int symbol = literals.decode(reader_);
            if (symbol < 0) return false;
            if (symbol == 256) return true;
            if (symbol < 256) {
                if (!emit(std::uint8_t(symbol))) return false;
            } else if (symbol < 286 && !match(symbol - 257, distances)) {
                return false;
            }
            if (reader_.exhausted()) return false;
        }
    }

    bool match(int length_symbol, const HuffmanCode& distances) {
        std::uint32_t extra = 0;
        if (!reader_.bits(length_extra[length_symbol], extra)) return false;
        std::size_t length = length_base[length_symbol] + extra;
        int distance_symbol = distances.decode(reader_);
        if (distance_symbol < 0 || distance_symbol >= 30) return false;
        if (!reader_.bits(distance_extra[distance_symbol], extra)) return false;
        std::size_t distance = distance_base[distance_symbol] + extra;
        if (distance > produced_) return false;
        for (std::size_t i = 0; i < length; ++i)
            if (!emit(window_[(position_ + window_size - distance) % window_size])) return false;
        return true;
    }

    BitReader& reader_;
    Sink sink_;
    std::array<std::uint8_t, window_size> window_{};
    std::size_t position_ = 0;
    std::uint64_t produced_ = 0;
};

}  // namespace

bool ZqGenericPngDecoder::inflate(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return false;
    if ((data[0] & 0x0F) != 8 || (data[1] & 0x20) != 0) return false;
    BitReader reader(data + 2, size - 2);
    auto sink = [this](std::uint8_t byte) { return put_byte(byte); };
    try {
        auto inflater = std::make_unique<Inflater<decltype(sink)>>(reader, sink);
        return inflater->run();
    } catch (const std::bad_alloc&) {
        return false;
    }
}
