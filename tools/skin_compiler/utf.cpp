#include "tools/skin_compiler/utf.h"

#include <cstdint>

namespace skin_compiler {
namespace {

void append_utf16(std::u16string& out, std::uint32_t code) {
    if (code < 0x10000) {
        out.push_back(static_cast<char16_t>(code));
        return;
    }
    code -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
}

}  // namespace

std::u16string utf8_to_utf16(const std::string& text) {
    std::u16string out;
    for (std::size_t at = 0; at < text.size();) {
        auto byte = static_cast<unsigned char>(text[at]);
        int extra = byte < 0x80 ? 0 : byte >= 0xF0 ? 3 : byte >= 0xE0 ? 2 : byte >= 0xC0 ? 1 : -1;
        bool truncated = extra > 0 && at + static_cast<std::size_t>(extra) >= text.size();
        if (extra < 0 || truncated) {
            out.push_back(u'\uFFFD');
            ++at;
            continue;
        }
        std::uint32_t code = extra == 0 ? byte : byte & (0x3F >> extra);
        for (int index = 1; index <= extra; ++index) code = code << 6 | (static_cast<unsigned char>(text[at + index]) & 0x3F);
        append_utf16(out, code);
        at += extra + 1;
    }
    return out;
}

std::string utf16_to_utf8(const std::u16string& text) {
    std::string out;
    for (std::size_t at = 0; at < text.size(); ++at) {
        std::uint32_t code = text[at];
        if (code >= 0xD800 && code < 0xDC00 && at + 1 < text.size() && text[at + 1] >= 0xDC00 && text[at + 1] < 0xE000) {
            code = 0x10000 + ((code - 0xD800) << 10) + (text[++at] - 0xDC00);
        }
        if (code < 0x80) {
            out.push_back(static_cast<char>(code));
        } else if (code < 0x800) {
            out.push_back(static_cast<char>(0xC0 | code >> 6));
            out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        } else if (code < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | code >> 12));
            out.push_back(static_cast<char>(0x80 | (code >> 6 & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | code >> 18));
            out.push_back(static_cast<char>(0x80 | (code >> 12 & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (code >> 6 & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        }
    }
    return out;
}

}  // namespace skin_compiler
