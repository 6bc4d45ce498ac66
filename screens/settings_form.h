// The modal form of the whole settings record: seven pages on one tab control. It edits the
// record it is given and writes every page back when it closes; the caller stores the
// record afterwards.
#pragma once

#include <memory>

#include "skin/form.h"

class Settings;
class SettingsAssociate;
class SettingsButtons;
class SettingsLanguage;
class SettingsPlayback;
class SettingsRecording;
class SettingsSchedule;
class SettingsSkin;
namespace skinner {
class ControlMenuMain;
class ControlTab;
}  // namespace skinner

class SettingsForm : public skinner::Form {
public:
    SettingsForm(skinner::Form* owner, skinner::Properties* properties, Settings* settings);
    ~SettingsForm() override;

    void on_click(skinner::Control* sender) override;
    // Writes the pages back: the language before the skin, so a new skin comes up with the
    // new texts. The form may always close.
    bool can_close() override;
    // The form fills the work area between the shell's bars, as the main window does.
    void layout() override;

    skinner::ControlTab& get_tab() { return *tab_; }
    SettingsRecording& get_recording() { return *recording_; }
    SettingsPlayback& get_playback() { return *playback_; }
    SettingsButtons& get_buttons() { return *buttons_; }
    SettingsSchedule& get_schedule() { return *schedule_; }
    SettingsAssociate& get_associate() { return *associate_; }
    SettingsLanguage& get_language() { return *language_; }
    SettingsSkin& get_skin() { return *skin_; }

private:
    void fill_work_area();

    Settings* settings_;
    std::unique_ptr<skinner::ControlTab> tab_;
    std::unique_ptr<SettingsRecording> recording_;
    std::unique_ptr<SettingsPlayback> playback_;
    std::unique_ptr<SettingsButtons> buttons_;
    std::unique_ptr<SettingsSchedule> schedule_;
    std::unique_ptr<SettingsAssociate> associate_;
    std::unique_ptr<SettingsLanguage> language_;
    std::unique_ptr<SettingsSkin> skin_;
    std::unique_ptr<skinner::ControlMenuMain> menu_;
};
