#include "screens/settings_skin_page.h"

#include "app/constants.h"
#include "app/settings.h"
#include "foundation/paths.h"
#include "foundation/registry.h"
#include "platform/kernel.h"
#include "platform/messages.h"
#include "skin/combo_box_string.h"
#include "skin/form.h"
#include "skin/form_impl.h"
#include "skin/frame.h"
#include "skin/picture_ref.h"
#include "skin/properties.h"
#include "skin/skin_file.h"

namespace {

constexpr char16_t today_item_key[] = u"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Today\\Items\\Sonbrix";
constexpr WPARAM reload_today_items = 0xF2;
constexpr DWORD today_switch_pause_ms = 500;

std::u16string read_today_skin() {
    std::u16string path;
    if (!os::read_registry_string(constants::program_registry_key, constants::today_skin_value, path)) {
        return constants::startup_globals().default_today_skin_path;
    }
    return path;
}

std::u16string lower_extension(const std::u16string& path) {
    std::u16string extension = os::get_extension(path);
    for (char16_t& c : extension) {
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
    }
    return extension;
}

// The program's own dialog skins carry the main skin's name, but they have no main window.
bool is_dialog_skin(const std::u16string& path) {
    auto const& globals = constants::startup_globals();
    std::u16string const expanded = os::expanded_path(path);
    return os::paths_equal(expanded, os::expanded_path(globals.settings_skin_path)) ||
           os::paths_equal(expanded, os::expanded_path(globals.dialogs_skin_path));
}

}  // namespace

bool MySkinFinder::on_file(const std::u16string& path) {
    if (lower_extension(path) != u"skin" || is_dialog_skin(path)) return true;
    skinner::Size const screen = skinner::get_screen_size();
    if (skinner::is_skin_file_suitable(path, constants::skin_compatibility_name, screen)) {
        put_path(main_skins, path);
    } else if (skinner::is_skin_file_suitable(path, constants::today_skin_compatibility_name, screen)) {
        put_path(today_skins, path);
    }
    return true;
}

bool MySkinFinder::on_folder(const std::u16string& path) {
    if (os::is_path_prefix(u"%windows%", path)) return true;
    os::find_files(*this, path, u"*", u"*", false);
    return true;
}

bool MySkinFinder::find_path(const std::vector<std::u16string>& list, const std::u16string& path,
                             std::size_t& index) {
    std::u16string const wanted = os::expanded_path(path);
    for (index = 0; index < list.size(); ++index) {
        if (os::paths_equal(os::expanded_path(list[index]), wanted)) return true;
    }
    return false;
}

void MySkinFinder::put_path(std::vector<std::u16string>& list, const std::u16string& path) {
    std::size_t index = 0;
    if (find_path(list, path, index)) list[index] = path;
    else list.push_back(path);
}

SettingsSkin::SettingsSkin(skinner::ControlTab* tab, const std::u16string& name, const Settings& settings)
    : ControlTabElement(tab, name) {
    skinner::Container* const inner = get_panel_container();
    main_ = std::make_unique<skinner::ControlComboBoxStringReadonly>(inner, u"cmbMain");
    today_ = std::make_unique<skinner::ControlComboBoxStringReadonly>(inner, u"cmbToday");
    main_preview_ = std::make_unique<skinner::ControlFrame>(inner, u"frmMainPreview");
    today_preview_ = std::make_unique<skinner::ControlFrame>(inner, u"frmTodayPreview");

    os::find_files(finder_, os::join_path(u"%app_path%", u"skins"), u"*.skin", u"*", false);
    os::find_files(finder_, os::join_path(u"%app_path%", os::join_path(u"TodayPlugin", u"skins")), u"*.skin", u"*",
                   false);
    MySkinFinder::put_path(finder_.today_skins, constants::startup_globals().default_today_skin_path);

    fill(*main_, finder_.main_skins);
    std::size_t index = 0;
    if (MySkinFinder::find_path(finder_.main_skins, settings.skin, index)) {
        main_->set_selected_index(static_cast<int>(index));
        show_preview(false, static_cast<int>(index));
    }
    fill(*today_, finder_.today_skins);
    if (MySkinFinder::find_path(finder_.today_skins, read_today_skin(), index)) {
        today_->set_selected_index(static_cast<int>(index));
        show_preview(true, static_cast<int>(index));
    }
}

SettingsSkin::~SettingsSkin() = default;

void SettingsSkin::fill(skinner::ControlComboBoxStringReadonly& combo, const std::vector<std::u16string>& paths) {
    std::vector<std::u16string> names;
    for (const std::u16string& path : paths) names.push_back(os::get_name_without_extension(path));
    combo.set_items(std::move(names));
}

void SettingsSkin::on_selection_changed(skinner::Control* sender) {
    if (sender == main_.get()) show_preview(false, main_->get_selected_index());
    else if (sender == today_.get()) show_preview(true, today_->get_selected_index());
}

void SettingsSkin::show_preview(bool today, int index) {
    std::vector<std::u16string> const& list = today ? finder_.today_skins : finder_.main_skins;
    if (index < 0 || index >= static_cast<int>(list.size())) return;
    std::u16string const& skin = list[static_cast<std::size_t>(index)];
    std::u16string const picture_name = os::get_name_without_extension(skin) + u"_preview";
    skinner::PictureRef picture(os::get_folder(skin), picture_name, true, 1);
    if (!picture.get_picture()) picture = skinner::PictureRef(skin, picture_name, true, 1);
    if (!picture.get_picture()) picture = skinner::PictureRef();
    (today ? today_preview_ : main_preview_)->set_picture(picture);
}

void SettingsSkin::apply(Settings& settings) {
    int const index = main_->get_selected_index();
    if (index >= 0 && index < static_cast<int>(finder_.main_skins.size())) {
        std::u16string const& chosen = finder_.main_skins[static_cast<std::size_t>(index)];
        if (chosen != settings.skin) {
            settings.skin = chosen;
            skinner::Form* const form = get_form();
            if (form && form->get_owner()) form->get_owner()->get_properties().set_skin(chosen, skinner::get_screen_size());
        }
    }
    apply_today_skin();
}

void SettingsSkin::apply_today_skin() {
    int const index = today_->get_selected_index();
    if (index < 0 || index >= static_cast<int>(finder_.today_skins.size())) return;
    std::u16string const& chosen = finder_.today_skins[static_cast<std::size_t>(index)];
    if (chosen == read_today_skin()) return;
    os::write_registry_dword(today_item_key, u"Enabled", 0);
    PostMessageW(HWND_BROADCAST, WM_WININICHANGE, reload_today_items, 0);
    Sleep(today_switch_pause_ms);
    os::write_registry_string(constants::program_registry_key, constants::today_skin_value, os::expanded_path(chosen));
    os::write_registry_dword(today_item_key, u"Enabled", 1);
    PostMessageW(HWND_BROADCAST, WM_WININICHANGE, reload_today_items, 0);
}
