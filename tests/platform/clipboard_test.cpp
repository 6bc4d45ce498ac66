#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <future>
#include <optional>
#include <string>
#include <thread>

#include "platform/clipboard.h"
#include "platform/kernel.h"
#include "platform/errors.h"
#include "platform/testing.h"
#include "tests/support/test_device.h"

namespace {

using testing_support::DeviceTest;
using namespace std::string_literals;

// A local block holding the bytes.
HLOCAL block_of(const std::string& bytes) {
    HLOCAL const block = LocalAlloc(LMEM_MOVEABLE, bytes.size());
    if (block) bytes.copy(static_cast<char*>(block), bytes.size());
    return block;
}

std::string bytes_of(std::u16string_view text) {
    std::string bytes;
    for (char16_t const unit : text) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return bytes;
}

std::string bytes_in(HANDLE block) { return std::string(static_cast<const char*>(block), LocalSize(block)); }

// Opens the clipboard, replaces its data of the format, closes it.
bool put(UINT format, const std::string& bytes, bool empty_first = true) {
    if (!OpenClipboard(nullptr)) return false;
    bool const emptied = !empty_first || EmptyClipboard();
    HLOCAL const block = block_of(bytes);
    bool const set = SetClipboardData(format, block) != nullptr;
    if (!set) LocalFree(block);
    return CloseClipboard() && emptied && set;
}

// The clipboard's data of the format; nullopt when it holds none or cannot be opened.
std::optional<std::string> taken(UINT format) {
    if (!OpenClipboard(nullptr)) return std::nullopt;
    HANDLE const block = GetClipboardData(format);
    std::optional<std::string> bytes;
    if (block) bytes = bytes_in(block);
    CloseClipboard();
    return bytes;
}

// A child process that runs body and ends with exit code 0 when it returned true, without
// running any clean-up of this process.
pid_t start_child(const std::function<bool()>& body) {
    pid_t const pid = fork();
    if (pid == 0) _exit(body() ? 0 : 1);
    return pid;
}

bool child_succeeds(const std::function<bool()>& body) {
    pid_t const pid = start_child(body);
    int status = 0;
    return pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool open_is_refused() { return !OpenClipboard(nullptr) && GetLastError() == ERROR_ACCESS_DENIED; }

// Runs an action on a thread of its own and waits for it.
template <class Action>
auto on_other_thread(Action action) {
    return std::async(std::launch::async, action).get();
}

using Clipboard = DeviceTest;

TEST_F(Clipboard, TextKeepsEveryUtf16UnitIncludingNonLatinAndSurrogatePairs) {
    std::u16string const text = u"Grüße Привет 日本語 \U0001F3B5\0"s;
    ASSERT_TRUE(put(CF_UNICODETEXT, bytes_of(text)));
    EXPECT_EQ(taken(CF_UNICODETEXT), bytes_of(text));
}

TEST_F(Clipboard, FormatsStandSideBySideUntilEmptied) {
    ASSERT_TRUE(put(CF_TEXT, "narrow\0"s));
    ASSERT_TRUE(put(CF_DIB, "\x28\0\0\0bitmap"s, false));
    ASSERT_TRUE(put(CF_RIFF, "", false));
    EXPECT_EQ(taken(CF_TEXT), "narrow\0"s);
    EXPECT_EQ(taken(CF_DIB), "\x28\0\0\0bitmap"s);
    EXPECT_EQ(taken(CF_RIFF), "");
    EXPECT_EQ(taken(CF_UNICODETEXT), std::nullopt);

    ASSERT_TRUE(put(CF_TEXT, "again", false));
    EXPECT_EQ(taken(CF_TEXT), "again");
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_DIB));

    ASSERT_TRUE(OpenClipboard(nullptr));
    ASSERT_TRUE(EmptyClipboard());
    ASSERT_TRUE(CloseClipboard());
    for (UINT const format : {CF_TEXT, CF_DIB, CF_RIFF}) EXPECT_FALSE(IsClipboardFormatAvailable(format)) << format;
}

TEST_F(Clipboard, TheBlockSetIsTheOneReadInTheSameOpening) {
    SIZE_T const live_before = platform::live_local_blocks();
    ASSERT_TRUE(OpenClipboard(nullptr));
    HLOCAL const block = block_of("abc");
    ASSERT_EQ(SetClipboardData(CF_TEXT, block), block);
    EXPECT_EQ(GetClipboardData(CF_TEXT), block);
    // Setting the format again frees the replaced block; the new one is read.
    HLOCAL const second = block_of("xyz!");
    ASSERT_EQ(SetClipboardData(CF_TEXT, second), second);
    EXPECT_EQ(bytes_in(GetClipboardData(CF_TEXT)), "xyz!");
    EXPECT_TRUE(CloseClipboard());
    EXPECT_EQ(platform::live_local_blocks(), live_before);  // the clipboard freed what it owned
}

