// The tab control on a test form: one page shown at a time, switched by the header, by
// commands and by keys; the header's layout and scroll buttons; pages that go away.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "foundation/application.h"
#include "skin/menu_manager.h"
#include "skin/tab.h"
#include "tests/skin/combo_fixture.h"

namespace form_test {
namespace {

using skinner::ControlTab;
using skinner::ControlTabElement;
using skinner::Point;
using skinner::Size;

std::string page_xml(const std::string& name, const std::string& text, const std::string& colour) {
    return control_xml(name, 0, 20, 240, 180, picture_xml("Background", colour) + string_xml("Text", text));
}

class TabTest : public ComboFixture {
public:
    // The tab fills a 240 x 200 form; its pages carry the texts given.
    ControlTab& make(const std::vector<std::string>& texts, const std::string& orientation = "") {
        pages.clear();
        tab.reset();
        form.reset();
        const char* const colours[] = {"red", "blue", "yellow", "green"};
        std::string page_records;
        for (std::size_t i = 0; i < texts.size(); ++i) {
            page_records += page_xml("page" + std::to_string(i), texts[i], colours[i % 4]);
        }
        use_kinds_skin(combo_skin("Tabs", 240, 200, control_xml("tab", 0, 0, 240, 200, tab_records(orientation))) +
                       form_xml("Pages", 240, 200, page_records));
        form = std::make_unique<ComboForm>(properties.get(), u"Tabs", log);
        form->set_has_focus(true);
        tab = std::make_unique<ControlTab>(form.get(), u"tab");
        for (std::size_t i = 0; i < texts.size(); ++i) {
            std::string const name = "page" + std::to_string(i);
            pages.push_back(std::make_unique<ControlTabElement>(tab.get(), std::u16string(name.begin(), name.end())));
        }
        log.clear();
        return *tab;
    }

    void TearDown() override {
        pages.clear();
        tab.reset();
        form.reset();
    }

    // The indices of the pages whose own visibility is on.
    std::vector<int> shown() const {
        std::vector<int> result;
        for (std::size_t i = 0; i < pages.size(); ++i) {
            if (pages[i] && pages[i]->get_own_visible()) result.push_back(static_cast<int>(i));
        }
        return result;
    }

    void tap_header_item(int index) {
        Point position;
        Size size;
        tab->get_header().get_cell_rect(index, 0, position, size);
        Point const at{position.x + size.width / 2, position.y + size.height / 2};
        form->on_button_down(0, at, 0);
        form->on_button_up(0, at, 0);
    }

    void tap(const skinner::Control& control) {
        Point const p = control.get_position();
        Size const s = control.get_rect_size();
        Point const at{p.x + s.width / 2, p.y + s.height / 2};
        form->on_button_down(0, at, 0);
        form->on_button_up(0, at, 0);
    }

