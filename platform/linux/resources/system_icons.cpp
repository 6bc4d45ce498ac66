// The shell's system icons, drawn here at any size, and SHGetFileInfo.
#include <algorithm>
#include <cstddef>
#include <optional>
#include <string>

#include "platform/errors.h"
#include "platform/file_attributes.h"
#include "platform/file_ops.h"
#include "platform/linux/resources/icons.h"
#include "platform/resources.h"

namespace {

using platform::resources::Picture;

// Shapes on a 16-unit grid, scaled to the picture's side.
class Sketch {
public:
    explicit Sketch(int side) : picture_{side, side, std::vector<std::uint32_t>(static_cast<std::size_t>(side) * side, 0)}, unit_(side / 16.0) {}

    void rect(double left, double top, double right, double bottom, std::uint32_t colour) {
        for (int y = at(top); y < at(bottom); ++y)
            for (int x = at(left); x < at(right); ++x) put(x, y, colour);
    }
    void frame(double left, double top, double right, double bottom, std::uint32_t fill, std::uint32_t edge) {
        rect(left, top, right, bottom, edge);
        int const line = std::max(1, at(1) - at(0));
        for (int y = at(top) + line; y < at(bottom) - line; ++y)
            for (int x = at(left) + line; x < at(right) - line; ++x) put(x, y, fill);
    }
    void disc(double cx, double cy, double radius, std::uint32_t colour) {
        double const r = radius * unit_;
        double const mx = cx * unit_, my = cy * unit_;
        for (int y = 0; y < picture_.height; ++y)
            for (int x = 0; x < picture_.width; ++x) {
                double const dx = x + 0.5 - mx, dy = y + 0.5 - my;
                if (dx * dx + dy * dy <= r * r) put(x, y, colour);
            }
    }
    Picture done() { return std::move(picture_); }

private:
    int at(double units) const { return static_cast<int>(units * unit_ + 0.5); }
    void put(int x, int y, std::uint32_t colour) {
        if (x >= 0 && y >= 0 && x < picture_.width && y < picture_.height) picture_.pixels[static_cast<std::size_t>(y) * picture_.width + x] = colour;
    }
    Picture picture_;
    double unit_;
};

constexpr std::uint32_t edge = 0xFF505860, paper = 0xFFFFFFFF, accent = 0xFF3CB4A9, folder_yellow = 0xFFF2C14E,
                        program_blue = 0xFF3A6EA5, picture_green = 0xFF5BA84A, grey = 0xFFB8BEC6, button_dark = 0xFF2B3036;

void page(Sketch& sketch, std::uint32_t fill) {
    sketch.frame(3, 1, 13, 15, fill, edge);
    sketch.rect(10, 1, 13, 4, 0);  // the folded corner
    sketch.frame(10, 1, 13, 4, grey, edge);
}

// Pips of a die for the six hardware buttons.
void pips(Sketch& sketch, int count) {
    static constexpr double places[6][6][2] = {
        {{8, 8}},
        {{5.5, 5.5}, {10.5, 10.5}},
        {{5, 5}, {8, 8}, {11, 11}},
        {{5.5, 5.5}, {10.5, 5.5}, {5.5, 10.5}, {10.5, 10.5}},
        {{5, 5}, {11, 5}, {8, 8}, {5, 11}, {11, 11}},
        {{5.5, 4.5}, {10.5, 4.5}, {5.5, 8}, {10.5, 8}, {5.5, 11.5}, {10.5, 11.5}},
    };
    for (int pip = 0; pip < count; ++pip) sketch.disc(places[count - 1][pip][0], places[count - 1][pip][1], 1.4, paper);
}

Picture system_icon(int index, int side) {
    Sketch sketch(side);
    switch (index) {
    case SYSTEM_ICON_DOCUMENT: page(sketch, paper); sketch.rect(5, 7, 11, 8, grey); sketch.rect(5, 10, 11, 11, grey); break;
    case SYSTEM_ICON_FOLDER: sketch.frame(1, 3, 7, 6, folder_yellow, edge); sketch.frame(1, 5, 15, 14, folder_yellow, edge); break;
    case SYSTEM_ICON_PROGRAM: sketch.frame(1, 2, 15, 14, paper, edge); sketch.rect(2, 3, 14, 5, program_blue); break;
    case SYSTEM_ICON_SOUND: page(sketch, paper); sketch.disc(7, 11, 2, accent); sketch.rect(8, 5, 9, 11, accent); sketch.rect(8, 5, 11, 6, accent); break;
    case SYSTEM_ICON_PICTURE: page(sketch, paper); sketch.disc(8, 10, 3, picture_green); sketch.disc(6, 6, 1.2, folder_yellow); break;
    case SYSTEM_ICON_UNKNOWN: page(sketch, grey); break;
    default:
        sketch.disc(8, 8, 7, edge);
        sketch.disc(8, 8, 6.2, button_dark);
        pips(sketch, index - SYSTEM_ICON_BUTTON_FIRST + 1);
        break;
    }
    return sketch.done();
}

char16_t lowered(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c; }

bool ends_with_ignoring_case(std::u16string_view text, std::u16string_view end) {
    if (text.size() < end.size()) return false;
    for (std::size_t index = 0; index < end.size(); ++index) {
        if (lowered(text[text.size() - end.size() + index]) != lowered(end[index])) return false;
    }
    return true;
}

bool equal_ignoring_case(std::u16string_view a, std::u16string_view b) { return a.size() == b.size() && ends_with_ignoring_case(a, b); }

// "LIBRARY,N": the system icon N (negative N from the end); nothing for another path.
std::optional<int> library_icon(const std::u16string& path) {
    auto const comma = path.rfind(u',');
    if (comma == std::u16string::npos || !equal_ignoring_case(path.substr(0, comma), SYSTEM_ICON_LIBRARY)) return std::nullopt;
    std::u16string const number = path.substr(comma + 1);
    bool const negative = !number.empty() && number[0] == u'-';
    if (number.size() == (negative ? 1u : 0u) || number.size() > 6) return SYSTEM_ICON_UNKNOWN;
    int value = 0;
    for (std::size_t index = negative ? 1 : 0; index < number.size(); ++index) {
        if (number[index] < u'0' || number[index] > u'9') return SYSTEM_ICON_UNKNOWN;
        value = value * 10 + (number[index] - u'0');
    }
    if (negative) value = SYSTEM_ICON_COUNT - value;
    return value >= 0 && value < SYSTEM_ICON_COUNT ? value : SYSTEM_ICON_UNKNOWN;
}

int icon_of_path(const std::u16string& path) {
    if (auto const from_library = library_icon(path)) return *from_library;
    DWORD const attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return SYSTEM_ICON_UNKNOWN;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return SYSTEM_ICON_FOLDER;
    if (ends_with_ignoring_case(path, u".exe")) return SYSTEM_ICON_PROGRAM;
    for (auto const* sound : {u".wav", u".mp3", u".wma", u".ogg", u".mpc"})
        if (ends_with_ignoring_case(path, sound)) return SYSTEM_ICON_SOUND;
    for (auto const* picture : {u".png", u".bmp", u".jpg", u".gif"})
        if (ends_with_ignoring_case(path, picture)) return SYSTEM_ICON_PICTURE;
    return SYSTEM_ICON_DOCUMENT;
}

// What SHGetFileInfo answers with SHGFI_SYSICONINDEX: a handle that stands for the system
// image list.
constexpr ULONG_PTR system_image_list = 0x51C0;

}  // namespace

ULONG_PTR SHGetFileInfo(LPCWSTR path, DWORD, SHFILEINFO* info, UINT info_size, UINT flags) {
    if (!path || !info || info_size < offsetof(SHFILEINFO, szDisplayName)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    int const index = icon_of_path(path);
    info->iIcon = index;
    info->hIcon = nullptr;
    info->dwAttributes = 0;
    if (flags & SHGFI_ICON) info->hIcon = platform::resources::make_icon(system_icon(index, platform::resources::icon_side(flags & SHGFI_SMALLICON)));
    return (flags & SHGFI_SYSICONINDEX) ? system_image_list : 1;
}
