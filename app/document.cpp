// Construction and destruction of the Document, its views and the wiring of both graphs.
#include "app/document.h"

#include <algorithm>

#include "app/associations.h"
#include "foundation/log.h"
#include "foundation/paths.h"

namespace {

Document* the_instance = nullptr;

std::u16string settings_path() { return os::join_path(u"%app_path%", u"Sonbrix.xml"); }

const EqualizerBand& band_settings(const Settings& settings, std::size_t band) {
    const EqualizerBand* const bands[] = {&settings.equalizer1, &settings.equalizer2, &settings.equalizer3};
    return *bands[band];
}

}  // namespace

Document::View::View() {
    if (the_instance == nullptr) os::fatal_error(u"Document::View::View()", u"Document does not exist");
    the_instance->views.push_back(this);
}

Document::View::~View() {
    if (the_instance != nullptr) the_instance->views.remove(this);
}

Document::Document() {
    pending = Change(true, true, true, true);
    if (the_instance != nullptr) os::fatal_error(u"Document::Document()", u"Document is already instantiated");
    the_instance = this;
    settings.load(settings_path());
    update_file_associations(settings, !settings.play.associate_wav_cmd.empty(),
                             !settings.play.associate_mp3_cmd.empty(), !settings.play.associate_m3u_cmd.empty(),
                             !settings.play.associate_ogg_cmd.empty(), !settings.play.associate_wma_cmd.empty());
    apply_equalizers();
    audio::connect<audio::PCMData>(&fast_play, &stretch_filter);
    audio::connect<audio::PCMData>(&stretch_filter, &level_filter);
    audio::connect<audio::PCMData>(&level_filter, &level_meter);
    audio::connect<audio::PCMData>(&level_meter, &player);
    audio::connect<audio::PCMData>(&muter, &record_level);
    audio::connect<audio::PCMData>(&record_level, &level_meter_record);
    audio::connect<audio::PCMData>(&level_meter_record, &time_meter);
    audio::connect<audio::PCMData>(&time_meter, &active_buffer);
    apply_settings_to_graph();
}

void Document::apply_settings_to_graph() {
    level_meter_record.set_threshold(settings.record.vas);
    player.set_volume(settings.play.volume);
    mark_volume_changed();
    muter.set_muted(!settings.input_on);
    mark_state_changed();
    set_input(settings.record.input);
    level_meter_record.set_threshold(settings.record.vas);
    mark_state_changed();
    set_speed(settings.play.speed, settings.play.pitch_lock);
    apply_level_filter();
}

Document::~Document() {
    // Both graphs end before any member goes: the recorder's and the active buffer's
    // threads push into members until then.
    stop_everything(nullptr);
    audio::connect<audio::PCMData>(&level_meter, nullptr);
    set_settings(settings);
    the_instance = nullptr;
    // The graph's links go with their stages; the player's thread no longer pulls.
}

Document* Document::instance() { return the_instance; }

void Document::notify(const Change& change) {
    Change merged(change.file_changed || pending.file_changed, change.position_changed || pending.position_changed,
                  change.state_changed || pending.state_changed, change.volume_changed || pending.volume_changed);
    merged.text = pending.text;
    pending = Change();
    for (View* const view : views) view->on_document_changed(merged);
}

bool Document::set_settings(const Settings& new_settings) {
    mark_state_changed();
    if (&new_settings != &settings) settings = new_settings;
    bool const saved = settings.save(settings_path());
    play_order.reapply(settings.play.mode);
    rearm_wakeup();
    return saved;
}

void Document::apply_equalizers() {
    audio::Provider<audio::PCMData>* current = &play_input;
    for (std::size_t band = 0; band < equalizers.size(); ++band) {
        EqualizerBand const& values = band_settings(settings, band);
        if (!values.active) continue;
        audio::EqualizerPCM& equalizer = equalizers[band];
        equalizer.set_gain(values.amplitude);
        equalizer.set_frequency(values.frequency);
        equalizer.set_bandwidth(values.width);
        audio::connect<audio::PCMData>(current, &equalizer);
        current = &equalizer;
    }
    audio::connect<audio::PCMData>(current, &fast_play);
}
