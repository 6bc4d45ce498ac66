#include "skin/font_ref.h"

#include <algorithm>

#include "foundation/log.h"
#include "skin/text_fit.h"

namespace skinner {

namespace {

UINT alignment_flags(int horizontal, int vertical) {
    UINT flags = DT_SINGLELINE | DT_NOPREFIX;
    flags |= horizontal == 1 ? DT_CENTER : horizontal == 2 ? DT_RIGHT : DT_LEFT;
    flags |= vertical == 1 ? DT_VCENTER : vertical == 2 ? DT_BOTTOM : DT_TOP;
    return flags;
}

// The width of texts in a font, measured on a screen context.
class TextMeasure {
public:
    explicit TextMeasure(HFONT font) : dc_(CreateCompatibleDC(nullptr)), previous_(SelectObject(dc_, font)) {}
    ~TextMeasure() {
        SelectObject(dc_, previous_);
        DeleteDC(dc_);
    }
    TextMeasure(const TextMeasure&) = delete;
    TextMeasure& operator=(const TextMeasure&) = delete;

    SIZE measure(const std::u16string& text) const {
        RECT rect{0, 0, 1, 1};
        int height = DrawTextW(dc_, text.c_str(), int(text.size()), &rect, DT_CALCRECT | DT_NOPREFIX | DT_VCENTER);
        return {text.empty() ? 0 : rect.right, height};
    }

private:
    HDC dc_;
    HGDIOBJ previous_;
};

}  // namespace

FontRep::FontRep(const FontDescription& description, int scale)
    : description_(description), scale_(scale), logical_height_(description.logical_height(scale)) {
    os::get_log() << u"Creating font: {" << description.normalised() << u"}\n";
    os::get_log() << u"height=" << description.size << u" name.scale=" << scale << u"}\n";
    HDC screen = CreateCompatibleDC(nullptr);
    os::get_log() << u"dpiy=" << GetDeviceCaps(screen, LOGPIXELSY) << u" log_font.lfHeight=" << logical_height_ << u"}\n";
    DeleteDC(screen);
    LOGFONTW font{};
    font.lfHeight = logical_height_;
    font.lfWeight = get_weight();
    font.lfItalic = description.italic;
    font.lfUnderline = description.underline;
    std::copy_n(description.face.begin(), std::min<std::size_t>(description.face.size(), LF_FACESIZE - 1),
                font.lfFaceName);
    handle_ = CreateFontIndirectW(&font);
    if (handle_ == nullptr) os::get_log() << u"ERROR: FontRep::FontRep() Failed to create font\n";
}

FontRep::~FontRep() {
    if (handle_ != nullptr) DeleteObject(handle_);
}

FontRef::FontRef(int scale) : scale_(scale) {
    FontCache::add_user();
    entry_ = FontCache::end();
}

FontRef::FontRef(const FontRef& other) : scale_(other.scale_) {
    FontCache::add_user();
    entry_ = other.entry_;
    FontCache::add_use(entry_);
}

FontRef& FontRef::operator=(const FontRef& other) {
    if (entry_ != other.entry_) {
        FontCache::add_use(other.entry_);
        release();
        entry_ = other.entry_;
    }
    scale_ = other.scale_;
    return *this;
}

FontRef::~FontRef() {
    release();
    FontCache::drop_user();
}

bool FontRef::set_description(const std::u16string& text) {
    auto description = FontDescription::parse(text);
    if (!description) return false;
    auto taken = FontCache::take({description->normalised(), scale_},
                                 [&] { return std::make_unique<FontRep>(*description, scale_); });
    release();
    entry_ = taken;
    return true;
}

void FontRef::release() {
    FontCache::release(entry_);
    entry_ = FontCache::end();
}

const FontRep* FontRef::get_font() const { return is_empty() ? nullptr : entry_->second.object.get(); }

}  // namespace skinner

namespace skinner {

SIZE FontRef::measure_text(const std::u16string& text) const {
    if (get_handle() == nullptr) return {0, 0};
    return TextMeasure(get_handle()).measure(text);
}

void FontRef::draw_text(Canvas& canvas, COLORREF colour, const std::u16string& text, POINT position, POINT size,
                        int horizontal, int vertical) const {
    HFONT font = get_handle();
    if (font == nullptr) return;
    HDC dc = canvas.get_dc();
    HGDIOBJ previous_font = SelectObject(dc, font);
    COLORREF previous_colour = SetTextColor(dc, colour);
    int previous_mode = SetBkMode(dc, TRANSPARENT);
    RECT box{position.x, position.y, position.x + size.x, position.y + size.y};
    DrawTextW(dc, text.c_str(), int(text.size()), &box, alignment_flags(horizontal, vertical));
    SetBkMode(dc, previous_mode);
    SetTextColor(dc, previous_colour);
    SelectObject(dc, previous_font);
}

void FontRef::draw_text_ellipsis(Canvas& canvas, COLORREF colour, const std::u16string& text, POINT position,
                                 POINT size, int horizontal, int vertical) const {
    if (get_handle() == nullptr) return;
    TextMeasure measure(get_handle());
    auto width = [&](const std::u16string& part) { return int(measure.measure(part).cx); };
    draw_text(canvas, colour, fit_with_ellipsis(text, size.x, width), position, size, horizontal, vertical);
}

void FontRef::draw_text_left_ellipsis(Canvas& canvas, COLORREF colour, const std::u16string& text, POINT position,
                                      POINT size, int horizontal, int vertical) const {
    if (get_handle() == nullptr) return;
    TextMeasure measure(get_handle());
    auto width = [&](const std::u16string& part) { return int(measure.measure(part).cx); };
    draw_text(canvas, colour, fit_with_left_ellipsis(text, size.x, width), position, size, horizontal, vertical);
}

}  // namespace skinner
