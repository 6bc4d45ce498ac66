#include "platform/linux/resources/icons.h"

#include <memory>
#include <mutex>
#include <unordered_map>

#include "platform/errors.h"
#include "platform/resources.h"

namespace platform::resources {
namespace {

struct IconTable {
    std::mutex lock;
    std::unordered_map<HICON, std::unique_ptr<Picture>> icons;
};

IconTable& table() {
    static IconTable* the_table = new IconTable;  // lives to the end, for late destroyers
    return *the_table;
}

std::uint32_t blend(std::uint32_t source, std::uint32_t destination) {
    std::uint32_t const alpha = source >> 24;
    if (alpha == 255) return source | 0xFF000000u;
    if (alpha == 0) return destination;
    std::uint32_t result = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        std::uint32_t const s = (source >> shift) & 0xFF;
        std::uint32_t const d = (destination >> shift) & 0xFF;
        result |= ((s * alpha + d * (255 - alpha) + 127) / 255) << shift;
    }
    return result | (destination & 0xFF000000u);
}

}  // namespace

HICON make_icon(Picture picture) {
    auto owned = std::make_unique<Picture>(std::move(picture));
    HICON const icon = reinterpret_cast<HICON>(owned.get());
    std::lock_guard guard(table().lock);
    table().icons.emplace(icon, std::move(owned));
    return icon;
}

const Picture* icon_picture(HICON icon) {
    std::lock_guard guard(table().lock);
    auto const found = table().icons.find(icon);
    return found == table().icons.end() ? nullptr : found->second.get();
}

int screen_dpi() {
    HDC const dc = GetDC(nullptr);
    int const dpi = dc ? GetDeviceCaps(dc, LOGPIXELSX) : 96;
    if (dc) ReleaseDC(nullptr, dc);
    return dpi;
}

int icon_side(bool small) {
    int const side = screen_dpi() >= 192 ? 64 : 32;
    return small ? side / 2 : side;
}

bool blend_onto(HDC dc, int x, int y, const Picture& picture) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = picture.width;
    info.bmiHeader.biHeight = -picture.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP const under = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC const memory = under ? CreateCompatibleDC(dc) : nullptr;
    bool drawn = false;
    if (memory && bits) {
        HGDIOBJ const old = SelectObject(memory, under);
        BitBlt(memory, 0, 0, picture.width, picture.height, dc, x, y, SRCCOPY);
        auto* pixels = static_cast<std::uint32_t*>(bits);
        for (std::size_t index = 0; index < picture.pixels.size(); ++index) pixels[index] = blend(picture.pixels[index], pixels[index]);
        drawn = BitBlt(dc, x, y, picture.width, picture.height, memory, 0, 0, SRCCOPY) != FALSE;
        SelectObject(memory, old);
    }
    if (memory) DeleteDC(memory);
    if (under) DeleteObject(under);
    return drawn;
}

}  // namespace platform::resources

using namespace platform::resources;

BOOL DestroyIcon(HICON icon) {
    std::lock_guard guard(table().lock);
    if (table().icons.erase(icon) == 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}

BOOL GetIconInfo(HICON icon, ICONINFO* info) {
    const Picture* const picture = icon_picture(icon);
    if (!picture || !info) {
        SetLastError(picture ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
        return FALSE;
    }
    *info = ICONINFO{TRUE, static_cast<DWORD>(picture->width / 2), static_cast<DWORD>(picture->height / 2), nullptr, bitmap_of(*picture)};
    return info->hbmColor ? TRUE : FALSE;
}

BOOL DrawIconEx(HDC dc, int x, int y, HICON icon, int width, int height, UINT, HBRUSH, UINT flags) {
    const Picture* const picture = icon_picture(icon);
    if (!picture) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if ((flags & DI_NORMAL) == 0) return TRUE;
    Picture const drawn = scaled(*picture, width > 0 ? width : picture->width, height > 0 ? height : picture->height);
    return blend_onto(dc, x, y, drawn) ? TRUE : FALSE;
}
