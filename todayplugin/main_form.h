// The start-screen item's form: the wallpaper, the program's current file and elapsed time,
// and buttons that play, record, pause, stop, skip and bring the program to the front. Twice a
// second it asks the program for its status over the command channel and shows it.
#pragma once

#include <cstdint>
#include <string>

#include "skin/button.h"
#include "skin/button_multistate.h"
#include "skin/form.h"
#include "skin/frame.h"
#include "skin/lcd.h"
#include "todayplugin/today_painter.h"
#include "todayplugin/today_plugin_control.h"

struct StatusData;

namespace todayplugin {

// The program's states in the status record.
enum ProgramState : std::int32_t {
    state_idle = 1,
    state_playing = 2,
    state_recording = 3,
    state_play_paused = 4,
    state_record_paused = 5,
};

class MainForm : public skinner::Form {
public:
    // Over the item window (adopted by impl), built from the skin's form of that name.
    MainForm(skinner::FormImpl* impl, skinner::Properties* skin, const std::u16string& form_name);
    ~MainForm() override;

    void on_click(skinner::Control* sender) override;
    void on_timer_broadcast(UINT_PTR id) override;

    // Shows the program's status, or that it is not running.
    void refresh();
    // Texts, enabling and button states for this status record.
    void show_status(const StatusData& status);

private:
    void on_play();
    void on_record();
    void show_program_not_running();

    TodayPainter background_;
    skinner::ControlButton activate_;
    skinner::ControlButtonMultistate play_;
    skinner::ControlButton stop_;
    skinner::ControlButtonMultistate record_;
    skinner::ControlButton next_;
    skinner::ControlButton previous_;
    skinner::ControlFrame file_name_;
    std::uint32_t text_colour_ = 0;
    skinner::ControlLCD elapsed_time_;
    TodayPluginControl hook_;
    UINT_PTR refresh_timer_ = 0;
};

}  // namespace todayplugin
