// CreateCompatibleBitmap and CreateDIBSection.
#include "platform/linux/gdi/device_context.h"

using namespace platform::gdi;

HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height) {
    auto lock = lock_drawing();
    if (find<DeviceContext>(dc) == nullptr) return nullptr;
    Bitmap* bitmap = Bitmap::create(width, height);
    return bitmap != nullptr ? adopt<HBITMAP>(bitmap) : nullptr;
}

HBITMAP CreateDIBSection(HDC dc, BITMAPINFO const* info, UINT usage, void** bits, HANDLE section, DWORD) {
    auto lock = lock_drawing();
    if (bits != nullptr) *bits = nullptr;
    if (info == nullptr || usage != DIB_RGB_COLORS || section != nullptr) return nullptr;
    if (dc != nullptr && find<DeviceContext>(dc) == nullptr) return nullptr;
    Bitmap* bitmap = Bitmap::create_dib(*info);
    if (bitmap == nullptr) return nullptr;
    if (bits != nullptr) *bits = bitmap->bits();
    return adopt<HBITMAP>(bitmap);
}
