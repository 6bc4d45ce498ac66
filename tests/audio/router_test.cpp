// Reading only the bookmarked ranges of a file, in play order.
#include "audio/router.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "audio/blocks.h"
#include "audio/file_reader_mp3.h"
#include "audio/file_reader_wav_pcm.h"
#include "audio/stream_ends.h"
#include "tests/audio/mp3_fixture.h"
#include "tests/audio/wav_fixture.h"
#include "tests/support/test_device.h"

namespace {

using testing_support::DeviceTest;

// A reader of 1000 one-byte units valued by their position, which counts its seeks.
class CountingReader : public audio::Provider<audio::PCMData> {
public:
    explicit CountingReader(const std::u16string&) {}

    audio::PCMData get_data(std::uint32_t count) override {
        std::uint32_t const n = std::min(count, size - position);
        std::string const bytes = wav_fixture::counting_bytes(n, position);
        position += n;
        return audio::PCMData(liba::SharedBuffer(n, bytes.data()), 1, 8, 8000);
    }
    virtual bool is_at_end() { return position >= size; }
    std::uint32_t get_size() { return size; }
    std::uint32_t get_position() { return position; }
    void set_position(std::uint32_t to) {
        ++seeks;
        position = std::min(to, size);
    }

    std::uint32_t const size = 1000;
    std::uint32_t position = 0;
    int seeks = 0;
};

// Everything the reader delivers until the first empty block, and the blocks' sizes.
template <class Reader>
std::string drain(Reader& reader, std::uint32_t count, std::vector<std::uint32_t>* sizes = nullptr) {
    std::string bytes;
    for (int guard = 0; guard < 10000; ++guard) {
        auto const block = reader.get_data(count);
        if (block.is_empty()) break;
        bytes.append(reinterpret_cast<const char*>(block.buffer.get_data()), block.get_size());
        if (sizes) sizes->push_back(block.get_size());
    }
    return bytes;
}

std::string counting(std::uint32_t from, std::uint32_t to) { return wav_fixture::counting_bytes(to - from, from); }

TEST(RouterTest, NothingPlayedIsTheEndAtOnce) {
    Bookmarks list;
    list.insert(100, u"A", false);
    Router<CountingReader> router(u"x", list);
    EXPECT_TRUE(router.is_at_end());
    EXPECT_TRUE(router.get_data(10).is_empty());
    EXPECT_EQ(router.get_position(), router.get_size());
}

TEST(RouterTest, PlaysRangesInPlayOrderAndSkipsUnplayedOnes) {
    Bookmarks list;
    list.insert(0, u"A", false);
    list.insert(400, u"B", false);
    list.insert(800, u"C", true);
    list.add_to_play_order(0);
    Router<CountingReader> router(u"x", list);
    EXPECT_FALSE(router.is_at_end());
    EXPECT_EQ(drain(router, 64), counting(800, 1000) + counting(0, 400));
    EXPECT_TRUE(router.is_at_end());
}

TEST(RouterTest, ConsecutiveRangesFlowOnWithoutASeek) {
    Bookmarks list;
    list.insert(100, u"A", true);
    list.insert(300, u"B", true);
    list.insert(600, u"C", false);
    Router<CountingReader> router(u"x", list);
    int const seeks_at_start = router.seeks;
    EXPECT_EQ(drain(router, 64), counting(100, 600));
    // The only seek after the first range's is the move to the end once nothing is left.
    EXPECT_EQ(router.seeks, seeks_at_start + 1);
}

TEST(RouterTest, ARangeBeyondTheDataEndsTheStreamAtTheEnd) {
    Bookmarks list;
    list.insert(0, u"A", true);
    list.insert(10, u"B", false);
    list.insert(5000, u"far", true);
    Router<CountingReader> router(u"x", list);
    EXPECT_EQ(drain(router, 64), counting(0, 10));
    EXPECT_EQ(router.get_position(), router.get_size());
}

TEST(RouterTest, ASeekOutsideTheRangeGoesOnAtTheNextRange) {
    Bookmarks list;
    list.insert(0, u"A", true);
    list.insert(100, u"B", false);
    list.insert(500, u"C", true);
    list.insert(700, u"D", false);
    Router<CountingReader> router(u"x", list);
    router.set_position(300);
    EXPECT_EQ(drain(router, 64), counting(500, 700));
}

class RouterFileTest : public DeviceTest {};

TEST_F(RouterFileTest, OnlyTheFirstHalfOfAWAVFilePlays) {
    std::string const samples = wav_fixture::counting_bytes(1000);
    testing_support::write_host_file(device.host_path("a.wav"), wav_fixture::pcm_file(1, 16, 8000, samples));
    Bookmarks list;
    list.insert(0, u"start", true);
    list.insert(500, u"middle", false);
    Router<audio::FileReaderWAVPCM> router(u"\\a.wav", list);
    ASSERT_TRUE(router.is_valid());
    EXPECT_EQ(drain(router, 32), samples.substr(0, 500));
}

TEST_F(RouterFileTest, APartialFrameAtTheRangesEndIsLeftOut) {
    std::string const samples = wav_fixture::counting_bytes(400);
    testing_support::write_host_file(device.host_path("s.wav"), wav_fixture::pcm_file(2, 16, 8000, samples));
    Bookmarks list;
    list.insert(0, u"start", true);
    list.insert(10, u"cut", false);
    Router<audio::FileReaderWAVPCM> router(u"\\s.wav", list);
    EXPECT_EQ(drain(router, 100), samples.substr(0, 8));
}

TEST_F(RouterFileTest, APlayedBookmarkInsideAFramePlaysFromThatFrame) {
    // 16-bit stereo: 4-byte frames. Bookmarks at 10 and 22 lie inside frames 2 and 5.
    std::string const samples = wav_fixture::counting_bytes(400);
    testing_support::write_host_file(device.host_path("s.wav"), wav_fixture::pcm_file(2, 16, 8000, samples));
    Bookmarks list;
    list.insert(10, u"inside", true);
    list.insert(22, u"next", true);
    list.insert(41, u"end", false);
    Router<audio::FileReaderWAVPCM> router(u"\\s.wav", list);
    EXPECT_EQ(drain(router, 100), samples.substr(8, 40 - 8));
    EXPECT_TRUE(router.is_at_end());
}

TEST_F(RouterFileTest, AnMP3RangeDeliversWholeFrames) {
    // 417-byte frames: the range 0..500 holds the start of two of them.
    testing_support::write_host_file(device.host_path("a.mp3"), audio_test::silent_frames(10));
    Bookmarks list;
    list.insert(0, u"start", true);
    list.insert(500, u"cut", false);
    Router<audio::FileReaderMP3> router(u"\\a.mp3", list);
    ASSERT_TRUE(router.is_valid());
    int frames = 0;
    std::uint32_t last_frame_start = 0;
    for (int guard = 0; guard < 100; ++guard) {
        std::uint32_t const before = router.get_position();
        audio::MP3Data const block = router.get_data(5);
        if (block.is_empty()) break;
        EXPECT_EQ(block.frame_length, 417u);
        last_frame_start = before;
        ++frames;
    }
    EXPECT_EQ(frames, 2);
    EXPECT_EQ(last_frame_start, 417u);
}

}  // namespace
