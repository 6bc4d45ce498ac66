// Playback: starting entries, the end-of-entry step, pause and resume, position and the
// state and texts that the screens show.
#include <algorithm>
#include <mutex>

#include "app/document.h"
#include "app/text_utils.h"
#include "foundation/file_system.h"
#include "foundation/log.h"
#include "foundation/paths.h"

namespace {

std::u16string decimal(std::int64_t value) {
    std::u16string text;
    for (char const c : std::to_string(value)) text += static_cast<char16_t>(c);
    return text;
}

}  // namespace

void Document::cut_play_chain() {
    if (!play_chain) return;
    audio::connect<audio::PCMData>(play_chain->get_provider(), nullptr);
    play_chain.reset();
    drop_held_sound();
}

void Document::drop_held_sound() {
    if (play_chain) play_chain->drop_sound();
    for (audio::EqualizerPCM& equalizer : equalizers) equalizer.drop_sound();
    fast_play.drop_sound();
    stretch_filter.drop_sound();
    level_filter.drop_sound();
}

bool Document::play_item(int index, std::uint32_t start_position) {
    int const size = get_playlist_size();
    if (index < 0 || index >= size) {
        if (settings.play.mode == play_playlist_repeat) index = play_order.step(0);
        else if (settings.play.mode == play_playlist_shuffle) index = play_order.step(+1);
        else index = 0;
    }
    if (index < 0 || index >= size) {
        caption.clear();
        mark_state_changed();
        return false;
    }
    play_requested = true;
    current_entry = playlist[static_cast<std::size_t>(index)];
    cut_play_chain();
    os::get_log() << "play item: " << current_entry.path.c_str() << "\n";
    bookmarks = Bookmarks(get_bookmark_file_path(current_entry.path));
    play_chain = audio::create_play_chain(current_entry.path, play_ranges ? &bookmarks : nullptr);
    if (!play_chain) {
        caption.clear();
        mark_state_changed();
        return false;
    }
    auto const title = current_entry.attributes.find(u"title");
    caption = title != current_entry.attributes.end() && !title->second.empty() ? title->second
                                                                                : play_chain->get_title();
    if (start_position != 0) play_chain->get_reader()->set_position(start_position);
    drop_held_sound();
    mark_state_changed();
    if (play_chain->is_pcm_output()) {
        audio::connect<audio::PCMData>(play_chain->get_provider(), &play_input);
        return player.play();
    }
    play_chain->set_pause_state(false);
    return true;
}

bool Document::play_step(int steps) { return play_item(play_order.step(steps), 0); }

bool Document::has_next() const { return play_chain && play_order.has_next(); }
bool Document::has_previous() const { return play_chain && play_order.has_previous(); }

void Document::on_timer() {
    // An entry whose sound the device refused is never read to its end: it ends here too.
    bool const entry_ended = play_requested && (!play_chain || play_chain->get_reader()->is_at_end() ||
                                                (play_chain->is_pcm_output() && player.has_device_failed()));
    if (entry_ended) {
        play_requested = false;
        int const mode = settings.play.mode;
        if (play_ranges && mode >= play_playlist_once) {
            stop();
        } else if (mode == play_single_repeat) {
            play_item(play_order.step(0), 0);
        } else if (mode >= play_playlist_once && play_order.has_next()) {
            play_item(play_order.step(+1), 0);
        } else {
            stop();
        }
        notify(Change(false, true, true, false));
    } else if (is_recording()) {
        // A playback may run beside the recording: these steps act on the recording only.
        if (settings.record.vas_on) {
            bool const silent = level_meter_record.is_silence_too_long();
            if (silent && !is_record_paused()) {
                pause_recording();
                add_recording_bookmark();
                notify(Change());
            } else if (!silent && is_record_paused()) {
                mark_state_changed();
                audio::connect<audio::PCMData>(&level_meter_record, &time_meter);
                notify(Change());
            }
        }
        if (!(stop_time == os::DateTime()) && now() > stop_time) {
            stop_time = os::DateTime();
            mark_state_changed();
            stop_recording(nullptr);
            notify(Change());
        }
    }
    if (is_recording() && !record_chain->get_file_writer()->is_open()) {
        mark_state_changed();
        stop_recording(nullptr);
        notify(Change());
    }
    if (is_playing() || is_recording()) notify(Change(false, true, false, false));
}

bool Document::is_record_paused() { return level_meter_record.get_consumer() == nullptr; }

bool Document::pause() {
    level_meter.set_paused(true);
    if (play_chain) {
        mark_state_changed();
        return play_chain->is_pcm_output() ? player.pause() : play_chain->set_pause_state(true);
    }
    return pause_recording();
}

bool Document::pause_recording() {
    if (!is_recording() || is_record_paused()) return false;
    mark_state_changed();
    audio::connect<audio::PCMData>(&level_meter_record, nullptr);
    return true;
}

bool Document::resume() {
    level_meter.set_paused(false);
    mark_state_changed();
    if (play_chain) return play_chain->is_pcm_output() ? player.play() : play_chain->set_pause_state(false);
    if (is_recording()) {
        audio::connect<audio::PCMData>(&level_meter_record, &time_meter);
        return true;
    }
    return false;
}

bool Document::is_paused() {
    if (is_recording()) return is_record_paused();
    return is_playback_paused();
}

