#include "app/playlist/list_m3u.h"

#include <cstdint>
#include <vector>

#include "app/playlist/numbers.h"
#include "foundation/file.h"
#include "foundation/small_helpers.h"
#include "foundation/text_parse.h"
#include "foundation/text_read.h"

namespace playlist {
namespace {

const std::u16string header = u"#EXTM3U";
const std::u16string info_tag = u"#EXTINF";

// Lines of a text, one after the other.
class LineReader {
public:
    explicit LineReader(const std::u16string& text) : position_(text.data()), end_(text.data() + text.size()) {}

    bool at_end() const { return position_ == end_; }
    std::u16string next() {
        std::u16string line;
        if (!at_end()) position_ = liba::read_line(line, position_, end_);
        return line;
    }

private:
    const char16_t* position_;
    const char16_t* end_;
};

bool starts_with_header(const std::u16string& text) { return LineReader(text).next() == header; }

// "#EXTINF:<duration>,<title>" and the path after it; false when the first line is not such.
bool parse_entry(const std::u16string& info, const std::u16string& path, Entry& entry) {
    std::size_t const colon = info.find(u':');
    if (colon == std::u16string::npos) return false;
    std::size_t const comma = info.find(u',', colon + 1);
    if (comma == std::u16string::npos) return false;
    if (info.compare(0, colon, info_tag) != 0) return false;
    double duration = -1.0;
    if (!liba::parse_double(duration, info.data() + colon + 1, info.data() + comma)) duration = -1.0;
    entry.duration = duration;
    entry.path = path;
    return true;
}

void append_utf16le(std::string& bytes, const std::u16string& text) {
    for (char16_t const c : text) {
        bytes.push_back(static_cast<char>(c & 0xFF));
        bytes.push_back(static_cast<char>(c >> 8));
    }
}

}  // namespace

ListM3U::ListM3U() : List(u"m3u") {}

ListM3U::ListM3U(const std::u16string& path) : List(u"m3u") { loaded_ = read(path); }

bool ListM3U::read(const std::u16string& path) {
    os::File file(path, 0);
    if (file.has_errors()) return false;
    // A short look first, so that a large file of another kind is not read whole.
    if (!starts_with_header(liba::read_text(file, 100))) return false;
    if (!file.seek(0)) return false;
    std::u16string const text = liba::read_text(file, 0x7FFFFFFF);
    LineReader reader(text);
    if (reader.next() != header) return false;
    std::vector<std::u16string> lines;
    while (!reader.at_end()) lines.push_back(reader.next());
    // An entry that cannot be read is left out and the rest of the list stays: a line that
    // is no info line is passed over (with its path line when it looks like a broken info
    // line), and the next info line starts the next entry.
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::u16string const& info = lines[i];
        if (!info.starts_with(u"#")) continue;
        bool const has_path = i + 1 < lines.size() && !lines[i + 1].starts_with(info_tag);
        std::u16string const path = has_path ? lines[++i] : std::u16string();
        Entry entry;
        if (parse_entry(info, path, entry)) get_entries().push_back(std::move(entry));
    }
    return true;
}

bool ListM3U::save(const std::u16string& path) {
    std::u16string text = header + u"\n";
    for (auto const& entry : get_entries()) {
        text += info_tag + u":" + liba::int_to_wstring(saturated_int(entry.duration)) + u",\n";
        text += entry.path + u"\n";
    }
    std::string bytes = "\xFF\xFE";
    append_utf16le(bytes, text);

    os::File file(path, 1);
    if (file.has_errors()) return false;
    auto const size = static_cast<std::uint32_t>(bytes.size());
    return file.write(bytes.data(), size) == size && file.flush() && !file.has_errors();
}

}  // namespace playlist
