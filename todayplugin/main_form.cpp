#include "todayplugin/main_form.h"

#include "app/comm/sonbrix_status.h"
#include "platform/today.h"
#include "todayplugin/command_senders.h"
#include "todayplugin/elapsed_text.h"
#include "todayplugin/plugin_names.h"

namespace todayplugin {
namespace {

constexpr double refresh_seconds = 0.5;
constexpr std::uint32_t opaque = 0xFF000000u;

bool is_playing(std::int32_t state) { return state == state_playing || state == state_play_paused; }
bool is_recording(std::int32_t state) { return state == state_recording || state == state_record_paused; }

std::u16string file_text(const StatusData& status) {
    std::u16string const path(status.current_file, std::char_traits<char16_t>::length(status.current_file));
    return path.empty() ? u"Tap icon to activate Sonbrix" : path;
}

}  // namespace

MainForm::MainForm(skinner::FormImpl* impl, skinner::Properties* skin, const std::u16string& form_name)
    : Form(nullptr, impl, skin, form_name, nullptr),
      background_(this),
      activate_(this, u"btnActivate"),
      play_(2, this, u"btnPlay"),
      stop_(this, u"btnStop"),
      record_(2, this, u"btnRec"),
      next_(this, u"btnNext"),
      previous_(this, u"btnPrev"),
      file_name_(this, u"frmFilename"),
      elapsed_time_(this, u"frmElapsedTime"),
      hook_(this) {
    auto const colour = static_cast<std::uint32_t>(
        SendMessageW(GetParent(get_window()), TODAYM_GETCOLOR, TODAYCOLOR_TEXT, 0));
    text_colour_ = (colour & 0xFFFFFFu) | opaque;
    setup_command_channel();
    refresh_timer_ = set_timer(refresh_seconds);
    refresh();
}

MainForm::~MainForm() { kill_timer(refresh_timer_); }

void MainForm::on_click(skinner::Control* sender) {
    if (sender == &activate_) {
        StatusData status{};
        request_status(&status, false);
        request_status(&status, true);
        return;
    }
    if (sender == &play_) {
        on_play();
    } else if (sender == &stop_) {
        send_stop(false);
    } else if (sender == &record_) {
        on_record();
    } else if (sender == &next_) {
        send_skip(1, false);
    } else if (sender == &previous_) {
        send_skip(-1, false);
    } else {
        return;
    }
    refresh();
}

// A status request that fails leaves the record as made here: state 0, which plays.
void MainForm::on_play() {
    StatusData status{};
    request_status(&status, false);
    if (is_playing(status.state)) {
        send_pause(false);
    } else if (!send_play(u"", false)) {
        request_status(&status, true);
    }
}

void MainForm::on_record() {
    StatusData status{};
    request_status(&status, false);
    if (is_recording(status.state)) {
        send_pause(false);
    } else {
        send_record(u"", 0, false);
    }
}

void MainForm::on_timer_broadcast(UINT_PTR id) {
    if (id == refresh_timer_) {
        refresh();
        return;
    }
    Form::on_timer_broadcast(id);
}

void MainForm::refresh() {
    file_name_.set_colour(text_colour_);
    file_name_.repaint();
    if (!FindWindowW(program_window_class, nullptr)) {
        show_program_not_running();
        return;
    }
    // A program that closes after the look above answers no more; the refresh must not
    // start it again.
    StatusData status{};
    if (!request_running_status(&status, false)) return;
    show_status(status);
}

void MainForm::show_program_not_running() {
    play_.set_state(0);
    record_.set_state(0);
    file_name_.set_text(u"Tap icon to start Sonbrix");
    elapsed_time_.set_text(u"00:00");
    play_.set_enabled(true);
    record_.set_enabled(true);
    stop_.set_enabled(false);
    previous_.set_enabled(false);
    next_.set_enabled(false);
}

void MainForm::show_status(const StatusData& status) {
    std::int32_t const state = status.state;
    elapsed_time_.set_text(elapsed_text(static_cast<double>(status.elapsed) / 1000.0));
    file_name_.set_text(file_text(status));
    stop_.set_enabled(state != state_idle);
    next_.set_enabled(is_playing(state));
    previous_.set_enabled(is_playing(state));
    play_.set_enabled(state == state_idle || is_playing(state));
    record_.set_enabled(state == state_idle || is_recording(state));
    play_.set_state(state == state_playing ? 1 : 0);
    record_.set_state(state == state_recording ? 1 : 0);
}

}  // namespace todayplugin