    os::Application application{nullptr, u"TabTest"};
    std::unique_ptr<ComboForm> form;
    std::unique_ptr<ControlTab> tab;
    std::vector<std::unique_ptr<ControlTabElement>> pages;
};

const std::vector<std::string> three{"One", "Two", "Three"};

TEST_F(TabTest, TheFirstPageIsShownAndFocusedTheOthersStartHidden) {
    make(three);
    EXPECT_EQ(shown(), std::vector<int>{0});
    EXPECT_EQ(tab->get_header().get_current_column(), 0);
    EXPECT_EQ(form->get_focused(), tab.get());
    EXPECT_EQ(tab->get_panel_container()->get_focused(), pages[0].get());
    EXPECT_EQ(pages[2]->get_text(), u"Three");
}

TEST_F(TabTest, EveryWayOfShowingAPageHidesTheOthersAndMovesTheHeader) {
    struct Case {
        const char* what;
        std::function<void(TabTest&)> show_third;
        bool focused;
    };
    const Case cases[] = {
        {"a tap on its header item", [](TabTest& t) { t.tap_header_item(2); }, true},
        {"its command", [](TabTest& t) { EXPECT_TRUE(t.tab->on_command(u"page2")); }, false},
        {"Right twice on the pages",
         [](TabTest& t) {
             EXPECT_TRUE(t.form->on_keydown(skinner::KEY_RIGHT));
             EXPECT_TRUE(t.form->on_keydown(skinner::KEY_RIGHT));
         },
         true},
        {"code", [](TabTest& t) { t.pages[2]->set_visible(true); }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        make(three);
        c.show_third(*this);
        EXPECT_EQ(shown(), std::vector<int>{2});
        EXPECT_EQ(tab->get_header().get_current_column(), 2);
        if (c.focused) {
            EXPECT_EQ(tab->get_panel_container()->get_focused(), pages[2].get());
        }
    }
}

TEST_F(TabTest, KeysStopAtTheEndsButAreTaken) {
    struct Case {
        const char* what;
        int start;
        int key;
        int expected;
    };
    const Case cases[] = {
        {"Left on the first", 0, skinner::KEY_LEFT, 0},
        {"Right on the last", 2, skinner::KEY_RIGHT, 2},
        {"Left in the middle", 1, skinner::KEY_LEFT, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        make(three);
        pages[c.start]->set_visible(true);
        pages[c.start]->set_focus();
        EXPECT_TRUE(form->on_keydown(c.key));
        EXPECT_EQ(shown(), std::vector<int>{c.expected});
    }
    EXPECT_FALSE(form->on_keydown(skinner::KEY_UP)) << "other keys are the page's or nobody's";
}

TEST_F(TabTest, ACommandOfNoPageGoesOnToTheForm) {
    make(three);
    EXPECT_FALSE(tab->on_command(u"Other"));
    EXPECT_EQ(log, Log{"command Other"});
    log.clear();
    EXPECT_TRUE(tab->on_command(u"page1"));
    EXPECT_EQ(std::count(log.begin(), log.end(), "command page1"), 0) << "a page's command goes no further";
    pages[0]->set_visible(true);
    EXPECT_EQ(shown(), std::vector<int>{0});
}

TEST_F(TabTest, TheHeaderLiesOverOrUnderThePages) {
    struct Case {
        const char* orientation;
        int header_y;
        int page_y;
    };
    for (const Case& c : {Case{"", 0, 20}, Case{"TOP", 0, 20}, Case{"BOTTOM", 180, 0}}) {
        SCOPED_TRACE(c.orientation);
        make(three, c.orientation);
        EXPECT_EQ(tab->get_header().get_position(), (Point{0, c.header_y}));
        EXPECT_EQ(tab->get_header().get_rect_size(), (Size{240, 20})) << "texts that fit need no scroll buttons";
        EXPECT_EQ(tab->get_max_button().get_rect_size().width, 0);
        for (auto const& page : pages) {
            EXPECT_EQ(page->get_position(), (Point{0, c.page_y}));
            EXPECT_EQ(page->get_rect_size(), (Size{240, 180}));
        }
    }
}

TEST_F(TabTest, TextsTooWideForTheHeaderGetScrollButtons) {
    make({"Recording", "Playback", "Buttons", "Schedule", "Language"});
    auto const& widths = tab->get_item_widths();
    int sum = 0;
    for (int width : widths) {
        EXPECT_GT(width, 8) << "the text and a border of 4 on either side";
        sum += width;
    }
    ASSERT_GT(sum, 240);
    EXPECT_EQ(tab->get_header().get_rect_size(), (Size{208, 20}));
    EXPECT_EQ(tab->get_min_button().get_position(), (Point{208, 0}));
    EXPECT_EQ(tab->get_max_button().get_position(), (Point{224, 0}));
    EXPECT_EQ(tab->get_max_button().get_rect_size(), (Size{16, 20}));

    auto& bar = tab->get_header().get_horizontal_bar();
    tap(tab->get_max_button());
    EXPECT_EQ(bar.get_scroll_position(), 104) << "half the header's width";
    for (int i = 0; i < 5; ++i) tap(tab->get_max_button());
    EXPECT_EQ(bar.get_scroll_position(), sum - 208) << "no further than the last item";
    tap(tab->get_min_button());
    EXPECT_EQ(bar.get_scroll_position(), sum - 208 - 104);
    EXPECT_EQ(log, Log{}) << "the scroll buttons' clicks stay in the tab";
}

TEST_F(TabTest, RemovingAPageKeepsOneShownAndTheHeaderInStep) {
    struct Case {
        const char* what;
        int visible;
        int removed;
        std::vector<int> expected;
    };
    const Case cases[] = {
        {"the visible page", 1, 1, {0}},
        {"the first, visible page", 0, 0, {1}},
        {"a hidden page", 2, 0, {2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        make(three);
        pages[c.visible]->set_visible(true);
        pages[c.removed].reset();
        EXPECT_EQ(shown(), c.expected);
        EXPECT_EQ(tab->get_pages().size(), 2u);
        EXPECT_EQ(tab->get_item_widths().size(), 2u);
        EXPECT_EQ(tab->get_header().get_column_count(), 2);
        EXPECT_EQ(tab->get_pages()[tab->get_header().get_current_column()], pages[c.expected[0]].get());
        EXPECT_NO_THROW(painted()) << "the header is painted with the pages that are left";
    }
}

TEST_F(TabTest, WithoutAHeaderThePagesAreOfferedInTheFormsMenu) {
    make(three);
    tab->set_header_shown(false);
    EXPECT_FALSE(tab->get_header().get_own_visible());
    EXPECT_EQ(pages[0]->get_position(), (Point{0, 0}));
    EXPECT_EQ(pages[0]->get_rect_size(), (Size{240, 200}));
    auto items = skinner::MenuManager::get_items(form.get());
    ASSERT_EQ(items.size(), 1u);
    skinner::MenuItemInfo entry;
    items[0]->make_menu_entry(entry);
    EXPECT_EQ(entry.text, u"#smartphone_tab#");
    tab->on_menu_create(entry);
    ASSERT_EQ(entry.children.size(), 3u);
    EXPECT_EQ(entry.children[1].command, u"page1");
    EXPECT_EQ(entry.children[1].text, u"Two");
    EXPECT_TRUE(entry.children[0].checked);
    EXPECT_FALSE(entry.children[1].checked);

    pages.clear();
    tab.reset();
    EXPECT_TRUE(skinner::MenuManager::get_items(form.get()).empty()) << "the tab leaves the menu with its life";
}

}  // namespace
}  // namespace form_test
