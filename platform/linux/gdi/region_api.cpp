// Regions and the clip of device contexts.
#include "platform/linux/gdi/device_context.h"
#include "platform/linux/gdi/region.h"

using namespace platform::gdi;

namespace {

int clip_complexity(DeviceContext& dc) { return dc.drawable().complexity(); }

}  // namespace

HRGN CreateRectRgn(int left, int top, int right, int bottom) {
    auto lock = lock_drawing();
    return adopt<HRGN>(new Region(Area(left, top, right, bottom)));
}

HRGN CreateRectRgnIndirect(RECT const* rect) {
    if (rect == nullptr) return nullptr;
    return CreateRectRgn(rect->left, rect->top, rect->right, rect->bottom);
}

BOOL SetRectRgn(HRGN region, int left, int top, int right, int bottom) {
    auto lock = lock_drawing();
    Region* target = find<Region>(region);
    if (target == nullptr) return FALSE;
    target->area = Area(left, top, right, bottom);
    return TRUE;
}

int CombineRgn(HRGN destination, HRGN first, HRGN second, int mode) {
    auto lock = lock_drawing();
    Region* target = find<Region>(destination);
    Region* one = find<Region>(first);
    Region* other = mode == RGN_COPY ? one : find<Region>(second);
    if (target == nullptr || one == nullptr || other == nullptr) return ERROR;
    Area result = one->area;
    switch (mode) {
    case RGN_AND: result.intersect(other->area); break;
    case RGN_OR: result.unite(other->area); break;
    case RGN_XOR: result.exclusive_or(other->area); break;
    case RGN_DIFF: result.subtract(other->area); break;
    case RGN_COPY: break;
    default: return ERROR;
    }
    target->area = result;
    return result.complexity();
}

int OffsetRgn(HRGN region, int dx, int dy) {
    auto lock = lock_drawing();
    Region* target = find<Region>(region);
    if (target == nullptr) return ERROR;
    target->area.translate(dx, dy);
    return target->area.complexity();
}

int GetRgnBox(HRGN region, LPRECT box) {
    auto lock = lock_drawing();
    Region* target = find<Region>(region);
    if (target == nullptr || box == nullptr) return ERROR;
    *box = target->area.bounds();
    return target->area.complexity();
}

BOOL PtInRegion(HRGN region, int x, int y) {
    auto lock = lock_drawing();
    Region* target = find<Region>(region);
    return target != nullptr && target->area.contains(x, y) ? TRUE : FALSE;
}

BOOL EqualRgn(HRGN first, HRGN second) {
    auto lock = lock_drawing();
    Region* one = find<Region>(first);
    Region* other = find<Region>(second);
    return one != nullptr && other != nullptr && one->area == other->area ? TRUE : FALSE;
}

int SelectClipRgn(HDC dc, HRGN region) {
    auto lock = lock_drawing();
    DeviceContext* context = find<DeviceContext>(dc);
    if (context == nullptr) return ERROR;
    if (region == nullptr) {
        context->clip.reset();
        return clip_complexity(*context);
    }
    Region* source = find<Region>(region);
    if (source == nullptr) return ERROR;
    context->clip = source->area;
    return clip_complexity(*context);
}

int IntersectClipRect(HDC dc, int left, int top, int right, int bottom) {
    auto lock = lock_drawing();
    DeviceContext* context = find<DeviceContext>(dc);
    if (context == nullptr) return ERROR;
    Area rect(left, top, right, bottom);
    if (context->clip) {
        context->clip->intersect(rect);
    } else {
        context->clip = rect;
    }
    return clip_complexity(*context);
}

int ExcludeClipRect(HDC dc, int left, int top, int right, int bottom) {
    auto lock = lock_drawing();
    DeviceContext* context = find<DeviceContext>(dc);
    if (context == nullptr) return ERROR;
    if (!context->clip) {
        PixelSurface& surface = context->surface();
        Area whole(0, 0, surface.width(), surface.height());
        whole.translate(-context->origin().x, -context->origin().y);
        context->clip = whole;
    }
    context->clip->subtract(Area(left, top, right, bottom));
    return clip_complexity(*context);
}

int GetClipRgn(HDC dc, HRGN region) {
    auto lock = lock_drawing();
    DeviceContext* context = find<DeviceContext>(dc);
    Region* target = find<Region>(region);
    if (context == nullptr || target == nullptr) return -1;
    if (!context->clip) return 0;
    target->area = *context->clip;
    return 1;
}

int GetClipBox(HDC dc, LPRECT box) {
    auto lock = lock_drawing();
    DeviceContext* context = find<DeviceContext>(dc);
    if (context == nullptr || box == nullptr) return ERROR;
    Area area = context->drawable();
    area.translate(-context->origin().x, -context->origin().y);
    *box = area.bounds();
    return area.complexity();
}
