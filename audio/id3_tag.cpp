#include "audio/id3_tag.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "foundation/file_info.h"
#include "foundation/text_convert.h"

namespace audio {

namespace {

constexpr std::uint32_t tag_size = 128;
// The tag after its "TAG".
constexpr std::uint32_t body_size = 125;

// Field offsets within the whole tag.
constexpr std::uint32_t title_at = 3;
constexpr std::uint32_t artist_at = 33;
constexpr std::uint32_t album_at = 63;
constexpr std::uint32_t year_at = 93;
constexpr std::uint32_t comment_at = 97;
constexpr std::uint32_t track_marker_at = 125;
constexpr std::uint32_t track_at = 126;
constexpr std::uint32_t genre_at = 127;

// A text field: trailing 0 bytes and spaces dropped, then up to its first 0 byte.
std::u16string field_text(const std::uint8_t* tag, std::uint32_t at, std::uint32_t size) {
    const char* const begin = reinterpret_cast<const char*>(tag + at);
    const char* end = begin + size;
    while (end != begin && (end[-1] == '\0' || end[-1] == ' ')) --end;
    end = std::find(begin, end, '\0');
    std::u16string text;
    liba::multibyte_to_wide(begin, static_cast<std::size_t>(end - begin), text);
    return text;
}

void put_field(std::uint8_t* tag, std::uint32_t at, std::uint32_t size, const std::u16string& text) {
    std::string bytes;
    liba::wide_to_narrow_string(text, bytes);
    std::memcpy(tag + at, bytes.data(), std::min<std::size_t>(bytes.size(), size));
}

using TagRecord = std::array<std::uint8_t, tag_size>;

// The whole tag as written: always in the track form.
TagRecord tag_record(const Id3Tag& tag) {
    TagRecord bytes = {'T', 'A', 'G'};
    put_field(bytes.data(), title_at, 30, tag.title);
    put_field(bytes.data(), artist_at, 30, tag.artist);
    put_field(bytes.data(), album_at, 30, tag.album);
    put_field(bytes.data(), year_at, 4, tag.year);
    put_field(bytes.data(), comment_at, 28, tag.comment);
    bytes[track_at] = static_cast<std::uint8_t>(tag.track);
    bytes[genre_at] = static_cast<std::uint8_t>(tag.genre);
    return bytes;
}

// Writes the record over the file's tag, or after its end in one piece; an append that fails
// part way is cut off again, so that the file keeps its sound data and nothing else.
bool store_tag(os::File& file, const TagRecord& bytes) {
    std::uint32_t const size = file.get_size();
    std::int32_t const offset = find_id3_tag(file);
    if (offset >= 0) {
        std::uint32_t const at = static_cast<std::uint32_t>(offset);
        return file.seek(at) && file.write(bytes.data() + 3, body_size) == body_size && file.flush();
    }
    if (file.seek(size) && file.write(bytes.data(), tag_size) == tag_size && file.flush()) return true;
    file.truncate(size);
    return false;
}

}  // namespace

std::int32_t find_id3_tag(os::File& file) {
    std::uint32_t const size = file.get_size();
    if (size < tag_size || !file.seek(size - tag_size)) return -1;
    char marker[3] = {};
    if (file.read(marker, 3) != 3 || std::memcmp(marker, "TAG", 3) != 0) return -1;
    return static_cast<std::int32_t>(size - tag_size + 3);
}

Id3Tag read_id3_tag(const std::u16string& path) {
    Id3Tag tag;
    os::File file(path, 0);
    if (file.has_errors()) return tag;
    std::int32_t const offset = find_id3_tag(file);
    // The whole tag, "TAG" included, so that the offsets are those of the layout.
    std::uint8_t bytes[tag_size] = {};
    if (offset < 0 || !file.seek(static_cast<std::uint32_t>(offset)) || file.read(bytes + 3, body_size) != body_size)
        return tag;
    bool const track_form = bytes[track_marker_at] == 0 && bytes[track_at] != 0;
    if (track_form) tag.track = bytes[track_at];
    tag.title = field_text(bytes, title_at, 30);
    tag.artist = field_text(bytes, artist_at, 30);
    tag.album = field_text(bytes, album_at, 30);
    tag.year = field_text(bytes, year_at, 4);
    tag.comment = field_text(bytes, comment_at, track_form ? 28 : 30);
    tag.genre = bytes[genre_at];
    tag.present = true;
    return tag;
}

bool write_id3_tag(const Id3Tag& tag, const std::u16string& path) {
    bool const existed = os::FileInfo(path).exists();
    bool written = false;
    {
        os::File file(path, 3);
        if (file.has_errors()) return false;
        written = store_tag(file, tag_record(tag));
    }
    if (!written && !existed) os::FileInfo(path).remove();
    return written;
}

}  // namespace audio
