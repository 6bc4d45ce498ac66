// Device contexts, selection, deletion and the objects' descriptions.
#include <cstring>

#include "platform/linux/gdi/device_context.h"
#include "platform/linux/gdi/font.h"
#include "platform/linux/gdi/surface_dc.h"

using namespace platform::gdi;

namespace {

HGDIOBJ select_bitmap(DeviceContext& dc, Bitmap& bitmap) {
    if (!dc.is_memory()) return nullptr;
    if (!bitmap.is_stock() && bitmap.selected_into() != nullptr && bitmap.selected_into() != &dc) return nullptr;
    return dc.select(&bitmap)->handle();
}

int write_bitmap(Bitmap& bitmap, int size, void* buffer) {
    BITMAP description{};
    description.bmWidth = bitmap.width();
    description.bmHeight = bitmap.height();
    description.bmWidthBytes = static_cast<LONG>(bitmap.row_bytes());
    description.bmPlanes = 1;
    description.bmBitsPixel = static_cast<WORD>(bitmap.bits_per_pixel());
    description.bmBits = bitmap.is_dib() ? bitmap.bits() : nullptr;
    if (bitmap.is_dib() && size >= static_cast<int>(sizeof(DIBSECTION))) {
        DIBSECTION section{};
        section.dsBm = description;
        section.dsBmih = bitmap.header();
        std::memcpy(buffer, &section, sizeof section);
        return sizeof section;
    }
    if (size < static_cast<int>(sizeof description)) return 0;
    std::memcpy(buffer, &description, sizeof description);
    return sizeof description;
}

template <class T>
int write_record(T const& record, int size, void* buffer) {
    if (size < static_cast<int>(sizeof record)) return 0;
    std::memcpy(buffer, &record, sizeof record);
    return sizeof record;
}

int record_size(Object const& object) {
    switch (object.kind()) {
    case Kind::bitmap: return static_cast<Bitmap const&>(object).is_dib() ? sizeof(DIBSECTION) : sizeof(BITMAP);
    case Kind::brush: return sizeof(LOGBRUSH);
    case Kind::pen: return sizeof(LOGPEN);
    case Kind::font: return sizeof(LOGFONTW);
    default: return 0;
    }
}

}  // namespace

HDC CreateCompatibleDC(HDC reference) {
    auto lock = lock_drawing();
    if (reference != nullptr && find<DeviceContext>(reference) == nullptr) return nullptr;
    return adopt<HDC>(new DeviceContext);
}

BOOL DeleteDC(HDC dc) {
    auto lock = lock_drawing();
    DeviceContext* context = find<DeviceContext>(dc);
    if (context == nullptr) return FALSE;
    destroy(context);
    return TRUE;
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
    auto lock = lock_drawing();
    DeviceContext* context = find<DeviceContext>(dc);
    Object* selected = find_any_object(object);
    if (context == nullptr || selected == nullptr) return nullptr;
    switch (selected->kind()) {
    case Kind::bitmap: return select_bitmap(*context, static_cast<Bitmap&>(*selected));
    case Kind::brush: return context->select(static_cast<Brush*>(selected))->handle();
    case Kind::pen: return context->select(static_cast<Pen*>(selected))->handle();
    case Kind::font: {
        Font* previous = context->select(static_cast<Font*>(selected));
        return previous != nullptr ? previous->handle() : nullptr;
    }
    case Kind::region: return reinterpret_cast<HGDIOBJ>(static_cast<std::intptr_t>(SelectClipRgn(dc, static_cast<HRGN>(object))));
    default: return nullptr;
    }
}

BOOL DeleteObject(HGDIOBJ object) {
    auto lock = lock_drawing();
    Object* found = find_any_object(object);
    if (found == nullptr || found->kind() == Kind::dc) return FALSE;
    if (found->is_stock()) return TRUE;
    if (found->selections() > 0) return FALSE;
    destroy(found);
    return TRUE;
}

HGDIOBJ GetStockObject(int index) {
    auto lock = lock_drawing();
    return stock_object(index);
}

