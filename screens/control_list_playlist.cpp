#include "screens/control_list_playlist.h"

#include "app/playlist/open.h"
#include "app/text_utils.h"
#include "foundation/paths.h"

namespace screens {

ControlListPlaylist::ControlListPlaylist(skinner::Container* container, const std::u16string& name, int lookup_mode)
    : ControlListFiles(container, name, lookup_mode) {}

ControlListPlaylist::~ControlListPlaylist() = default;

void ControlListPlaylist::add_file(const std::u16string& path) {
    if (is_sound_file(path)) ControlListFiles::add_file(path);
}

bool ControlListPlaylist::is_shown(const playlist::Entry& entry) const {
    return is_type_registered(os::to_lower(os::get_extension(entry.path)));
}

bool ControlListPlaylist::load_playlist(const std::u16string& path) {
    std::unique_ptr<playlist::List> loaded = playlist::open(path);
    if (!loaded) return false;
    playlist_ = std::move(loaded);
    clear_rows();
    for (const playlist::Entry& entry : playlist_->get_entries()) {
        if (is_shown(entry)) append_row(make_row(entry.path, os::to_lower(os::get_extension(entry.path)), entry));
    }
    clear_selection();
    refresh();
    path_ = path;
    set_current_row(-1);
    remember_entries();
    return true;
}

void ControlListPlaylist::remember_entries() {
    leading_hidden_.clear();
    followers_.clear();
    for (const playlist::Entry& entry : playlist_->get_entries()) {
        if (is_shown(entry))
            followers_.push_back({entry.path, {}});
        else if (followers_.empty())
            leading_hidden_.push_back(entry);
        else
            followers_.back().hidden.push_back(entry);
    }
    saved_paths_ = row_paths();
    changed_ = false;
}

std::vector<std::u16string> ControlListPlaylist::row_paths() const {
    std::vector<std::u16string> paths;
    for (const Row& row : get_rows()) paths.push_back(row.entry.path);
    return paths;
}

bool ControlListPlaylist::is_changed() const { return changed_ || row_paths() != saved_paths_; }

std::vector<playlist::Entry> ControlListPlaylist::entries_to_save() const {
    std::vector<playlist::Entry> entries = leading_hidden_;
    std::vector<bool> used(followers_.size(), false);
    for (const Row& row : get_rows()) {
        entries.push_back(row.entry);
        for (std::size_t group = 0; group < followers_.size(); ++group) {
            if (used[group] || !os::paths_equal(followers_[group].shown_path, row.entry.path)) continue;
            used[group] = true;
            entries.insert(entries.end(), followers_[group].hidden.begin(), followers_[group].hidden.end());
            break;
        }
    }
    // Entries that followed a removed row stay in the playlist, at its end.
    for (std::size_t group = 0; group < followers_.size(); ++group) {
        if (!used[group]) entries.insert(entries.end(), followers_[group].hidden.begin(), followers_[group].hidden.end());
    }
    return entries;
}

bool ControlListPlaylist::save_playlist() {
    if (!playlist_) return false;
    if (!is_changed()) return true;
    std::vector<playlist::Entry> const before = playlist_->get_entries();
    playlist_->get_entries() = entries_to_save();
    if (!playlist_->save(path_)) {
        playlist_->get_entries() = before;
        return false;
    }
    remember_entries();
    return true;
}

}  // namespace screens
