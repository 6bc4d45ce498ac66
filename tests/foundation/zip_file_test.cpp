#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/zip_file.h"
#include "tests/support/test_device.h"
#include "tests/support/zip_writer.h"

namespace {

using testing_support::DeviceTest;
using testing_support::make_zip;
using testing_support::write_host_file;
using testing_support::ZipEntry;

std::string sixty_bytes() {
    std::string data;
    for (int i = 0; i < 60; ++i) data += static_cast<char>('A' + i % 26);
    return data;
}

class ZipFileTest : public DeviceTest {
protected:
    // Writes the bytes as "\skins\test.skin" and returns that device path.
    std::u16string archive(const std::string& bytes) {
        write_host_file(device.host_path("skins/test.skin"), bytes);
        return u"\\skins\\test.skin";
    }

    static std::string read_all(liba::ZipFile& zip) {
        std::string data(zip.get_size(), '\0');
        data.resize(zip.read(data.data(), zip.get_size()));
        return data;
    }

    static std::vector<std::u16string> walk(liba::ZipFile& zip) {
        std::vector<std::u16string> names;
        for (std::u16string name = zip.next_entry(); !name.empty(); name = zip.next_entry()) names.push_back(name);
        return names;
    }
};

TEST_F(ZipFileTest, StoredEntriesOpenByNameInAnyOrderAndAnyCase) {
    liba::ZipFile zip(archive(make_zip({{"Default.skin", "skin image"},
                                        {"pics/Buttons.bmp", "button pixels"},
                                        {"Back.bmp", "background"}})));
    struct Case {
        std::u16string name;
        std::string data;
    };
    Case const cases[] = {
        {u"Back.bmp", "background"},
        {u"Default.skin", "skin image"},
        {u"PICS\\BUTTONS.BMP", "button pixels"},
        {u"pics/buttons.bmp/", "button pixels"},
        {u"back.BMP", "background"},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(std::string(c.name.begin(), c.name.end()));
        ASSERT_TRUE(zip.open_entry(c.name));
        EXPECT_EQ(zip.get_position(), 0u);
        EXPECT_EQ(read_all(zip), c.data);
    }
    EXPECT_FALSE(zip.open_entry(u"Missing.bmp"));
    EXPECT_FALSE(zip.open_entry(u"pics"));
}

TEST_F(ZipFileTest, TheWalkGivesEntriesInFileOrderWithTheirDataOffsets) {
    std::string const bytes = make_zip({{"a.skin", "12345", false, "xtra"}, {"b.bmp", ""}, {"c.bmp", "cc"}});
    liba::ZipFile zip(archive(bytes));
    EXPECT_EQ(zip.next_entry(), u"a.skin");
    EXPECT_EQ(zip.get_entry_offset(), 30u + 6 + 4);
    EXPECT_EQ(zip.get_size(), 5u);
    EXPECT_EQ(zip.next_entry(), u"b.bmp");
    EXPECT_EQ(zip.get_size(), 0u);
    EXPECT_EQ(zip.next_entry(), u"c.bmp");
    EXPECT_EQ(bytes.substr(zip.get_entry_offset(), 2), "cc");
    EXPECT_EQ(zip.next_entry(), u"") << "the central directory ends the walk";
}

TEST_F(ZipFileTest, NamesAreReadInTheSystemCodePage) {
    liba::ZipFile zip(archive(make_zip({{"Caf\xE9.bmp", "x"}})));
    EXPECT_EQ(zip.next_entry(), u"Caf\u00E9.bmp");
    EXPECT_TRUE(zip.open_entry(u"CAF\u00C9.BMP"));
}

TEST_F(ZipFileTest, ADeflatedEntryEndsTheWalk) {
    liba::ZipFile zip(archive(make_zip({{"first.skin", "stored"},
                                        {"second.bmp", "deflated data", true},
                                        {"third.bmp", "stored again"}})));
    EXPECT_EQ(walk(zip), std::vector<std::u16string>{u"first.skin"});
    EXPECT_TRUE(zip.open_entry(u"first.skin"));
    EXPECT_FALSE(zip.open_entry(u"second.bmp"));
    EXPECT_FALSE(zip.open_entry(u"third.bmp"));
}

TEST_F(ZipFileTest, ReadsStopAtTheEntrysEnd) {
    std::string const data = sixty_bytes();
    liba::ZipFile zip(archive(make_zip({{"a.bmp", data}, {"b.bmp", "following entry"}})));
    ASSERT_TRUE(zip.open_entry(u"a.bmp"));
    char buffer[100];
    EXPECT_EQ(zip.read(buffer, 100), 60u);
    EXPECT_EQ(std::string(buffer, 60), data);
    EXPECT_EQ(zip.read(buffer, 100), 0u);
    EXPECT_EQ(zip.get_position(), 60u);
}

TEST_F(ZipFileTest, SeekThenReadGivesTheEntrysBytesFromThere) {
    std::string const data = sixty_bytes();
    liba::ZipFile zip(archive(make_zip({{"a.bmp", data}})));
    ASSERT_TRUE(zip.open_entry(u"a.bmp"));
    EXPECT_TRUE(zip.seek(10));
    char buffer[5];
    ASSERT_EQ(zip.read(buffer, 5), 5u);
    EXPECT_EQ(std::string(buffer, 5), data.substr(10, 5));
    EXPECT_EQ(zip.get_position(), 15u);
}

TEST_F(ZipFileTest, APositionPastTheEndReadsAndSkipsNothing) {
    liba::ZipFile zip(archive(make_zip({{"a.bmp", sixty_bytes()}, {"b.bmp", std::string(200, 'b')}})));
    ASSERT_TRUE(zip.open_entry(u"a.bmp"));
    // Still inside the archive: the next entry's bytes lie there.
    zip.seek(70);
    std::string buffer(100, '-');
    EXPECT_EQ(zip.read(buffer.data(), 100), 0u);
    EXPECT_EQ(buffer, std::string(100, '-'));
    EXPECT_EQ(zip.skip(5), 0u);
    EXPECT_EQ(zip.get_position(), 70u);
}

TEST_F(ZipFileTest, SkipMovesWithinTheEntryOnly) {
    std::string const data = sixty_bytes();
    liba::ZipFile zip(archive(make_zip({{"a.bmp", data}, {"b.bmp", "next"}})));
    ASSERT_TRUE(zip.open_entry(u"a.bmp"));
    struct Step {
        std::int32_t count;
        std::uint32_t moved;
        std::uint32_t position;
    };
    Step const steps[] = {
        {20, 20, 20},
        {100, 40, 60},
        {-10, static_cast<std::uint32_t>(-10), 50},
        {-100, static_cast<std::uint32_t>(-50), 0},
        {5, 5, 5},
    };
    for (Step const& step : steps) {
        SCOPED_TRACE(step.count);
        EXPECT_EQ(zip.skip(step.count), step.moved);
        EXPECT_EQ(zip.get_position(), step.position);
    }
    char byte;
    ASSERT_EQ(zip.read(&byte, 1), 1u);
    EXPECT_EQ(byte, data[5]);
}

TEST_F(ZipFileTest, ArchivesWithoutEntries) {
    std::string const good = make_zip({{"a.skin", "image"}});
    struct Case {
        const char* what;
        std::string bytes;
    };
    Case const cases[] = {
        {"empty file", ""},
        {"not a zip", "This is a plain skin image, not an archive at all."},
        {"signature only", good.substr(0, 4)},
        {"header cut short", good.substr(0, 20)},
        {"name cut short", good.substr(0, 32)},
        {"data cut short", good.substr(0, 38)},
        {"empty archive", make_zip({})},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.what);
        liba::ZipFile zip(archive(c.bytes));
        EXPECT_EQ(zip.next_entry(), u"");
        EXPECT_FALSE(zip.open_entry(u"a.skin"));
    }
}

TEST_F(ZipFileTest, AMissingArchiveHasNoEntries) {
    liba::ZipFile zip(u"\\skins\\missing.skin");
    EXPECT_EQ(zip.next_entry(), u"");
    EXPECT_FALSE(zip.open_entry(u"a.skin"));
    char buffer[4];
    EXPECT_EQ(zip.read(buffer, 4), 0u);
}

TEST_F(ZipFileTest, SizesThatRunPastTheFileEndEndTheWalk) {
    std::string bytes = make_zip({{"a.bmp", "aaaa"}, {"b.bmp", "bb"}});
    // Both sizes of the first entry say 0xFFFFFFF0: the next header would wrap around to
    // an earlier offset, and the walk would never end.
    for (std::size_t offset : {18u, 22u}) bytes.replace(offset, 4, "\xF0\xFF\xFF\xFF");
    liba::ZipFile zip(archive(bytes));
    EXPECT_EQ(walk(zip), std::vector<std::u16string>{});
    EXPECT_FALSE(zip.open_entry(u"b.bmp"));
}

}  // namespace
