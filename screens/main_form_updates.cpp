// The main form's timer step, its redraw on the Document's changes, the hardware keys'
// bindings and the command lines of later starts of the program.
#include "app/settings.h"
#include "app/text_utils.h"
#include "foundation/log.h"
#include "platform/dialogs.h"
#include "screens/control_clock.h"
#include "screens/control_flash.h"
#include "screens/control_progress_bookmarks.h"
#include "screens/control_speed.h"
#include "screens/explorer_manager.h"
#include "screens/main_form.h"
#include "screens/message_forms.h"
#include "screens/panel_file_explorer.h"
#include "screens/settings_skin.h"
#include "skin/button.h"
#include "skin/button_multistate.h"
#include "skin/check_box.h"
#include "skin/form_impl.h"
#include "skin/frame.h"
#include "skin/hardware_keys.h"
#include "skin/power_manager.h"
#include "skin/progress.h"
#include "skin/properties.h"

namespace {

Change const all_flags(true, true, true, true);

}  // namespace

void MainForm::on_timer_broadcast(UINT_PTR id) {
    if (id == 0 || id != timer_id_) {
        skinner::Form::on_timer_broadcast(id);
        return;
    }
    // While this step shows a modal message, the ticks reach only the controls.
    UINT_PTR const own_id = timer_id_;
    timer_id_ = 0;
    Document& document = *Document::instance();
    update_display_turn_off();
    if (document.is_recording()) check_recording_stream();
    else check_playback_stream();
    document.on_timer();
    report_failed_insert();
    timer_id_ = own_id;
    skinner::Form::on_timer_broadcast(id);
}

void MainForm::update_display_turn_off() {
    Document& document = *Document::instance();
    Settings const& settings = document.get_settings();
    if (!document.is_recording() && !document.is_playing()) {
        set_display_turn_off(0);
        playback_turn_off_applied_ = recording_turn_off_applied_ = false;
    } else if (!document.is_recording()) {
        if (playback_turn_off_applied_) return;
        set_display_turn_off(settings.play.turn_off);
        playback_turn_off_applied_ = true;
        recording_turn_off_applied_ = false;
    } else if (!recording_turn_off_applied_) {
        set_display_turn_off(settings.record.turn_off);
        recording_turn_off_applied_ = true;
        playback_turn_off_applied_ = false;
    }
}

void MainForm::set_display_turn_off(int seconds) {
    power_manager_->set_turn_off_interval(seconds);
    power_manager_->restart_idle_time();
}

void MainForm::check_recording_stream() {
    Document& document = *Document::instance();
    if (document.is_stream_ok()) return;
    document.pause();
    document.notify(Change());
    screens::show_error(this, &get_settings_skin(), u"on_recording_error_caption", u"on_recording_error");
    document.stop(this);
    document.notify(Change());
}

void MainForm::check_playback_stream() {
    Document& document = *Document::instance();
    // A file that never opened has no play chain but is still asked for: it fails here too.
    if (document.is_stream_ok()) return;
    if (get_file_extension_lower(document.get_current_file()) == u"wma") {
        screens::show_error(this, &get_settings_skin(), u"NO_WMA_CAPTION", u"NO_WMA");
    }
    document.stop();
}

// An insert whose splice failed has left the target as it was and kept the recording
// beside it; the user is told where it is.
void MainForm::report_failed_insert() {
    auto const failed = Document::instance()->take_failed_insert();
    if (!failed) return;
    skinner::Properties& texts = get_settings_skin();
    std::u16string const text = texts.translate(u"on_insert_failed",
                                                u"The recording could not be inserted into %dst%. It is kept as %src%.");
    std::u16string message = replace_all(text, u"%src%", failed->recording);
    message = replace_all(message, u"%dst%", failed->target);
    screens::show_error_text(this, &texts, texts.translate(u"on_insert_failed_caption", u"Insert"), message);
}

void MainForm::on_document_changed(const Change& change) {
    if (!whole_) return;
    Document& document = *Document::instance();
    if (change.file_changed || change.state_changed) explorer_->update_menu();
    bool const playing = document.is_playing();
    bool const recording = document.is_recording();
    if (change.state_changed) {
        title_->set_text(document.get_caption());
        vas_->set_checked(document.is_vas_on());
        stereo_->set_checked(document.is_stereo());
        play_lamp_->set_flashing(playing);
        rec_lamp_->set_flashing(recording);
        speed_->set_speed(document.get_speed());
        new_mark_->set_enabled(playing || recording);
        stop_->set_enabled(playing || recording);
        rewind_->set_enabled(document.has_previous());
        forward_->set_enabled(document.has_next());
        play_->set_enabled(playing || document.can_play());
        record_->set_enabled(recording || document.can_record());
        play_->set_state(playing && !document.is_playback_paused() ? 1 : 0);
        record_->set_state(recording && !document.is_recording_paused() ? 1 : 0);
    }
    if (change.position_changed || change.state_changed) {
        std::u16string info;
        if (document.get_sample_rate() != 0) {
            info = document.get_sample_rate_text() + u" " + document.get_bits_text() + u" " +
                   document.get_bitrate_text();
        }
        info_->set_text(info);
        position_->set_bookmarks(document.get_length(), playing ? &document.get_bookmarks() : nullptr);
        position_->set_progress(document.get_position_fraction());
        clock_->set_time(document.get_position_seconds(), document.get_remaining_seconds());
    }
    if (change.volume_changed) output_->set_progress(document.get_volume());
}

void MainForm::apply_settings(const Settings& settings) {
    hardware_keys_->set_unmap_when_inactive(settings.buttons.unmap_when_inactive);
    auto const& keys = hardware_keys_->get_keys();
    for (std::size_t index = 0; index < keys.size(); ++index) {
        std::u16string const action = index < settings.buttons.keys.size() ? settings.buttons.keys[index] : u"";
        hardware_keys_->set_key_action(static_cast<int>(index), action);
    }
}

void MainForm::bring_to_front(const std::u16string& text) {
    Document& document = *Document::instance();
    if (text == u"-hide") return;
    if (text == u"AppRunAtTime") {
        std::u16string const path = document.start_scheduled_recording();
        if (!path.empty()) explorer_->select_file(path);
    } else if (text.empty()) {
        if (GetForegroundWindow() == get_window()) {
            if (document.is_recording()) document.stop();
            else if (power_manager_->is_display_on()) on_command(u"Record");
        }
    } else {
        explorer_->select_file(text);
        explorer_->play_selected(false, 0);
    }
    show(true);
    skinner::Form::bring_to_front(text);
    document.notify(all_flags);
}
