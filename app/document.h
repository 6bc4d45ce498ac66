// The one application model of the program: it owns the settings record, the audio graph
// for playing and the one for recording, the current playlist with its play order, the
// bookmarks of the file being played or recorded, and the list of views. It runs on the
// user-interface thread only; the audio stages guard themselves.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/change.h"
#include "app/drain_progress.h"
#include "app/play_order.h"
#include "app/playlist/entry.h"
#include "app/settings.h"
#include "audio/active_buffer.h"
#include "audio/bookmarks.h"
#include "audio/play_chain.h"
#include "audio/play_chain_factory.h"
#include "audio/record_chain.h"
#include "audio/equalizer.h"
#include "audio/fast_play.h"
#include "audio/level_filter.h"
#include "audio/level_meter.h"
#include "audio/mute.h"
#include "audio/pcm_player.h"
#include "audio/pcm_recorder.h"
#include "audio/record_level.h"
#include "audio/stream_ends.h"
#include "audio/stretch_filter.h"
#include "audio/time_meter.h"
#include "foundation/date_time.h"
#include "foundation/nocopy.h"

class Document : private liba::Nocopy {
public:
    // A screen or panel that shows the Document's state. It joins the Document's views when
    // constructed (the Document must exist) and leaves them when destroyed.
    class View {
    public:
        View();
        virtual ~View();
        View(const View&) = delete;
        View& operator=(const View&) = delete;
        // Must not construct or destroy views.
        virtual void on_document_changed(const Change& change) = 0;
    };

    using Clock = std::function<os::DateTime()>;

    // Loads the settings, refreshes the file associations and wires both graphs. A second
    // Document is a fatal error.
    Document();
    // Stops whatever runs and stores the settings.
    ~Document();

    static Document* instance();

    // Hands the pending changes, merged with these flags, to every view.
    void notify(const Change& change);

    const Settings& get_settings() const { return settings; }
    // Copies, saves, reapplies the play mode and re-arms the wake-up. False when the file
    // could not be written (the previous file is then kept whole); the record in memory is
    // the new one either way.
    bool set_settings(const Settings& new_settings);
    // Rewires the active equalizer bands between the play input and fast play.
    void apply_equalizers();

    // ---- Playback ----------------------------------------------------------------------
    void set_playlist(const std::u16string& name, const std::vector<playlist::Entry>& entries, int start_index,
                      bool ranges);
    int get_playlist_size() const { return static_cast<int>(playlist.size()); }
    void set_play_mode(int mode);
    int get_play_mode() const { return settings.play.mode; }
    const PlayOrder& get_play_order() const { return play_order; }

    bool play_item(int index, std::uint32_t start_position);
    bool play_step(int steps);
    bool play_next() { return play_step(+1); }
    bool play_previous() { return play_step(-1); }
    bool has_next() const;
    bool has_previous() const;
    void on_timer();
    bool pause();
    bool resume();
    bool is_paused();
    // The pause of the playback alone, and of the recording alone (both may run at once).
    bool is_playback_paused();
    bool is_recording_paused() { return is_recording() && is_record_paused(); }
    bool seek_fraction(double fraction);
    bool seek_relative(double seconds);
    double get_position_fraction();
    double get_position_seconds();
    double get_remaining_seconds();
    std::uint32_t get_length();
    std::uint32_t get_position();
    bool is_playing() const { return play_chain != nullptr; }
    bool can_play() const { return can_play_flag && !is_recording(); }
    bool can_record() const { return can_record_flag && !is_playing(); }
    double get_output_level(int channel);
    std::uint32_t get_sample_rate();
    std::uint32_t get_bits_per_sample();
    std::uint32_t get_bitrate_kbps();
    bool is_stereo();
    std::u16string get_sample_rate_text();
    std::u16string get_bits_text();
    std::u16string get_bitrate_text();
    std::u16string get_codec() const;
    std::u16string get_caption() const;
    std::u16string get_current_file() const;
    playlist::Entry get_play_file() const { return current_entry; }
    bool is_stream_ok();
    void add_bookmark(const std::u16string& name);
    bool reload_bookmarks();
    const Bookmarks& get_bookmarks() const { return bookmarks; }

    void set_speed(double speed, bool pitch_lock);
    double get_speed() { return settings.play.speed; }
    void set_volume(double volume);
    double get_volume() { return player.get_volume(); }
    void set_booster(int level);
    void set_noise(int level);
    void set_limiter(int level);
    void apply_level_filter();

    void set_can_play(bool flag);
    void set_can_record(bool flag);

