#include "tools/today_host/program_list.h"

#include <algorithm>
#include <iterator>

namespace today_host {
namespace {

// Sizes at 96 dpi.
constexpr int row_height = 20;
constexpr int indent = 8;
constexpr int font_height = 12;
constexpr COLORREF band_colour = RGB(0x12, 0x17, 0x1D);
constexpr COLORREF rule_colour = RGB(0x3C, 0xB4, 0xA9);
constexpr COLORREF heading_colour = RGB(0x3C, 0xB4, 0xA9);

HFONT list_font(int scale, bool bold) {
    LOGFONTW font{};
    font.lfHeight = -font_height * scale;
    font.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    font.lfQuality = ANTIALIASED_QUALITY;
    constexpr char16_t face[] = u"Tahoma";
    std::copy(std::begin(face), std::end(face), font.lfFaceName);
    return CreateFontIndirectW(&font);
}

void fill(HDC dc, const RECT& rect, COLORREF colour) {
    HBRUSH const brush = CreateSolidBrush(colour);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

void draw_row_text(HDC dc, RECT row, const std::u16string& text, int scale, bool bold, COLORREF colour) {
    HFONT const font = list_font(scale, bold);
    HGDIOBJ const previous = SelectObject(dc, font);
    SetTextColor(dc, colour);
    row.left += indent * scale;
    row.right -= indent * scale;
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &row,
              DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    SelectObject(dc, previous);
    DeleteObject(font);
}

}  // namespace

bool ProgramList::refresh() {
    auto now = read_program_shortcuts();
    if (now == programs_) return false;
    programs_ = std::move(now);
    return true;
}

RECT ProgramList::band(const RECT& client, int scale) const {
    if (programs_.empty()) return RECT{client.left, client.bottom, client.right, client.bottom};
    int const rows = static_cast<int>(programs_.size()) + 1;  // with the heading
    return RECT{client.left, std::max(client.top, client.bottom - rows * row_height * scale), client.right,
                client.bottom};
}

void ProgramList::draw(HDC dc, const RECT& client, int scale, COLORREF text_colour) const {
    if (programs_.empty()) return;
    RECT const area = band(client, scale);
    fill(dc, area, band_colour);
    fill(dc, RECT{area.left, area.top, area.right, area.top + scale}, rule_colour);
    SetBkMode(dc, TRANSPARENT);
    RECT row{area.left, area.top, area.right, area.top + row_height * scale};
    draw_row_text(dc, row, u"Programs", scale, true, heading_colour);
    for (auto const& program : programs_) {
        row.top += row_height * scale;
        row.bottom += row_height * scale;
        draw_row_text(dc, row, program.name, scale, false, text_colour);
    }
}

std::optional<ProgramShortcut> ProgramList::program_at(POINT point, const RECT& client, int scale) const {
    RECT const area = band(client, scale);
    if (point.x < area.left || point.x >= area.right || point.y < area.top || point.y >= area.bottom)
        return std::nullopt;
    int const row = (point.y - area.top) / (row_height * scale) - 1;  // the heading is row -1
    if (row < 0 || row >= static_cast<int>(programs_.size())) return std::nullopt;
    return programs_[static_cast<std::size_t>(row)];
}

}  // namespace today_host
