#include "tests/screens/settings_fixture.h"

#include "skin/tab.h"

namespace settings_test {

SettingsForm& SettingsFormTest::open(skinner::Form* owner) {
    form = std::make_unique<SettingsForm>(owner, dialogs.get(), &settings);
    return *form;
}

void SettingsFormTest::close() {
    if (!form) return;
    form->can_close();
    form.reset();
}

void SettingsFormTest::show_page(skinner::ControlTabElement& page) {
    page.set_visible(true);
    settle();
}

std::string SettingsFormTest::program_file(const std::string& name) const {
    return device.fs() + "/Program Files/Sonbrix/" + name;
}

}  // namespace settings_test
