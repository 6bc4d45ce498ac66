// Recording into files: new recordings, re-recording and appending in a file's format,
// insert recordings and their splice.
#include <algorithm>
#include <utility>

#include "app/document.h"

#include <utility>
#include "app/text_utils.h"
#include "audio/play_chain.h"
#include "audio/record_chain.h"
#include "foundation/file.h"
#include "foundation/file_info.h"
#include "foundation/log.h"
#include "foundation/paths.h"
#include "platform/file_ops.h"
#include "platform/sound.h"

namespace {

constexpr char16_t const* start_sound = u"Voicbeep.wav";
constexpr char16_t const* end_sound = u"RecEnd.wav";

void play_sound(const char16_t* name) { sndPlaySoundW(name, SND_SYNC); }

// Whether a file can be written at the path, found out without changing what is there. The
// WAV writers create their file only at the first block, too late to report a failure.
bool can_write_file(const std::u16string& path) {
    bool const existed = os::FileInfo(path).exists();
    bool writable;
    {
        os::File trial(path, 2);
        writable = !trial.has_errors();
    }
    if (writable && !existed) os::FileInfo(path).remove();
    return writable;
}

}  // namespace

std::unique_ptr<audio::RecorderPCM> Document::make_recorder_for_file(const std::u16string& path) {
    auto const chain = audio::create_play_chain(path, nullptr);
    if (!chain) return nullptr;
    audio::FileReader& reader = *chain->get_reader();
    auto made = std::make_unique<audio::RecorderPCM>(static_cast<std::int32_t>(reader.get_channels()),
                                                     static_cast<std::int32_t>(reader.get_sample_rate()),
                                                     static_cast<std::int32_t>(reader.get_bits_per_sample()));
    if (!made->is_recording()) return nullptr;
    return made;
}

std::unique_ptr<audio::RecordChain> Document::make_record_chain_for_file(const std::u16string& source,
                                                                         const std::u16string& output, bool append,
                                                                         std::uint32_t* old_size) {
    auto const chain = audio::create_play_chain(source, nullptr);
    if (!chain) return nullptr;
    audio::FileReader& reader = *chain->get_reader();
    if (old_size) *old_size = reader.get_size();
    auto made = audio::create_record_chain(output, chain->get_name(), static_cast<std::int32_t>(reader.get_channels()),
                                           static_cast<std::int32_t>(reader.get_sample_rate()),
                                           static_cast<std::int32_t>(reader.get_bits_per_sample()),
                                           static_cast<std::int32_t>(reader.get_bit_rate()), append);
    if (made && !made->get_file_writer()->is_open()) return nullptr;
    return made;
}

void Document::link_record_graph() {
    time_meter.reset();
    audio::connect<audio::PCMData>(recorder.get(), &muter);
    audio::connect<audio::PCMData>(static_cast<audio::Provider<audio::PCMData>*>(&active_buffer),
                                   record_chain->get_consumer());
}

bool Document::prepare_recording(const std::u16string& source, const std::u16string& output, bool append) {
    // The running recording's stages are still linked: it ends as an ordinary file first.
    stop_recording(nullptr);
    if (!append && !can_write_file(output)) return false;
    std::uint32_t old_size = 0;
    recorder = make_recorder_for_file(source);
    record_chain = recorder ? make_record_chain_for_file(source, output, append, &old_size) : nullptr;
    if (!recorder || !record_chain) {
        recorder.reset();
        record_chain.reset();
        return false;
    }
    if (append) {
        bookmarks = Bookmarks(get_bookmark_file_path(source));
        bookmarks.add(static_cast<std::int32_t>(old_size), u"Bookmark");
        bookmarks.save(get_bookmark_file_path(source));
    } else {
        bookmarks = Bookmarks();
    }
    record_file = output;
    link_record_graph();
    return true;
}

