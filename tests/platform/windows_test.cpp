#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "platform/cursors.h"
#include "platform/dialogs.h"
#include "platform/errors.h"
#include "platform/kernel.h"
#include "platform/windows.h"
#include "tests/support/test_device.h"

namespace {

std::vector<std::pair<HWND, UINT>> calls;

LRESULT logging_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    calls.emplace_back(window, message);
    if (message == WM_CREATE) {
        auto const* create = reinterpret_cast<const CREATESTRUCTW*>(lparam);
        if (create->lpCreateParams) return -1;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

LRESULT subclass_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_USER) return 1000 + CallWindowProcW(logging_proc, window, message, wparam, lparam);
    return CallWindowProcW(logging_proc, window, message, wparam, lparam);
}

class WindowsTest : public testing_support::DeviceTest {
protected:
    void SetUp() override {
        WNDCLASSW window_class{};
        window_class.lpfnWndProc = logging_proc;
        window_class.cbWndExtra = 8;
        window_class.lpszClassName = u"WindowsTestClass";
        RegisterClassW(&window_class);
        calls.clear();
    }
    void TearDown() override {
        for (HWND window : created) DestroyWindow(window);
    }
    HWND make(DWORD style = 0, HWND parent = nullptr, const char16_t* title = u"title") {
        HWND const window = CreateWindowExW(0, u"WindowsTestClass", title, style, 1, 2, 30, 40, parent, nullptr,
                                            nullptr, nullptr);
        created.push_back(window);
        return window;
    }
    std::vector<UINT> messages_of(HWND window) const {
        std::vector<UINT> result;
        for (auto const& [w, m] : calls) {
            if (w == window) result.push_back(m);
        }
        return result;
    }
    std::vector<HWND> created;
};

TEST_F(WindowsTest, ASecondRegistrationFailsAndKeepsTheFirst) {
    WNDCLASSW again{};
    again.lpfnWndProc = DefWindowProcW;
    again.lpszClassName = u"windowstestclass";
    EXPECT_EQ(RegisterClassW(&again), 0);
    EXPECT_EQ(GetLastError(), ERROR_CLASS_ALREADY_EXISTS);
    HWND const window = make();
    EXPECT_EQ(GetWindowLongW(window, GWL_WNDPROC), reinterpret_cast<LONG_PTR>(logging_proc));
}

TEST_F(WindowsTest, CreationSendsItsMessagesAndAVisibleStyleShowsTheWindow) {
    HWND const window = make(WS_VISIBLE);
    ASSERT_TRUE(window);
    EXPECT_EQ(messages_of(window), (std::vector<UINT>{WM_NCCREATE, WM_CREATE, WM_SIZE, WM_MOVE, WM_SHOWWINDOW}));
    EXPECT_TRUE(IsWindowVisible(window));
    RECT rect;
    GetWindowRect(window, &rect);
    EXPECT_EQ(rect.right - rect.left, 30);
}

