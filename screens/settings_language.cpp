#include "screens/settings_language.h"

#include "app/settings.h"
#include "foundation/paths.h"
#include "skin/combo_box_string.h"
#include "skin/form.h"
#include "skin/properties.h"

bool LangFinder::on_file(const std::u16string& path) {
    names_->push_back(os::get_name_without_extension(path));
    return true;
}

SettingsLanguage::SettingsLanguage(skinner::ControlTab* tab, const std::u16string& name, const Settings& settings)
    : ControlTabElement(tab, name) {
    languages_ = std::make_unique<skinner::ControlComboBoxStringReadonly>(get_panel_container(), u"cbLanguage");
    std::vector<std::u16string> names;
    LangFinder finder(names);
    os::find_files(finder, u"%app_path%", u"*.lng", u"*", false);
    languages_->set_items(names);
    languages_->set_selected_index(0);
    for (std::size_t index = 0; index < names.size(); ++index) {
        if (os::paths_equal(names[index], settings.language)) {
            languages_->set_selected_index(static_cast<int>(index));
            break;
        }
    }
}

SettingsLanguage::~SettingsLanguage() = default;

void SettingsLanguage::apply(Settings& settings) {
    int const index = languages_->get_selected_index();
    if (index < 0 || index >= languages_->get_item_count()) return;
    std::u16string const chosen = languages_->get_item_text(index);
    if (chosen == settings.language) return;
    Settings changed = settings;
    changed.language = chosen;
    std::u16string const path = changed.get_language_path();
    skinner::Form* const form = get_form();
    skinner::Form* const owner = form ? form->get_owner() : nullptr;
    if (owner && !owner->get_properties().set_language(path)) return;
    if (form && !form->get_properties().set_language(path) && !owner) return;
    settings.language = chosen;
}