TEST_F(Clipboard, BlocksHandedOutLiveUntilTheClipboardIsClosedOrEmptied) {
    ASSERT_TRUE(put(CF_TEXT, "text"));
    ASSERT_TRUE(put(CF_DIB, "picture", false));
    SIZE_T const live_before = platform::live_local_blocks();
    ASSERT_TRUE(OpenClipboard(nullptr));
    HANDLE const text = GetClipboardData(CF_TEXT);
    EXPECT_EQ(GetClipboardData(CF_TEXT), text);  // asked again: the same block
    ASSERT_NE(GetClipboardData(CF_DIB), nullptr);
    EXPECT_EQ(platform::live_local_blocks(), live_before + 2);
    ASSERT_TRUE(EmptyClipboard());
    EXPECT_EQ(platform::live_local_blocks(), live_before);
    ASSERT_NE(SetClipboardData(CF_TEXT, block_of("new")), nullptr);
    ASSERT_TRUE(CloseClipboard());
    EXPECT_EQ(platform::live_local_blocks(), live_before);
}

TEST_F(Clipboard, EveryUseButOpeningNeedsTheClipboardOpenOnTheCallingThread) {
    HLOCAL const block = block_of("kept");
    auto const check_refused = [block] {
        EXPECT_EQ(GetClipboardData(CF_TEXT), nullptr);
        EXPECT_EQ(GetLastError(), ERROR_CLIPBOARD_NOT_OPEN);
        EXPECT_EQ(SetClipboardData(CF_TEXT, block), nullptr);
        EXPECT_EQ(GetLastError(), ERROR_CLIPBOARD_NOT_OPEN);
        EXPECT_FALSE(EmptyClipboard());
        EXPECT_EQ(GetLastError(), ERROR_CLIPBOARD_NOT_OPEN);
        EXPECT_FALSE(CloseClipboard());
        EXPECT_EQ(GetLastError(), ERROR_CLIPBOARD_NOT_OPEN);
        return true;
    };
    check_refused();

    ASSERT_TRUE(OpenClipboard(nullptr));
    on_other_thread(check_refused);
    EXPECT_TRUE(on_other_thread(open_is_refused));
    EXPECT_TRUE(CloseClipboard());
    EXPECT_TRUE(on_other_thread([] { return OpenClipboard(nullptr) && CloseClipboard(); }));

    EXPECT_EQ(LocalSize(block), 4u);  // every refused set left the block to its owner
    LocalFree(block);
}

TEST_F(Clipboard, OpeningAgainOnTheSameThreadSucceedsAndOneCloseEndsIt) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_TRUE(OpenClipboard(nullptr));
    EXPECT_TRUE(CloseClipboard());
    EXPECT_FALSE(CloseClipboard());
    EXPECT_EQ(GetLastError(), ERROR_CLIPBOARD_NOT_OPEN);
}

TEST_F(Clipboard, SettingRefusesBadArgumentsAndLeavesTheBlockToTheCaller) {
    ASSERT_TRUE(put(CF_TEXT, "before"));
    HLOCAL const block = block_of("new");
    int not_a_block = 0;
    struct Case {
        UINT format;
        HANDLE block;
        DWORD error;
    };
    ASSERT_TRUE(OpenClipboard(nullptr));
    for (Case const c : {Case{0, block, ERROR_INVALID_PARAMETER}, Case{CF_TEXT, nullptr, ERROR_INVALID_PARAMETER},
                         Case{CF_TEXT, &not_a_block, ERROR_INVALID_HANDLE}}) {
        EXPECT_EQ(SetClipboardData(c.format, c.block), nullptr);
        EXPECT_EQ(GetLastError(), c.error);
    }
    ASSERT_TRUE(CloseClipboard());
    EXPECT_EQ(taken(CF_TEXT), "before");
    EXPECT_EQ(LocalSize(block), 3u);
    LocalFree(block);
}