bool Document::start_recording(const std::u16string& path) {
    mark_state_changed();
    if (stopping || !prepare_recording(path, path, false)) return false;
    caption = os::get_file_name(path);
    play_sound(start_sound);
    return start_recorder();
}

bool Document::start_recording_append(const std::u16string& path) {
    mark_state_changed();
    if (stopping || !prepare_recording(path, path, true)) return false;
    caption = os::get_file_name(path);
    play_sound(start_sound);
    return start_recorder();
}

bool Document::record_to_file(std::unique_ptr<audio::RecordChain> chain, const std::u16string& path) {
    if (stopping || !chain || !can_write_file(path)) return false;
    stop_recording(nullptr);
    record_chain = std::move(chain);
    record_file = path;
    caption = os::get_file_name(path);
    bookmarks = Bookmarks();
    recorder = std::make_unique<audio::RecorderPCM>(settings.record.channels, settings.record.samples,
                                                    settings.record.bits);
    link_record_graph();
    play_sound(start_sound);
    return start_recorder();
}

std::u16string Document::make_record_file_name(const std::u16string& folder) {
    std::u16string const extension = settings.record.codec == u"mp3" ? u"mp3" : u"wav";
    std::u16string name = settings.record.include_date
                              ? make_recording_file_name(folder, settings.record.prefix, extension, now())
                              : make_numbered_file_path(folder, settings.record.prefix, extension);
    bool writable;
    {
        os::File trial(name, 1);
        writable = !trial.has_errors();
    }
    if (!writable) {
        name = make_recording_file_name(os::expanded_path(u"%my_documents%"), settings.record.prefix, extension,
                                        now());
    }
    return name;
}

bool Document::record_new_file(const std::u16string& folder) {
    mark_state_changed();
    if (stopping) return false;
    stop_everything(nullptr);
    std::u16string const name = make_record_file_name(get_record_folder(folder));
    record_file = name;
    RecordSettings const& r = settings.record;
    return record_to_file(audio::create_record_chain(name, r.codec, r.channels, r.samples, r.bits, r.bitrate, false),
                          name);
}

bool Document::start_insert_recording(const std::u16string& target, std::uint32_t position) {
    if (stopping) return false;
    stop_everything(nullptr);
    insert_position = position;
    insert_target = target;
    std::u16string const temporary = make_numbered_file_path(os::get_parent_folder(target), u"insert", u"tmp");
    if (prepare_recording(target, temporary, false)) {
        caption = os::get_file_name(temporary) + u" for " + os::get_file_name(target);
        play_sound(start_sound);
        if (start_recorder()) return true;
    }
    insert_target.clear();
    return false;
}

bool Document::insert_at_play_position() {
    mark_state_changed();
    if (!play_chain) return false;
    // The stop before the insert empties the current entry.
    std::u16string const target = current_entry.path;
    return start_insert_recording(target, play_chain->get_reader()->get_position());
}

// A recorder that cannot start (a sound device that refuses the format) leaves no
// recording running and no empty file behind.
bool Document::start_recorder() {
    if (recorder->start()) return true;
    insert_target.clear();
    std::u16string const file = record_file;
    stop_recording(nullptr);
    os::FileInfo made(file);
    if (made.exists() && !made.is_directory() && made.get_size() == 0) made.remove();
    return false;
}

bool Document::finish_recording(skinner::Form* owner) {
    pending.text = record_file;
    // Stopped while still linked, the recorder hands the part of its current buffer
    // recorded so far down the graph; unlinked first, that part would be lost.
    recorder->stop();
    audio::connect<audio::PCMData>(recorder.get(), nullptr);
    recorder.reset();
    audio::connect<audio::PCMData>(&level_meter_record, &time_meter);
    wait_for_drain(owner);
    active_buffer.reset();
    audio::connect<audio::PCMData>(static_cast<audio::Provider<audio::PCMData>*>(&active_buffer), nullptr);
    record_chain.reset();
    play_sound(end_sound);
    if (!insert_target.empty()) return splice_insert();
    return true;
}

