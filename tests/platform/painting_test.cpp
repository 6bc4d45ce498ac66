// Update regions and WM_PAINT, made when the thread looks for messages.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "platform/errors.h"
#include "platform/gdi.h"
#include "platform/handles.h"
#include "platform/kernel.h"
#include "platform/messages.h"
#include "platform/testing.h"
#include "platform/timers.h"
#include "platform/windows.h"
#include "tests/support/test_device.h"

namespace {

struct Call {
    HWND window;
    UINT message;
    WPARAM wparam;
};
std::vector<Call> calls;
LRESULT erase_answer = 0;

LRESULT painting_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_PAINT || message == WM_ERASEBKGND) calls.push_back(Call{window, message, wparam});
    if (message == WM_ERASEBKGND) return erase_answer;
    return DefWindowProcW(window, message, wparam, lparam);
}

std::vector<UINT> taken_messages() {
    std::vector<UINT> result;
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        result.push_back(message.message);
        if (message.message == WM_PAINT) ValidateRect(message.hwnd, nullptr);
        if (message.message == WM_TIMER) KillTimer(message.hwnd, message.wParam);
    }
    return result;
}

class PaintingTest : public testing_support::DeviceTest {
protected:
    void SetUp() override {
        WNDCLASSW window_class{};
        window_class.lpfnWndProc = painting_proc;
        window_class.lpszClassName = u"PaintingTest";
        RegisterClassW(&window_class);
        calls.clear();
        erase_answer = 0;
    }
    void TearDown() override {
        for (auto it = made.rbegin(); it != made.rend(); ++it) {
            if (IsWindow(*it)) DestroyWindow(*it);
        }
    }
    // A window with nothing left to paint.
    HWND make(DWORD style = WS_VISIBLE, HWND parent = nullptr) {
        HWND const window =
            CreateWindowExW(0, u"PaintingTest", u"", style, 0, 0, 100, 80, parent, nullptr, nullptr, nullptr);
        made.push_back(window);
        ValidateRect(window, nullptr);
        return window;
    }
    std::vector<HWND> made;
};

TEST_F(PaintingTest, AShownWindowNeedsPaintingAndValidatingEndsIt) {
    HWND const window =
        CreateWindowExW(0, u"PaintingTest", u"", WS_VISIBLE, 0, 0, 100, 80, nullptr, nullptr, nullptr, nullptr);
    made.push_back(window);
    RECT bounds;
    EXPECT_TRUE(GetUpdateRect(window, &bounds, FALSE));
    EXPECT_EQ(bounds.right, 100);
    EXPECT_EQ(bounds.bottom, 80);
    EXPECT_EQ(taken_messages(), std::vector<UINT>{WM_PAINT});
    EXPECT_FALSE(GetUpdateRect(window, &bounds, FALSE));
    EXPECT_EQ(taken_messages(), std::vector<UINT>{});
}

TEST_F(PaintingTest, ManyInvalidationsMakeOnePaintOfTheirUnion) {
    HWND const window = make();
    RECT const first{10, 10, 20, 20};
    RECT const second{30, 5, 40, 15};
    InvalidateRect(window, &first, FALSE);
    InvalidateRect(window, &second, FALSE);
    InvalidateRect(window, &first, FALSE);
    MSG message;
    ASSERT_TRUE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, WM_PAINT);
    EXPECT_EQ(message.hwnd, window);
    DispatchMessageW(&message);  // DefWindowProcW paints (validates)
    EXPECT_FALSE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) << "a second WM_PAINT";

    InvalidateRect(window, &first, FALSE);
    PAINTSTRUCT paint;
    ASSERT_TRUE(PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE));
    InvalidateRect(window, &second, FALSE);
    ASSERT_TRUE(BeginPaint(window, &paint));
    EXPECT_EQ((std::vector<LONG>{paint.rcPaint.left, paint.rcPaint.top, paint.rcPaint.right, paint.rcPaint.bottom}),
              (std::vector<LONG>{10, 5, 40, 20}));
    EndPaint(window, &paint);
    EXPECT_FALSE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(PaintingTest, PaintComesAfterPostedInputAndQuitButBeforeDueTimers) {
    HWND const window = make();
    SetTimer(window, 1, 0, nullptr);
    InvalidateRect(window, nullptr, FALSE);
    PostQuitMessage(0);
    platform::post_input_message(MSG{window, WM_KEYDOWN, VK_SHIFT, 0, 0, {}});
    PostMessageW(window, WM_USER, 0, 0);
    Sleep(1);  // the timer is due
    EXPECT_EQ(taken_messages(), (std::vector<UINT>{WM_USER, WM_KEYDOWN, WM_QUIT, WM_PAINT, WM_TIMER}));
}

