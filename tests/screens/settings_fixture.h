// The settings form on the shipped dialog skin, on the headless screen of a test device
// that holds the staged program files.
#pragma once

#include <memory>
#include <string>

#include "app/settings.h"
#include "screens/settings_form.h"
#include "skin/tab.h"
#include "tests/screens/dialog_fixture.h"

namespace settings_test {

class SettingsFormTest : public dialog_test::DialogTest {
protected:
    explicit SettingsFormTest(const char* screen_size = "240x320") : DialogTest(screen_size) {}

    // The form over no owner, editing `settings`.
    SettingsForm& open(skinner::Form* owner = nullptr);
    // Writes every page back, as closing the form does, and destroys the form.
    void close();
    // Shows the page and waits until it is painted.
    void show_page(skinner::ControlTabElement& page);
    // The host path of a device path below the program folder.
    std::string program_file(const std::string& name) const;

    Settings settings;
    std::unique_ptr<SettingsForm> form;
};

}  // namespace settings_test
