// The edit field: its keys with the selection in either direction, the clipboard, taps and
// double taps, scrolling that keeps the caret in view, text events and the input panel.
#include <gtest/gtest.h>

#include <algorithm>
#include <future>
#include <thread>
#include <string>
#include <vector>

#include "platform/shell_ui.h"
#include "skin/auto_control.h"
#include "skin/font_ref.h"
#include "tests/skin/control_kinds_fixture.h"
#include "tests/skin/edit_fixture.h"

namespace edit_test {
namespace {

using namespace std::string_literals;

constexpr UINT vk_back = 8, vk_insert = 45, vk_delete = 46;
const std::string password = "<string name=\"PasswordChar\" value=\"*\"/>";
const std::string readonly = "<integer name=\"Readonly\" value=\"1\"/>";

int text_events(const Log& log) { return static_cast<int>(std::count(log.begin(), log.end(), "text ed")); }

// The text of the notation, without caret and anchor.
std::string plain(std::string marked) {
    std::erase_if(marked, [](char c) { return c == '|' || c == '^'; });
    return marked;
}

struct KeyCase {
    const char* name;
    const char* before;
    std::vector<UINT> held;
    UINT vk;
    const char* after;
};

TEST_F(EditTest, KeysEditAndMoveWithTheSelectionInEitherDirection) {
    std::vector<KeyCase> const cases = {
        {"Backspace over a right-to-left selection", "a|bc^d", {}, vk_back, "a|d"},
        {"Backspace over a left-to-right selection", "a^bc|d", {}, vk_back, "a|d"},
        {"Backspace deletes the previous character", "ab|cd", {}, vk_back, "a|cd"},
        {"Backspace at the start", "|abcd", {}, vk_back, "|abcd"},
        {"Delete over a selection", "a|bc^d", {}, vk_delete, "a|d"},
        {"Delete deletes the next character", "ab|cd", {}, vk_delete, "ab|d"},
        {"Delete at the end", "abcd|", {}, vk_delete, "abcd|"},
        {"Left", "ab|cd", {}, VK_LEFT, "a|bcd"},
        {"Left from a selection goes one left of the caret", "a^bc|d", {}, VK_LEFT, "ab|cd"},
        {"Left at the start", "|abcd", {}, VK_LEFT, "|abcd"},
        {"Shift+Left extends", "ab|cd", {VK_SHIFT}, VK_LEFT, "a|b^cd"},
        {"Shift+Left at the start keeps the selection", "|ab^cd", {VK_SHIFT}, VK_LEFT, "|ab^cd"},
        {"Ctrl+Left to the start of the word", "abc  def|", {VK_CONTROL}, VK_LEFT, "abc  |def"},
        {"Ctrl+Left over spaces to the previous word", "abc  |def", {VK_CONTROL}, VK_LEFT, "|abc  def"},
        {"Ctrl+Shift+Left", "abc  def|", {VK_CONTROL, VK_SHIFT}, VK_LEFT, "abc  |def^"},
        {"Right", "ab|cd", {}, VK_RIGHT, "abc|d"},
        {"Right at the end", "abcd|", {}, VK_RIGHT, "abcd|"},
        {"Shift+Right extends", "a|bcd", {VK_SHIFT}, VK_RIGHT, "a^b|cd"},
        {"Shift+Right shrinks a right-to-left selection", "a|bc^d", {VK_SHIFT}, VK_RIGHT, "ab|c^d"},
        {"Ctrl+Right to the next word, past the spaces", "|abc  def", {VK_CONTROL}, VK_RIGHT, "abc  |def"},
        {"Ctrl+Shift+Right", "a|bc  def", {VK_CONTROL, VK_SHIFT}, VK_RIGHT, "a^bc  |def"},
        {"Home", "a^bc|d", {}, VK_HOME, "|abcd"},
        {"Shift+Home", "ab|cd", {VK_SHIFT}, VK_HOME, "|ab^cd"},
        {"End", "a^b|cd", {}, VK_END, "abcd|"},
        {"Shift+End", "ab|cd", {VK_SHIFT}, VK_END, "ab^cd|"},
        {"a typed character replaces the selection", "a^bc|d", {}, 'X', "ax|d"},
    };
    make_edit();
    focus();
    for (auto const& c : cases) {
        set(c.before);
        log.clear();
        keys(c.held, c.vk, c.vk == 'X' ? u'x' : 0);
        EXPECT_EQ(state(), c.after) << c.name;
        EXPECT_EQ(text_events(log), plain(c.before) == plain(c.after) ? 0 : 1) << c.name;
    }
}

TEST_F(EditTest, ClipboardKeysAndTheirLimitsForPasswordAndReadOnlyFields) {
    struct Case {
        const char* name;
        const std::string& records;
        std::vector<UINT> held;
        UINT vk;
        const char* after;
        std::u16string clipboard;  // before: "old"
    };
    std::string const none;
    std::vector<Case> const cases = {
        {"Ctrl+C copies", none, {VK_CONTROL}, 'C', "a^bc|d", u"bc"},
        {"Ctrl+Insert copies", none, {VK_CONTROL}, vk_insert, "a^bc|d", u"bc"},
        {"Ctrl+X cuts", none, {VK_CONTROL}, 'X', "a|d", u"bc"},
        {"Shift+Delete cuts", none, {VK_SHIFT}, vk_delete, "a|d", u"bc"},
        {"Ctrl+V pastes over the selection", none, {VK_CONTROL}, 'V', "aold|d", u"old"},
        {"Shift+Insert pastes", none, {VK_SHIFT}, vk_insert, "aold|d", u"old"},
        {"Insert alone does nothing", none, {}, vk_insert, "a^bc|d", u"old"},
        {"password: Ctrl+C copies nothing", password, {VK_CONTROL}, 'C', "a^bc|d", u"old"},
        {"password: Ctrl+X cuts nothing", password, {VK_CONTROL}, 'X', "a^bc|d", u"old"},
        {"password: Shift+Delete cuts nothing", password, {VK_SHIFT}, vk_delete, "a^bc|d", u"old"},
        {"password: Ctrl+V pastes", password, {VK_CONTROL}, 'V', "aold|d", u"old"},
        {"read-only: Ctrl+C copies", readonly, {VK_CONTROL}, 'C', "a^bc|d", u"bc"},
        {"read-only: Ctrl+X cuts nothing", readonly, {VK_CONTROL}, 'X', "a^bc|d", u"old"},
        {"read-only: Ctrl+V pastes nothing", readonly, {VK_CONTROL}, 'V', "a^bc|d", u"old"},
        {"read-only: Shift+Insert pastes nothing", readonly, {VK_SHIFT}, vk_insert, "a^bc|d", u"old"},
        {"read-only: Backspace deletes nothing", readonly, {}, vk_back, "a^bc|d", u"old"},
        {"read-only: Delete deletes nothing", readonly, {}, vk_delete, "a^bc|d", u"old"},
        {"read-only: the caret moves", readonly, {VK_SHIFT}, VK_RIGHT, "a^bcd|", u"old"},
    };
    for (auto const& c : cases) {
        make_edit(c.records);
        focus();
        set("a^bc|d");
        put_clipboard(unicode_bytes(u"old"));
        keys(c.held, c.vk);
        EXPECT_EQ(state(), c.after) << c.name;
        EXPECT_EQ(clipboard_bytes(), unicode_bytes(c.clipboard)) << c.name;
    }
}

TEST_F(EditTest, AReadOnlyFieldTakesNoTyping) {
    make_edit(readonly);
    focus();
    set("ab|");
    log.clear();
    keys({}, 'Q', u'q');
    EXPECT_EQ(state(), "ab|");
    EXPECT_EQ(text_events(log), 0);
}

TEST_F(EditTest, CopyingAnEmptySelectionLeavesTheClipboardAlone) {
    make_edit();
    set("ab|cd");
    put_clipboard(unicode_bytes(u"kept"));
    edit->copy();
    edit->cut();
    EXPECT_EQ(clipboard_bytes(), unicode_bytes(u"kept"));
    EXPECT_EQ(state(), "ab|cd");
}

TEST_F(EditTest, CuttingKeepsASelectionThatDidNotReachTheClipboard) {
    make_edit();
    set("a^bc|d");
    std::promise<void> opened, done;
    std::thread holder([&] {
        EXPECT_TRUE(OpenClipboard(nullptr));
        opened.set_value();
        done.get_future().wait();
        CloseClipboard();
    });
    opened.get_future().wait();
    edit->cut();
    done.set_value();
    holder.join();
    EXPECT_EQ(state(), "a^bc|d") << "the clipboard was held by another thread";
}

TEST_F(EditTest, PastingTakesOnlyWholeCharactersAboveTheControlRange) {
    struct Case {
        const char* name;
        std::string bytes;
        UINT format;
        const char* after;
    };
    std::vector<Case> const cases = {
        {"a tab and a line feed between three letters", unicode_bytes(u"a\tb\nc"), CF_UNICODETEXT, "xabc|y"},
        {"no terminator", unicode_bytes(u"ab", false), CF_UNICODETEXT, "xab|y"},
        {"a zero inside", unicode_bytes(std::u16string(u"a\0b", 3)), CF_UNICODETEXT, "xab|y"},
        {"an odd byte count", unicode_bytes(u"ab") + "c", CF_UNICODETEXT, "x^12|y"},
        {"a single byte", "a", CF_UNICODETEXT, "x^12|y"},
        {"only control characters keep the selection", unicode_bytes(u"\t\r\n"), CF_UNICODETEXT, "x^12|y"},
        {"no Unicode text", "plain", CF_TEXT, "x^12|y"},
    };
    make_edit();
    for (auto const& c : cases) {
        set("x^12|y");
        put_clipboard(c.bytes, c.format);
        log.clear();
        edit->paste();
        EXPECT_EQ(state(), c.after) << c.name;
        EXPECT_EQ(text_events(log), plain(c.after) == "x12y" ? 0 : 1) << c.name;
    }
}

TEST_F(EditTest, TheSelectionIsKeptInsideTheText) {
    struct Case {
        int anchor, caret;
        const char* after;
    };
    std::vector<Case> const cases = {{-5, 99, "^abc|"}, {99, -1, "|abc^"}, {7, 7, "abc|"}, {2, 1, "a|b^c"}};
    make_edit();
    for (auto const& c : cases) {
        edit->set_text(u"abc");
        edit->set_selection(c.anchor, c.caret);
        EXPECT_EQ(state(), c.after) << c.anchor << "," << c.caret;
    }
    edit->set_selection(50, 60);
    EXPECT_TRUE(edit->on_char(u"x", 0));
    EXPECT_EQ(state(), "abcx|") << "typing after an out-of-range selection appends";
}

TEST_F(EditTest, NoTextOrOnlyControlCharactersTypeNothing) {
    make_edit();
    focus();
    set("a^bc|d");
    log.clear();
    EXPECT_FALSE(edit->on_char(u"", 0));
    EXPECT_FALSE(edit->on_char(u"\t", 0));
    EXPECT_EQ(state(), "a^bc|d") << "the field was not cleared";
    EXPECT_TRUE(edit->on_char(u"1\t2", 0));
    EXPECT_EQ(state(), "a12|d");
    EXPECT_EQ(log, (Log{"text ed"}));
}

TEST_F(EditTest, SettingTheSameTextRaisesNothing) {
    make_edit();
    log.clear();
    edit->set_text(u"name");
    EXPECT_EQ(state(), "name|");
    edit->set_text(u"name");
    EXPECT_EQ(log, (Log{"text ed"}));
}

class EditPointTest : public EditTest {
protected:
    void SetUp() override {
        make_edit();
        focus();
        edit->set_text(u"abc  def");
        font.set_description(u"12 0 0 0 Tahoma");
    }
    // The form's x of the boundary before character `index`.
    int boundary(int index) const { return text_left + font.measure_text(u"abc  def"s.substr(0, index)).cx; }
    void tap(int x, unsigned flags = 0) {
        form->on_stylus_down({x, 20}, flags);
        form->on_stylus_up({x, 20}, flags);
    }

