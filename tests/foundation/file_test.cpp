#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "foundation/file.h"
#include "tests/support/test_device.h"

namespace {

using testing_support::DeviceTest;
using testing_support::host_file_exists;
using testing_support::read_host_file;
using testing_support::write_host_file;

class FileTest : public DeviceTest {
protected:
    std::string host(const std::string& name) const { return device.host_path("My Documents/" + name); }
};

std::string read_bytes(os::File& file, std::uint32_t count) {
    std::string bytes(count, '\0');
    bytes.resize(file.read(bytes.data(), count));
    return bytes;
}

std::uint32_t write_bytes(os::File& file, const std::string& bytes) {
    return file.write(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
}

TEST_F(FileTest, OpenModesOnAMissingAndAnExistingFile) {
    struct Case {
        int mode;
        bool opens_missing;
        std::uint32_t position_on_existing;
        std::string content_after_writing;  // "old data", then "XY" written
    };
    Case const cases[] = {
        {0, false, 0, "old data"},
        {1, true, 0, "XY"},
        {2, true, 8, "old dataXY"},
        {3, true, 0, "XYd data"},
        {7, true, 0, "XYd data"},
    };
    for (auto const& c : cases) {
        SCOPED_TRACE(c.mode);
        std::string const name = "mode" + std::to_string(c.mode);
        std::u16string const path = u"\\My Documents\\" + std::u16string(name.begin(), name.end());
        {
            os::File missing(path, c.mode);
            EXPECT_EQ(missing.has_errors(), !c.opens_missing);
        }
        EXPECT_EQ(host_file_exists(host(name)), c.opens_missing);

        write_host_file(host(name), "old data");
        os::File existing(path, c.mode);
        EXPECT_FALSE(existing.has_errors());
        EXPECT_EQ(existing.get_position(), c.position_on_existing);
        write_bytes(existing, "XY");
        EXPECT_EQ(read_host_file(host(name)), c.content_after_writing);
    }
}

TEST_F(FileTest, AFailedOpenLeavesTheFileInErrorForEveryOperation) {
    os::File file(u"\\My Documents\\missing.wav", 0);
    ASSERT_EQ(file.get_errors(), std::vector<std::u16string>{u"can't open file"});
    char buffer[100] = {};
    EXPECT_EQ(file.read(buffer, sizeof buffer), 0u);
    EXPECT_EQ(file.write(buffer, sizeof buffer), 0u);
    EXPECT_EQ(file.skip(10), 0u);
    EXPECT_EQ(file.get_size(), 0u);
    EXPECT_FALSE(file.seek(0));
    EXPECT_EQ(file.get_position(), 0u);
    EXPECT_FALSE(file.truncate(0));
    EXPECT_FALSE(file.flush());
    EXPECT_FALSE(host_file_exists(host("missing.wav")));
}

TEST_F(FileTest, WritingAfterAFailedCreateWritesNothingAnywhere) {
    os::File file(u"\\My Documents\\No Such Folder\\new.wav", 1);
    EXPECT_TRUE(file.has_errors());
    char const buffer[100] = {};
    EXPECT_EQ(file.write(buffer, sizeof buffer), 0u);
    EXPECT_FALSE(host_file_exists(host("No Such Folder")));
}

TEST_F(FileTest, ReadingPastTheEndReturnsWhatWasLeftThenNothing) {
    write_host_file(host("six"), "abcdef");
    os::File file(u"\\My Documents\\six", 0);
    EXPECT_EQ(read_bytes(file, 4), "abcd");
    EXPECT_EQ(read_bytes(file, 4), "ef");
    EXPECT_EQ(read_bytes(file, 4), "");
    EXPECT_EQ(file.get_size(), 6u);
    EXPECT_FALSE(file.has_errors());
}

TEST_F(FileTest, SkipReturnsTheDistanceMoved) {
    write_host_file(host("ten"), "0123456789");
    os::File file(u"\\My Documents\\ten", 0);
    ASSERT_TRUE(file.seek(6));
    struct Case {
        std::int32_t count;
        std::uint32_t moved;
        std::uint32_t position_after;
    };
    Case const cases[] = {
        {-4, static_cast<std::uint32_t>(-4), 2},
        {3, 3, 5},
        {0, 0, 5},
        {-6, 0, 5},  // before the start: refused, the position stays
        {20, 20, 25},
    };
    for (auto const& c : cases) {
        EXPECT_EQ(file.skip(c.count), c.moved) << c.count;
        EXPECT_EQ(file.get_position(), c.position_after) << c.count;
    }
    EXPECT_EQ(read_bytes(file, 4), "");
}

TEST_F(FileTest, PositionsFromTwoGigabytesUpAreValid) {
    os::File file(u"\\My Documents\\big", 3);
    EXPECT_TRUE(file.seek(0xC0000000u));
    EXPECT_EQ(file.get_position(), 0xC0000000u);
    EXPECT_EQ(file.skip(-0x40000000), 0xC0000000u);
    EXPECT_EQ(file.get_position(), 0x80000000u);
    EXPECT_EQ(file.get_size(), 0u);
}

TEST_F(FileTest, TruncateEndsTheFileAtThePosition) {
    os::File file(u"\\My Documents\\t", 3);
    EXPECT_EQ(write_bytes(file, "0123456789"), 10u);
    EXPECT_TRUE(file.truncate(4));
    EXPECT_EQ(file.get_size(), 4u);
    EXPECT_EQ(file.get_position(), 4u);
    EXPECT_TRUE(file.flush());
    EXPECT_EQ(read_host_file(host("t")), "0123");
}

TEST_F(FileTest, ThePathMayBeginWithAMacro) {
    {
        os::File file(u"%my_documents%/notes.txt", 1);
        EXPECT_EQ(write_bytes(file, "hi"), 2u);
    }
    EXPECT_EQ(read_host_file(host("notes.txt")), "hi");
}

TEST_F(FileTest, AReadOnlyFileRefusesWritesWithoutFallingIntoError) {
    write_host_file(host("r"), "abc");
    os::File file(u"\\My Documents\\r", 0);
    EXPECT_EQ(write_bytes(file, "x"), 0u);
    EXPECT_FALSE(file.truncate(0));
    EXPECT_FALSE(file.has_errors());
    EXPECT_EQ(read_bytes(file, 3), "abc");
}

}  // namespace
