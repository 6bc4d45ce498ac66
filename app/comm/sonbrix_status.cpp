#include "app/comm/sonbrix_status.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <cstdint>

#include "app/comm/stack_edit.h"

namespace {

constexpr std::size_t path_units = sizeof(StatusData::current_file) / sizeof(char16_t);
constexpr std::size_t format_block_size = offsetof(StatusData, elapsed) - offsetof(StatusData, format_kind);
static_assert(format_block_size == 20);

// The five format numbers as one piece of the record's bytes.
const void* format_block(const StatusData& data) {
    return reinterpret_cast<const std::uint8_t*>(&data) + offsetof(StatusData, format_kind);
}
void* format_block(StatusData& data) { return reinterpret_cast<std::uint8_t*>(&data) + offsetof(StatusData, format_kind); }

// Copies a path up to its terminator, at most path_units - 1 units, and terminates it.
void copy_path(char16_t (&to)[path_units], const char16_t (&from)[path_units]) {
    std::size_t const length = std::find(from, from + path_units - 1, u'\0') - from;
    std::fill(std::begin(to), std::end(to), u'\0');
    std::copy(from, from + length, to);
}

}  // namespace

CSonbrixStatus::CSonbrixStatus() : data_{} {
    data_.format_kind = 2;
    data_.stereo = 2;
}

CSonbrixStatus::CSonbrixStatus(const StatusData& data) : data_(data) { copy_path(data_.current_file, data.current_file); }

bool CSonbrixStatus::write(CCommClipboard& clipboard) const {
    StackEdit edit(clipboard);
    bool const written = edit.push(&data_.state, 4) && edit.push(data_.current_file, sizeof data_.current_file) &&
                         edit.push(&data_.length, 4) && edit.push(&data_.position, 4) &&
                         edit.push(format_block(data_), format_block_size) && edit.push(&data_.elapsed, 4);
    if (written) edit.commit();
    return written;
}

bool CSonbrixStatus::read(CCommClipboard& clipboard) {
    StatusData popped;
    StackEdit edit(clipboard);
    bool const read = edit.pop(&popped.elapsed, 4) && edit.pop(format_block(popped), format_block_size) &&
                      edit.pop(&popped.position, 4) && edit.pop(&popped.length, 4) &&
                      edit.pop(popped.current_file, sizeof popped.current_file) && edit.pop(&popped.state, 4);
    if (!read) return false;
    popped.current_file[path_units - 1] = u'\0';
    data_ = popped;
    edit.commit();
    return true;
}
