#pragma once

#include <cstdint>
#include <string>

#include "foundation/file.h"
#include "foundation/text_stream.h"

namespace os {

// A text stream into a file created anew, starting with the byte-order mark FF FE; the
// characters are written as their bytes in memory order (UTF-16LE).
template <class Char>
class TextOStreamFile : public liba::TextOStream<Char> {
public:
    explicit TextOStreamFile(const std::u16string& path) : file_(path, 1) {
        static constexpr unsigned char byte_order_mark[2] = {0xFF, 0xFE};
        file_.write(byte_order_mark, sizeof byte_order_mark);
    }

    void write(const Char* begin, const Char* end) override {
        file_.write(begin, static_cast<std::uint32_t>((end - begin) * sizeof(Char)));
    }
    void flush() override { file_.flush(); }

private:
    File file_;
};

}  // namespace os
