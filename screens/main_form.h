// The program's main window: the form "Main" with the transport buttons, the position and
// volume bars, the status lamps, the menu bar and four panels of which one is shown. It is a
// view of the Document, runs the commands of its buttons, menus and keys, and serves the
// requests of the command channel.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "app/change.h"
#include "app/document.h"
#include "skin/form.h"

class CCommandDelegate;
namespace screens {
class ControlClock;
class ControlFlash;
class ControlProgressBookmarks;
class ControlSpeed;
}  // namespace screens
class PanelEqualizer;
namespace screens {
class PanelFileExplorer;
}
class PanelLevels;
class PanelMoreControls;
class Settings;

namespace skinner {
class ControlButton;
class ControlButtonMultistate;
class ControlCheckBox;
class ControlFrame;
class ControlMenuMain;
class ControlProgress;
class HardwareKeys;
class MenuMainButton;
class MenuMainSubMenu;
class PowerManager;
}  // namespace skinner

class MainForm : public skinner::Form, public Document::View {
public:
    // The request ids of the command channel, in the order of the handlers.
    static constexpr std::int32_t request_count = 9;

    MainForm(skinner::Properties* skin, const std::u16string& form_name);
    // Unregisters the request handlers first: a request that arrives during or after the
    // teardown is answered 0 by the channel instead of reaching a freed form.
    ~MainForm() override;

    // ---- Commands ------------------------------------------------------------------------
    void on_click(skinner::Control* sender) override;
    bool on_command(const std::u16string& command) override;
    void on_value_changed(skinner::Control* sender, double value) override;
    void on_menu_create(skinner::MenuItemInfo& menu) override;
    bool on_keydown(int key) override;
    // The main window fills the work area between the shell's bars, whatever the skin says.
    void layout() override;

    // ---- Timer, document and command line ------------------------------------------------
    void on_timer_broadcast(UINT_PTR id) override;
    void bring_to_front(const std::u16string& text) override;
    void on_document_changed(const Change& change) override;
    void apply_settings(const Settings& settings);
    // Edits a copy of the settings in the settings form, then stores and applies it; a
    // settings file that cannot be written is reported.
    void run_settings_form();

    // Shows or hides the window; shown, it comes to the front.
    void show(bool visible);

    // ---- Requests of the command channel (ids 0 to 8) -----------------------------------
    std::uint32_t on_play_file_request();
    std::uint32_t on_record_to_file_request();
    std::uint32_t on_start_recording_request();
    std::uint32_t on_append_recording_request();
    std::uint32_t on_insert_recording_request();
    std::uint32_t on_pause_request();
    std::uint32_t on_stop_request();
    std::uint32_t on_status_request();
    std::uint32_t on_play_step_request();

    screens::PanelFileExplorer& get_explorer() const { return *explorer_; }
    skinner::PowerManager& get_power_manager() const { return *power_manager_; }
    UINT_PTR get_timer_id() const { return timer_id_; }

private:
    void show_panel(std::uint32_t mode);
    void set_display_turn_off(int seconds);
    void check_recording_stream();
    void check_playback_stream();
    void update_display_turn_off();
    void report_failed_insert();
    void run_record_command();
    std::uint32_t run_text_request(std::int32_t id);
    void register_requests();
    void unregister_requests();

    // Between the end of the constructor and the start of the destructor: the panels notify
    // the Document while they are made and destroyed, and the form hears it.
    bool whole_ = false;
    std::unique_ptr<screens::PanelFileExplorer> explorer_;
    std::unique_ptr<PanelLevels> levels_;
    std::unique_ptr<PanelEqualizer> equalizer_;
    std::unique_ptr<PanelMoreControls> more_controls_;
    UINT_PTR timer_id_ = 0;
    std::unique_ptr<skinner::ControlButton> new_mark_;
    std::unique_ptr<skinner::ControlButton> rewind_;
    std::unique_ptr<skinner::ControlButton> forward_;
    std::unique_ptr<skinner::ControlButtonMultistate> play_;
    std::unique_ptr<skinner::ControlButtonMultistate> record_;
    std::unique_ptr<skinner::ControlButton> stop_;
    std::unique_ptr<skinner::ControlProgress> output_;
    std::unique_ptr<screens::ControlProgressBookmarks> position_;
    std::unique_ptr<skinner::ControlButtonMultistate> mode_;
    std::unique_ptr<screens::ControlFlash> rec_lamp_;
    std::unique_ptr<screens::ControlFlash> play_lamp_;
    std::unique_ptr<skinner::ControlCheckBox> stereo_;
    std::unique_ptr<screens::ControlSpeed> speed_;
    std::unique_ptr<skinner::ControlCheckBox> vas_;
    std::unique_ptr<skinner::ControlFrame> info_;
    std::unique_ptr<skinner::ControlFrame> title_;
    std::unique_ptr<screens::ControlClock> clock_;
    std::unique_ptr<skinner::ControlButton> clock_mode_;
    std::unique_ptr<skinner::ControlMenuMain> main_menu_;
    std::unique_ptr<skinner::MenuMainSubMenu> file_menu_;
    std::unique_ptr<skinner::MenuMainButton> mode_menu_;
    std::unique_ptr<skinner::HardwareKeys> hardware_keys_;
    std::unique_ptr<skinner::PowerManager> power_manager_;
    bool playback_turn_off_applied_ = false;
    bool recording_turn_off_applied_ = false;
    std::array<std::unique_ptr<CCommandDelegate>, request_count> requests_;
};
