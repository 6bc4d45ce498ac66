// Fonts and text: CreateFontIndirectW, DrawTextW, ExtTextOutW and the text settings.
#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "platform/linux/gdi/device_context.h"
#include "platform/linux/gdi/font.h"
#include "platform/linux/gdi/raster.h"

using namespace platform::gdi;

namespace {

std::u16string_view text_of(LPCWSTR text, int count) {
    if (text == nullptr) return {};
    if (count < 0) return std::u16string_view(text);
    return std::u16string_view(text, static_cast<std::size_t>(count));
}

std::u16string without_prefixes(std::u16string_view text) {
    std::u16string result;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'&') {
            if (i + 1 < text.size() && text[i + 1] == u'&') result.push_back(u'&');
            if (i + 1 < text.size()) ++i;
            if (text[i] != u'&') result.push_back(text[i]);
            continue;
        }
        result.push_back(text[i]);
    }
    return result;
}

std::vector<std::u32string> split_lines(std::u32string const& text, bool single_line) {
    if (single_line) return {text};
    std::vector<std::u32string> lines(1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t const c = text[i];
        if (c == U'\r' || c == U'\n') {
            if (c == U'\r' && i + 1 < text.size() && text[i + 1] == U'\n') ++i;
            lines.emplace_back();
        } else {
            lines.back().push_back(c);
        }
    }
    return lines;
}

int width_of(Face& face, std::u32string_view text) {
    int width = 0;
    for (char32_t c : text) width += face.glyph(c).advance;
    return width;
}

std::uint32_t blend_channel(std::uint32_t destination, std::uint32_t colour, std::uint32_t coverage) {
    return (destination * (255 - coverage) + colour * coverage + 127) / 255;
}

std::uint32_t blend(std::uint32_t destination, std::uint32_t colour, std::uint32_t coverage) {
    if (coverage == 0) return destination;
    if (coverage == 255) return colour;
    return blend_channel(destination >> 16 & 0xFF, colour >> 16 & 0xFF, coverage) << 16 |
           blend_channel(destination >> 8 & 0xFF, colour >> 8 & 0xFF, coverage) << 8 |
           blend_channel(destination & 0xFF, colour & 0xFF, coverage);
}

void draw_glyph(PixelSurface& surface, Area const& area, Glyph const& glyph, int x, int y, std::uint32_t colour) {
    if (glyph.width == 0 || glyph.height == 0) return;
    Area box(x, y, x + glyph.width, y + glyph.height);
    box.intersect(area);
    int count = 0;
    pixman_box32_t const* boxes = box.boxes(&count);
    for (int i = 0; i < count; ++i) {
        for (int row = boxes[i].y1; row < boxes[i].y2; ++row) {
            std::uint32_t* out = surface.pixels() + static_cast<std::ptrdiff_t>(row) * surface.stride();
            std::uint8_t const* in = glyph.coverage.data() + static_cast<std::ptrdiff_t>(row - y) * glyph.width - x;
            for (int column = boxes[i].x1; column < boxes[i].x2; ++column) {
                out[column] = blend(out[column], colour, in[column]);
            }
        }
    }
}

struct TextStyle {
    std::uint32_t colour;
    bool underline;
    bool strike_out;
};

// Draws a line of text with its cell's top-left corner at (x, y), surface coordinates.
void draw_line_of_text(PixelSurface& surface, Area const& area, Face& face, std::u32string_view text, int x, int y,
                       TextStyle const& style) {
    int const baseline = y + face.ascent();
    int pen = x;
    for (char32_t c : text) {
        Glyph const& glyph = face.glyph(c);
        draw_glyph(surface, area, glyph, pen + glyph.left, baseline - glyph.top, style.colour);
        pen += glyph.advance;
    }
    auto rule = [&](int top) {
        Area line(x, top, pen, top + face.line_thickness());
        line.intersect(area);
        fill_area(surface, line, style.colour);
    };
    if (style.underline) rule(baseline + face.underline_offset());
    if (style.strike_out) rule(baseline - face.ascent() / 3);
}

TextStyle style_of(DeviceContext& dc, Font& font) {
    return TextStyle{pixel_of(dc.text_colour), font.description().lfUnderline != 0,
                     font.description().lfStrikeOut != 0};
}

void fill_background(DeviceContext& dc, Area area, PixelSurface& surface) {
    fill_area(surface, area, pixel_of(dc.background_colour));
}