    // ---- Recording ---------------------------------------------------------------------
    void set_input(double gain);
    double get_input_gain() { return record_level.get_level(); }
    void set_input_enabled(bool enabled);
    bool is_input_active();
    // The record level meter's level while recording with the input active, else 0.
    double get_input_level(int channel);
    // The input level while voice activation is on, else 0.
    double get_vas_input_level(int channel);
    void set_vas_on(bool on);
    void set_vas_threshold(double threshold);
    bool is_vas_on() const { return settings.record.vas_on; }
    double get_vas_threshold() const { return settings.record.vas; }
    bool is_recording() const { return recorder != nullptr; }
    std::u16string get_record_file() const { return record_file; }
    // The folder that a new recording goes to: the given one, or Record/Folder (with
    // today's "year-month-day" subfolder, made when missing, under Record/DateFolder).
    std::u16string get_record_folder(const std::u16string& folder);
    // Whether a stop is draining the recording: the Document starts no recording meanwhile,
    // and the command handlers answer false.
    bool is_stopping() const { return stopping; }
    bool stop(skinner::Form* owner = nullptr);
    bool record_new_file(const std::u16string& folder);
    bool record_to_file(std::unique_ptr<audio::RecordChain> chain, const std::u16string& path);
    bool start_recording(const std::u16string& path);
    bool start_recording_append(const std::u16string& path);
    bool start_insert_recording(const std::u16string& target, std::uint32_t position);
    bool insert_at_play_position();
    // An insert whose splice failed: the file that was to take the recording, left as it
    // was, and the recording, kept beside it. Stopping reports no error, so whoever stopped
    // takes this afterwards (taking clears it) and tells the user.
    struct FailedInsert {
        std::u16string target;
        std::u16string recording;
    };
    std::optional<FailedInsert> take_failed_insert();
    std::u16string start_scheduled_recording();

    // ---- Scheduled recording -----------------------------------------------------------
    void rearm_wakeup();

    // ---- Seams for the screens and for tests -------------------------------------------
    void set_drain_progress(DrainProgressFactory factory) { drain_progress = std::move(factory); }
    void set_clock(Clock new_clock) { clock = std::move(new_clock); }

    // More than this many buffered bytes make a stop with an owner show the progress form.
    static constexpr std::int32_t drain_form_threshold = 100000;

    // The stages, for the screens' meters and for tests.
    audio::PlayerPCM& get_player() { return player; }
    audio::NullProcessor<audio::PCMData>& get_play_input() { return play_input; }
    audio::EqualizerPCM& get_equalizer(int band) { return equalizers.at(static_cast<std::size_t>(band)); }
    audio::FastPlay& get_fast_play() { return fast_play; }
    audio::StretchFilter& get_stretch_filter() { return stretch_filter; }
    audio::LevelFilter& get_level_filter() { return level_filter; }
    audio::ActiveBuffer& get_active_buffer() { return active_buffer; }
    audio::Muter& get_muter() { return muter; }
    audio::LevelMeterRecord& get_level_meter_record() { return level_meter_record; }
    audio::TimeMeter& get_time_meter() { return time_meter; }

private:
    friend class View;

    void mark_state_changed() { pending.state_changed = true; }
    void mark_position_changed() { pending.position_changed = true; }
    void mark_volume_changed() { pending.volume_changed = true; }
    void apply_settings_to_graph();
    void wait_for_drain(skinner::Form* owner);
    os::DateTime now() const { return clock(); }
    void cut_play_chain();
    // Every play stage forgets the sound it holds, so that none of it follows a seek or
    // starts the next file.
    void drop_held_sound();
    bool is_record_paused();
    std::unique_ptr<audio::RecorderPCM> make_recorder_for_file(const std::u16string& path);
    std::unique_ptr<audio::RecordChain> make_record_chain_for_file(const std::u16string& source,
                                                                   const std::u16string& output, bool append,
                                                                   std::uint32_t* old_size);
    void link_record_graph();
    bool prepare_recording(const std::u16string& source, const std::u16string& output, bool append);
    std::u16string make_record_file_name(const std::u16string& folder);
    bool start_recorder();
    bool finish_recording(skinner::Form* owner);
    bool splice_insert();
    bool copy_spliced(audio::PlayChain& target, audio::PlayChain& recording, audio::RecordChain& output,
                      Bookmarks& merged, const std::u16string& recording_path);
    // Ends a running recording (not a playback); false when none runs.
    bool stop_recording(skinner::Form* owner);
    // Ends the playback and the recording; false when neither ran.
    bool stop_everything(skinner::Form* owner);
    bool pause_recording();
    void add_recording_bookmark();

    std::list<View*> views;
    bool play_ranges = false;
    bool play_requested = false;
    std::u16string playlist_name;
    std::u16string caption;
    std::u16string record_file;
    std::u16string insert_target;
    std::uint32_t insert_position = 0;
    std::optional<FailedInsert> failed_insert;
    playlist::Entry current_entry;
    std::vector<playlist::Entry> playlist;
    PlayOrder play_order;
    Bookmarks bookmarks;
    bool can_play_flag = false;
    bool can_record_flag = false;
    audio::PlayerPCM player;
    std::array<audio::EqualizerPCM, 3> equalizers;
    audio::NullProcessor<audio::PCMData> play_input;
    audio::FastPlay fast_play;
    audio::LevelFilter level_filter;
    audio::StretchFilter stretch_filter;
    audio::LevelMeter level_meter;
    std::unique_ptr<audio::PlayChain> play_chain;
    std::unique_ptr<audio::RecorderPCM> recorder;
    audio::ActiveBuffer active_buffer;
    std::unique_ptr<audio::RecordChain> record_chain;
    audio::LevelMeterRecord level_meter_record{2.0};
    audio::TimeMeter time_meter;
    audio::RecordLevelControl record_level;
    audio::Muter muter;
    Settings settings;
    Change pending;
    os::DateTime stop_time;
    bool stopping = false;
    DrainProgressFactory drain_progress;
    Clock clock = [] { return os::DateTime::now(); };
};
