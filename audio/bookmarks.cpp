#include "audio/bookmarks.h"

#include <algorithm>
#include <limits>

#include "foundation/xml_node.h"

namespace {

const char16_t* const list_element = u"Bookmarks";
const char16_t* const bookmark_element = u"Bookmark";

int clamp_to_int(std::int64_t value) {
    return static_cast<int>(std::clamp<std::int64_t>(value, std::numeric_limits<int>::min(),
                                                     std::numeric_limits<int>::max()));
}

// Text, comments and the like carry no bookmark: an element's name never starts with '#'.
bool is_element(const os::XmlNode& node) {
    std::u16string const name = node.get_name();
    return !name.empty() && name[0] != u'#';
}

bool write_bookmark(const os::XmlNode& list, const Bookmark& record, bool played) {
    os::XmlNode const element = list.append_element(bookmark_element);
    return liba::write_attribute_text(element, u"Name", record.name) &&
           liba::write_attribute_int(element, u"Position", record.position) &&
           liba::write_attribute_bool(element, u"Play", played);
}

}  // namespace

Bookmarks::Bookmarks(const std::u16string& path) {
    os::XmlNode const list = os::XmlNode::load_document(path).find_child(list_element);
    if (!list.is_valid()) return;
    int counter = 0;
    for (int i = 0; i < list.get_child_count(); ++i) {
        os::XmlNode const node = list.get_child(i);
        if (!is_element(node)) continue;
        Bookmark record;
        bool played = false;
        liba::read_attribute_text(node, u"Name", record.name);
        int position = 0;
        if (liba::read_attribute_int(node, u"Position", position)) record.position = position;
        liba::read_attribute_bool(node, u"Play", played);
        record.play = played ? counter++ : -1;
        records_.push_back(std::move(record));
    }
    std::stable_sort(records_.begin(), records_.end(),
                     [](const Bookmark& a, const Bookmark& b) { return a.position < b.position; });
    for (int i = 0; i < size(); ++i)
        if (records_[static_cast<std::size_t>(i)].play != -1) play_order_.push_back(i);
    std::sort(play_order_.begin(), play_order_.end(), [this](int a, int b) {
        return records_[static_cast<std::size_t>(a)].play < records_[static_cast<std::size_t>(b)].play;
    });
}

bool Bookmarks::save(const std::u16string& path) const {
    os::XmlNode const document = os::XmlNode::create_document();
    os::XmlNode const list = document.append_element(list_element);
    bool written = list.is_valid();
    for (int index : play_order_) written = write_bookmark(list, records_[static_cast<std::size_t>(index)], true) && written;
    for (const Bookmark& record : records_)
        if (record.play == -1) written = write_bookmark(list, record, false) && written;
    return document.save_document(path) && written;
}

const Bookmark& Bookmarks::get_played(int place) const {
    return records_.at(static_cast<std::size_t>(get_played_index(place)));
}

int Bookmarks::get_length(int index, int total) const {
    std::int64_t const start = get(index).position;
    std::int64_t const end = index + 1 < size() ? get(index + 1).position : total;
    return clamp_to_int(end - start);
}

int Bookmarks::get_played_length(int place, int total) const { return get_length(get_played_index(place), total); }

int Bookmarks::next_played(int place) const {
    for (int next = std::max(place + 1, 0); next < get_play_count(); ++next)
        if (get_played(next).play != -1) return next;
    return get_play_count();
}

int Bookmarks::insert(std::int32_t position, const std::u16string& name, bool play) {
    auto const found = std::lower_bound(records_.begin(), records_.end(), position,
                                        [](const Bookmark& record, std::int32_t p) { return record.position < p; });
    int const index = static_cast<int>(found - records_.begin());
    if (found != records_.end() && found->position == position) return index;
    records_.insert(found, Bookmark{name, position, -1});
    shift_play_order(index, 1);
    if (play) add_to_play_order(index);
    return index;
}

void Bookmarks::add_to_play_order(int index) {
    Bookmark& record = records_.at(static_cast<std::size_t>(index));
    if (record.play != -1) return;
    record.play = get_play_count();
    play_order_.push_back(index);
}

int Bookmarks::add(std::int32_t position, const std::u16string& name) {
    int const index = insert(position, name, false);
    if (records_[static_cast<std::size_t>(index)].play != -1) return index;
    for (int place = 0; place < get_play_count(); ++place) {
        int const owner = get_played_index(place);
        if (owner == index) continue;
        std::int64_t const start = records_[static_cast<std::size_t>(owner)].position;
        bool const last = owner + 1 == size();
        if (position > start && (last || position <= start + get_played_length(place, 0))) {
            play_order_.insert(play_order_.begin() + place + 1, index);
            records_[static_cast<std::size_t>(index)].play = place;
            return index;
        }
    }
    return index;
}

void Bookmarks::splice(std::int32_t position, std::int32_t length, const std::vector<Bookmark>& other) {
    auto const after = std::upper_bound(records_.begin(), records_.end(), position,
                                        [](std::int32_t p, const Bookmark& record) { return p < record.position; });
    int const at = static_cast<int>(after - records_.begin());
    int const count = static_cast<int>(other.size());
    records_.insert(after, other.begin(), other.end());
    for (int i = 0; i < size(); ++i) {
        Bookmark& record = records_[static_cast<std::size_t>(i)];
        if (i < at) continue;
        record.position = clamp_to_int(std::int64_t{record.position} + (i < at + count ? position : length));
    }
    shift_play_order(at, count);
    // Played records of the other list join the play order after this list's, in their own
    // order; a played record outside the play order would be lost when the list is saved.
    std::vector<int> joined;
    for (int i = at; i < at + count; ++i)
        if (records_[static_cast<std::size_t>(i)].play != -1) joined.push_back(i);
    std::stable_sort(joined.begin(), joined.end(), [this](int a, int b) {
        return records_[static_cast<std::size_t>(a)].play < records_[static_cast<std::size_t>(b)].play;
    });
    for (int index : joined) {
        records_[static_cast<std::size_t>(index)].play = get_play_count();
        play_order_.push_back(index);
    }
}

void Bookmarks::shift_play_order(int from_index, int by) {
    for (int& index : play_order_)
        if (index >= from_index) index += by;
}
