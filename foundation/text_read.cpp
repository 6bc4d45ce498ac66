#include "foundation/text_read.h"

#include <vector>

#include "foundation/text_convert.h"

namespace liba {
namespace {

// The bytes of a stream, either as UTF-16LE characters (after a byte-order mark) or as
// narrow text.
struct DecodedText {
    bool wide = false;
    std::u16string wide_text;
    std::string narrow_text;
};

bool read_exactly(StreamReader& reader, void* buffer, std::uint32_t count) {
    return count == 0 || reader.read(buffer, count) == count;
}

std::uint32_t bytes_to_read(StreamReader& reader, std::uint32_t limit) {
    std::uint32_t const size = reader.get_size();
    std::uint32_t const position = reader.get_position();
    std::uint32_t const remaining = position < size ? size - position : 0;
    return remaining < limit ? remaining : limit;
}

std::u16string from_little_endian(const std::vector<unsigned char>& bytes) {
    std::u16string text(bytes.size() / 2, u'\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        text[i] = static_cast<char16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
    }
    return text;
}

DecodedText decode(StreamReader& reader, std::uint32_t limit) {
    DecodedText result;
    std::uint32_t const count = bytes_to_read(reader, limit);
    if (count < 2) {
        std::string bytes(count, '\0');
        if (read_exactly(reader, bytes.data(), count)) result.narrow_text = std::move(bytes);
        return result;
    }
    unsigned char mark[2];
    if (!read_exactly(reader, mark, 2)) return result;
    std::vector<unsigned char> rest(count - 2);
    if (!read_exactly(reader, rest.data(), count - 2)) return result;
    if (mark[0] == 0xFF && mark[1] == 0xFE) {
        // A stray last byte (a file cut or edited by hand) is half a character: left out.
        result.wide = true;
        result.wide_text = from_little_endian(rest);
    } else {
        result.narrow_text.assign(reinterpret_cast<const char*>(mark), 2);
        result.narrow_text.append(rest.begin(), rest.end());
    }
    return result;
}

}  // namespace

std::u16string read_text(StreamReader& reader, std::uint32_t limit) {
    DecodedText decoded = decode(reader, limit);
    if (decoded.wide) return std::move(decoded.wide_text);
    std::u16string text;
    narrow_to_wide_string(decoded.narrow_text, text);
    return text;
}

std::string read_text_narrow(StreamReader& reader, std::uint32_t limit) {
    DecodedText decoded = decode(reader, limit);
    if (!decoded.wide) return std::move(decoded.narrow_text);
    std::string text;
    wide_to_narrow_string(decoded.wide_text, text);
    return text;
}

}  // namespace liba
