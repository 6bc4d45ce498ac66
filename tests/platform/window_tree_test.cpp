// Windows as a tree: siblings in z-order, enumeration, reordering and reparenting.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "platform/errors.h"
#include "platform/windows.h"
#include "tests/support/test_device.h"

namespace {

std::vector<std::pair<HWND, UINT>> calls;

LRESULT recording_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_MOVE || message == WM_SIZE) calls.emplace_back(window, message);
    return DefWindowProcW(window, message, wparam, lparam);
}

BOOL collect(HWND window, LPARAM parameter) {
    reinterpret_cast<std::vector<HWND>*>(parameter)->push_back(window);
    return TRUE;
}

class WindowTreeTest : public testing_support::DeviceTest {
protected:
    void SetUp() override {
        WNDCLASSW window_class{};
        window_class.lpfnWndProc = recording_proc;
        window_class.lpszClassName = u"WindowTreeTest";
        RegisterClassW(&window_class);
        calls.clear();
    }
    void TearDown() override {
        for (auto it = made.rbegin(); it != made.rend(); ++it) {
            if (IsWindow(*it)) DestroyWindow(*it);
        }
    }
    HWND make(DWORD style = 0, HWND parent = nullptr, RECT rect = {0, 0, 10, 10}) {
        HWND const window = CreateWindowExW(0, u"WindowTreeTest", u"", style, rect.left, rect.top,
                                            rect.right - rect.left, rect.bottom - rect.top, parent, nullptr,
                                            nullptr, nullptr);
        made.push_back(window);
        return window;
    }
    // The children from the top by GW_CHILD and GW_HWNDNEXT; the same from the bottom by
    // GW_HWNDLAST and GW_HWNDPREV must be its reverse.
    static std::vector<HWND> children_by_relations(HWND parent) {
        std::vector<HWND> down;
        for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            down.push_back(child);
        }
        std::vector<HWND> up;
        if (!down.empty()) {
            for (HWND child = GetWindow(down.front(), GW_HWNDLAST); child; child = GetWindow(child, GW_HWNDPREV)) {
                up.insert(up.begin(), child);
            }
        }
        EXPECT_EQ(up, down);
        return down;
    }
    static std::vector<HWND> enumerated_below(HWND parent) {
        std::vector<HWND> seen;
        EnumChildWindows(parent, collect, reinterpret_cast<LPARAM>(&seen));
        return seen;
    }
    // This process's top-level windows among `windows`, in the order EnumWindows gives them.
    static std::vector<HWND> enumerated_among(const std::vector<HWND>& windows) {
        std::vector<HWND> all, result;
        EnumWindows(collect, reinterpret_cast<LPARAM>(&all));
        for (HWND window : all) {
            if (std::find(windows.begin(), windows.end(), window) != windows.end()) result.push_back(window);
        }
        return result;
    }
    std::vector<HWND> made;
};

TEST_F(WindowTreeTest, ChildrenComeInTheOrderTheyWereMadeAndSetWindowPosReordersThem) {
    // Names: a, b, c made in that order below one parent; the step is applied to a fresh set.
    struct Case {
        const char* what;
        char window;
        char after;  // 'T' HWND_TOP, 'B' HWND_BOTTOM, else a sibling's name
        UINT flags;
        std::string expected;
    };
    Case const cases[] = {
        {"to the top", 'c', 'T', 0, "cab"},
        {"to the bottom", 'a', 'B', 0, "bca"},
        {"below a sibling", 'a', 'c', 0, "bca"},
        {"below the sibling above it", 'c', 'a', 0, "acb"},
        {"below itself", 'b', 'b', 0, "abc"},
        {"order kept with SWP_NOZORDER", 'a', 'B', SWP_NOZORDER, "abc"},
    };
    for (auto const& step : cases) {
        HWND const parent = make();
        std::map<char, HWND> named{{'a', make(WS_CHILD, parent)}, {'b', make(WS_CHILD, parent)},
                                   {'c', make(WS_CHILD, parent)}};
        auto const name_of = [&](HWND window) {
            for (auto const& [name, handle] : named) {
                if (handle == window) return name;
            }
            return '?';
        };
        HWND const after = step.after == 'T' ? HWND_TOP : step.after == 'B' ? HWND_BOTTOM : named.at(step.after);
        ASSERT_TRUE(SetWindowPos(named.at(step.window), after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | step.flags));
        std::string order;
        for (HWND child : children_by_relations(parent)) order += name_of(child);
        EXPECT_EQ(order, step.expected) << step.what;
        EXPECT_EQ(enumerated_below(parent), children_by_relations(parent)) << step.what;
    }
}

