#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/errors.h"
#include "platform/handles.h"
#include "platform/kernel.h"
#include "platform/messages.h"
#include "platform/mutex.h"
#include "platform/windows.h"

namespace {

class Handle {
public:
    explicit Handle(HANDLE handle) : handle_(handle) {}
    ~Handle() { CloseHandle(handle_); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

// Another thread acts once this one is waiting (or about to: the wait must see it either way).
class Later {
public:
    template <class Action>
    explicit Later(Action action) : thread_([action] { action(); }) {}
    ~Later() { thread_.join(); }

private:
    std::thread thread_;
};

TEST(MsgWaitForMultipleObjects, IsWokenByAKernelObject) {
    Handle first(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    Handle second(CreateEventW(nullptr, FALSE, FALSE, nullptr));
    HANDLE const both[] = {first.get(), second.get()};
    Later set([&] { SetEvent(second.get()); });
    EXPECT_EQ(MsgWaitForMultipleObjects(2, both, FALSE, INFINITE, QS_ALLINPUT), WAIT_OBJECT_0 + 1);
    EXPECT_EQ(WaitForSingleObject(second.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));  // auto-reset: taken
}

TEST(MsgWaitForMultipleObjects, IsWokenByAPostedMessage) {
    Handle event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    HANDLE const handles[] = {event.get()};
    DWORD const me = GetCurrentThreadId();
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);  // the queue exists
    Later post([&] { PostThreadMessageW(me, WM_USER + 5, 7, 0); });
    EXPECT_EQ(MsgWaitForMultipleObjects(1, handles, FALSE, INFINITE, QS_POSTMESSAGE), WAIT_OBJECT_0 + 1);
    ASSERT_TRUE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, WM_USER + 5u);
    EXPECT_EQ(message.wParam, 7u);
}

LRESULT counting_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_USER + 6) return 66;
    return DefWindowProcW(window, message, wparam, lparam);
}

TEST(MsgWaitForMultipleObjects, AThreadWaitingForAMutexServesSendsToItsWindows) {
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = counting_proc;
    window_class.lpszClassName = u"MsgWaitServes";
    RegisterClassW(&window_class);
    HWND const window = CreateWindowExW(0, u"MsgWaitServes", u"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    Handle mutex(CreateMutexW(nullptr, FALSE, nullptr));
    HANDLE const handles[] = {mutex.get()};
    std::atomic<bool> holding{false};
    LRESULT answer = 0;
    std::thread holder([&] {
        WaitForSingleObject(mutex.get(), INFINITE);
        holding = true;
        // Released only once the waiting thread has answered: it must serve while it waits.
        answer = SendMessageW(window, WM_USER + 6, 0, 0);
        ReleaseMutex(mutex.get());
    });
    while (!holding) Sleep(1);
    DWORD result;
    while ((result = MsgWaitForMultipleObjects(1, handles, FALSE, INFINITE, QS_SENDMESSAGE)) == WAIT_OBJECT_0 + 1) {
        MSG message;
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);  // runs the sent message
    }
    EXPECT_EQ(result, WAIT_OBJECT_0);
    holder.join();
    EXPECT_EQ(answer, 66);
    EXPECT_TRUE(ReleaseMutex(mutex.get()));
    DestroyWindow(window);
    UnregisterClassW(u"MsgWaitServes", nullptr);
}

TEST(MsgWaitForMultipleObjects, EndsAtTheTimeOutAndRefusesWhatItCannotDo) {
    Handle event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    HANDLE const handles[] = {event.get()};
    EXPECT_EQ(MsgWaitForMultipleObjects(1, handles, FALSE, 5, QS_ALLINPUT), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 0, QS_ALLINPUT), static_cast<DWORD>(WAIT_TIMEOUT));

    SetLastError(ERROR_SUCCESS);
    EXPECT_EQ(MsgWaitForMultipleObjects(1, handles, TRUE, 0, QS_ALLINPUT), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    HANDLE const unknown[] = {reinterpret_cast<HANDLE>(0x7777770)};
    EXPECT_EQ(MsgWaitForMultipleObjects(1, unknown, FALSE, 0, QS_ALLINPUT), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

}  // namespace
