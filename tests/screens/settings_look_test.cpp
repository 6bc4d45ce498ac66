// Every settings page on the small and the large screen, filled from a settings record,
// kept as expected screenshots.
#include <gtest/gtest.h>

#include <string>

#include "platform/windows.h"

#include "screens/settings_associate.h"
#include "screens/settings_buttons.h"
#include "screens/settings_language.h"
#include "screens/settings_playback.h"
#include "screens/settings_recording.h"
#include "screens/settings_schedule.h"
#include "screens/settings_skin_page.h"
#include "skin/control_calendar.h"
#include "tests/screens/settings_fixture.h"

namespace settings_test {
namespace {

struct LookCase {
    const char* screen;
    const char* page;
};

class SettingsLook : public SettingsFormTest, public ::testing::WithParamInterface<LookCase> {
protected:
    SettingsLook() : SettingsFormTest(GetParam().screen) {}
};

skinner::ControlTabElement& page_named(SettingsForm& form, const std::string& name) {
    if (name == "recording") return form.get_recording();
    if (name == "playback") return form.get_playback();
    if (name == "buttons") return form.get_buttons();
    if (name == "schedule") return form.get_schedule();
    if (name == "associate") return form.get_associate();
    if (name == "language") return form.get_language();
    return form.get_skin();
}

TEST_P(SettingsLook, ThePageShowsTheStoredSettings) {
    settings.record.prefix = u"memo";
    settings.record.folder = u"\\My Documents\\Voice";
    settings.record.default_folder = true;
    settings.record.include_date = true;
    settings.play.mode = 3;
    settings.play.turn_off = 30;
    settings.play.associate_wav_cmd = u"\"\\Windows\\player.exe\" %1";
    settings.buttons.keys = {u"Record", u"Play", u"Stop"};
    settings.schedule.insert(ScheduleTask(at(12, 8, 30), at(12, 9, 0)));
    settings.schedule.insert(ScheduleTask(at(14, 18, 5), at(14, 19, 45)));
    settings.skin = u"%app_path%\\skins\\Default\\Default.skin";
    SettingsForm& shown = open();
    // The calendars start at the present moment; the picture needs a fixed one.
    os::DateTime const begin(at(20, 7, 15));
    os::DateTime const end(at(20, 7, 45));
    shown.get_schedule().get_date_begin().set_time(begin);
    shown.get_schedule().get_time_begin().set_time(begin);
    shown.get_schedule().get_date_end().set_time(end);
    shown.get_schedule().get_time_end().set_time(end);
    show_page(page_named(shown, GetParam().page));
    expect_looks_like(std::string("settings-") + GetParam().page + "-" + GetParam().screen);
    close();
}

std::vector<LookCase> all_cases() {
    std::vector<LookCase> cases;
    for (const char* screen : {"240x320", "480x640"}) {
        for (const char* page : {"recording", "playback", "buttons", "schedule", "associate", "language", "skin"}) {
            cases.push_back({screen, page});
        }
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Pages, SettingsLook, ::testing::ValuesIn(all_cases()),
                         [](const ::testing::TestParamInfo<LookCase>& info) {
                             std::string name = std::string(info.param.page) + "_" + info.param.screen;
                             for (char& c : name) {
                                 if (c == 'x') c = '_';
                             }
                             return name;
                         });

}  // namespace
}  // namespace settings_test
