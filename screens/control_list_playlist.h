// The file list of one playlist: the same rows and columns as the folder list, filled from
// the playlist's entries in their order. It owns the loaded playlist and writes the rows
// back into it and its file on request.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/playlist/list.h"
#include "screens/control_list_files.h"

namespace screens {

class ControlListPlaylist : public ControlListFiles {
public:
    ControlListPlaylist(skinner::Container* container, const std::u16string& name,
                        int lookup_mode = skinner::LOOKUP_BY_NAME);
    ~ControlListPlaylist() override;

    // Appends a row for a sound file of a registered type; anything else is ignored.
    void add_file(const std::u16string& path) override;

    // False, with the list and the playlist held so far unchanged, when no playlist format
    // takes the file.
    bool load_playlist(const std::u16string& path);
    // Writes the rows, in row order, into the playlist and its file, with the entries that
    // are not shown (their type not registered) kept in their places. Writes nothing when
    // the rows are as loaded or last saved; false without a playlist or when the write fails.
    bool save_playlist();
    // Whether rows were added, removed or moved since the load or the last save; the owner
    // that changes the rows in place says so with mark_changed.
    bool is_changed() const;
    void mark_changed() { changed_ = true; }

    const std::u16string& get_playlist_path() const { return path_; }
    playlist::List* get_playlist() const { return playlist_.get(); }

private:
    // The entries that are not shown, kept with the shown entry that they follow.
    struct Followers {
        std::u16string shown_path;
        std::vector<playlist::Entry> hidden;
    };

    bool is_shown(const playlist::Entry& entry) const;
    // Remembers the playlist's entries as the rows stand for them now.
    void remember_entries();
    std::vector<playlist::Entry> entries_to_save() const;
    std::vector<std::u16string> row_paths() const;

    std::unique_ptr<playlist::List> playlist_;
    std::u16string path_;
    std::vector<playlist::Entry> leading_hidden_;
    std::vector<Followers> followers_;
    std::vector<std::u16string> saved_paths_;
    bool changed_ = false;
};

}  // namespace screens