bool Document::is_playback_paused() {
    if (play_chain) return play_chain->is_pcm_output() ? player.is_paused() : play_chain->get_pause_state();
    return false;
}

bool Document::seek_fraction(double fraction) {
    mark_position_changed();
    if (!play_chain) return false;
    fraction = std::clamp(fraction, 0.0, 1.0);
    audio::FileReader& reader = *play_chain->get_reader();
    reader.set_position(static_cast<std::uint32_t>(reader.get_size() * fraction));
    drop_held_sound();
    return true;
}

bool Document::seek_relative(double seconds) {
    mark_position_changed();
    if (!play_chain) return false;
    audio::FileReader& reader = *play_chain->get_reader();
    reader.set_time(std::clamp(reader.get_time() + seconds, 0.0, reader.get_duration()));
    drop_held_sound();
    return true;
}

double Document::get_position_fraction() {
    if (!play_chain) return 0.0;
    audio::FileReader& reader = *play_chain->get_reader();
    std::uint32_t const size = reader.get_size();
    return size == 0 ? 0.0 : static_cast<double>(reader.get_position()) / size;
}

double Document::get_position_seconds() {
    if (play_chain) return play_chain->get_reader()->get_time();
    if (is_recording()) return time_meter.get_seconds();
    return 0.0;
}

double Document::get_remaining_seconds() {
    if (play_chain) {
        audio::FileReader& reader = *play_chain->get_reader();
        return reader.get_duration() - reader.get_time();
    }
    if (is_recording()) {
        std::uint32_t const bit_rate = record_chain->get_encoder()->get_bit_rate();
        if (bit_rate == 0) return 0.0;
        double const free_bytes = static_cast<double>(os::get_disk_free_space(os::get_parent_folder(record_file)));
        return free_bytes / bit_rate * 8.0;
    }
    return 0.0;
}

std::uint32_t Document::get_length() {
    if (play_chain) return play_chain->get_reader()->get_size();
    if (is_recording()) return record_chain->get_file_writer()->get_position();
    return 0;
}

std::uint32_t Document::get_position() {
    if (play_chain) return play_chain->get_reader()->get_position();
    if (is_recording()) return record_chain->get_file_writer()->get_position();
    return 0;
}

double Document::get_output_level(int) { return play_chain ? level_meter.get_current_level() : 0.0; }

std::uint32_t Document::get_sample_rate() {
    if (play_chain) return play_chain->get_reader()->get_sample_rate();
    if (is_recording()) return static_cast<std::uint32_t>(recorder->get_sample_rate());
    return 0;
}

std::uint32_t Document::get_bits_per_sample() {
    if (play_chain) return play_chain->get_reader()->get_bits_per_sample();
    if (is_recording()) return static_cast<std::uint32_t>(recorder->get_bits_per_sample());
    return 0;
}

std::uint32_t Document::get_bitrate_kbps() {
    if (play_chain) return play_chain->get_reader()->get_bit_rate() / 1000;
    if (is_recording()) return record_chain->get_encoder()->get_bit_rate() / 1000;
    return 0;
}

bool Document::is_stereo() {
    if (play_chain) return play_chain->get_reader()->get_channels() == 2;
    if (is_recording()) return recorder->get_channels() == 2;
    return false;
}

std::u16string Document::get_sample_rate_text() {
    if (!is_playing() && !is_recording()) return {};
    return decimal(get_sample_rate() / 1000) + u"kHz";
}

std::u16string Document::get_bits_text() {
    if (!is_playing() && !is_recording()) return {};
    return decimal(get_bits_per_sample()) + u"bit";
}

std::u16string Document::get_bitrate_text() {
    if (!is_playing() && !is_recording()) return {};
    return decimal(get_bitrate_kbps()) + u"kbps";
}

std::u16string Document::get_codec() const {
    if (play_chain) return play_chain->get_name();
    if (record_chain && recorder) return record_chain->get_format_key();
    return settings.record.codec;
}

std::u16string Document::get_caption() const { return is_playing() || is_recording() ? caption : std::u16string(); }

std::u16string Document::get_current_file() const {
    if (play_chain || play_requested) return current_entry.path;
    if (is_recording()) return record_file;
    return {};
}

bool Document::is_stream_ok() {
    if (is_recording()) return recorder->is_recording() && active_buffer.is_buffering();
    if (play_chain) return play_chain->get_reader()->is_valid();
    return !play_requested;
}

void Document::add_bookmark(const std::u16string&) {
    mark_position_changed();
    if (play_chain) {
        bookmarks.add(static_cast<std::int32_t>(play_chain->get_reader()->get_position()), u"Bookmark");
        bookmarks.save(get_bookmark_file_path(current_entry.path));
    } else {
        add_recording_bookmark();
    }
}

void Document::add_recording_bookmark() {
    if (!is_recording() || !record_chain) return;
    mark_position_changed();
    std::u16string const file = get_bookmark_file_path(record_file);
    // While a playback runs beside the recording, the bookmarks in memory are the played file's.
    Bookmarks marks = play_chain ? Bookmarks(file) : bookmarks;
    marks.add(static_cast<std::int32_t>(record_chain->get_file_writer()->get_position()), u"Bookmark");
    marks.save(file);
    if (!play_chain) bookmarks = std::move(marks);
}

bool Document::reload_bookmarks() {
    if (!is_playing() && !is_recording()) return false;
    bookmarks = Bookmarks(get_bookmark_file_path(get_current_file()));
    return true;
}
