#include "app/text_utils.h"

#include <array>
#include <cmath>

#include "app/type_icon_sink.h"
#include "foundation/file_info.h"
#include "foundation/paths.h"
#include "platform/unicode.h"

namespace {

std::u16string decimal(std::int64_t value) { return platform::utf8_to_utf16(std::to_string(value)); }

const std::array<const char16_t*, 12> month_names = {u"jan", u"feb", u"mar", u"apr", u"may", u"jun",
                                                     u"jul", u"aug", u"sep", u"oct", u"nov", u"dec"};

std::u16string month_name(int month) {
    if (month < 1 || month > 12) return two_digit_text(month);
    return month_names[static_cast<std::size_t>(month - 1)];
}

}  // namespace

std::u16string two_digit_text(int value) {
    std::u16string text = decimal(value);
    if (text.size() == 1) return u"0" + text;
    if (text.size() > 2) return text.substr(text.size() - 2);
    return text;
}

std::u16string format_file_size(std::int64_t bytes) {
    constexpr std::int64_t kilo = 1024;
    constexpr std::int64_t mega = 1048576;
    if (bytes == 0) return u"";
    if (bytes < kilo) return decimal(bytes) + u"B";
    if (bytes < mega) return decimal(bytes / kilo) + u"K";
    std::int64_t const whole = bytes / mega;
    auto const tenths = static_cast<std::int64_t>(std::trunc(static_cast<double>(bytes) * 10.0 / mega));
    return decimal(whole) + u"," + decimal(tenths - 10 * whole) + u"M";
}

std::u16string format_short_date_time(const os::DateTime& time) {
    return two_digit_text(time.get_hour()) + u":" + two_digit_text(time.get_minute()) + u",  " +
           two_digit_text(time.get_month()) + u"/" + two_digit_text(time.get_day()) + u"/" +
           two_digit_text(time.get_year());
}

std::u16string format_duration_text(double seconds) {
    auto const n = static_cast<std::int64_t>(seconds);
    std::int64_t const hours = n / 3600;
    std::int64_t const minutes = (n - hours * 3600) / 60;
    return two_digit_text(static_cast<int>(hours)) + u":" + two_digit_text(static_cast<int>(minutes)) + u":" +
           two_digit_text(static_cast<int>(n % 60));
}

std::u16string make_recording_file_name(const std::u16string& folder, const std::u16string& prefix,
                                        const std::u16string& extension, const os::DateTime& time) {
    std::u16string name = os::remove_trailing_separator(folder) + u"/";
    if (!prefix.empty()) name += prefix + u" ";
    name += two_digit_text(time.get_day()) + u" " + month_name(time.get_month()) + u" " +
            two_digit_text(time.get_year()) + u" " + two_digit_text(time.get_hour()) + u"-" +
            two_digit_text(time.get_minute()) + u"-" + two_digit_text(time.get_second());
    return name + u"." + extension;
}

std::u16string make_recording_file_name(const std::u16string& folder, const std::u16string& prefix,
                                        const std::u16string& extension) {
    return make_recording_file_name(folder, prefix, extension, os::DateTime::now());
}

std::u16string find_free_numbered_name(const std::u16string& folder, const std::u16string& base,
                                       const std::u16string& extension) {
    for (int i = 1; i <= 9999; ++i) {
        std::u16string const name = base + decimal(i);
        if (!os::FileInfo(os::join_path(folder, name + u"." + extension)).exists()) return name;
    }
    return u"";
}

std::u16string make_numbered_file_path(const std::u16string& folder, const std::u16string& base,
                                       const std::u16string& extension) {
    std::u16string const name = find_free_numbered_name(folder, base, extension);
    if (name.empty()) return u"";
    return os::change_extension(os::join_path(folder, name), extension);
}

std::u16string get_file_extension_lower(const std::u16string& path) { return os::to_lower(os::get_extension(path)); }

bool is_sound_file(const std::u16string& path) {
    std::u16string const extension = get_file_extension_lower(path);
    return extension == u"wav" || extension == u"mp3" || extension == u"ogg" || extension == u"wma";
}

std::u16string get_bookmark_file_path(const std::u16string& sound_path) { return sound_path + u".bm"; }

std::u16string replace_all(const std::u16string& text, const std::u16string& what, const std::u16string& with) {
    std::u16string result = text;
    if (what.empty()) return result;
    for (std::size_t at = result.find(what); at != std::u16string::npos; at = result.find(what, at + with.size()))
        result.replace(at, what.size(), with);
    return result;
}

void add_sound_extensions(TypeIconSink& list) {
    for (const char16_t* type : {u"wav", u"mp3", u"ogg", u"wma"}) list.add_type_icon(type);
}

void add_playlist_extensions(TypeIconSink& list) { list.add_type_icon(u"m3u"); }