    static constexpr int text_left = 10 + 4;  // the field's x and its left border
    skinner::FontRef font;
};

TEST_F(EditPointTest, ATapPutsTheCaretAtTheNearestBoundary) {
    int const a_to_b = boundary(1), b_to_c = boundary(2);
    int const middle_of_b = (a_to_b + b_to_c) / 2;
    struct Case {
        const char* name;
        int x;
        int caret;
    };
    std::vector<Case> const cases = {
        {"on the left border", 11, 0},
        {"past the last character", 125, 8},
        {"just left of the middle of b", middle_of_b - 1, 1},
        {"just right of the middle of b", middle_of_b + 1, 2},
    };
    for (auto const& c : cases) {
        log.clear();
        tap(c.x);
        EXPECT_EQ(edit->get_caret(), c.caret) << c.name;
        EXPECT_EQ(edit->get_anchor(), c.caret) << c.name;
        EXPECT_EQ(log, (Log{"click ed"})) << c.name;
    }
}

TEST_F(EditPointTest, ADoubleTapSelectsTheWordAndTheSpacesAfterIt) {
    tap((boundary(1) + boundary(2)) / 2 - 1, 1);
    EXPECT_EQ(state(), "^abc  |def");
    tap((boundary(6) + boundary(7)) / 2 + 1, 1);
    EXPECT_EQ(state(), "abc  ^def|");
}

TEST_F(EditPointTest, DraggingSelectsFromTheDownPoint) {
    form->on_stylus_down({boundary(1), 20}, 0);
    form->on_stylus_move({boundary(5), 20}, 0);
    EXPECT_EQ(state(), "a^bc  |def");
    form->on_stylus_move({200, 20}, 0);
    form->on_stylus_up({200, 20}, 0);
    EXPECT_EQ(state(), "a^bc  def|");
}

TEST_F(EditTest, ALongTextScrollsSoThatTheCaretStaysInTheBox) {
    make_edit("", 60);
    focus();
    skinner::FontRef font;
    font.set_description(u"12 0 0 0 Tahoma");
    std::u16string const text = u"The quick brown fox jumps";
    int const full = font.measure_text(text).cx;
    int const room = 60 - 4 - 4 - 1;  // borders and the caret
    ASSERT_GT(full, room);
    auto const caret_x = [&] {
        painted();
        return edit->get_scroll() + font.measure_text(text.substr(0, static_cast<std::size_t>(edit->get_caret()))).cx;
    };
    edit->set_text(text);
    EXPECT_EQ(caret_x(), room) << "the end sits at the right edge";
    EXPECT_EQ(edit->get_scroll(), room - full);
    keys({}, VK_HOME);
    EXPECT_EQ(caret_x(), 0);
    EXPECT_EQ(edit->get_scroll(), 0) << "Home scrolls back";
    for (int i = 0; i < 12; ++i) keys({}, VK_RIGHT);
    int const middle = caret_x();
    EXPECT_GE(middle, 0);
    EXPECT_LE(middle, room);
    keys({}, VK_END);
    EXPECT_EQ(caret_x(), room);
    for (int i = 0; i < 3; ++i) keys({}, vk_back);
    EXPECT_EQ(caret_x(), room) << "no room is left empty on the right while the text is longer";
    edit->set_text(u"ab");
    EXPECT_EQ(caret_x(), font.measure_text(u"ab").cx);
    EXPECT_EQ(edit->get_scroll(), 0) << "a short text starts at the left";
}

TEST_F(EditTest, TheCaretBlinksOnlyWhileTheFieldHasTheFocus) {
    make_edit();
    focus();
    edit->stop_timer();
    edit->set_text(u"abc");
    EXPECT_TRUE(edit->on_keydown(skinner::KEY_END));
    auto const ticks = [&](int count) {
        for (int i = 0; i < count; ++i) edit->on_timer(edit->get_timer_id(), 0);
        return edit->is_caret_shown();
    };
    EXPECT_TRUE(edit->is_caret_shown());
    EXPECT_TRUE(ticks(4));
    EXPECT_FALSE(ticks(1)) << "off after five ticks";
    EXPECT_FALSE(ticks(4));
    EXPECT_TRUE(ticks(1)) << "on again after ten";
    EXPECT_FALSE(ticks(5));
    form->set_focus(nullptr);
    EXPECT_FALSE(edit->is_caret_shown());
    ticks(3);
    edit->set_focus();
    EXPECT_TRUE(edit->is_caret_shown()) << "losing the focus showed the caret for the next time";
}

TEST_F(EditPointTest, TheCaretShowsAsABarAfterTheSelectionOrAGapBeforeIt) {
    edit->stop_timer();
    EXPECT_TRUE(edit->on_keydown(skinner::KEY_HOME)) << "the caret is shown from here on";
    int const y = 10 + 3 + 1;  // the top of the text box, above the letters
    struct Case {
        const char* name;
        const char* marked;
        bool focused;
        std::vector<std::pair<int, bool>> columns;  // x, covered by the selection picture
    };
    std::vector<Case> const cases = {
        {"no selection: a caret-wide bar", "ab|c  def", true,
         {{boundary(2) - 1, false}, {boundary(2), true}, {boundary(2) + 1, false}}},
        {"caret at the higher end: the bar follows the selection", "a^bc|  def", true,
         {{boundary(1) - 1, false}, {boundary(1), true}, {boundary(3), true}, {boundary(3) + 1, false}}},
        {"caret at the lower end: a gap opens the selection", "a|bc^  def", true,
         {{boundary(1), false}, {boundary(1) + 1, true}, {boundary(3) - 1, true}, {boundary(3), false}}},
        {"without the focus no caret shows", "a^bc|  def", false,
         {{boundary(1), true}, {boundary(3) - 1, true}, {boundary(3), false}}},
    };
    for (auto const& c : cases) {
        set(c.marked);
        if (!c.focused) form->set_focus(nullptr);
        form_test::Surface surface(240, 120);
        surface.paint(*edit);
        for (auto const& [x, covered] : c.columns) {
            EXPECT_EQ(surface.at(x, y) == selection_blue, covered) << c.name << " at x " << x;
        }
        if (!c.focused) edit->set_focus();
    }
}

bool input_panel_up() {
    SIPINFO info{};
    info.cbSize = sizeof(info);
    return SHSipInfo(SPI_GETSIPINFO, 0, &info, 0) && (info.fdwFlags & SIPF_ON) != 0;
}

class EditShellTest : public EditTest {
protected:
    EditShellTest() : EditTest("240x320", true) {}
};

TEST_F(EditShellTest, TheInputPanelRisesForAnEditableFieldOnly) {
    make_edit();
    focus();
    EXPECT_TRUE(input_panel_up());
    form->set_focus(nullptr);
    EXPECT_FALSE(input_panel_up()) << "down again when the field loses the focus";
    make_edit(readonly);
    focus();
    EXPECT_FALSE(input_panel_up());
}

TEST_F(EditTest, ThePasswordCharacterIsAllThatShows) {
    make_edit(password);
    edit->set_text(u"secret");
    EXPECT_EQ(edit->shown_text(), u"******");
    EXPECT_EQ(edit->get_text(), u"secret");
}

TEST_F(EditTest, FieldsAreMadeFromTheirKind) {
    make_edit(form_test::string_xml("EditKind", "Field"));
    auto const from_kind = skinner::create_edit_of_kind(*edit, form.get(), u"EditKind");
    EXPECT_EQ(from_kind->get_kind_name(), u"Field");
    EXPECT_EQ(from_kind->get_border_min(), (skinner::Point{4, 3}));
    std::unique_ptr<skinner::Control> automatic(skinner::create_auto_control(u"Auto.Edit", form.get(), u"other"));
    auto const* const field = dynamic_cast<skinner::ControlEdit*>(automatic.get());
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(field->get_text(), u"Second field") << "its own node in the form comes first";
}

}  // namespace
}  // namespace edit_test
