#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One named position in a sound file, in the position unit of the file's reader. A record
// with play -1 is not played; any other value puts it in the play order of its list.
struct Bookmark {
    std::u16string name;
    std::int32_t position = 0;
    std::int32_t play = -1;
};

// The bookmark list of a sound file: records sorted by position and the order in which the
// ranges of the played ones are played. A record's range runs from its position to the
// next record's position, or to the end of the data for the last record. The list of a
// file is kept beside it in an XML file ("<sound file>.bm").
class Bookmarks {
public:
    Bookmarks() = default;
    // Reads the bookmark file; a missing or unreadable file gives an empty list.
    explicit Bookmarks(const std::u16string& path);

    // Played records first, in play order, then the others by position; false when the
    // file was not written.
    bool save(const std::u16string& path) const;

    int size() const { return static_cast<int>(records_.size()); }
    // Record i in position order; an index outside the list is a caller error (bounds test).
    const Bookmark& get(int index) const { return records_.at(static_cast<std::size_t>(index)); }
    int get_play_count() const { return static_cast<int>(play_order_.size()); }
    // The record at that place of the play order.
    const Bookmark& get_played(int place) const;
    // The record index at that place of the play order.
    int get_played_index(int place) const { return play_order_.at(static_cast<std::size_t>(place)); }

    // Length of the record's range; total is the length of the whole data.
    int get_length(int index, int total) const;
    int get_played_length(int place, int total) const;
    // The first place after the given one whose record is played; the play count when
    // there is none. -1 gives the first played place.
    int next_played(int place) const;

    // Adds a record at the position unless one is there already; the index of the record
    // at that position either way.
    int insert(std::int32_t position, const std::u16string& name, bool play);
    // A new bookmark: like insert, and a position inside a played range splits that range
    // with both halves played.
    int add(std::int32_t position, const std::u16string& name);
    void add_to_play_order(int index);
    // Merges the bookmarks of a recording of that length inserted into the file at the
    // position: theirs are moved by the position, the later ones of this list by the length.
    void splice(std::int32_t position, std::int32_t length, const std::vector<Bookmark>& other);

    const std::vector<Bookmark>& get_records() const { return records_; }
    const std::vector<int>& get_play_order() const { return play_order_; }

private:
    void shift_play_order(int from_index, int by);

    std::vector<Bookmark> records_;
    std::vector<int> play_order_;
};
