#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "platform/errors.h"
#include "platform/kernel.h"
#include "platform/messages.h"
#include "platform/windows.h"
#include "tests/support/test_device.h"

namespace {

// Makes the calling thread's queue.
void make_queue() {
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);
}

std::vector<UINT> drain(HWND window = nullptr, UINT first = 0, UINT last = 0) {
    std::vector<UINT> numbers;
    MSG message;
    while (PeekMessageW(&message, window, first, last, PM_REMOVE)) numbers.push_back(message.message);
    return numbers;
}

// A window class whose procedure records what it receives and answers wParam + 1.
struct Recorder {
    static inline std::vector<UINT> received;
    static inline std::atomic<DWORD> last_thread{0};
    static LRESULT proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
        if (message >= WM_USER) {
            received.push_back(message);
            last_thread = GetCurrentThreadId();
            return static_cast<LRESULT>(wparam + 1);
        }
        return DefWindowProcW(window, message, wparam, lparam);
    }
};

HWND make_window(const char16_t* class_name = u"MessagesTestRecorder", HWND parent = nullptr, DWORD style = 0) {
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = Recorder::proc;
    window_class.lpszClassName = class_name;
    RegisterClassW(&window_class);
    return CreateWindowExW(0, class_name, u"", style, 0, 0, 0, 0, parent, nullptr, nullptr, nullptr);
}

using ThreadMessagesTest = testing_support::DeviceTest;

class MessagesTest : public testing_support::DeviceTest {
protected:
    void SetUp() override {
        drain();
        Recorder::received.clear();
    }
    void TearDown() override {
        for (HWND window : windows) DestroyWindow(window);
        drain();
    }
    HWND window(HWND parent = nullptr, DWORD style = 0) {
        windows.push_back(make_window(u"MessagesTestRecorder", parent, style));
        return windows.back();
    }
    std::vector<HWND> windows;
};

TEST_F(MessagesTest, PostedMessagesArriveInOrderAndFiltersLeaveTheRestQueued) {
    HWND const a = window();
    HWND const b = window();
    PostMessageW(a, WM_USER + 1, 0, 0);
    PostMessageW(b, WM_USER + 2, 0, 0);
    PostThreadMessageW(GetCurrentThreadId(), WM_USER + 3, 0, 0);
    PostMessageW(a, WM_USER + 4, 0, 0);
    PostMessageW(a, WM_USER + 5, 0, 0);

    EXPECT_EQ(drain(a, WM_USER + 4, WM_USER + 9), (std::vector<UINT>{WM_USER + 4, WM_USER + 5}));
    EXPECT_EQ(drain(reinterpret_cast<HWND>(-1)), (std::vector<UINT>{WM_USER + 3}));
    EXPECT_EQ(drain(), (std::vector<UINT>{WM_USER + 1, WM_USER + 2}));
}

TEST_F(MessagesTest, WindowFilterTakesChildWindowsToo) {
    HWND const parent = window();
    HWND const child = window(parent, WS_CHILD);
    HWND const other = window();
    PostMessageW(other, WM_USER + 1, 0, 0);
    PostMessageW(child, WM_USER + 2, 0, 0);
    EXPECT_EQ(drain(parent), (std::vector<UINT>{WM_USER + 2}));
    EXPECT_EQ(drain(), (std::vector<UINT>{WM_USER + 1}));
}