struct Layout {
    std::vector<std::u32string> lines;
    std::vector<int> widths;
    int width = 0;
    int height = 0;
    int line_height = 0;
};

Layout lay_out(Face& face, std::u16string_view text, UINT format) {
    std::u16string const shown = format & DT_NOPREFIX ? std::u16string(text) : without_prefixes(text);
    Layout layout;
    layout.line_height = face.height();
    if (shown.empty()) return layout;
    layout.lines = split_lines(decode_utf16(shown), (format & DT_SINGLELINE) != 0);
    for (auto const& line : layout.lines) {
        layout.widths.push_back(width_of(face, line));
        layout.width = std::max(layout.width, layout.widths.back());
    }
    layout.height = layout.line_height * static_cast<int>(layout.lines.size());
    return layout;
}

int top_of_text(RECT const& rect, Layout const& layout, UINT format) {
    if ((format & DT_SINGLELINE) == 0) return rect.top;
    if (format & DT_VCENTER) return rect.top + (rect.bottom - rect.top - layout.height) / 2;
    if (format & DT_BOTTOM) return rect.bottom - layout.height;
    return rect.top;
}

int left_of_line(RECT const& rect, int width, UINT format) {
    if (format & DT_CENTER) return rect.left + (rect.right - rect.left - width) / 2;
    if (format & DT_RIGHT) return rect.right - width;
    return rect.left;
}

void draw_layout(DeviceContext& dc, Font& font, Layout const& layout, RECT const& rect, UINT format, int top) {
    PixelSurface& surface = dc.surface();
    Area area = dc.drawable();
    if ((format & DT_NOCLIP) == 0) {
        Area box = Area::of(rect);
        box.translate(dc.origin().x, dc.origin().y);
        area.intersect(box);
    }
    if (area.empty()) return;
    POINT const origin = dc.origin();
    surface.before_read();
    for (std::size_t i = 0; i < layout.lines.size(); ++i) {
        int const x = left_of_line(rect, layout.widths[i], format) + origin.x;
        int const y = top + static_cast<int>(i) * layout.line_height + origin.y;
        if (dc.background_mode == OPAQUE) {
            Area cell(x, y, x + layout.widths[i], y + layout.line_height);
            cell.intersect(area);
            fill_background(dc, cell, surface);
        }
        draw_line_of_text(surface, area, font.face(), layout.lines[i], x, y, style_of(dc, font));
    }
    surface.after_write();
}

}  // namespace

HFONT CreateFontIndirectW(LOGFONTW const* description) {
    auto lock = lock_drawing();
    if (description == nullptr) return nullptr;
    Font* font = Font::create(*description);
    return font != nullptr ? adopt<HFONT>(font) : nullptr;
}

COLORREF SetTextColor(HDC dc, COLORREF colour) {
    auto lock = lock_drawing();
    DeviceContext* context = find<DeviceContext>(dc);
    if (context == nullptr) return CLR_INVALID;
    return std::exchange(context->text_colour, colour & 0xFFFFFF);
}

COLORREF GetTextColor(HDC dc) {
    auto lock = lock_drawing();
    DeviceContext* context = find<DeviceContext>(dc);
    return context != nullptr ? context->text_colour : CLR_INVALID;
}

COLORREF SetBkColor(HDC dc, COLORREF colour) {
    auto lock = lock_drawing();
    DeviceContext* context = find<DeviceContext>(dc);
    if (context == nullptr) return CLR_INVALID;
    return std::exchange(context->background_colour, colour & 0xFFFFFF);
}

COLORREF GetBkColor(HDC dc) {
    auto lock = lock_drawing();
    DeviceContext* context = find<DeviceContext>(dc);
    return context != nullptr ? context->background_colour : CLR_INVALID;
}

int SetBkMode(HDC dc, int mode) {
    auto lock = lock_drawing();
    DeviceContext* context = find<DeviceContext>(dc);
    if (context == nullptr || (mode != OPAQUE && mode != TRANSPARENT)) return 0;
    return std::exchange(context->background_mode, mode);
}

int GetBkMode(HDC dc) {
    auto lock = lock_drawing();
    DeviceContext* context = find<DeviceContext>(dc);
    return context != nullptr ? context->background_mode : 0;
}

