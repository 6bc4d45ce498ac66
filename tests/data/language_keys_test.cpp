// The scan that finds the language keys in the code, on short samples of code written as the
// screens write them.
#include "tests/data/language_keys.h"

#include <gtest/gtest.h>

namespace data_test {
namespace {

struct ScanCase {
    const char* what;
    std::vector<CodeFile> files;
    std::set<std::string> looked_up;
};

const std::vector<ScanCase> cases{
    {"a literal handed to translate; its default text is no key",
     {{"screens/a.cpp", R"(void A::f() { caption = get_properties().translate(u"on_error_caption", u"Error"); })"}},
     {"on_error_caption"}},
    {"commented-out code and literals that look like comments",
     {{"screens/a.cpp", "// translate(u\"old\");\n/* translate(u\"older\"); */\n"
                        "void f() { translate(u\"http://x\"); }"}},
     {"http://x"}},
    {"a helper that looks up its parameter and its caption, called with a literal",
     {{"screens/forms.cpp", R"(
void show_error(Form* owner, Properties* properties, const std::u16string& key) {
    set_texts(owner, properties->translate(key + u"_caption"), properties->translate(key));
})"},
      {"screens/panel.cpp", R"(void Panel::on_delete() { if (!deleted) show_error(this, skin_, u"on_delete_error"); })"}},
     {"on_delete_error", "on_delete_error_caption"}},
    {"a helper of a helper, with the suffix carried through",
     {{"screens/explorer.cpp", R"(
std::u16string Explorer::text(const std::u16string& key, const std::u16string& source) {
    return replace_all(properties_->translate(key), u"%src%", source);
}
void Explorer::report(const std::u16string& key, const std::u16string& source) {
    show_text(text(key + u"_caption", source), text(key, source));
}
void Explorer::on_copy_failed() { report(u"on_copy_error", name); })"}},
     {"on_copy_error", "on_copy_error_caption"}},
    {"a helper's name used in another folder for something else",
     {{"screens/explorer.cpp", R"(std::u16string text(const std::u16string& key) { return translate(key); })"},
      {"app/settings.cpp", R"(void write(Values& v) { v.text(u"Record", u"Codec", codec); })"}},
     {}},
    {"two helpers of one name told apart by their parameters",
     {{"screens/explorer.cpp", R"(
int Manager::ask(const std::u16string& key, const std::u16string& source, const std::u16string& target) {
    return confirm(translate(key + u"_caption"), translate(key));
}
int Panel::ask(const std::u16string& form, const std::u16string& key) {
    return confirm(form, translate(key));
}
void Panel::on_delete() { if (ask(u"ConfirmYesNo", u"on_delete") == 1) remove(); })"}},
     {"on_delete"}},
    {"a table of structures whose member is looked up in a loop",
     {{"screens/combo.cpp", R"(
struct Choice {
    const char16_t* key;
    std::int32_t seconds;
};
struct Binding {
    const char16_t* control;
    const char16_t* key;
};
constexpr Choice choices[] = {{u"TurnOffNever", 0}, {u"TurnOff2sec", 2}};
constexpr Binding bindings[] = {{u"btnPlay", u"Play"}};
Combo::Combo() {
    for (const Choice& choice : choices) items.push_back({translate(choice.key), choice.seconds});
})"}},
     {"TurnOffNever", "TurnOff2sec"}},
    {"a table of keys looked up in a loop",
     {{"screens/page.cpp", R"(
constexpr const char16_t* mode_keys[] = {u"ModeSingle", u"ModeShuffle"};
void Page::fill() { for (const char16_t* key : mode_keys) labels.push_back(translate(key)); })"}},
     {"ModeSingle", "ModeShuffle"}},
    {"a helper that calls itself with a longer key ends",
     {{"screens/notes.cpp", R"(
std::u16string note(const std::u16string& key, int depth) {
    return depth == 0 ? translate(key) : note(key + u"_more", depth - 1);
}
void Page::show() { label = note(u"SettingsNote", 2); })"}},
     {"SettingsNote"}},
    {"a name read from the skin is not followed",
     {{"skin/button.cpp", R"(void Button::load() { caption_ = translate(get_name(), default_caption_); })"}}, {}},
};

TEST(LanguageKeyScanTest, FindsTheKeysTheCodeLooksUp) {
    for (const ScanCase& scan_case : cases) {
        LanguageKeyScan const scan = scan_language_keys(scan_case.files);
        std::set<std::string> found;
        for (const auto& entry : scan.looked_up) found.insert(entry.first);
        EXPECT_EQ(found, scan_case.looked_up) << scan_case.what;
    }
}

}  // namespace
}  // namespace data_test
