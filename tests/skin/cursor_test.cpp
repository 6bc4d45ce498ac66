// Cursor names of the skin and the cursor shown for them.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/cursors.h"
#include "skin/cursor.h"

namespace {

HCURSOR system_cursor(unsigned id) {
    return LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(static_cast<std::uintptr_t>(id)));
}

TEST(CursorTest, EachSystemCursorNameGivesItsCursorAndOtherNamesGiveNone) {
    struct Case {
        std::u16string name;
        std::optional<unsigned> id;
    };
    std::vector<Case> const cases = {
        {u"ARROW", 32512}, {u"HAND", 32649},     {u"IBEAM", 32513}, {u"SIZENESW", 32643},
        {u"SIZENS", 32645}, {u"SIZENWSE", 32642}, {u"SIZEWE", 32644}, {u"WAIT", 32514},
        {u"SIZEALL", 32646}, {u"NO", 32648},      {u"HELP", 32651},  {u"APPSTARTING", 32650},
        {u"hand", std::nullopt}, {u"Arrow", std::nullopt}, {u"", std::nullopt}, {u"HAND ", std::nullopt},
        {u"CROSS", std::nullopt},
    };
    for (auto const& c : cases) {
        std::string const name(c.name.begin(), c.name.end());
        EXPECT_EQ(skinner::cursor_id_from_name(c.name), c.id) << name;
        skinner::Cursor cursor(system_cursor(32514));
        auto const end = cursor.parse(c.name);
        EXPECT_EQ(end.has_value(), c.id.has_value()) << name;
        if (end) {
            EXPECT_TRUE(*end == std::u16string_view(c.name).end()) << name;
        }
        EXPECT_EQ(cursor.get_handle(), c.id ? system_cursor(*c.id) : nullptr) << name;
        EXPECT_EQ(skinner::cursor_from_name(c.name), cursor) << name;
    }
}

TEST(CursorTest, ShowingACursorWithoutOneShowsTheArrow) {
    HCURSOR const wait = LoadCursorW(nullptr, IDC_WAIT);
    ASSERT_NE(wait, nullptr);
    skinner::Cursor(wait).show();
    EXPECT_EQ(GetCursor(), wait);

    skinner::Cursor unknown;
    unknown.parse(u"hand");
    unknown.show();
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_ARROW));
    EXPECT_NE(GetCursor(), nullptr);
    SetCursor(nullptr);
}

}  // namespace
