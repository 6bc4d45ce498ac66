#include "native/toolbar.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace native {
namespace {

// Sizes at 96 dpi, multiplied by the screen's scale.
constexpr int side_padding = 6;
constexpr int least_side_padding = 2;
constexpr int image_text_gap = 3;
constexpr int separator_width = 7;
constexpr int top_line = 1;

constexpr std::uint32_t background = 0xFFE8ECF1;
constexpr std::uint32_t top_line_colour = 0xFF7A848E;
constexpr std::uint32_t pressed_background = 0xFF000080;
constexpr std::uint32_t separator_colour = 0xFFA0A8B0;
constexpr COLORREF text_colour = RGB(0, 0, 0);
constexpr COLORREF disabled_text = RGB(150, 154, 160);
constexpr COLORREF pressed_text = RGB(255, 255, 255);

std::u16string text_of(INT_PTR string) {
    if (string == 0 || string == -1 || (static_cast<ULONG_PTR>(string) >> 16) == 0) return {};
    return reinterpret_cast<LPCWSTR>(string);
}

std::uint32_t blend(std::uint32_t source, std::uint32_t destination, std::uint32_t alpha) {
    std::uint32_t result = 0xFF000000u;
    for (int shift = 0; shift < 24; shift += 8) {
        std::uint32_t const s = (source >> shift) & 0xFF;
        std::uint32_t const d = (destination >> shift) & 0xFF;
        result |= ((s * alpha + d * (255 - alpha) + 127) / 255) << shift;
    }
    return result;
}

void fill(std::uint32_t* pixels, int stride, int rows, RECT rect, std::uint32_t colour) {
    rect.left = std::max<LONG>(rect.left, 0);
    rect.top = std::max<LONG>(rect.top, 0);
    rect.right = std::min<LONG>(rect.right, stride);
    rect.bottom = std::min<LONG>(rect.bottom, rows);
    for (LONG y = rect.top; y < rect.bottom; ++y)
        for (LONG x = rect.left; x < rect.right; ++x) pixels[static_cast<std::size_t>(y) * stride + x] = colour;
}

}  // namespace

std::optional<LRESULT> Toolbar::on_message(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case TB_BUTTONCOUNT: return static_cast<LRESULT>(buttons_.size());
    case TB_DELETEBUTTON:
        if (wparam >= buttons_.size()) return FALSE;
        buttons_.erase(buttons_.begin() + static_cast<std::ptrdiff_t>(wparam));
        return TRUE;
    case TB_INSERTBUTTONW: {
        auto const* given = reinterpret_cast<const TBBUTTON*>(lparam);
        if (!given) return FALSE;
        ToolbarButton button;
        button.image = given->iBitmap;
        button.command = given->idCommand;
        button.state = given->fsState;
        button.style = given->fsStyle;
        button.data = given->dwData;
        button.text = text_of(given->iString);
        insert(std::min<std::size_t>(wparam, buttons_.size()), std::move(button));
        return TRUE;
    }
    case TB_GETBUTTON: {
        auto* wanted = reinterpret_cast<TBBUTTON*>(lparam);
        if (!wanted || wparam >= buttons_.size()) return FALSE;
        auto const& button = buttons_[wparam];
        *wanted = TBBUTTON{button.image, button.command, button.state, button.style, button.data, 0};
        return TRUE;
    }
    case TB_COMMANDTOINDEX: return index_of_command(static_cast<int>(wparam));
    case TB_ENABLEBUTTON: {
        int const index = index_of_command(static_cast<int>(wparam));
        if (index < 0) return FALSE;
        auto& state = buttons_[index].state;
        state = static_cast<BYTE>(lparam ? state | TBSTATE_ENABLED : state & ~TBSTATE_ENABLED);
        return TRUE;
    }
    case TB_ISBUTTONENABLED: {
        int const index = index_of_command(static_cast<int>(wparam));
        return index >= 0 && buttons_[index].is_enabled();
    }
    case TB_GETITEMRECT: {
        auto* rect = reinterpret_cast<RECT*>(lparam);
        if (!rect || wparam >= buttons_.size()) return FALSE;
        *rect = buttons_[wparam].place;
        return TRUE;
    }
    case TB_SETBUTTONINFOW: return set_button_info(static_cast<int>(wparam), reinterpret_cast<const TBBUTTONINFOW*>(lparam));
    case TB_GETBUTTONINFOW: return get_button_info(static_cast<int>(wparam), reinterpret_cast<TBBUTTONINFOW*>(lparam));
    default: return std::nullopt;
    }
}

void Toolbar::insert(std::size_t index, ToolbarButton button) {
    buttons_.insert(buttons_.begin() + static_cast<std::ptrdiff_t>(std::min(index, buttons_.size())), std::move(button));
}