TEST_F(MessagesTest, PeekWithoutRemovalLeavesTheMessage) {
    PostThreadMessageW(GetCurrentThreadId(), WM_USER, 7, 8);
    MSG message{};
    ASSERT_TRUE(PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(message.wParam, 7u);
    EXPECT_EQ(message.lParam, 8);
    EXPECT_EQ(drain(), (std::vector<UINT>{WM_USER}));
    EXPECT_FALSE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(MessagesTest, GetMessageWithAWindowFilterThatIsNoWindowFails) {
    MSG message;
    EXPECT_EQ(GetMessageW(&message, reinterpret_cast<HWND>(0x1234), 0, 0), -1);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
}

TEST_F(MessagesTest, DispatchCallsTheWindowProcedure) {
    HWND const a = window();
    PostMessageW(a, WM_USER + 3, 41, 0);
    MSG message;
    ASSERT_EQ(GetMessageW(&message, nullptr, 0, 0), TRUE);
    EXPECT_EQ(DispatchMessageW(&message), 42);
    EXPECT_EQ(Recorder::received, (std::vector<UINT>{WM_USER + 3}));
}

TEST_F(ThreadMessagesTest, PostingToAThreadWithoutAQueueFails) {
    std::atomic<DWORD> id{0};
    std::atomic<bool> go_on{false};
    std::thread worker([&] {
        id = GetCurrentThreadId();
        while (!go_on) std::this_thread::yield();
    });
    while (id == 0) std::this_thread::yield();
    EXPECT_FALSE(PostThreadMessageW(id, WM_USER, 0, 0));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_THREAD_ID);
    go_on = true;
    worker.join();
}

TEST_F(ThreadMessagesTest, QuitPostedToAThreadComesAfterTheMessagesPostedBeforeIt) {
    std::atomic<DWORD> id{0};
    std::vector<UINT> seen;
    int exit_code = -1;
    std::thread worker([&] {
        make_queue();
        id = GetCurrentThreadId();
        MSG message;
        while (GetMessageW(&message, nullptr, 0, 0) > 0) seen.push_back(message.message);
        exit_code = static_cast<int>(message.wParam);
    });
    while (id == 0) std::this_thread::yield();
    for (UINT n = 1; n <= 50; ++n) ASSERT_TRUE(PostThreadMessageW(id, WM_USER + n, 0, 0));
    ASSERT_TRUE(PostThreadMessageW(id, WM_QUIT, 9, 0));
    PostThreadMessageW(id, WM_USER + 99, 0, 0);
    worker.join();
    ASSERT_EQ(seen.size(), 50u);
    for (UINT n = 1; n <= 50; ++n) EXPECT_EQ(seen[n - 1], WM_USER + n);
    EXPECT_EQ(exit_code, 9);
}

TEST_F(MessagesTest, PostQuitMessageWaitsForPostedMessagesAndPassesEveryFilter) {
    HWND const a = window();
    PostQuitMessage(4);
    PostMessageW(a, WM_USER + 1, 0, 0);
    MSG message;
    ASSERT_EQ(GetMessageW(&message, nullptr, 0, 0), TRUE);
    EXPECT_EQ(message.message, WM_USER + 1u);

    PostQuitMessage(5);
    EXPECT_EQ(GetMessageW(&message, a, WM_USER + 5, WM_USER + 5), FALSE);
    EXPECT_EQ(message.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(message.wParam, 5u);
    EXPECT_FALSE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(MessagesTest, SendOnTheOwnThreadCallsDirectly) {
    HWND const a = window();
    EXPECT_EQ(SendMessageW(a, WM_USER, 1, 0), 2);
    EXPECT_EQ(Recorder::received, (std::vector<UINT>{WM_USER}));
    EXPECT_EQ(SendMessageW(reinterpret_cast<HWND>(0x1234), WM_USER, 1, 0), 0);
}

TEST_F(MessagesTest, SendFromAnotherThreadRunsOnTheWindowsThreadInsideItsMessageRetrieval) {
    HWND const a = window();
    LRESULT answer = 0;
    std::thread sender([&] { answer = SendMessageW(a, WM_USER + 2, 10, 0); });
    while (Recorder::received.empty()) {
        MSG message;
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);  // serves the send
        std::this_thread::yield();
    }
    sender.join();
    EXPECT_EQ(answer, 11);
    EXPECT_EQ(Recorder::last_thread.load(), GetCurrentThreadId());
}

// The other thread's window answers by sending to the main thread's window, while the
// main thread still waits in its own send.
struct Forwarder {
    static inline std::atomic<HWND> target{nullptr};
    static LRESULT proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
        if (message == WM_USER + 1) return SendMessageW(target, WM_USER + 2, wparam, 0) + 100;
        return DefWindowProcW(window, message, wparam, lparam);
    }
};

TEST_F(MessagesTest, AThreadWaitingInSendServesSendsToItsOwnWindows) {
    Forwarder::target = window();
    std::atomic<HWND> theirs{nullptr};
    std::atomic<bool> finished{false};
    std::thread other([&] {
        WNDCLASSW window_class{};
        window_class.lpfnWndProc = Forwarder::proc;
        window_class.lpszClassName = u"MessagesTestForwarder";
        RegisterClassW(&window_class);
        HWND const own = CreateWindowExW(0, u"MessagesTestForwarder", u"", 0, 0, 0, 0, 0, nullptr, nullptr,
                                         nullptr, nullptr);
        theirs = own;
        MSG message;
        while (!finished) {
            PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);
            std::this_thread::yield();
        }
        DestroyWindow(own);
    });
    while (!theirs) std::this_thread::yield();
    EXPECT_EQ(SendMessageW(theirs, WM_USER + 1, 1, 0), 102);
    EXPECT_EQ(Recorder::received, (std::vector<UINT>{WM_USER + 2}));
    finished = true;
    other.join();
}

TEST_F(ThreadMessagesTest, ASendToAWindowWhoseThreadEndsReturnsZero) {
    std::atomic<HWND> window{nullptr};
    std::atomic<bool> end{false};
    std::thread owner([&] {
        window = make_window(u"MessagesTestRecorder");
        while (!end) std::this_thread::yield();
    });
    while (!window) std::this_thread::yield();
    LRESULT answer = -1;
    std::thread sender([&] { answer = SendMessageW(window, WM_USER, 1, 0); });
    Sleep(20);
    end = true;
    owner.join();
    sender.join();
    EXPECT_EQ(answer, 0);
    EXPECT_FALSE(IsWindow(window));
}

}  // namespace
