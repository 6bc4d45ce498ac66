// The Document's settings-like operations: playlist and play mode, speed, volume, the
// level filter, the screens' permissions and the input controls.
#include <mutex>

#include "app/document.h"
#include "foundation/log.h"

namespace {

// Play/Booster, Play/Noise and Play/Limiter index this table.
constexpr int level_table[] = {0, 8, 32, 128};

int level_value(int index) {
    // The settings loader keeps the index in range; a record set in memory may not.
    if (index < 0 || index >= static_cast<int>(std::size(level_table))) return 0;
    return level_table[index];
}

}  // namespace

void Document::set_playlist(const std::u16string& name, const std::vector<playlist::Entry>& entries, int start_index,
                            bool ranges) {
    mark_state_changed();
    playlist = entries;
    playlist_name = name;
    play_ranges = ranges;
    play_order.rebuild(static_cast<std::int32_t>(playlist.size()), start_index, settings.play.mode);
}

void Document::set_play_mode(int mode) {
    mark_state_changed();
    settings.play.mode = mode;
    play_order.reapply(mode);
}

void Document::set_speed(double speed, bool pitch_lock) {
    mark_state_changed();
    std::uint32_t factor = 1;
    double fast_speed = speed;
    if (pitch_lock) {
        if (speed > 0.75) speed = 1.0;
        else if (speed < 0.75) speed = 0.5, factor = 2;
        fast_speed = 1.0;
    }
    stretch_filter.set_factor(factor);
    fast_play.set_speed(fast_speed);
    settings.play.speed = speed;
    settings.play.pitch_lock = pitch_lock;
}

void Document::set_volume(double volume) {
    mark_volume_changed();
    settings.play.volume = volume;
    player.set_volume(volume);
}

void Document::set_booster(int level) {
    settings.play.booster = level;
    set_settings(settings);
    apply_level_filter();
}

void Document::set_noise(int level) {
    settings.play.noise = level;
    set_settings(settings);
    apply_level_filter();
}

void Document::set_limiter(int level) {
    settings.play.limiter = level;
    set_settings(settings);
    apply_level_filter();
}

void Document::apply_level_filter() {
    std::lock_guard<liba::CriticalSection> const guard(level_filter.get_lock());
    level_filter.clear_state();
    level_filter.set_curve(level_value(settings.play.booster), level_value(settings.play.noise),
                           level_value(settings.play.limiter));
}

void Document::set_can_play(bool flag) {
    mark_state_changed();
    can_play_flag = flag;
}

void Document::set_can_record(bool flag) {
    mark_state_changed();
    can_record_flag = flag;
}

void Document::set_input(double gain) {
    os::get_log() << "Document::set_input" << gain << "\n";
    mark_state_changed();
    settings.record.input = gain;
    record_level.set_level(gain);
}

void Document::set_input_enabled(bool enabled) {
    mark_state_changed();
    settings.input_on = enabled;
    muter.set_muted(!enabled);
}

bool Document::is_input_active() { return record_level.get_consumer() != nullptr && !muter.is_muted(); }

double Document::get_input_level(int) {
    return is_recording() && is_input_active() ? level_meter_record.get_level() : 0.0;
}

double Document::get_vas_input_level(int channel) { return settings.record.vas_on ? get_input_level(channel) : 0.0; }

void Document::set_vas_on(bool on) {
    mark_state_changed();
    settings.record.vas_on = on;
}

void Document::set_vas_threshold(double threshold) {
    mark_state_changed();
    settings.record.vas = threshold;
    level_meter_record.set_threshold(threshold);
}