TEST_F(PaintingTest, HiddenWindowsAndWindowsOfHiddenParentsGetNoPaint) {
    HWND const hidden = make(0);
    InvalidateRect(hidden, nullptr, FALSE);
    EXPECT_EQ(taken_messages(), std::vector<UINT>{});
    ShowWindow(hidden, SW_SHOW);
    EXPECT_EQ(taken_messages(), std::vector<UINT>{WM_PAINT});

    HWND const parent = make(0);
    HWND const child = make(WS_CHILD | WS_VISIBLE, parent);
    InvalidateRect(child, nullptr, FALSE);
    EXPECT_EQ(taken_messages(), std::vector<UINT>{});
    ShowWindow(parent, SW_SHOW);
    MSG message;
    std::vector<HWND> painted;
    while (PeekMessageW(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) {
        painted.push_back(message.hwnd);
        ValidateRect(message.hwnd, nullptr);
    }
    EXPECT_EQ(painted, (std::vector<HWND>{parent, child}));
}

TEST_F(PaintingTest, FiltersDecideWhosePaintIsTaken) {
    HWND const first = make();
    HWND const second = make();
    HWND const child = make(WS_CHILD | WS_VISIBLE, second);
    InvalidateRect(first, nullptr, FALSE);
    MSG message;
    EXPECT_FALSE(PeekMessageW(&message, second, 0, 0, PM_NOREMOVE));
    EXPECT_FALSE(PeekMessageW(&message, nullptr, WM_USER, WM_USER + 10, PM_NOREMOVE));
    EXPECT_FALSE(PeekMessageW(&message, reinterpret_cast<HWND>(-1), 0, 0, PM_NOREMOVE));
    InvalidateRect(child, nullptr, FALSE);
    ASSERT_TRUE(PeekMessageW(&message, second, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(message.hwnd, child);
}

TEST_F(PaintingTest, BeginPaintErasesWhenAskedAndClipsToWhatNeedsPainting) {
    HWND const window = make();
    RECT const part{5, 6, 25, 16};
    InvalidateRect(window, &part, TRUE);
    PAINTSTRUCT paint;
    HDC const dc = BeginPaint(window, &paint);
    ASSERT_TRUE(dc);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].message, WM_ERASEBKGND);
    EXPECT_EQ(calls[0].wparam, reinterpret_cast<WPARAM>(dc));
    EXPECT_TRUE(paint.fErase);  // the procedure did not erase
    RECT box;
    ASSERT_NE(GetClipBox(dc, &box), ERROR);
    EXPECT_EQ((std::vector<LONG>{box.left, box.top, box.right, box.bottom}), (std::vector<LONG>{5, 6, 25, 16}));
    EndPaint(window, &paint);

    calls.clear();
    erase_answer = 1;
    InvalidateRect(window, &part, TRUE);
    BeginPaint(window, &paint);
    EXPECT_FALSE(paint.fErase);
    EndPaint(window, &paint);
    calls.clear();
    InvalidateRect(window, &part, FALSE);
    BeginPaint(window, &paint);
    EndPaint(window, &paint);
    EXPECT_TRUE(calls.empty());
}

TEST_F(PaintingTest, UpdateWindowPaintsAtOnceOnlyWhenSomethingNeedsIt) {
    HWND const window = make();
    ASSERT_TRUE(UpdateWindow(window));
    EXPECT_TRUE(calls.empty());
    InvalidateRect(window, nullptr, FALSE);
    ASSERT_TRUE(UpdateWindow(window));
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].message, WM_PAINT);
    EXPECT_EQ(taken_messages(), std::vector<UINT>{});
}

TEST_F(PaintingTest, ASizeChangeInvalidatesAndAMoveDoesNot) {
    HWND const window = make();
    MoveWindow(window, 10, 10, 100, 80, TRUE);
    EXPECT_EQ(taken_messages(), std::vector<UINT>{});
    MoveWindow(window, 10, 10, 120, 80, TRUE);
    EXPECT_EQ(taken_messages(), std::vector<UINT>{WM_PAINT});
    MoveWindow(window, 10, 10, 140, 80, FALSE);
    EXPECT_EQ(taken_messages(), std::vector<UINT>{});
}

TEST_F(PaintingTest, CallsOnNoWindowFail) {
    HWND const none = reinterpret_cast<HWND>(0x4321);
    PAINTSTRUCT paint;
    RECT rect;
    EXPECT_FALSE(InvalidateRect(none, nullptr, FALSE));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
    EXPECT_FALSE(ValidateRect(none, nullptr));
    EXPECT_FALSE(GetUpdateRect(none, &rect, FALSE));
    EXPECT_FALSE(UpdateWindow(none));
    EXPECT_EQ(BeginPaint(none, &paint), nullptr);
    EXPECT_EQ(BeginPaint(make(), nullptr), nullptr);
}

TEST_F(PaintingTest, AnInvalidationFromAnotherThreadWakesAWaitForPaint) {
    HWND const window = make();
    std::thread later([&] {
        Sleep(5);
        InvalidateRect(window, nullptr, FALSE);
    });
    EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, INFINITE, QS_PAINT), WAIT_OBJECT_0);
    later.join();
    MSG message;
    ASSERT_TRUE(GetMessageW(&message, nullptr, 0, 0));
    EXPECT_EQ(message.message, WM_PAINT);
}

}  // namespace