DWORD GetObjectType(HGDIOBJ object) {
    auto lock = lock_drawing();
    Object* found = find_any_object(object);
    if (found == nullptr) return 0;
    switch (found->kind()) {
    case Kind::bitmap: return OBJ_BITMAP;
    case Kind::brush: return OBJ_BRUSH;
    case Kind::pen: return OBJ_PEN;
    case Kind::font: return OBJ_FONT;
    case Kind::region: return OBJ_REGION;
    case Kind::dc: return static_cast<DeviceContext*>(found)->is_memory() ? OBJ_MEMDC : OBJ_DC;
    }
    return 0;
}

HGDIOBJ GetCurrentObject(HDC dc, UINT kind) {
    auto lock = lock_drawing();
    DeviceContext* context = find<DeviceContext>(dc);
    if (context == nullptr) return nullptr;
    Object* current = nullptr;
    switch (kind) {
    case OBJ_BITMAP: current = context->bitmap(); break;
    case OBJ_BRUSH: current = context->brush(); break;
    case OBJ_PEN: current = context->pen(); break;
    case OBJ_FONT: current = context->font(); break;
    default: break;
    }
    return current != nullptr ? current->handle() : nullptr;
}

int GetObjectW(HGDIOBJ object, int size, LPVOID buffer) {
    auto lock = lock_drawing();
    Object* found = find_any_object(object);
    if (found == nullptr) return 0;
    if (buffer == nullptr) return record_size(*found);
    if (size <= 0) return 0;
    switch (found->kind()) {
    case Kind::bitmap: return write_bitmap(static_cast<Bitmap&>(*found), size, buffer);
    case Kind::brush: {
        auto const& brush = static_cast<Brush const&>(*found);
        return write_record(LOGBRUSH{brush.style, brush.colour, 0}, size, buffer);
    }
    case Kind::pen: {
        auto const& pen = static_cast<Pen const&>(*found);
        return write_record(LOGPEN{static_cast<UINT>(pen.style), POINT{pen.width, 0}, pen.colour}, size, buffer);
    }
    case Kind::font: return write_record(static_cast<Font&>(*found).description(), size, buffer);
    default: return 0;
    }
}

int GetDeviceCaps(HDC dc, int index) {
    auto lock = lock_drawing();
    if (find<DeviceContext>(dc) == nullptr) return 0;
    ScreenMetrics const screen = screen_metrics();
    switch (index) {
    case TECHNOLOGY: return DT_RASDISPLAY;
    case HORZRES: return screen.width;
    case VERTRES: return screen.height;
    case HORZSIZE: return screen.width * 254 / (screen.dots_per_inch * 10);
    case VERTSIZE: return screen.height * 254 / (screen.dots_per_inch * 10);
    case BITSPIXEL: return 32;
    case PLANES: return 1;
    case NUMCOLORS: return -1;
    case RASTERCAPS: return RC_BITBLT | RC_STRETCHBLT | RC_DI_BITMAP;
    case LOGPIXELSX:
    case LOGPIXELSY: return screen.dots_per_inch;
    default: return 0;
    }
}

namespace platform::gdi {
namespace {

Area area_of(std::vector<RECT> const& rectangles) {
    Area area;
    for (RECT const& rect : rectangles) area.unite(Area::of(rect));
    return area;
}

}  // namespace

HDC create_surface_dc(PixelSurface& surface, POINT origin, std::vector<RECT> const& visible) {
    auto lock = lock_drawing();
    auto* dc = new DeviceContext;
    dc->set_target(&surface, origin, area_of(visible));
    return adopt<HDC>(dc);
}

BOOL retarget_surface_dc(HDC dc, PixelSurface& surface, POINT origin, std::vector<RECT> const& visible) {
    auto lock = lock_drawing();
    DeviceContext* context = find<DeviceContext>(dc);
    if (context == nullptr || context->is_memory()) return FALSE;
    context->set_target(&surface, origin, area_of(visible));
    return TRUE;
}

}  // namespace platform::gdi
