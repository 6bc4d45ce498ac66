#include "tests/skin/combo_fixture.h"

#include <memory>
#include <vector>

#include "platform/messages.h"
#include "platform/timers.h"
#include "skin/control.h"
#include "skin/form.h"

namespace form_test {

namespace {

std::string narrow(const std::u16string& text) { return {text.begin(), text.end()}; }

std::string look_xml(const std::string& key, const std::string& image, const std::string& colour) {
    std::string picture = image.empty() ? "" : picture_xml(key, image);
    return picture + "<font name=\"" + key + "\" description=\"14 1 0 0 Tahoma\"/><color name=\"" + key +
           "\" value=\"" + colour + "\"/>";
}

std::string point_xml(const std::string& key, int x, int y) {
    return "<point name=\"" + key + "\" x=\"" + std::to_string(x) + "\" y=\"" + std::to_string(y) + "\"/>";
}

HWND guarded_window = nullptr;
bool guard_fired = false;
constexpr UINT_PTR guard_timer = 0x6A7D;

void on_guard(HWND, UINT, UINT_PTR, DWORD) {
    guard_fired = true;
    KillTimer(nullptr, guard_timer);
    PostMessageW(guarded_window, skinner::WM_END_MODAL, 0, 0);
}

// A timer, not a posted message: posted messages come before the input, which the actions
// often wait for.
struct Waiting {
    std::function<bool()> condition;
    std::function<void()> action;
};
std::vector<Waiting>& waiting() {
    static std::vector<Waiting> list;
    return list;
}
constexpr UINT_PTR poll_timer = 0x6A7E;

void on_poll(HWND, UINT, UINT_PTR, DWORD) {
    auto& list = waiting();
    for (auto it = list.begin(); it != list.end(); ++it) {
        if (!it->condition()) continue;
        Waiting const due = std::move(*it);
        list.erase(it);
        if (list.empty()) KillTimer(nullptr, poll_timer);
        // It may run a loop of its own, in which the timer asks for the others.
        due.action();
        return;
    }
}

}  // namespace

ComboForm::ComboForm(skinner::Properties* properties, const std::u16string& name, Log& log)
    : EventForm(properties, name, log), log_(log) {}

void ComboForm::on_selection_changed(skinner::Control* sender) {
    log_.push_back("selection " + narrow(sender->get_name()));
}

void ComboForm::on_combo_changed(skinner::Control* combo) {
    log_.push_back("combo-changed " + narrow(combo->get_name()));
    if (on_combo) on_combo();
}

void ComboForm::on_item_click(skinner::Control*, skinner::Cell cell) {
    log_.push_back("item-click " + std::to_string(cell.column) + "," + std::to_string(cell.row));
}

std::string combo_records(int drop_width, int drop_height) {
    return picture_xml("Background", "green") + string_xml("ButtonKind", "Combo.Button") +
           integer_xml("ButtonWidth", 20) + string_xml("EditKind", "Combo.Field") + string_xml("DropdownForm", "Drop") +
           string_xml("ListKind", "Combo.List") + point_xml("DropdownSize", drop_width, drop_height);
}

std::string combo_skin(const std::string& form, int width, int height, const std::string& controls) {
    return form_xml(form, width, height, picture_xml("Background", "colon") + controls) +
           form_xml("Drop", 120, 60, "") +
           "<kind name=\"Combo.Button\">" + picture_xml("Normal", "blue") + integer_xml("WantFocus", 0) + "</kind>" +
           "<kind name=\"Combo.Field\">" + look_xml("Normal", "", "#000000") + string_xml("HAlignment", "LEFT") +
           point_xml("BorderMin", 4, 0) + "</kind>" +
           "<kind name=\"Combo.List\">" + picture_xml("Normal", "yellow") + look_xml("ItemNormal", "", "#000000") +
           look_xml("ItemSelection", "blue", "#FFFFFF") + integer_xml("ItemHeight", 20) + integer_xml("Indent", 4) +
           "</kind>" +
           "<kind name=\"Tab.Header\">" + look_xml("ItemNormal", "yellow", "#000000") +
           look_xml("ItemSelection", "green", "#000000") + integer_xml("ItemHeight", 20) + "</kind>" +
           "<kind name=\"Tab.Left\">" + picture_xml("Normal", "red") + "</kind>" +
           "<kind name=\"Tab.Right\">" + picture_xml("Normal", "blue") + "</kind>";
}

std::string tab_records(const std::string& orientation) {
    return string_xml("FormTemplate", "Pages") + string_xml("KindGrid", "Tab.Header") +
           string_xml("KindMin", "Tab.Left") + string_xml("KindMax", "Tab.Right") + integer_xml("HeaderHeight", 20) +
           integer_xml("ButtonWidth", 16) + integer_xml("TextBorder", 4) +
           (orientation.empty() ? "" : string_xml("Orientation", orientation));
}

LoopGuard::LoopGuard(HWND window) {
    guarded_window = window;
    guard_fired = false;
    // A guard against a test that would wait for ever, not a measure of time.
    SetTimer(nullptr, guard_timer, 10000, on_guard);
}

LoopGuard::~LoopGuard() {
    KillTimer(nullptr, guard_timer);
    guarded_window = nullptr;
}

bool LoopGuard::fired() const { return guard_fired; }

ComboFixture::~ComboFixture() {
    KillTimer(nullptr, poll_timer);
    waiting().clear();
}

void ComboFixture::when(std::function<bool()> condition, std::function<void()> action) {
    waiting().push_back({std::move(condition), std::move(action)});
    SetTimer(nullptr, poll_timer, 1, on_poll);
}

}  // namespace form_test
