// The main form's commands: buttons, menu items, hardware keys and the joystick all name a
// command; the names the form does not know go to the file explorer.
#include <algorithm>

#include "app/settings.h"
#include "screens/message_forms.h"
#include "screens/settings_form.h"
#include "screens/settings_skin.h"
#include "foundation/file_system.h"
#include "foundation/paths.h"
#include "screens/control_clock.h"
#include "screens/control_progress_bookmarks.h"
#include "screens/main_form.h"
#include "screens/panel_file_explorer.h"
#include "skin/button_multistate.h"
#include "skin/control.h"
#include "skin/form_impl.h"
#include "skin/hardware_keys.h"
#include "skin/menu_item_info.h"
#include "skin/menu_main_button.h"
#include "skin/power_manager.h"
#include "skin/progress.h"
#include "skin/properties.h"

namespace {

constexpr int play_mode_count = 5;
constexpr double volume_step = 0.1;
constexpr double seek_step_seconds = 5.0;

Change const view_only(true, false, false, false);
Change const position_only(false, true, false, false);
Change const volume_only(false, false, false, true);
Change const all_flags(true, true, true, true);

}  // namespace

bool MainForm::on_command(const std::u16string& command) {
    Document& document = *Document::instance();
    if (command == u"Settings") {
        run_settings_form();
    } else if (command == u"Mode") {
        int const mode = (document.get_play_mode() + 1) % play_mode_count;
        document.set_play_mode(mode);
        mode_menu_->set_image_index(mode);
        document.notify(view_only);
    } else if (command == u"Exit") {
        close();
    } else if (command == u"Next" || command == u"Prev") {
        if (command == u"Next") document.play_next();
        else document.play_previous();
        document.notify(Change());
    } else if (command == u"Play") {
        if (!document.is_playing()) explorer_->play_selected(false, 0);
        else if (document.is_playback_paused()) document.resume();
        else document.pause();
        document.notify(Change());
    } else if (command == u"PlayStop") {
        if (!document.is_playing()) explorer_->play_selected(false, 0);
        else document.stop();
        document.notify(Change());
    } else if (command == u"Record") {
        run_record_command();
        document.notify(Change());
    } else if (command == u"RecordStop") {
        if (!document.is_recording()) run_record_command();
        else document.stop();
        document.notify(Change());
    } else if (command == u"Forward" || command == u"Rewind") {
        document.seek_relative(command == u"Forward" ? seek_step_seconds : -seek_step_seconds);
        document.notify(Change());
    } else if (command == u"Stop") {
        document.stop(this);
        document.notify(Change());
    } else if (command == u"VolumeUp" || command == u"VolumeDown") {
        double const step = command == u"VolumeUp" ? volume_step : -volume_step;
        document.set_volume(std::clamp(document.get_volume() + step, 0.0, 1.0));
        document.notify(volume_only);
    } else if (command == u"Panel") {
        show_panel(mode_->get_state());
        document.notify(view_only);
    } else if (command == u"ClockMode") {
        clock_->set_mode(!clock_->get_mode());
    } else if (command == u"NewBookmark") {
        document.add_bookmark(u"Bookmark");
        document.notify(Change());
    } else if (command == u"Help") {
        execute_file(os::join_path(u"%app_path%", get_properties().translate(u"Help_link")), u"");
    } else if (command == u"#ScreenResolution#") {
        Settings const& settings = document.get_settings();
        get_properties().load(settings.skin, settings.get_language_path(), skinner::get_screen_size());
        document.notify(all_flags);
    } else {
        explorer_->run_command(command);
    }
    return true;
}

void MainForm::run_record_command() {
    Document& document = *Document::instance();
    if (!document.is_recording()) {
        if (document.record_new_file(explorer_->get_folder())) explorer_->select_file(document.get_record_file());
    } else if (document.is_recording_paused()) {
        document.resume();
    } else {
        document.pause();
    }
}

void MainForm::on_click(skinner::Control* sender) {
    struct Binding {
        const char16_t* control;
        const char16_t* command;
    };
    static constexpr Binding bindings[] = {
        {u"btnForward", u"Next"}, {u"btnRewind", u"Prev"},          {u"btnPlay", u"Play"},
        {u"btnRecord", u"Record"}, {u"btnStop", u"Stop"},            {u"btnMode", u"Panel"},
        {u"btnClockMode", u"ClockMode"}, {u"btnNewMark", u"NewBookmark"},
    };
    for (Binding const& binding : bindings) {
        if (sender->get_name() == binding.control) {
            on_command(binding.command);
            return;
        }
    }
}

void MainForm::on_value_changed(skinner::Control* sender, double value) {
    Document& document = *Document::instance();
    if (sender == output_.get()) {
        document.set_volume(value);
        document.notify(volume_only);
    } else if (sender == position_.get()) {
        document.seek_fraction(value);
        document.notify(position_only);
    }
}

bool MainForm::on_keydown(int key) {
    // While a name is typed in the explorer, the keys are the field's: the arrows move its caret.
    if (explorer_->is_visible() && explorer_->is_typing_name()) return skinner::Form::on_keydown(key);
    ButtonSettings const& buttons = Document::instance()->get_settings().buttons;
    // A key without its own binding goes to the form's key handling; it never runs the
    // binding of another key.
    if (key == skinner::KEY_LEFT && !buttons.joy_left_action.empty()) {
        on_command(buttons.joy_left_action);
        return true;
    }
    if (key == skinner::KEY_RIGHT && !buttons.joy_right_action.empty()) {
        on_command(buttons.joy_right_action);
        return true;
    }
    bool const explorer_key = key == skinner::KEY_UP || key == skinner::KEY_DOWN || key == skinner::KEY_RETURN;
    if (explorer_key && explorer_->is_visible()) return explorer_->on_keydown(key);
    return skinner::Form::on_keydown(key);
}

void MainForm::on_menu_create(skinner::MenuItemInfo& menu) {
    if (menu.command != u"File") return;
    struct Item {
        const char16_t* command;
        bool separator_after;
    };
    static constexpr Item items[] = {{u"Settings", true}, {u"Help", false}, {u"Exit", true}};
    for (Item const& item : items) {
        skinner::MenuItemInfo entry;
        entry.command = item.command;
        entry.text = get_properties().translate(item.command);
        entry.separator_after = item.separator_after;
        menu.children.push_back(entry);
    }
}

void MainForm::run_settings_form() {
    Document& document = *Document::instance();
    Settings edited = document.get_settings();
    {
        SettingsForm form(this, &get_settings_skin(), &edited);
        form.do_modal();
    }
    if (!document.set_settings(edited)) {
        screens::show_error(this, &get_settings_skin(), u"on_settings_not_saved_caption", u"on_settings_not_saved");
    }
    apply_settings(edited);
    hardware_keys_->set_unmap_when_inactive(edited.buttons.unmap_when_inactive);
    // The interval in force changes at once; the timer step applies the next state's.
    power_manager_->set_turn_off_interval(playback_turn_off_applied_ ? edited.play.turn_off : edited.record.turn_off);
    mode_menu_->set_image_index(document.get_play_mode());
    document.notify(Change(true, true, true, true));
}
