#include "screens/settings_form.h"

#include <algorithm>

#include "screens/settings_associate.h"
#include "screens/settings_buttons.h"
#include "screens/settings_language.h"
#include "screens/settings_playback.h"
#include "screens/settings_recording.h"
#include "screens/settings_schedule.h"
#include "screens/settings_skin_page.h"
#include "skin/form_impl.h"
#include "skin/menu_main_button.h"
#include "skin/tab.h"

SettingsForm::SettingsForm(skinner::Form* owner, skinner::Properties* properties, Settings* settings)
    : skinner::Form(owner, properties, u"Settings", owner), settings_(settings) {
    tab_ = std::make_unique<skinner::ControlTab>(this, u"tabSettings");
    recording_ = std::make_unique<SettingsRecording>(tab_.get(), u"tabRecording", *settings);
    playback_ = std::make_unique<SettingsPlayback>(tab_.get(), u"tabPlayback", *settings);
    buttons_ = std::make_unique<SettingsButtons>(tab_.get(), u"tabButtons", *settings);
    schedule_ = std::make_unique<SettingsSchedule>(tab_.get(), u"tabSchedule", *settings);
    associate_ = std::make_unique<SettingsAssociate>(tab_.get(), u"tabAssociate", *settings);
    language_ = std::make_unique<SettingsLanguage>(tab_.get(), u"tabLanguage", *settings);
    skin_ = std::make_unique<SettingsSkin>(tab_.get(), u"tabSkin", *settings);
    menu_ = std::make_unique<skinner::ControlMenuMain>(this, u"menuMain");
    fill_work_area();
}

SettingsForm::~SettingsForm() {
    // The pages go before the tab control that lists them.
    skin_.reset();
    language_.reset();
    associate_.reset();
    schedule_.reset();
    buttons_.reset();
    playback_.reset();
    recording_.reset();
}

void SettingsForm::on_click(skinner::Control* sender) {
    if (sender && sender->get_name() == u"btnOk") close();
}

bool SettingsForm::can_close() {
    recording_->apply(*settings_);
    playback_->apply(*settings_);
    language_->apply(*settings_);
    skin_->apply(*settings_);
    buttons_->apply(*settings_);
    schedule_->apply(*settings_);
    associate_->apply(*settings_);
    return true;
}

void SettingsForm::layout() {
    skinner::Form::layout();
    if (get_current_size().width == 0) return;  // not laid out yet
    fill_work_area();
}

void SettingsForm::fill_work_area() {
    skinner::Point origin;
    skinner::Size area;
    skinner::get_work_area(true, origin, area);
    skinner::Size const least = get_min_size();
    move_window(origin, {std::max(area.width, least.width), std::max(area.height, least.height)});
}
