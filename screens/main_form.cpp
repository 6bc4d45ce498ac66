// The main form's members, their construction and teardown, and showing the window.
#include "screens/main_form.h"

#include <algorithm>

#include "app/comm/comm_channel.h"
#include "app/comm/command_delegate.h"
#include "foundation/log.h"
#include "screens/control_clock.h"
#include "screens/control_flash.h"
#include "screens/control_progress_bookmarks.h"
#include "screens/control_speed.h"
#include "screens/panel_equalizer.h"
#include "screens/panel_file_explorer.h"
#include "screens/panel_levels.h"
#include "screens/panel_more_controls.h"
#include "screens/settings_skin.h"
#include "skin/button.h"
#include "skin/button_multistate.h"
#include "skin/check_box.h"
#include "skin/form_impl.h"
#include "skin/frame.h"
#include "skin/hardware_keys.h"
#include "skin/menu_main_button.h"
#include "skin/power_manager.h"
#include "skin/progress.h"
#include "platform/windows.h"

namespace {

// The period of the form's timer, the heartbeat of the screens.
constexpr double timer_period_seconds = 0.2;

}  // namespace

MainForm::MainForm(skinner::Properties* skin, const std::u16string& form_name)
    : skinner::Form(nullptr, skin, form_name, nullptr),
      explorer_(std::make_unique<screens::PanelFileExplorer>(this, u"PanelFileExplorer", *Document::instance(),
                                                           &get_settings_skin())),
      levels_(std::make_unique<PanelLevels>(this, u"PanelLevels")),
      equalizer_(std::make_unique<PanelEqualizer>(this, u"PanelEqualizer")),
      more_controls_(std::make_unique<PanelMoreControls>(this, u"PanelMoreControls")),
      new_mark_(std::make_unique<skinner::ControlButton>(this, u"btnNewMark")),
      rewind_(std::make_unique<skinner::ControlButton>(this, u"btnRewind")),
      forward_(std::make_unique<skinner::ControlButton>(this, u"btnForward")),
      play_(std::make_unique<skinner::ControlButtonMultistate>(2, this, u"btnPlay")),
      record_(std::make_unique<skinner::ControlButtonMultistate>(2, this, u"btnRecord")),
      stop_(std::make_unique<skinner::ControlButton>(this, u"btnStop")),
      output_(std::make_unique<skinner::ControlProgress>(this, u"pbOutput")),
      position_(std::make_unique<screens::ControlProgressBookmarks>(this, u"pbPosition")),
      mode_(std::make_unique<skinner::ControlButtonMultistate>(4, this, u"btnMode")),
      rec_lamp_(std::make_unique<screens::ControlFlash>(this, u"checkRec")),
      play_lamp_(std::make_unique<screens::ControlFlash>(this, u"checkPlay")),
      stereo_(std::make_unique<skinner::ControlCheckBox>(this, u"checkStereo")),
      speed_(std::make_unique<screens::ControlSpeed>(this, u"frmSpeed")),
      vas_(std::make_unique<skinner::ControlCheckBox>(this, u"checkVAS")),
      info_(std::make_unique<skinner::ControlFrame>(this, u"frmInfo")),
      title_(std::make_unique<skinner::ControlFrame>(this, u"frmTitle")),
      clock_(std::make_unique<screens::ControlClock>(this, u"Clock")),
      clock_mode_(std::make_unique<skinner::ControlButton>(this, u"btnClockMode")),
      main_menu_(std::make_unique<skinner::ControlMenuMain>(this, u"MainMenu")),
      file_menu_(std::make_unique<skinner::MenuMainSubMenu>(this, u"File", u"File", 1)),
      mode_menu_(std::make_unique<skinner::MenuMainButton>(this, u"Mode", u"", 2)),
      hardware_keys_(std::make_unique<skinner::HardwareKeys>(this)),
      power_manager_(std::make_unique<skinner::PowerManager>(this)) {
    whole_ = true;
    set_visible(false);
    SetWindowTextW(get_window(), u"Sonbrix");
    // These only show the state.
    vas_->set_enabled(false);
    speed_->set_enabled(false);
    stereo_->set_enabled(false);
    show_panel(0);
    Settings const& settings = Document::instance()->get_settings();
    power_manager_->set_turn_off_interval(settings.play.turn_off);
    hardware_keys_->set_unmap_when_inactive(settings.buttons.unmap_when_inactive);
    timer_id_ = set_timer(timer_period_seconds);
    apply_settings(settings);
    init_main_comm();
    register_requests();
    mode_menu_->set_image_index(Document::instance()->get_play_mode());
    mode_menu_->set_separator_after(true);
}

MainForm::~MainForm() {
    whole_ = false;
    unregister_requests();
    if (timer_id_) kill_timer(timer_id_);
}

void MainForm::register_requests() {
    using Handler = std::uint32_t (MainForm::*)();
    static constexpr Handler handlers[request_count] = {
        &MainForm::on_play_file_request,     &MainForm::on_record_to_file_request,
        &MainForm::on_start_recording_request, &MainForm::on_append_recording_request,
        &MainForm::on_insert_recording_request, &MainForm::on_pause_request,
        &MainForm::on_stop_request,          &MainForm::on_status_request,
        &MainForm::on_play_step_request,
    };
    for (std::int32_t id = 0; id < request_count; ++id) {
        requests_[id] = std::make_unique<CMethodCommandDelegate<MainForm>>(*this, handlers[id]);
        register_command_delegate(id, requests_[id].get());
    }
}

void MainForm::unregister_requests() {
    for (std::int32_t id = 0; id < request_count; ++id) register_command_delegate(id, nullptr);
}

void MainForm::show(bool visible) {
    if (is_window_visible() != visible) {
        set_visible(visible);
        if (visible) Document::instance()->notify(Change(true, false, false, false));
    }
    if (visible) get_impl()->bring_to_front();
    skinner::Size const size = get_size();
    skinner::Point const position = get_window_position();
    os::get_log() << "Size =" << size.width << " " << size.height << "\n";
    os::get_log() << "Position =" << position.x << " " << position.y << "\n";
}

void MainForm::layout() {
    skinner::Form::layout();
    if (get_current_size().width == 0) return;  // not laid out yet
    skinner::Point origin;
    skinner::Size area;
    skinner::get_work_area(true, origin, area);
    skinner::Size const least = get_min_size();
    move_window(origin, {std::max(area.width, least.width), std::max(area.height, least.height)});
}

void MainForm::show_panel(std::uint32_t mode) {
    skinner::Control* const panels[] = {explorer_.get(), levels_.get(), equalizer_.get(), more_controls_.get()};
    for (std::uint32_t index = 0; index < 4; ++index) panels[index]->set_visible(index == mode);
}
