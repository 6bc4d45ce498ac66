#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "foundation/text_read.h"

namespace {

// A stream over bytes in memory; it can claim more bytes than it holds, so that reads
// come up short.
class MemoryReader : public liba::StreamReader {
public:
    explicit MemoryReader(std::string bytes, std::uint32_t claimed_size = 0)
        : bytes_(std::move(bytes)), size_(claimed_size ? claimed_size : static_cast<std::uint32_t>(bytes_.size())) {}

    std::uint32_t read(void* buffer, std::uint32_t count) override {
        std::size_t const available = position_ < bytes_.size() ? bytes_.size() - position_ : 0;
        auto const n = static_cast<std::uint32_t>(std::min<std::size_t>(count, available));
        std::memcpy(buffer, bytes_.data() + position_, n);
        position_ += n;
        return n;
    }
    std::uint32_t skip(std::int32_t count) override {
        position_ = static_cast<std::uint32_t>(static_cast<std::int64_t>(position_) + count);
        return static_cast<std::uint32_t>(count < 0 ? -count : count);
    }
    std::uint32_t get_size() override { return size_; }
    bool seek(std::uint32_t position) override {
        position_ = position;
        return true;
    }
    std::uint32_t get_position() override { return position_; }

private:
    std::string bytes_;
    std::uint32_t size_;
    std::uint32_t position_ = 0;
};

constexpr std::uint32_t whole_file = 0x7FFFFFFF;

TEST(ReadText, DetectsTheByteOrderMarkOnly) {
    struct Case {
        const char* what;
        std::string bytes;
        std::u16string text;
    };
    for (auto const& c : {
             Case{"wide letter", std::string("\xFF\xFE\x41\x00", 4), u"A"},
             Case{"wide text", std::string("\xFF\xFE\xE9\x00\xAC\x20", 6), u"\u00E9\u20AC"},
             Case{"mark only", "\xFF\xFE", u""},
             Case{"a stray last byte after the mark is left out", std::string("\xFF\xFE\x41\x00\x42", 5), u"A"},
             Case{"utf-8 mark stays text", "\xEF\xBB\xBF\x41", u"\u00EF\u00BB\u00BFA"},
             Case{"big-endian mark stays text", std::string("\xFE\xFF\x00\x41", 4),
                  std::u16string(u"\u00FE\u00FF\0A", 4)},
             Case{"code page text", "caf\xE9\x80", u"caf\u00E9\u20AC"},
             Case{"one byte", "x", u"x"},
             Case{"empty", "", u""},
         }) {
        MemoryReader reader(c.bytes);
        EXPECT_EQ(liba::read_text(reader, whole_file), c.text) << c.what;
    }
}

TEST(ReadText, NarrowResultConvertsWideTextToTheCodePage) {
    MemoryReader wide(std::string("\xFF\xFE\xE9\x00\x00\x01", 6));
    EXPECT_EQ(liba::read_text_narrow(wide, whole_file), "\xE9?");
    MemoryReader narrow("\xEF\xBB\xBF\x41");
    EXPECT_EQ(liba::read_text_narrow(narrow, whole_file), "\xEF\xBB\xBF\x41");
}

TEST(ReadText, StartsAtTheReadersPosition) {
    MemoryReader reader(std::string("ab\xFF\xFE\x41\x00", 6));
    reader.seek(2);
    EXPECT_EQ(liba::read_text(reader, whole_file), u"A");
    reader.seek(6);
    EXPECT_EQ(liba::read_text(reader, whole_file), u"");
    reader.seek(9);  // past the end
    EXPECT_EQ(liba::read_text(reader, whole_file), u"");
}

TEST(ReadText, LimitCutsTheText) {
    std::string wide_bytes("\xFF\xFE", 2);
    for (int i = 0; i < 80; ++i) wide_bytes += std::string("x\0", 2);
    MemoryReader sniffed(wide_bytes);
    EXPECT_EQ(liba::read_text(sniffed, 100), std::u16string(49, u'x'));
    MemoryReader odd_limit(wide_bytes);
    EXPECT_EQ(liba::read_text(odd_limit, 101), std::u16string(49, u'x'));  // the odd byte is half a character
    MemoryReader narrow(std::string(300, 'n'));
    EXPECT_EQ(liba::read_text(narrow, 100), std::u16string(100, u'n'));
}

TEST(ReadText, ShortReadGivesEmptyText) {
    for (auto const& bytes : {std::string("abc"), std::string("\xFF\xFE\x41\x00", 4), std::string("a")}) {
        MemoryReader reader(bytes, static_cast<std::uint32_t>(bytes.size() + 2));
        EXPECT_EQ(liba::read_text(reader, whole_file), u"") << bytes.size();
        reader.seek(0);
        EXPECT_EQ(liba::read_text_narrow(reader, whole_file), "") << bytes.size();
    }
}

}  // namespace