int Toolbar::index_of_command(int command) const {
    for (std::size_t index = 0; index < buttons_.size(); ++index) {
        if (!buttons_[index].is_separator() && buttons_[index].command == command) return static_cast<int>(index);
    }
    return -1;
}

LRESULT Toolbar::set_button_info(int command, const TBBUTTONINFOW* info) {
    int const index = index_of_command(command);
    if (!info || index < 0) return FALSE;
    ToolbarButton& button = buttons_[index];
    if (info->dwMask & TBIF_IMAGE) button.image = info->iImage;
    if (info->dwMask & TBIF_TEXT) button.text = info->pszText ? std::u16string(info->pszText) : std::u16string();
    if (info->dwMask & TBIF_STATE) button.state = info->fsState;
    if (info->dwMask & TBIF_STYLE) button.style = info->fsStyle;
    if (info->dwMask & TBIF_LPARAM) button.data = info->lParam;
    if (info->dwMask & TBIF_COMMAND) button.command = info->idCommand;
    return TRUE;
}

LRESULT Toolbar::get_button_info(int command, TBBUTTONINFOW* info) const {
    int const index = index_of_command(command);
    if (!info || index < 0) return -1;
    ToolbarButton const& button = buttons_[index];
    if (info->dwMask & TBIF_IMAGE) info->iImage = button.image;
    if (info->dwMask & TBIF_STATE) info->fsState = button.state;
    if (info->dwMask & TBIF_STYLE) info->fsStyle = button.style;
    if (info->dwMask & TBIF_LPARAM) info->lParam = button.data;
    if (info->dwMask & TBIF_COMMAND) info->idCommand = button.command;
    if ((info->dwMask & TBIF_TEXT) && info->pszText && info->cchText > 0) {
        std::size_t const length = std::min<std::size_t>(button.text.size(), static_cast<std::size_t>(info->cchText - 1));
        button.text.copy(info->pszText, length);
        info->pszText[length] = u'\0';
    }
    return index;
}

int Toolbar::add_images(HBITMAP strip, int count, int width, int height) {
    DIBSECTION section{};
    if (count <= 0 || width <= 0 || height <= 0 || GetObjectW(strip, sizeof section, &section) != sizeof section ||
        section.dsBm.bmBitsPixel != 32 || !section.dsBm.bmBits || section.dsBm.bmWidth < static_cast<LONG>(count) * width ||
        section.dsBm.bmHeight < height)
        return -1;
    bool const bottom_up = section.dsBmih.biHeight > 0;
    auto const* bytes = static_cast<const std::uint8_t*>(section.dsBm.bmBits);
    int const first = static_cast<int>(images_.size());
    for (int index = 0; index < count; ++index) {
        Image image{width, height, std::vector<std::uint32_t>(static_cast<std::size_t>(width) * height)};
        for (int y = 0; y < height; ++y) {
            int const row = bottom_up ? section.dsBm.bmHeight - 1 - y : y;
            std::memcpy(&image.pixels[static_cast<std::size_t>(y) * width],
                        bytes + static_cast<std::size_t>(row) * section.dsBm.bmWidthBytes + static_cast<std::size_t>(index) * width * 4,
                        static_cast<std::size_t>(width) * 4);
        }
        images_.push_back(std::move(image));
    }
    return first;
}

const Toolbar::Image* Toolbar::image(int index) const {
    return index >= 0 && static_cast<std::size_t>(index) < images_.size() ? &images_[index] : nullptr;
}

void Toolbar::lay_out(HDC dc, HFONT font, int height, int scale, int room) {
    std::vector<int> contents;
    HGDIOBJ const old_font = SelectObject(dc, font);
    for (auto const& button : buttons_) contents.push_back(content_width(dc, button, scale));
    SelectObject(dc, old_font);

    // The roomiest spacing with which the row fits: the full one when it does, else less
    // padding (and narrower separators) down to the tightest.
    Spacing spacing = full_spacing(height, scale);
    for (int padding = side_padding - 1; padding >= least_side_padding && row_width(contents, spacing) > room; --padding)
        spacing = Spacing{padding * scale, (padding + 1) * scale, 0};

    padding_ = spacing.padding;
    int x = 0;
    for (std::size_t index = 0; index < buttons_.size(); ++index) {
        int const width = button_width(buttons_[index], contents[index], spacing);
        buttons_[index].place = {x, 0, x + width, height};
        x += width;
    }
}

