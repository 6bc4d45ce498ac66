#include "screens/settings_associate.h"

#include "app/associations.h"
#include "app/settings.h"
#include "skin/check_box.h"

SettingsAssociate::SettingsAssociate(skinner::ControlTab* tab, const std::u16string& name, const Settings& settings)
    : ControlTabElement(tab, name) {
    static constexpr const char16_t* ids[type_count] = {u"chkWAV", u"chkMP3", u"chkM3U", u"chkOGG", u"chkWMA"};
    PlaySettings const& play = settings.play;
    const std::u16string* const remembered[type_count] = {&play.associate_wav_cmd, &play.associate_mp3_cmd,
                                                          &play.associate_m3u_cmd, &play.associate_ogg_cmd,
                                                          &play.associate_wma_cmd};
    for (int type = 0; type < type_count; ++type) {
        boxes_[type] = std::make_unique<skinner::ControlCheckBox>(get_panel_container(), ids[type]);
        boxes_[type]->set_checked(!remembered[type]->empty());
    }
}

SettingsAssociate::~SettingsAssociate() = default;

void SettingsAssociate::apply(Settings& settings) {
    update_file_associations(settings, boxes_[wav]->is_checked(), boxes_[mp3]->is_checked(),
                             boxes_[m3u]->is_checked(), boxes_[ogg]->is_checked(), boxes_[wma]->is_checked());
}