TEST_F(Clipboard, AStoreThatCannotBeWrittenFailsTheChangeAndKeepsTheData) {
    ASSERT_TRUE(put(CF_TEXT, "before"));
    std::filesystem::create_directories(device.folder() + "/run/clipboard.new");  // blocks the next write

    ASSERT_TRUE(OpenClipboard(nullptr));
    HLOCAL const block = block_of("after");
    EXPECT_EQ(SetClipboardData(CF_TEXT, block), nullptr);
    EXPECT_NE(GetLastError(), ERROR_SUCCESS);
    EXPECT_FALSE(EmptyClipboard());
    EXPECT_EQ(bytes_in(GetClipboardData(CF_TEXT)), "before");
    ASSERT_TRUE(CloseClipboard());
    EXPECT_EQ(LocalSize(block), 5u);
    LocalFree(block);
}

TEST_F(Clipboard, DamagedDataReadsAsAnEmptyClipboard) {
    std::string const valid_head = "SBXCLIP1\x01\0\0\0"s;
    for (std::string const& damaged : {"not a clipboard"s, valid_head + "\x05\0"s, valid_head + "\x09\0\0\0short"s}) {
        testing_support::write_host_file(device.folder() + "/run/clipboard.data", damaged);
        EXPECT_FALSE(IsClipboardFormatAvailable(CF_TEXT));
        EXPECT_EQ(taken(CF_TEXT), std::nullopt);
    }
    ASSERT_TRUE(put(CF_TEXT, "whole"));
    EXPECT_EQ(taken(CF_TEXT), "whole");
}

TEST_F(Clipboard, EachDeviceHasItsOwnClipboard) {
    ASSERT_TRUE(put(CF_TEXT, "first device"));
    {
        testing_support::TestDevice other;
        EXPECT_FALSE(IsClipboardFormatAvailable(CF_TEXT));
        ASSERT_TRUE(put(CF_TEXT, "second device"));
    }
    EXPECT_EQ(taken(CF_TEXT), "first device");
}

TEST_F(Clipboard, AnotherProcessOfTheDeviceReadsWhatOneProcessPut) {
    std::string const text = bytes_of(u"Ελληνικά ✓\0"s);
    ASSERT_TRUE(child_succeeds([&] { return put(CF_UNICODETEXT, text); }));
    EXPECT_EQ(taken(CF_UNICODETEXT), text);

    ASSERT_TRUE(put(CF_TEXT, "from the parent"));
    EXPECT_TRUE(child_succeeds([] { return taken(CF_TEXT) == "from the parent"; }));
}

TEST_F(Clipboard, AnotherProcessCannotOpenOrCloseTheClipboardWhileOneHasItOpen) {
    ASSERT_TRUE(put(CF_TEXT, "held"));
    ASSERT_TRUE(OpenClipboard(nullptr));
    // The child starts with a copy of this process's state: it must not take the hold as its own.
    EXPECT_TRUE(child_succeeds([] {
        bool const refused = open_is_refused();
        bool const cannot_read = GetClipboardData(CF_TEXT) == nullptr && GetLastError() == ERROR_CLIPBOARD_NOT_OPEN;
        bool const cannot_close = !CloseClipboard();
        return refused && cannot_read && cannot_close;
    }));
    EXPECT_TRUE(child_succeeds(open_is_refused));  // the first child's attempts left the hold alone
    EXPECT_EQ(bytes_in(GetClipboardData(CF_TEXT)), "held");
    ASSERT_TRUE(CloseClipboard());

    EXPECT_TRUE(child_succeeds([] { return taken(CF_TEXT) == "held"; }));
}

TEST_F(Clipboard, AProcessThatEndsWithTheClipboardOpenGivesItUp) {
    ASSERT_TRUE(child_succeeds([] { return OpenClipboard(nullptr) != FALSE; }));
    EXPECT_TRUE(OpenClipboard(nullptr));
    EXPECT_TRUE(CloseClipboard());
}

TEST_F(Clipboard, AChildOfTheHolderDoesNotKeepTheHoldAfterTheHolderEnded) {
    int gate[2];
    ASSERT_EQ(pipe(gate), 0);
    ASSERT_TRUE(child_succeeds([&] {
        if (!OpenClipboard(nullptr)) return false;
        // The grandchild lives on until the gate opens, holding copies of this process's descriptors.
        start_child([&] {
            close(gate[1]);
            char ignored;
            while (read(gate[0], &ignored, 1) > 0) {
            }
            return true;
        });
        return true;
    }));
    // The grandchild drops its copy of the hold right after its fork, which a busy machine
    // may schedule a little after the holder has ended; it must not keep it for its life.
    bool opened = false;
    for (int tries = 0; tries < 500 && !opened; ++tries) {
        opened = OpenClipboard(nullptr) != FALSE;
        if (!opened) Sleep(10);
    }
    EXPECT_TRUE(opened);
    EXPECT_TRUE(CloseClipboard());
    close(gate[1]);
    close(gate[0]);
}

}  // namespace