int DrawTextW(HDC dc, LPCWSTR text, int count, LPRECT rect, UINT format) {
    auto lock = lock_drawing();
    DeviceContext* context = find<DeviceContext>(dc);
    if (context == nullptr || rect == nullptr || context->font() == nullptr) return 0;
    Font& font = *context->font();
    Layout const layout = lay_out(font.face(), text_of(text, count), format);
    if (format & DT_CALCRECT) {
        rect->right = bounded(rect->left) + layout.width;
        rect->bottom = bounded(rect->top) + layout.height;
        return layout.height;
    }
    RECT const box = bounded(*rect);
    int const top = top_of_text(box, layout, format);
    draw_layout(*context, font, layout, box, format, top);
    if ((format & DT_SINGLELINE) && (format & (DT_VCENTER | DT_BOTTOM))) return top - box.top + layout.height;
    return layout.height;
}

BOOL GetTextExtentPoint32W(HDC dc, LPCWSTR text, int count, LPSIZE size) {
    auto lock = lock_drawing();
    DeviceContext* context = find<DeviceContext>(dc);
    if (context == nullptr || size == nullptr || count < 0 || (text == nullptr && count > 0) ||
        context->font() == nullptr) {
        return FALSE;
    }
    Face& face = context->font()->face();
    size->cx = width_of(face, decode_utf16(text_of(text, count)));
    size->cy = face.height();
    return TRUE;
}

BOOL ExtTextOutW(HDC dc, int x, int y, UINT options, RECT const* rect, LPCWSTR text, UINT count, int const* spacing) {
    auto lock = lock_drawing();
    DeviceContext* context = find<DeviceContext>(dc);
    if (context == nullptr || context->font() == nullptr || (text == nullptr && count > 0)) return FALSE;
    Font& font = *context->font();
    PixelSurface& surface = context->surface();
    POINT const origin = context->origin();
    Area area = context->drawable();
    Area box;
    if (rect != nullptr) {
        box = Area::of(*rect);
        box.translate(origin.x, origin.y);
    }
    surface.before_read();
    if (rect != nullptr && (options & ETO_OPAQUE)) {
        Area fill = box;
        fill.intersect(area);
        fill_background(*context, fill, surface);
    }
    if (rect != nullptr && (options & ETO_CLIPPED)) area.intersect(box);
    std::u32string const characters = decode_utf16(text_of(text, static_cast<int>(count)));
    Face& face = font.face();
    int pen = bounded(x) + origin.x;
    int const baseline = bounded(y) + origin.y + face.ascent();
    TextStyle const style = style_of(*context, font);
    for (std::size_t i = 0; i < characters.size(); ++i) {
        Glyph const& glyph = face.glyph(characters[i]);
        draw_glyph(surface, area, glyph, pen + glyph.left, baseline - glyph.top, style.colour);
        pen = bounded(pen + (spacing != nullptr && i < count ? bounded(spacing[i]) : glyph.advance));
    }
    surface.after_write();
    return TRUE;
}

BOOL GetTextMetricsW(HDC dc, TEXTMETRICW* metrics) {
    auto lock = lock_drawing();
    DeviceContext* context = find<DeviceContext>(dc);
    if (context == nullptr || metrics == nullptr || context->font() == nullptr) return FALSE;
    Font& font = *context->font();
    Face& face = font.face();
    *metrics = TEXTMETRICW{};
    metrics->tmHeight = face.height();
    metrics->tmAscent = face.ascent();
    metrics->tmDescent = face.descent();
    metrics->tmInternalLeading = face.height() - face.choice().pixel_size;
    metrics->tmAveCharWidth = face.glyph(U'x').advance;
    metrics->tmMaxCharWidth = face.glyph(U'W').advance;
    metrics->tmWeight = font.description().lfWeight;
    metrics->tmDigitizedAspectX = metrics->tmDigitizedAspectY = screen_metrics().dots_per_inch;
    metrics->tmFirstChar = u' ';
    metrics->tmLastChar = 0xFFFD;
    metrics->tmDefaultChar = u'?';
    metrics->tmBreakChar = u' ';
    metrics->tmItalic = font.description().lfItalic;
    metrics->tmUnderlined = font.description().lfUnderline;
    metrics->tmStruckOut = font.description().lfStrikeOut;
    metrics->tmCharSet = font.description().lfCharSet;
    return TRUE;
}
