#include "foundation/clipboard.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <future>
#include <optional>
#include <string>

#include "platform/clipboard.h"
#include "platform/testing.h"
#include "tests/support/test_device.h"

namespace {

using namespace std::string_literals;

std::optional<std::string> read_kind(int kind) {
    os::ClipboardReader reader(kind);
    if (!reader.has_data()) return std::nullopt;
    std::size_t const size = reader.get_size();
    return std::string(static_cast<const char*>(reader.get_data()), size);
}

bool write_kind(int kind, const std::string& bytes, bool empty_first) {
    os::ClipboardWriter writer(kind, bytes.size(), empty_first);
    if (!writer.is_valid()) return false;
    std::memcpy(writer.get_buffer(), bytes.data(), bytes.size());
    return true;
}

// The bytes of the text with its terminator.
std::string text_bytes(const std::u16string& text) {
    return std::string(reinterpret_cast<const char*>(text.c_str()), (text.size() + 1) * sizeof(char16_t));
}

// Copies text with its terminator, as the edit control does.
void copy_text(const std::u16string& text) {
    std::size_t const size = (text.size() + 1) * sizeof(char16_t);
    os::ClipboardWriter writer(os::clipboard_kind_unicode_text, size, true);
    ASSERT_TRUE(writer.is_valid());
    std::memcpy(writer.get_buffer(), text.c_str(), size);
}

// Keeps the clipboard open on a thread of its own for as long as it lives.
class ClipboardHeldElsewhere {
public:
    ClipboardHeldElsewhere() {
        holder_ = std::async(std::launch::async, [this] {
            bool const opened = OpenClipboard(nullptr);
            opened_.set_value(opened);
            release_.get_future().wait();
            // The holder can still use the clipboard: nobody else closed it meanwhile.
            return opened && GetClipboardData(CF_UNICODETEXT) != nullptr && CloseClipboard();
        });
        EXPECT_TRUE(opened_.get_future().get());
    }
    // True when the holder still had the clipboard and its text at the end.
    bool release() {
        release_.set_value();
        return holder_.get();
    }

private:
    std::promise<bool> opened_;
    std::promise<void> release_;
    std::future<bool> holder_;
};

using ClipboardText = testing_support::DeviceTest;

TEST_F(ClipboardText, CopiedTextIsPastedWithItsTerminator) {
    std::u16string const text = u"Grüße, мир, 世界 \U0001D11E";
    copy_text(text);

    os::ClipboardReader reader(os::clipboard_kind_unicode_text);
    ASSERT_TRUE(reader.has_data());
    ASSERT_EQ(reader.get_size(), (text.size() + 1) * 2);
    auto const* const units = static_cast<const char16_t*>(reader.get_data());
    EXPECT_EQ(std::u16string(units, text.size() + 1), text + u'\0');
}

TEST_F(ClipboardText, EachKindStandsForItsOwnFormat) {
    struct Case {
        int kind;
        UINT format;
    };
    for (Case const c : {Case{os::clipboard_kind_dib, CF_DIB}, Case{os::clipboard_kind_riff, CF_RIFF},
                         Case{os::clipboard_kind_text, CF_TEXT}, Case{os::clipboard_kind_unicode_text, CF_UNICODETEXT}}) {
        SCOPED_TRACE(c.kind);
        ASSERT_TRUE(write_kind(c.kind, "kind " + std::to_string(c.kind), true));
        for (UINT const format : {CF_DIB, CF_RIFF, CF_TEXT, CF_UNICODETEXT}) {
            EXPECT_EQ(IsClipboardFormatAvailable(format) != FALSE, format == c.format) << format;
        }
        EXPECT_EQ(read_kind(c.kind), "kind " + std::to_string(c.kind));
    }
}

TEST_F(ClipboardText, AReaderFindsNoTextWhereTheClipboardHoldsNone) {
    EXPECT_EQ(read_kind(os::clipboard_kind_unicode_text), std::nullopt);  // never written

    ASSERT_TRUE(write_kind(os::clipboard_kind_text, "narrow only\0"s, true));
    os::ClipboardReader reader(os::clipboard_kind_unicode_text);
    EXPECT_FALSE(reader.has_data());
    EXPECT_EQ(reader.get_size(), 0u);
    EXPECT_EQ(reader.get_data(), nullptr);
}

TEST_F(ClipboardText, EmptyingFirstDecidesWhetherOtherKindsStay) {
    ASSERT_TRUE(write_kind(os::clipboard_kind_text, "narrow", true));
    ASSERT_TRUE(write_kind(os::clipboard_kind_riff, "RIFF", false));
    EXPECT_EQ(read_kind(os::clipboard_kind_text), "narrow");
    EXPECT_EQ(read_kind(os::clipboard_kind_riff), "RIFF");

    ASSERT_TRUE(write_kind(os::clipboard_kind_riff, "RIFF again", true));
    EXPECT_EQ(read_kind(os::clipboard_kind_text), std::nullopt);
    EXPECT_EQ(read_kind(os::clipboard_kind_riff), "RIFF again");
}

TEST_F(ClipboardText, AWriterLeftUnfilledStillHandsItsBlockOver) {
    copy_text(u"old");
    { os::ClipboardWriter writer(os::clipboard_kind_unicode_text, 6, true); }
    os::ClipboardReader reader(os::clipboard_kind_unicode_text);
    EXPECT_TRUE(reader.has_data());
    EXPECT_EQ(reader.get_size(), 6u);
}

TEST_F(ClipboardText, WhileAnotherThreadHasTheClipboardOpenNothingIsReadOrChanged) {
    copy_text(u"kept");
    ClipboardHeldElsewhere held;
    {
        os::ClipboardWriter writer(os::clipboard_kind_unicode_text, 10, true);
        EXPECT_FALSE(writer.is_valid());
        EXPECT_EQ(writer.get_buffer(), nullptr);
        os::ClipboardReader reader(os::clipboard_kind_unicode_text);
        EXPECT_FALSE(reader.has_data());
        EXPECT_EQ(reader.get_size(), 0u);
    }
    EXPECT_TRUE(held.release());  // neither destructor closed the holder's clipboard
    EXPECT_EQ(read_kind(os::clipboard_kind_unicode_text), text_bytes(u"kept"));
}

TEST_F(ClipboardText, AWriterWithoutMemoryHandsNothingOverAndClosesTheClipboard) {
    copy_text(u"kept");
    {
        os::ClipboardWriter writer(os::clipboard_kind_unicode_text, std::size_t(1) << 40, false);
        EXPECT_FALSE(writer.is_valid());
        EXPECT_EQ(writer.get_buffer(), nullptr);
    }
    EXPECT_EQ(read_kind(os::clipboard_kind_unicode_text), text_bytes(u"kept"));
}

TEST_F(ClipboardText, UnknownKindsNeitherReadNorTouchTheClipboard) {
    copy_text(u"kept");
    for (int const kind : {-1, 4, 13}) {
        SCOPED_TRACE(kind);
        os::ClipboardWriter writer(kind, 8, true);
        EXPECT_FALSE(writer.is_valid());
        EXPECT_FALSE(os::ClipboardReader(kind).has_data());
    }
    EXPECT_EQ(read_kind(os::clipboard_kind_unicode_text), text_bytes(u"kept"));
}

TEST_F(ClipboardText, ABlockTheClipboardRefusesIsFreedAndTheClipboardStaysAsItWas) {
    copy_text(u"kept");
    std::filesystem::create_directories(device.folder() + "/run/clipboard.new");  // blocks every write
    SIZE_T const live_before = platform::live_local_blocks();
    {
        os::ClipboardWriter writer(os::clipboard_kind_unicode_text, 8, false);
        ASSERT_TRUE(writer.is_valid());
        std::memcpy(writer.get_buffer(), u"new", 8);
    }
    EXPECT_EQ(platform::live_local_blocks(), live_before);
    EXPECT_EQ(read_kind(os::clipboard_kind_unicode_text), text_bytes(u"kept"));
}

}  // namespace
