#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "foundation/shared_buffer.h"
#include "foundation/thread.h"

namespace {

liba::SharedBuffer buffer_of(const std::string& text) {
    return liba::SharedBuffer(static_cast<std::uint32_t>(text.size()), text.data());
}

std::string text_of(const liba::SharedBuffer& buffer) {
    return std::string(reinterpret_cast<const char*>(buffer.get_data()), buffer.get_size());
}

TEST(SharedBuffer, ConstructionMakesOwnBlocks) {
    liba::SharedBuffer const empty;
    EXPECT_EQ(empty.get_size(), 0u);
    EXPECT_EQ(empty.get_capacity(), 0u);
    EXPECT_EQ(empty.get_use_count(), 1);

    liba::SharedBuffer const sized(16);
    EXPECT_EQ(sized.get_size(), 16u);
    EXPECT_EQ(sized.get_capacity(), 16u);
    EXPECT_EQ(sized.get_offset(), 0u);

    char const source[] = "abcdef";
    liba::SharedBuffer const copied(6, source);
    EXPECT_EQ(text_of(copied), "abcdef");
    EXPECT_NE(copied.get_data(), reinterpret_cast<const std::uint8_t*>(source));
}

TEST(SharedBuffer, DefaultBufferIsEmptyAndItsCopiesShareTheOneBlock) {
    liba::SharedBuffer empty;
    liba::SharedBuffer const copy = empty;
    EXPECT_EQ(copy.get_data(), empty.get_data());
    EXPECT_EQ(empty.get_use_count(), 2);

    liba::SharedBuffer alone;
    alone.fill(0x55);
    EXPECT_EQ(alone.get_size(), 0u);
    EXPECT_EQ(alone.get_capacity(), 0u);
}

TEST(SharedBuffer, CopiesAndSlicesShareBytesWithoutCopying) {
    liba::SharedBuffer const whole = buffer_of("0123456789");
    liba::SharedBuffer const copy(whole);
    liba::SharedBuffer const slice(whole, 2, 5);
    liba::SharedBuffer const slice_of_slice(slice, 1, 3);
    liba::SharedBuffer assigned;
    assigned = slice;

    EXPECT_EQ(copy.get_data(), whole.get_data());
    EXPECT_EQ(slice.get_data(), whole.get_data() + 2);
    EXPECT_EQ(slice_of_slice.get_offset(), 3u);
    EXPECT_EQ(text_of(slice_of_slice), "345");
    EXPECT_EQ(assigned.get_data(), slice.get_data());
    EXPECT_EQ(assigned.get_size(), 5u);
    EXPECT_EQ(whole.get_use_count(), 5);
}

TEST(SharedBuffer, WriteAfterACopyLeavesTheOtherViewUnchanged) {
    liba::SharedBuffer const original = buffer_of("0123456789");
    liba::SharedBuffer writer(original, 3, 4);

    std::uint8_t* const bytes = writer.get_writable_data();
    bytes[0] = 'X';

    EXPECT_EQ(text_of(original), "0123456789");
    EXPECT_EQ(text_of(writer), "X456");
    EXPECT_EQ(writer.get_offset(), 0u);
    EXPECT_EQ(writer.get_capacity(), 4u);  // exactly the view, nothing outside it
    EXPECT_EQ(writer.get_use_count(), 1);
    EXPECT_EQ(original.get_use_count(), 1);
}

TEST(SharedBuffer, OnlyViewerWritesInPlace) {
    auto whole = std::make_unique<liba::SharedBuffer>(buffer_of("0123456789"));
    liba::SharedBuffer slice(*whole, 4, 3);
    std::uint8_t const* const block_data = whole->get_data();
    whole.reset();
    ASSERT_EQ(slice.get_use_count(), 1);

    EXPECT_EQ(slice.get_writable_data(), block_data + 4);
    slice.fill('z');
    EXPECT_EQ(text_of(slice), "zzz");
    EXPECT_EQ(slice.get_capacity(), 10u);
}

TEST(SharedBuffer, FillDetachesAndSetsEveryByteOfTheView) {
    liba::SharedBuffer const original = buffer_of("abcdef");
    liba::SharedBuffer filled(original, 1, 3);
    filled.fill('-');
    EXPECT_EQ(text_of(filled), "---");
    EXPECT_EQ(text_of(original), "abcdef");
}

TEST(SharedBuffer, CopyFromCopiesWhatFitsAfterThePosition) {
    struct Case { std::uint32_t position; std::string source; std::uint32_t copied; std::string after; };
    for (auto const& c : {Case{0, "xyz", 3, "xyzdefgh"}, Case{6, "xyz", 2, "abcdefxy"},
                          Case{5, "xyz", 3, "abcdexyz"}, Case{0, "0123456789", 8, "01234567"},
                          Case{8, "xyz", 0, "abcdefgh"}, Case{9, "xyz", 0, "abcdefgh"},
                          Case{100, "xyz", 0, "abcdefgh"}, Case{3, "", 0, "abcdefgh"}}) {
        liba::SharedBuffer const original = buffer_of("abcdefgh");
        liba::SharedBuffer target = original;
        EXPECT_EQ(target.copy_from(c.position, buffer_of(c.source)), c.copied) << c.position << " " << c.source;
        EXPECT_EQ(text_of(target), c.after) << c.position << " " << c.source;
        EXPECT_EQ(text_of(original), "abcdefgh");
    }
}

TEST(SharedBuffer, CopyFromAnOverlappingViewOfTheSameBytes) {
    liba::SharedBuffer self_copy = buffer_of("abcdefgh");
    EXPECT_EQ(self_copy.copy_from(2, self_copy), 6u);
    EXPECT_EQ(text_of(self_copy), "ababcdef");

    liba::SharedBuffer whole = buffer_of("abcdefgh");
    liba::SharedBuffer const tail(whole, 2, 6);
    EXPECT_EQ(whole.copy_from(0, tail), 6u);
    EXPECT_EQ(text_of(whole), "cdefghgh");
    EXPECT_EQ(text_of(tail), "cdefgh");
}

TEST(SharedBuffer, SelfAssignmentKeepsTheCountAndTheBytes) {
    liba::SharedBuffer buffer = buffer_of("abc");
    liba::SharedBuffer const other = buffer;
    auto& same = buffer;
    buffer = same;
    EXPECT_EQ(buffer.get_use_count(), 2);
    EXPECT_EQ(text_of(buffer), "abc");

    liba::SharedBuffer alone = buffer_of("xyz");
    auto& alone_again = alone;
    alone = alone_again;
    EXPECT_EQ(alone.get_use_count(), 1);
    EXPECT_EQ(text_of(alone), "xyz");
}

TEST(SharedBuffer, AssignmentReleasesTheOldBlock) {
    liba::SharedBuffer const first = buffer_of("first");
    liba::SharedBuffer const second = buffer_of("second");
    liba::SharedBuffer handle = first;
    EXPECT_EQ(first.get_use_count(), 2);
    handle = second;
    EXPECT_EQ(first.get_use_count(), 1);
    EXPECT_EQ(second.get_use_count(), 2);
    EXPECT_EQ(text_of(handle), "second");
}

// Copies and slices made and dropped on several threads while one writer detaches.
class Sharer : public liba::Thread {
public:
    Sharer(const liba::SharedBuffer& source, bool writes) : source_(source), writes_(writes) {}
    ~Sharer() override { join(); }
    bool saw_changed_bytes() const { return saw_changed_bytes_; }

protected:
    void run() override {
        for (int i = 0; i < 5000; ++i) {
            liba::SharedBuffer copy = source_;
            liba::SharedBuffer const slice(copy, 1, 4);
            if (writes_) {
                copy.get_writable_data()[0] = static_cast<std::uint8_t>('A' + i % 26);
                copy.fill('#');
            }
            if (std::memcmp(slice.get_data(), "bcde", 4) != 0) saw_changed_bytes_ = true;
            liba::SharedBuffer kept;
            kept = slice;
        }
    }

private:
    const liba::SharedBuffer& source_;
    bool writes_;
    std::atomic<bool> saw_changed_bytes_{false};
};

TEST(SharedBuffer, SharingAcrossThreadsWhileOneWriterDetaches) {
    liba::SharedBuffer const source = buffer_of("abcdefgh");
    std::vector<std::unique_ptr<Sharer>> sharers;
    for (int t = 0; t < 5; ++t) {
        sharers.push_back(std::make_unique<Sharer>(source, t == 0));
        ASSERT_TRUE(sharers.back()->start());
    }
    for (auto& sharer : sharers) {
        sharer->join();
        EXPECT_FALSE(sharer->saw_changed_bytes());
    }
    EXPECT_EQ(source.get_use_count(), 1);
    EXPECT_EQ(text_of(source), "abcdefgh");
}

}  // namespace
