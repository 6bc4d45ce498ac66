#include "app/comm/status_source.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "app/comm/comm_clipboard.h"
#include "app/comm/serializable.h"

namespace {

constexpr std::size_t longest_path = sizeof(StatusData::current_file) / sizeof(char16_t) - 1;

std::int32_t state_of(StatusSource& source) {
    if (source.is_playing()) return source.is_paused() ? 4 : 2;
    if (source.is_recording()) return source.is_paused() ? 5 : 3;
    return 1;
}

std::int32_t milliseconds(double seconds) {
    double const ms = std::trunc(seconds * 1000.0);
    if (!(ms > 0)) return 0;  // also NaN
    return static_cast<std::int32_t>(std::min(ms, double{std::numeric_limits<std::int32_t>::max()}));
}

std::int32_t format_kind(const std::u16string& codec) {
    if (codec == u"PCM" || codec == u"ADPCM" || codec == u"GSM") return 1;
    if (codec == u"mp3") return 0;
    return 2;
}

// At most 259 units; a pair of surrogates is not cut in two.
void copy_path(char16_t (&to)[longest_path + 1], const std::u16string& path) {
    std::size_t length = std::min(path.size(), longest_path);
    if (length < path.size() && length > 0 && path[length - 1] >= 0xD800 && path[length - 1] <= 0xDBFF) --length;
    std::fill(std::begin(to), std::end(to), u'\0');
    std::copy_n(path.begin(), length, to);
}

}  // namespace

StatusData make_status(StatusSource& source) {
    StatusData data{};
    data.state = state_of(source);
    data.elapsed = milliseconds(source.get_position_seconds());
    if (data.state == 1) {
        data.length = -1;
        data.position = -1;
        data.format_kind = 2;
        data.stereo = 2;
        return data;
    }
    copy_path(data.current_file, source.get_current_file());
    data.sample_rate = static_cast<std::int32_t>(source.get_sample_rate());
    data.bits_per_sample = static_cast<std::int32_t>(source.get_bits_per_sample());
    data.stereo = source.is_stereo() ? 1 : 0;
    data.bit_rate = static_cast<std::int32_t>(source.get_bitrate_kbps());
    data.format_kind = format_kind(source.get_codec());
    data.length = static_cast<std::int32_t>(source.get_length());
    data.position = static_cast<std::int32_t>(source.get_position());
    return data;
}

std::uint32_t push_status_reply(const StatusData& status) {
    CCommClipboard* const clipboard = CCommClipboard::instance();
    CSonbrixStatus const record(status);
    CSerializableBool const done(true);
    if (!CCommClipboard::write_object(clipboard, &record)) return 0;
    if (CCommClipboard::write_object(clipboard, &done)) return 1;
    CSonbrixStatus taken_back;
    CCommClipboard::read_object(clipboard, &taken_back);
    return 0;
}
