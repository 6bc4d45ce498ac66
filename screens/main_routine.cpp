#include "screens/main_routine.h"

#include <memory>

#include "app/constants.h"
#include "app/document.h"
#include "foundation/application.h"
#include "foundation/log.h"
#include "platform/dialogs.h"
#include "screens/complete_form.h"
#include "screens/main_form.h"
#include "screens/panel_file_explorer.h"
#include "screens/settings_skin.h"
#include "skin/form_impl.h"
#include "skin/properties.h"

namespace {

// The configured skin, else the default one; false when neither suits this screen.
bool choose_main_skin(skinner::Properties& skin, skinner::Size screen) {
    if (skin.is_suitable(constants::skin_compatibility_name, screen)) return true;
    skin.set_skin(constants::startup_globals().default_skin_path, screen);
    return skin.is_suitable(constants::skin_compatibility_name, screen);
}

void act_on_command_line(MainForm& form, const std::u16string& command_line) {
    if (command_line == u"AppRunAtTime") {
        form.bring_to_front(command_line);
        form.show(true);
    } else if (command_line != u"-hide") {
        if (!command_line.empty()) {
            form.get_explorer().select_file(command_line);
            form.get_explorer().play_selected(false, 0);
        }
        form.show(true);
    }
}

}  // namespace

int run_main_routine(HINSTANCE__* instance, const std::u16string& command_line) {
    auto application = std::make_unique<os::Application>(instance, u"Sonbrix");
    if (application->find_previous_instance(command_line)) return 0;
    os::get_log() << "cmd_line[" << command_line.c_str() << "] \n";
    {
        Document document;
        skinner::Size const screen = skinner::get_screen_size();
        skinner::Properties skin(document.get_settings().skin, screen);
        if (!choose_main_skin(skin, screen)) {
            MessageBoxW(nullptr, u"Skin not found or it is incompatible with this version of Sonbrix", u"Warning",
                        MB_OK);
            return 0;
        }
        std::u16string const language = document.get_settings().get_language_path();
        skin.set_language(language);
        get_settings_skin().set_language(language);
        // A stop that still has much recorded sound to write shows its progress.
        document.set_drain_progress(screens::make_drain_progress(&get_settings_skin()));
        auto form = std::make_unique<MainForm>(&skin, u"Main");
        act_on_command_line(*form, command_line);
        application->finish_startup();
        document.notify(Change(true, true, true, true));
        form->do_modal();
        form.reset();
    }
    return 0;
}