TEST_F(WindowTreeTest, EnumChildWindowsGoesDepthFirstInZOrderAndStopsWhenAsked) {
    HWND const parent = make();
    HWND const a = make(WS_CHILD, parent);
    HWND const a1 = make(WS_CHILD, a);
    HWND const a2 = make(WS_CHILD, a);
    HWND const b = make(WS_CHILD, parent);
    BringWindowToTop(a2);
    EXPECT_EQ(enumerated_below(parent), (std::vector<HWND>{a, a2, a1, b}));

    std::vector<HWND> seen;
    EnumChildWindows(
        parent,
        [](HWND window, LPARAM parameter) -> BOOL {
            auto* const into = reinterpret_cast<std::vector<HWND>*>(parameter);
            into->push_back(window);
            return into->size() < 2;
        },
        reinterpret_cast<LPARAM>(&seen));
    EXPECT_EQ(seen, (std::vector<HWND>{a, a2}));
    EXPECT_TRUE(IsChild(parent, a1));
    EXPECT_FALSE(IsChild(a, b));
    EXPECT_FALSE(IsChild(parent, parent));
}

TEST_F(WindowTreeTest, TopLevelWindowsComeOnTopWhenShownButNotWithoutActivation) {
    HWND const first = make();
    HWND const second = make();
    HWND const third = make();
    EXPECT_EQ(enumerated_among({first, second, third}), (std::vector<HWND>{first, second, third}));
    ShowWindow(third, SW_SHOW);
    EXPECT_EQ(enumerated_among({first, second, third}), (std::vector<HWND>{third, first, second}));
    ShowWindow(second, SW_SHOWNA);
    EXPECT_EQ(enumerated_among({first, second, third}), (std::vector<HWND>{third, first, second}));
    EXPECT_EQ(GetWindow(third, GW_HWNDNEXT), first);
    HWND const owned = make(WS_POPUP, first);
    EXPECT_EQ(GetWindow(owned, GW_OWNER), first);
    EXPECT_EQ(GetWindow(first, GW_OWNER), nullptr);
}

TEST_F(WindowTreeTest, DestroyingOrReparentingAChildTakesItOutOfItsParentsOrder) {
    HWND const parent = make();
    HWND const other = make();
    HWND const a = make(WS_CHILD, parent);
    HWND const b = make(WS_CHILD, parent);
    HWND const c = make(WS_CHILD, parent);
    ASSERT_TRUE(DestroyWindow(b));
    EXPECT_EQ(children_by_relations(parent), (std::vector<HWND>{a, c}));

    EXPECT_EQ(SetParent(c, other), parent);
    EXPECT_EQ(children_by_relations(parent), (std::vector<HWND>{a}));
    EXPECT_EQ(children_by_relations(other), (std::vector<HWND>{c}));

    EXPECT_EQ(SetParent(a, nullptr), parent);  // a top-level window now
    EXPECT_EQ(children_by_relations(parent), std::vector<HWND>{});
    EXPECT_EQ(enumerated_among({a, parent}).size(), 2u);
    EXPECT_EQ(GetWindowLongW(a, GWL_STYLE) & WS_CHILD, 0);
}

TEST_F(WindowTreeTest, AWindowCannotBecomeTheChildOfItsOwnChild) {
    HWND const parent = make();
    HWND const child = make(WS_CHILD, parent);
    HWND const grandchild = make(WS_CHILD, child);
    EXPECT_EQ(SetParent(parent, grandchild), nullptr);
    EXPECT_EQ(SetParent(child, child), nullptr);
    EXPECT_EQ(GetParent(child), parent);
    EXPECT_EQ(children_by_relations(parent), (std::vector<HWND>{child}));
}

TEST_F(WindowTreeTest, SetWindowPosMovesAndSizesAsAskedAndTellsTheWindowInsideTheCall) {
    HWND const parent = make(0, nullptr, RECT{100, 200, 300, 400});
    HWND const child = make(WS_CHILD, parent, RECT{10, 20, 40, 60});
    HWND const grandchild = make(WS_CHILD, child, RECT{1, 2, 5, 7});
    RECT rect;
    ASSERT_TRUE(GetWindowRect(grandchild, &rect));
    EXPECT_EQ(rect.left, 111);
    EXPECT_EQ(rect.top, 222);
    EXPECT_EQ(rect.right, 115);

    calls.clear();
    ASSERT_TRUE(SetWindowPos(child, nullptr, 0, 0, 50, 70, SWP_NOMOVE | SWP_NOZORDER));
    EXPECT_EQ(calls, (std::vector<std::pair<HWND, UINT>>{{child, WM_SIZE}}));
    GetWindowRect(child, &rect);
    EXPECT_EQ((std::vector<LONG>{rect.left, rect.top, rect.right, rect.bottom}),
              (std::vector<LONG>{110, 220, 160, 290}));

    calls.clear();
    ASSERT_TRUE(SetWindowPos(child, nullptr, 5, 6, 0, 0, SWP_NOSIZE | SWP_NOZORDER));
    EXPECT_EQ(calls, (std::vector<std::pair<HWND, UINT>>{{child, WM_MOVE}}));
    GetClientRect(child, &rect);
    EXPECT_EQ(rect.right, 50);
    EXPECT_EQ(rect.bottom, 70);

    EXPECT_FALSE(SetWindowPos(reinterpret_cast<HWND>(0x1234), nullptr, 0, 0, 0, 0, 0));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
    EXPECT_EQ(GetWindow(reinterpret_cast<HWND>(0x1234), GW_CHILD), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
}

}  // namespace
