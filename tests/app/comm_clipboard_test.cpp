#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/comm/comm_clipboard.h"
#include "app/comm/comm_identifiers.h"
#include "app/comm/memory_mapped_clipboard.h"
#include "platform/file_mapping.h"
#include "platform/handles.h"
#include "tests/support/channel_peer.h"
#include "tests/support/test_device.h"

namespace {

using testing_support::SharedStackView;

std::unique_ptr<CCommMemoryMappedFilesClipboard> shared_stack() {
    return std::make_unique<CCommMemoryMappedFilesClipboard>(comm_identifiers::clipboard_capacity + 4,
                                                              comm_identifiers::clipboard_name);
}

class SharedStackTest : public testing_support::DeviceTest {
protected:
    std::unique_ptr<CCommMemoryMappedFilesClipboard> stack = shared_stack();
    SharedStackView block;
};

TEST_F(SharedStackTest, KeepsWithinItsCapacityAndItsDepth) {
    struct Case {
        const char* what;
        std::uint32_t depth_before;
        bool push;  // else pop
        std::uint32_t length;
        bool succeeds;
        std::uint32_t depth_after;
    };
    Case const cases[] = {
        {"1024 bytes fit an empty stack", 0, true, 1024, true, 1024},
        {"1025 bytes do not", 0, true, 1025, false, 0},
        {"nothing more fits a full stack", 1024, true, 1, false, 1024},
        {"the rest of the data area fits", 1000, true, 24, true, 1024},
        {"one byte more does not", 1000, true, 25, false, 1000},
        {"a pop of the whole stack", 3, false, 3, true, 0},
        {"a pop larger than the depth", 3, false, 4, false, 3},
        {"a pop from an empty stack", 0, false, 1, false, 0},
    };
    std::vector<std::uint8_t> bytes(2048, 0xAB);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(stack->clear());
        ASSERT_TRUE(stack->push(bytes.data(), c.depth_before));
        bool const result = c.push ? stack->push(bytes.data(), c.length) : stack->pop(bytes.data(), c.length);
        EXPECT_EQ(result, c.succeeds);
        EXPECT_EQ(block.depth(), c.depth_after);
    }
}

TEST_F(SharedStackTest, PopsTheLastBytesPushed) {
    ASSERT_TRUE(stack->push("abc", 3));
    ASSERT_TRUE(stack->push("de", 2));
    EXPECT_EQ(block.contents(), (std::vector<std::uint8_t>{'a', 'b', 'c', 'd', 'e'}));
    char popped[4] = {};
    ASSERT_TRUE(stack->pop(popped, 3));
    EXPECT_STREQ(popped, "cde");
    EXPECT_EQ(block.depth(), 2u);
}

TEST_F(SharedStackTest, ALengthWordBeyondTheDataAreaIsNotTrusted) {
    block.set_depth(1025);
    char byte = 'x';
    EXPECT_FALSE(stack->push(&byte, 1));
    EXPECT_FALSE(stack->pop(&byte, 1));
    EXPECT_EQ(block.depth(), 1025u);
    EXPECT_TRUE(stack->clear());
    EXPECT_EQ(block.depth(), 0u);
    EXPECT_TRUE(stack->push(&byte, 1));
}

TEST_F(SharedStackTest, AnotherOpenerKeepsWhatTheBlockHolds) {
    ASSERT_TRUE(stack->push("0123456789", 10));
    auto const attached = shared_stack();
    EXPECT_EQ(block.depth(), 10u);
    char popped[11] = {};
    ASSERT_TRUE(attached->pop(popped, 10));
    EXPECT_STREQ(popped, "0123456789");
}

TEST_F(SharedStackTest, AProcessThatAttachesSeesTheDepthTheCreatorLeft) {
    ASSERT_TRUE(stack->push("0123456789", 10));
    testing_support::install_channel_peer(device, "Program Files/Peer/Peer.exe");
    testing_support::ChannelPeer peer(u"\\Program Files\\Peer\\Peer.exe", u"attach 10");
    EXPECT_EQ(peer.stop(), 0u);
    EXPECT_EQ(testing_support::channel_peer_notes(),
              std::vector<std::string>{"popped 30313233343536373839"});
    EXPECT_EQ(block.depth(), 0u);
}

TEST(CommClipboard, ABlockOfTheSameNameThatIsTooSmallGivesNoStack) {
    testing_support::TestDevice device;
    HANDLE const small = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 16,
                                            comm_identifiers::clipboard_name);
    ASSERT_NE(small, nullptr);
    {
        auto const stack = shared_stack();
        char byte = 'x';
        EXPECT_FALSE(stack->push(&byte, 1));
        EXPECT_FALSE(stack->clear());
    }
    CloseHandle(small);
}

TEST(CommClipboard, ThePlainStackRefusesEverything) {
    CCommClipboard plain;
    char byte = 0;
    EXPECT_FALSE(plain.clear());
    EXPECT_FALSE(plain.push(&byte, 1));
    EXPECT_FALSE(plain.pop(&byte, 1));
}

TEST(CommClipboard, TheProcessStackIsReplacedOnlyByAnother) {
    CCommClipboard* const first = CCommClipboard::instance();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(CCommClipboard::instance(), first);
    CCommClipboard::install(nullptr);
    EXPECT_EQ(CCommClipboard::instance(), first);
    auto* const second = new CCommClipboard;
    CCommClipboard::install(second);
    EXPECT_EQ(CCommClipboard::instance(), second);
    EXPECT_FALSE(CCommClipboard::write_object(second, nullptr));
    EXPECT_FALSE(CCommClipboard::read_object(second, nullptr));
}

}  // namespace

namespace {

TEST_F(SharedStackTest, ABlockCutShortByAnotherProcessFailsInsteadOfEndingThisOne) {
    std::uint32_t const value = 7;
    ASSERT_TRUE(stack->push(&value, sizeof value));
    std::filesystem::path const mappings = device.folder() + "/run/mappings";
    int cut = 0;
    for (auto const& entry : std::filesystem::directory_iterator(mappings)) {
        if (entry.path().extension() != ".map") continue;
        std::filesystem::resize_file(entry.path(), 0);
        ++cut;
    }
    ASSERT_GT(cut, 0);
    std::uint32_t popped = 0;
    EXPECT_FALSE(stack->pop(&popped, sizeof popped));
    EXPECT_FALSE(stack->push(&value, sizeof value));
    EXPECT_FALSE(stack->clear());
}

}  // namespace