TEST_F(WindowsTest, CreationFailsForAnUnknownClassAndWhenCreateRefuses) {
    EXPECT_FALSE(CreateWindowExW(0, u"NoSuchClass", u"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_CANNOT_FIND_WND_CLASS);
    int refuse = 1;
    EXPECT_FALSE(
        CreateWindowExW(0, u"WindowsTestClass", u"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, &refuse));
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back().second, static_cast<UINT>(WM_NCDESTROY));
    EXPECT_FALSE(IsWindow(calls.back().first));
}

TEST_F(WindowsTest, DestroyingSendsDestroyToTheWindowThenItsChildrenAndDropsItsMessages) {
    HWND const parent = make();
    HWND const child = make(WS_CHILD, parent);
    PostMessageW(parent, WM_USER, 0, 0);
    calls.clear();
    ASSERT_TRUE(DestroyWindow(parent));
    EXPECT_EQ(calls, (std::vector<std::pair<HWND, UINT>>{
                         {parent, WM_DESTROY}, {child, WM_DESTROY}, {child, WM_NCDESTROY}, {parent, WM_NCDESTROY}}));
    EXPECT_FALSE(IsWindow(parent));
    EXPECT_FALSE(IsWindow(child));
    MSG message;
    EXPECT_FALSE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(WindowsTest, OnlyTheOwningThreadDestroysAWindow) {
    HWND const window = make();
    BOOL result = TRUE;
    DWORD error = 0;
    std::thread([&] {
        result = DestroyWindow(window);
        error = GetLastError();
    }).join();
    EXPECT_FALSE(result);
    EXPECT_EQ(error, ERROR_ACCESS_DENIED);
    EXPECT_TRUE(IsWindow(window));
}

TEST_F(WindowsTest, ReplacingTheProcedureSubclassesTheWindow) {
    HWND const window = make();
    LONG_PTR const previous = SetWindowLongW(window, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(subclass_proc));
    EXPECT_EQ(previous, reinterpret_cast<LONG_PTR>(logging_proc));
    EXPECT_EQ(SendMessageW(window, WM_USER, 0, 0), 1000);
}

TEST_F(WindowsTest, WindowWordsKeepStyleUserDataAndExtraBytes) {
    HWND const window = make(WS_POPUP | WS_DISABLED);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)), WS_POPUP | WS_DISABLED);
    SetWindowLongW(window, GWL_USERDATA, 77);
    EXPECT_EQ(GetWindowLongW(window, GWL_USERDATA), 77);
    SetWindowLongW(window, 4, 5);
    EXPECT_EQ(GetWindowLongW(window, 4), 5);
    EXPECT_EQ(GetWindowLongW(window, 0), 0);
    SetLastError(0);
    EXPECT_EQ(GetWindowLongW(window, 8), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_INDEX);
}

TEST_F(WindowsTest, TextClassNameAndParent) {
    HWND const owner = make();
    HWND const popup = make(WS_POPUP, owner);
    EXPECT_EQ(GetParent(popup), owner);
    EXPECT_EQ(GetParent(owner), nullptr);

    WCHAR buffer[8];
    EXPECT_EQ(GetClassNameW(popup, buffer, 8), 7);
    EXPECT_EQ(std::u16string(buffer), u"Windows");

    EXPECT_EQ(GetWindowTextLengthW(popup), 5);
    ASSERT_TRUE(SetWindowTextW(popup, u"new text"));
    EXPECT_EQ(GetWindowTextW(popup, buffer, 8), 7);
    EXPECT_EQ(std::u16string(buffer), u"new tex");
}

TEST_F(WindowsTest, ShowAndEnableReportThePreviousStateAndSendOnChange) {
    HWND const parent = make();
    HWND const child = make(WS_CHILD | WS_VISIBLE, parent);
    EXPECT_FALSE(IsWindowVisible(child));  // its parent is hidden
    calls.clear();
    EXPECT_FALSE(ShowWindow(parent, SW_SHOW));
    EXPECT_TRUE(ShowWindow(parent, SW_SHOW));
    EXPECT_TRUE(IsWindowVisible(child));
    EXPECT_EQ(messages_of(parent), (std::vector<UINT>{WM_SHOWWINDOW}));

    EXPECT_TRUE(IsWindowEnabled(parent));
    EXPECT_FALSE(EnableWindow(parent, FALSE));
    EXPECT_FALSE(IsWindowEnabled(parent));
    EXPECT_TRUE(EnableWindow(parent, TRUE));
    EXPECT_EQ(messages_of(parent), (std::vector<UINT>{WM_SHOWWINDOW, WM_ENABLE, WM_ENABLE}));
}

TEST_F(WindowsTest, EnumWindowsListsTopLevelWindowsOnly) {
    HWND const top = make();
    HWND const child = make(WS_CHILD, top);
    HWND const popup = make(WS_POPUP, top);
    std::vector<HWND> seen;
    EnumWindows(
        [](HWND window, LPARAM parameter) -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(parameter)->push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&seen));
    EXPECT_NE(std::find(seen.begin(), seen.end(), top), seen.end());
    EXPECT_NE(std::find(seen.begin(), seen.end(), popup), seen.end());
    EXPECT_EQ(std::find(seen.begin(), seen.end(), child), seen.end());
    EXPECT_EQ(FindWindowW(u"windowstestclass", u"title"), top);
}

TEST_F(WindowsTest, TheForegroundWindowIsForgottenWithTheWindow) {
    HWND const window = make();
    ASSERT_TRUE(SetForegroundWindow(window));
    EXPECT_EQ(GetForegroundWindow(), window);
    DestroyWindow(window);
    EXPECT_EQ(GetForegroundWindow(), nullptr);
}

TEST(CursorTest, TheCurrentCursorIsKept) {
    HCURSOR const wait = LoadCursorW(nullptr, IDC_WAIT);
    ASSERT_TRUE(wait);
    EXPECT_NE(wait, LoadCursorW(nullptr, IDC_ARROW));
    SetCursor(nullptr);
    EXPECT_EQ(SetCursor(wait), nullptr);
    EXPECT_EQ(GetCursor(), wait);
    EXPECT_EQ(SetCursor(nullptr), wait);
}

}  // namespace