int Toolbar::content_width(HDC dc, const ToolbarButton& button, int scale) const {
    if (button.is_hidden() || button.is_separator()) return 0;
    int content = 0;
    if (Image const* picture = image(button.image)) content += picture->width;
    if (!button.text.empty()) {
        SIZE extent{};
        GetTextExtentPoint32W(dc, button.text.c_str(), static_cast<int>(button.text.size()), &extent);
        content += (content ? image_text_gap * scale : 0) + extent.cx;
    }
    return content;
}

int Toolbar::button_width(const ToolbarButton& button, int content, const Spacing& spacing) {
    if (button.is_hidden()) return 0;
    if (button.is_separator()) return spacing.separator;
    return std::max(content + 2 * spacing.padding, spacing.least_width);
}

int Toolbar::row_width(const std::vector<int>& contents, const Spacing& spacing) const {
    int width = 0;
    for (std::size_t index = 0; index < buttons_.size(); ++index) width += button_width(buttons_[index], contents[index], spacing);
    return width;
}

Toolbar::Spacing Toolbar::full_spacing(int height, int scale) {
    return Spacing{side_padding * scale, separator_width * scale, height};
}

void Toolbar::draw_image(std::uint32_t* pixels, int stride, int rows, int x, int y, const Image& picture, bool enabled) const {
    for (int row = 0; row < picture.height; ++row) {
        if (y + row < 0 || y + row >= rows) continue;
        for (int column = 0; column < picture.width; ++column) {
            if (x + column < 0 || x + column >= stride) continue;
            std::uint32_t source = picture.pixels[static_cast<std::size_t>(row) * picture.width + column];
            std::uint32_t alpha = source >> 24;
            if (!enabled) {
                // Disabled: the image in grey, faded.
                std::uint32_t const grey = (((source >> 16) & 0xFF) * 3 + ((source >> 8) & 0xFF) * 6 + (source & 0xFF)) / 10;
                source = grey << 16 | grey << 8 | grey;
                alpha /= 2;
            }
            std::uint32_t& target = pixels[static_cast<std::size_t>(y + row) * stride + x + column];
            target = blend(source, target, alpha);
        }
    }
}

void Toolbar::paint(HDC dc, HFONT font, int width, int height, int scale, int pressed) const {
    if (width <= 0 || height <= 0) return;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP const buffer = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC const memory = buffer ? CreateCompatibleDC(dc) : nullptr;
    if (!memory || !bits) {
        if (buffer) DeleteObject(buffer);
        return;
    }
    HGDIOBJ const old_bitmap = SelectObject(memory, buffer);
    auto* pixels = static_cast<std::uint32_t*>(bits);
    fill(pixels, width, height, {0, 0, width, height}, background);
    fill(pixels, width, height, {0, 0, width, top_line * scale}, top_line_colour);
    for (std::size_t index = 0; index < buttons_.size(); ++index) {
        ToolbarButton const& button = buttons_[index];
        if (button.is_hidden()) continue;
        RECT const place = button.place;
        if (button.is_separator()) {
            int const middle = (place.left + place.right) / 2;
            fill(pixels, width, height, {middle, place.top + 5 * scale, middle + scale, place.bottom - 4 * scale}, separator_colour);
            continue;
        }
        bool const down = static_cast<int>(index) == pressed;
        if (down) fill(pixels, width, height, {place.left, place.top + top_line * scale, place.right, place.bottom}, pressed_background);
        int x = place.left + padding_;
        if (Image const* picture = image(button.image)) {
            if (button.text.empty()) x = (place.left + place.right - picture->width) / 2;
            draw_image(pixels, width, height, x, (height + top_line * scale - picture->height) / 2, *picture, button.is_enabled());
            x += picture->width + image_text_gap * scale;
        }
        if (!button.text.empty()) {
            HGDIOBJ const old_font = SelectObject(memory, font);
            SetBkMode(memory, TRANSPARENT);
            SetTextColor(memory, down ? pressed_text : button.is_enabled() ? text_colour : disabled_text);
            RECT text_place{x, place.top + top_line * scale, place.right, place.bottom};
            DrawTextW(memory, button.text.c_str(), static_cast<int>(button.text.size()), &text_place,
                      DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
            SelectObject(memory, old_font);
        }
    }
    BitBlt(dc, 0, 0, width, height, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old_bitmap);
    DeleteDC(memory);
    DeleteObject(buffer);
}

int Toolbar::button_at(POINT point) const {
    for (std::size_t index = 0; index < buttons_.size(); ++index) {
        ToolbarButton const& button = buttons_[index];
        if (button.is_hidden() || button.is_separator()) continue;
        RECT const& place = button.place;
        if (point.x >= place.left && point.x < place.right && point.y >= place.top && point.y < place.bottom) return static_cast<int>(index);
    }
    return -1;
}

}  // namespace native
