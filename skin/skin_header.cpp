#include "skin/skin_header.h"

#include <cstdint>

namespace skinner {
namespace {

bool is_text_field_valid(const SkinImage& image, std::uint32_t offset) {
    std::uint32_t unit = 0;
    while (unit < format::header_text_units && image.u16(offset + 2 * unit) != 0) ++unit;
    if (unit == format::header_text_units) return false;
    for (; unit < format::header_text_units; ++unit) {
        if (image.u16(offset + 2 * unit) != 0) return false;
    }
    return true;
}

bool has_magic(const SkinImage& image) {
    for (std::uint32_t unit = 0; unit < 4; ++unit) {
        if (image.u16(format::magic_offset + 2 * unit) != format::magic[unit]) return false;
    }
    return true;
}

bool declares_sizes(const SkinImage& image) {
    Size first = image.screen_entry(0);
    return first.width != 0 || first.height != 0;
}

bool fits_device(const std::u16string& letters) {
    return letters.empty() || letters.find(device_letter()) != std::u16string::npos;
}

}  // namespace

char16_t device_letter() {
    return u'P';
}

bool is_header_valid(const SkinImage& image) {
    if (image.size() < format::header_size) return false;
    return is_text_field_valid(image, format::compatibility_name_offset) &&
           is_text_field_valid(image, format::device_letters_offset) && has_magic(image);
}

Suitability test_suitability(const SkinImage& image, const std::u16string& compatibility_name, Size screen) {
    Suitability result;
    if (!fits_device(image.device_letters())) return result;
    if (!compatibility_name.empty() && compatibility_name != image.compatibility_name()) return result;
    if (screen.width == 0 && screen.height == 0) {
        result.suitable = true;
        return result;
    }
    for (int scale = 1; scale <= 4; ++scale) {
        for (std::uint32_t index = 0; index < format::screen_entry_count; ++index) {
            Size entry = image.screen_entry(index);
            if (std::int64_t{entry.width} * scale == screen.width && std::int64_t{entry.height} * scale == screen.height) {
                result = {true, entry, scale};
                return result;
            }
        }
    }
    result.suitable = !declares_sizes(image);
    return result;
}

int choose_scale(const SkinImage& image, Size screen) {
    if (screen.width == 0 && screen.height == 0) return 1;
    Size first = image.screen_entry(0);
    if (first.width == 0 || first.height == 0) return 1;
    Suitability exact = test_suitability(image, u"", screen);
    if (exact.suitable) return exact.scale;
    std::int64_t const width = screen.width;
    std::int64_t const height = screen.height;
    std::int64_t best = (width + 1) * height;
    int chosen = 1;
    for (int scale = 1; scale <= 4; ++scale) {
        for (std::uint32_t index = 0; index < format::screen_entry_count; ++index) {
            Size entry = image.screen_entry(index);
            bool empty = entry.width == 0 && entry.height == 0;
            if (empty || entry.width < 0 || entry.height < 0) continue;
            std::int64_t left_x = width - std::int64_t{entry.width} * scale;
            std::int64_t left_y = height - std::int64_t{entry.height} * scale;
            if (left_x < 0 || left_y < 0) continue;
            std::int64_t score = left_x * height + left_y;
            if (score < best) {
                best = score;
                chosen = scale;
            }
        }
    }
    return chosen;
}

}  // namespace skinner
