#include "app/playlist/list.h"

#include <utility>

namespace playlist {

List::List() : creation_time_(os::DateTime::now()) {}

List::List(std::u16string format_extension)
    : creation_time_(os::DateTime::now()), format_extension_(std::move(format_extension)) {}

List::~List() = default;

bool List::is_loaded() const { return true; }

std::vector<Entry>& List::get_entries() { return entries_; }

bool List::save(const std::u16string&) { return true; }

}  // namespace playlist
