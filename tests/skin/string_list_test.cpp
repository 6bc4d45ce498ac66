// The string list: rows added, inserted and removed keep the row count and the selected row
// in step; a tap selects the row under it; the indent comes from the skin.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "foundation/application.h"
#include "skin/string_list.h"
#include "tests/skin/grid_fixture.h"

namespace grid_test {
namespace {

using form_test::control_xml;
using form_test::form_xml;
using skinner::Point;

// The list lies at (10, 20), 100 x 100, rows 10 high.
constexpr Point origin{10, 20};

class StringListTest : public form_test::FormTest {
protected:
    skinner::ControlListString& make(const std::string& extra_records = "") {
        list.reset();
        form.reset();
        use_skin(form_xml("Lists", 240, 320,
                          control_xml("list", origin.x, origin.y, 100, 100, grid_records(10) + extra_records)) +
                 scroll_kinds());
        form = std::make_unique<GridForm>(properties.get(), u"Lists", log);
        list = std::make_unique<skinner::ControlListString>(form.get(), u"list");
        log.clear();
        return *list;
    }

    void tap(Point local) {
        Point const at{origin.x + local.x, origin.y + local.y};
        form->on_button_down(0, at, 0);
        form->on_button_up(0, at, 0);
    }

    void TearDown() override {
        list.reset();
        form.reset();
    }

    os::Application application{nullptr, u"StringListTest"};
    std::unique_ptr<GridForm> form;
    std::unique_ptr<skinner::ControlListString> list;
};

using Rows = std::vector<std::u16string>;

TEST_F(StringListTest, RowsAddedInsertedAndRemovedKeepCountAndSelection) {
    auto& strings = make();
    EXPECT_EQ(strings.get_row_count(), 0);
    EXPECT_EQ(strings.get_column_count(), 1);

    strings.add_row(u"b");
    strings.add_row(u"d");
    strings.insert_row(0, u"a");
    strings.insert_row(2, u"c");
    strings.insert_row(99, u"e");
    EXPECT_EQ(strings.get_rows(), (Rows{u"a", u"b", u"c", u"d", u"e"}));
    EXPECT_EQ(strings.get_row_count(), 5);

    strings.select_row(3);
    strings.insert_row(0, u"first");
    EXPECT_EQ(strings.get_current_row(), 4) << "a row inserted above moves the selection down";
    EXPECT_TRUE(strings.remove_row(0));
    EXPECT_EQ(strings.get_current_row(), 3) << "a row removed above moves it up";
    EXPECT_EQ(strings.get_rows()[3], u"d");

    EXPECT_FALSE(strings.remove_row(5));
    EXPECT_FALSE(strings.remove_row(-1));
    EXPECT_EQ(strings.get_row_count(), 5) << "a missing row removes nothing";

    strings.clear_rows();
    EXPECT_EQ(strings.get_row_count(), 0);
    EXPECT_EQ(strings.get_current_row(), -1);
}

TEST_F(StringListTest, TapSelectsTheRowUnderIt) {
    auto& strings = make();
    strings.set_rows({u"one", u"two", u"three"});
    tap({20, 15});
    EXPECT_EQ(strings.get_current_row(), 1);
    EXPECT_EQ(log, (form_test::Log{"selection", "item-click 0,1"}));
    log.clear();
    tap({20, 55});
    EXPECT_EQ(strings.get_current_row(), 1) << "below the last row nothing is selected";
}

TEST_F(StringListTest, IndentFromTheSkin) {
    EXPECT_EQ(make().get_indent(), 0);
    EXPECT_EQ(make("<integer name=\"Indent\" value=\"10\"/>").get_indent(), 10);
}

// The columns of the list's first row where two shots differ.
std::vector<int> differing_columns(const platform::screen::ScreenPicture& a, const platform::screen::ScreenPicture& b) {
    std::vector<int> columns;
    for (int x = 0; x < 100; ++x)
        for (int y = 0; y < 10; ++y)
            if (a.at(origin.x + x, origin.y + y) != b.at(origin.x + x, origin.y + y)) {
                columns.push_back(x);
                break;
            }
    return columns;
}

TEST_F(StringListTest, RowTextStartsAfterTheIndent) {
    auto& strings = make("<integer name=\"Indent\" value=\"10\"/>"
                         "<font name=\"ItemNormal\" description=\"14 1 0 0 Tahoma\"/>"
                         "<color name=\"ItemNormal\" value=\"#FFFFFF\"/>");
    strings.set_rows({u""});
    platform::screen::ScreenPicture const empty = painted();
    strings.set_rows({u"WWW"});
    strings.repaint();
    platform::screen::ScreenPicture const with_text = painted();
    std::vector<int> const columns = differing_columns(empty, with_text);
    ASSERT_FALSE(columns.empty()) << "the text is drawn";
    EXPECT_GE(columns.front(), 10);
}

}  // namespace
}  // namespace grid_test
