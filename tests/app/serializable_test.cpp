#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/comm/comm_identifiers.h"
#include "app/comm/memory_mapped_clipboard.h"
#include "app/comm/serializable.h"
#include "app/comm/sonbrix_status.h"
#include "tests/support/channel_peer.h"
#include "tests/support/channel_peer_status.h"
#include "tests/support/test_device.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

class SerializableTest : public testing_support::DeviceTest {
protected:
    void push_bytes(const Bytes& bytes) {
        ASSERT_TRUE(stack.push(bytes.data(), static_cast<std::uint32_t>(bytes.size())));
    }

    CCommMemoryMappedFilesClipboard stack{comm_identifiers::clipboard_capacity + 4, comm_identifiers::clipboard_name};
    testing_support::SharedStackView block;
};

TEST_F(SerializableTest, TextsGoOnTheStackAsUnitsWithTheTerminatorThenTheirByteCount) {
    struct Case {
        const char* what;
        std::u16string text;
        Bytes bytes;
    };
    Case const cases[] = {
        {"two letters", u"ab", {0x61, 0, 0x62, 0, 0, 0, 6, 0, 0, 0}},
        {"an empty text", u"", {0, 0, 2, 0, 0, 0}},
        {"a character beyond the first plane", u"\U0001F600", {0x3D, 0xD8, 0x00, 0xDE, 0, 0, 6, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(stack.clear());
        EXPECT_TRUE(CSerializableString(c.text).write(stack));
        EXPECT_EQ(block.contents(), c.bytes);
        CSerializableString read;
        EXPECT_TRUE(read.read(stack));
        ASSERT_NE(read.get_text(), nullptr);
        EXPECT_EQ(std::u16string(read.get_text()), c.text);
        EXPECT_EQ(block.depth(), 0u);
    }
}

TEST_F(SerializableTest, ANullTextIsNotWritten) {
    CSerializableString const null_text(static_cast<const char16_t*>(nullptr));
    EXPECT_EQ(null_text.get_text(), nullptr);
    EXPECT_FALSE(null_text.write(stack));
    EXPECT_EQ(block.depth(), 0u);
}

TEST_F(SerializableTest, ATextThatDoesNotFitLeavesTheStackAsItWas) {
    push_bytes(Bytes(1018, 0));  // the text's 6 bytes fit, its count does not
    EXPECT_FALSE(CSerializableString(u"ab").write(stack));
    EXPECT_EQ(block.depth(), 1018u);
}

TEST_F(SerializableTest, ATextIsReadOnlyWhenItsCountDescribesTextThatIsThere) {
    struct Case {
        const char* what;
        Bytes bytes;
    };
    Case const cases[] = {
        {"fewer than 4 bytes", {2, 0, 0}},
        {"an odd count", {0x61, 0, 0, 3, 0, 0, 0}},
        {"a count of 0", {0, 0, 0, 0}},
        {"a count beyond the depth", {0x61, 0, 0, 0, 8, 0, 0, 0}},
        {"a count beyond the stack's capacity", {0x61, 0, 0, 0, 0xFE, 0xFF, 0xFF, 0xFF}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(stack.clear());
        push_bytes(c.bytes);
        CSerializableString read(u"before");
        EXPECT_FALSE(read.read(stack));
        EXPECT_EQ(std::u16string(read.get_text()), u"before");
        EXPECT_EQ(block.contents(), c.bytes);
    }
}

TEST_F(SerializableTest, AReadTextEndsAtItsLastUnitWhateverItHolds) {
    push_bytes({0x61, 0, 0x62, 0, 4, 0, 0, 0});  // "ab" without its terminator
    CSerializableString read;
    ASSERT_TRUE(read.read(stack));
    EXPECT_EQ(std::u16string(read.get_text()), u"a");
}

TEST_F(SerializableTest, FlagsAndNumbers) {
    EXPECT_TRUE(CSerializableBool(true).write(stack));
    EXPECT_TRUE(CSerializableBool(false).write(stack));
    EXPECT_TRUE(CSerializableInt(-2).write(stack));
    EXPECT_EQ(block.contents(), (Bytes{1, 0, 0xFE, 0xFF, 0xFF, 0xFF}));
    CSerializableInt number;
    CSerializableBool clear_flag(true);
    CSerializableBool set_flag;
    EXPECT_TRUE(number.read(stack));
    EXPECT_TRUE(clear_flag.read(stack));
    EXPECT_TRUE(set_flag.read(stack));
    EXPECT_EQ(number.get_value(), -2);
    EXPECT_FALSE(clear_flag.get_value());
    EXPECT_TRUE(set_flag.get_value());

    push_bytes({7});
    EXPECT_TRUE(set_flag.read(stack));
    EXPECT_TRUE(set_flag.get_value());
    EXPECT_FALSE(set_flag.read(stack));
    EXPECT_FALSE(number.read(stack));
}

std::int32_t int_at(const Bytes& bytes, std::size_t offset) {
    std::int32_t value;
    std::memcpy(&value, bytes.data() + offset, sizeof value);
    return value;
}

TEST_F(SerializableTest, TheStatusRecordTravelsIn556BytesAndComesBackWhole) {
    push_bytes({9, 9, 9});
    StatusData const sent = testing_support::status_sent();
    ASSERT_TRUE(CSonbrixStatus(sent).write(stack));

    Bytes const stacked = block.contents();
    Bytes const record(stacked.begin() + 3, stacked.end());
    ASSERT_EQ(record.size(), 556u);
    EXPECT_EQ(int_at(record, 0), 2);
    EXPECT_EQ(std::memcmp(record.data() + 4, sent.current_file, 520), 0);
    Bytes const numbers[] = {{0xE8, 3, 0, 0}, {0xF4, 1, 0, 0}};  // 1000 and 500
    EXPECT_EQ(Bytes(record.begin() + 524, record.begin() + 528), numbers[0]);
    EXPECT_EQ(Bytes(record.begin() + 528, record.begin() + 532), numbers[1]);
    std::int32_t const format_fields[] = {0, 22050, 16, 32, 1};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(int_at(record, 532 + 4 * i), format_fields[i]) << i;
    EXPECT_EQ(int_at(record, 552), 12345);

    CSonbrixStatus read;
    ASSERT_TRUE(read.read(stack));
    EXPECT_EQ(std::memcmp(&read.get_data(), &sent, sizeof sent), 0);
    EXPECT_EQ(block.depth(), 3u);
}

TEST_F(SerializableTest, AnEmptyStatusHasItsDefaults) {
    CSonbrixStatus const empty;
    StatusData const& data = empty.get_data();
    EXPECT_EQ(data.state, 0);
    EXPECT_EQ(data.current_file[0], u'\0');
    EXPECT_EQ(data.format_kind, 2);
    EXPECT_EQ(data.stereo, 2);
    for (std::int32_t zero : {data.length, data.position, data.sample_rate, data.bits_per_sample, data.bit_rate,
                              data.elapsed}) {
        EXPECT_EQ(zero, 0);
    }
}

TEST_F(SerializableTest, AStatusPathEndsWithinItsArray) {
    StatusData unterminated = testing_support::status_sent();
    std::fill(std::begin(unterminated.current_file), std::end(unterminated.current_file), u'x');
    EXPECT_EQ(std::u16string(CSonbrixStatus(unterminated).get_data().current_file), std::u16string(259, u'x'));

    Bytes raw(556, 0);
    std::fill(raw.begin() + 4, raw.begin() + 524, 'x');
    push_bytes(raw);
    CSonbrixStatus read;
    ASSERT_TRUE(read.read(stack));
    EXPECT_EQ(std::u16string(read.get_data().current_file), std::u16string(259, char16_t{0x7878}));
}

TEST_F(SerializableTest, AStatusThatIsNotAllThereOrDoesNotFitLeavesTheStackAsItWas) {
    push_bytes(Bytes(555, 1));
    CSonbrixStatus read;
    EXPECT_FALSE(read.read(stack));
    EXPECT_EQ(block.depth(), 555u);
    EXPECT_EQ(read.get_data().stereo, 2);

    EXPECT_FALSE(CSonbrixStatus(testing_support::status_sent()).write(stack));
    EXPECT_EQ(block.contents(), Bytes(555, 1));
}

}  // namespace
