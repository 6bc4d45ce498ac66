#include "skin/platform_pictures.h"

#include <cstring>

#include "platform/imgdecmp.h"

namespace skinner {

namespace {

struct ByteSource {
    const std::vector<std::uint8_t>* bytes;
    std::size_t offset;
};

DWORD read_bytes(LPSTR buffer, DWORD buffer_max, LPARAM param) {
    auto* source = reinterpret_cast<ByteSource*>(param);
    std::size_t count = std::min<std::size_t>(buffer_max, source->bytes->size() - source->offset);
    if (count > 0) std::memcpy(buffer, source->bytes->data() + source->offset, count);
    source->offset += count;
    return DWORD(count);
}

// A top-down 32-bit DIB section of the size, and its bits.
HBITMAP create_dib(int width, int height, void** bits) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, bits, nullptr, 0);
}

PixelImage pixels_of(const DIBSECTION& section) {
    const BITMAP& bm = section.dsBm;
    PixelImage image(bm.bmWidth, bm.bmHeight);
    const auto* bits = static_cast<const std::uint8_t*>(bm.bmBits);
    for (int y = 0; y < image.height; ++y) {
        int stored = section.dsBmih.biHeight < 0 ? y : image.height - 1 - y;
        const std::uint8_t* row = bits + std::size_t(stored) * bm.bmWidthBytes;
        for (int x = 0; x < image.width; ++x) {
            std::uint32_t value = 0;
            switch (bm.bmBitsPixel) {
            case 32: std::memcpy(&value, row + 4 * x, 4); value &= 0x00FFFFFF; break;
            case 24: value = row[3 * x] | row[3 * x + 1] << 8 | std::uint32_t(row[3 * x + 2]) << 16; break;
            case 16: {
                std::uint32_t v = row[2 * x] | row[2 * x + 1] << 8;
                auto widen = [](std::uint32_t five) { return (five << 3) | (five >> 2); };
                value = widen(v & 31) | widen((v >> 5) & 31) << 8 | widen((v >> 10) & 31) << 16;
                break;
            }
            default: break;
            }
            image.at(x, y) = value;
        }
    }
    return image;
}

}  // namespace

int get_screen_depth() {
    HDC screen = CreateCompatibleDC(nullptr);
    int depth = GetDeviceCaps(screen, BITSPIXEL);
    DeleteDC(screen);
    return depth > 0 ? depth : 32;
}

std::optional<PixelImage> decode_with_platform(const std::vector<std::uint8_t>& bytes, int depth) {
    BYTE buffer[4096];
    ByteSource source{&bytes, 0};
    HBITMAP bitmap = nullptr;
    HDC screen = CreateCompatibleDC(nullptr);
    DecompressImageInfo info{};
    info.dwSize = sizeof info;
    info.pbBuffer = buffer;
    info.dwBufferMax = sizeof buffer;
    info.phBM = &bitmap;
    info.iBitDepth = depth != 0 ? depth : get_screen_depth();
    info.lParam = reinterpret_cast<LPARAM>(&source);
    info.hdc = screen;
    info.iScale = 100;
    info.iMaxWidth = 10000;
    info.iMaxHeight = 10000;
    info.pfnGetData = read_bytes;
    HRESULT result = DecompressImageIndirect(&info);
    DeleteDC(screen);
    if (FAILED(result) || bitmap == nullptr) return std::nullopt;
    DIBSECTION section{};
    std::optional<PixelImage> image;
    if (GetObjectW(bitmap, sizeof section, &section) == int(sizeof section) && section.dsBm.bmBits != nullptr)
        image = pixels_of(section);
    DeleteObject(bitmap);
    return image;
}

PixelImage read_pixels(HDC dc, const RECT& area) {
    int width = area.right - area.left, height = area.bottom - area.top;
    if (width <= 0 || height <= 0) return {};
    void* bits = nullptr;
    HBITMAP dib = create_dib(width, height, &bits);
    if (dib == nullptr) return {};
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ previous = SelectObject(memory, dib);
    BitBlt(memory, 0, 0, width, height, dc, area.left, area.top, SRCCOPY);
    PixelImage image(width, height);
    std::memcpy(image.pixels.data(), bits, image.pixels.size() * 4);
    SelectObject(memory, previous);
    DeleteDC(memory);
    DeleteObject(dib);
    return image;
}

void write_pixels(HDC dc, const RECT& area, const PixelImage& image) {
    if (image.empty()) return;
    void* bits = nullptr;
    HBITMAP dib = create_dib(image.width, image.height, &bits);
    if (dib == nullptr) return;
    std::memcpy(bits, image.pixels.data(), image.pixels.size() * 4);
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ previous = SelectObject(memory, dib);
    BitBlt(dc, area.left, area.top, image.width, image.height, memory, 0, 0, SRCCOPY);
    SelectObject(memory, previous);
    DeleteDC(memory);
    DeleteObject(dib);
}

}  // namespace skinner