bool Document::stop(skinner::Form* owner) {
    mark_state_changed();
    play_requested = false;
    stop_time = os::DateTime();
    if (play_chain) {
        cut_play_chain();
        level_meter.clear();
        player.stop();
        current_entry = playlist::Entry();
        return true;
    }
    return stop_recording(owner);
}

bool Document::stop_everything(skinner::Form* owner) {
    bool const played = stop(owner);
    bool const recorded = stop_recording(owner);
    return played || recorded;
}

bool Document::stop_recording(skinner::Form* owner) {
    if (!recorder) return false;
    stopping = true;
    finish_recording(owner);
    stopping = false;
    return true;
}

// Copies the first P units of T, all of R and the rest of T into a new file O in T's format,
// then puts O in T's place in one step. T is replaced only when O was written whole;
// otherwise T and R stay and O goes.
bool Document::splice_insert() {
    std::u16string const target = insert_target;
    std::u16string const recording = record_file;
    insert_target.clear();
    record_file.clear();
    std::u16string const output = make_numbered_file_path(os::get_parent_folder(target), u"insert", u"tmp");
    Bookmarks merged(get_bookmark_file_path(target));
    bool written = false;
    {
        auto const target_chain = audio::create_play_chain(target, nullptr);
        auto const recording_chain = audio::create_play_chain(recording, nullptr);
        auto const output_chain = make_record_chain_for_file(recording, output, false, nullptr);
        if (target_chain && recording_chain && output_chain) {
            written = copy_spliced(*target_chain, *recording_chain, *output_chain, merged, recording);
        }
    }  // the output chain completes O here
    bool const replaced = written && MoveFileExW(os::expanded_path(output).c_str(),
                                                 os::expanded_path(target).c_str(), MOVEFILE_REPLACE_EXISTING);
    if (!replaced) {
        os::get_log() << "insert failed: " << target.c_str() << " kept, the recording is " << recording.c_str() << "\n";
        os::FileInfo(output).remove();
        failed_insert = FailedInsert{target, recording};
        return false;
    }
    merged.save(get_bookmark_file_path(target));
    os::FileInfo(recording).remove();
    os::FileInfo bookmarks_of_recording(get_bookmark_file_path(recording));
    if (bookmarks_of_recording.exists()) bookmarks_of_recording.remove();
    return true;
}

std::optional<Document::FailedInsert> Document::take_failed_insert() {
    return std::exchange(failed_insert, std::nullopt);
}

bool Document::copy_spliced(audio::PlayChain& target, audio::PlayChain& recording, audio::RecordChain& output,
                            Bookmarks& merged, const std::u16string& recording_path) {
    audio::FileReader& t = *target.get_reader();
    audio::FileReader& r = *recording.get_reader();
    if (!t.is_valid() || !r.is_valid()) return false;
    // The position came from another process, maybe for another state of the file.
    std::uint32_t const position = std::min(insert_position, t.get_size());
    std::uint32_t const inserted = r.get_size();
    if (!target.link_to_record_chain(&output)) return false;
    t.set_position(0);
    t.read_block(position);
    if (!recording.link_to_record_chain(&output)) return false;
    r.read_block(inserted);
    std::uint32_t const end_of_insert = output.get_file_writer()->get_position();
    target.link_to_record_chain(&output);
    t.read_block(t.get_size() - t.get_position());
    if (!output.get_file_writer()->is_open()) return false;
    // The recording's own bookmark file: a playback started meanwhile replaced the ones in memory.
    Bookmarks const made(get_bookmark_file_path(recording_path));
    merged.splice(static_cast<std::int32_t>(position), static_cast<std::int32_t>(inserted), made.get_records());
    merged.add(static_cast<std::int32_t>(position), u"Bookmark");
    merged.add(static_cast<std::int32_t>(end_of_insert), u"Bookmark");
    return true;
}
