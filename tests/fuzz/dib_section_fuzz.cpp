// A bitmap file's header, colour table and bits, as a skin archive hands them over: the DIB
// section is made or refused, and drawing from it and into it stays inside its buffers.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/gdi.h"

namespace {

constexpr long long max_fuzzed_pixels = 1 << 16;  // larger sections only cost time

void draw_with(HBITMAP bitmap) {
    HDC source = CreateCompatibleDC(nullptr);
    HDC destination = CreateCompatibleDC(nullptr);
    HBITMAP canvas = CreateCompatibleBitmap(destination, 24, 24);
    HGDIOBJ old_source = SelectObject(source, bitmap);
    HGDIOBJ old_destination = SelectObject(destination, canvas);
    BitBlt(destination, -3, 2, 30, 30, source, 1, -1, SRCCOPY);
    StretchBlt(destination, 0, 0, 24, 7, source, 0, 0, 5, 9, SRCPAINT);
    RECT rect{1, 1, 4, 4};
    HBRUSH brush = CreateSolidBrush(RGB(12, 200, 7));
    FillRect(source, &rect, brush);
    GetPixel(source, 2, 2);
    DeleteObject(brush);
    SelectObject(destination, old_destination);
    SelectObject(source, old_source);
    DeleteObject(canvas);
    DeleteDC(destination);
    DeleteDC(source);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    constexpr std::size_t table_bytes = 256 * sizeof(RGBQUAD);
    if (size < sizeof(BITMAPINFOHEADER)) return 0;
    // The header and a colour table as long as any header may ask for.
    std::vector<std::uint8_t> info(sizeof(BITMAPINFOHEADER) + table_bytes, 0);
    std::size_t const head = std::min(size, info.size());
    std::memcpy(info.data(), data, head);
    auto* header = reinterpret_cast<BITMAPINFOHEADER*>(info.data());
    header->biSize = std::min<DWORD>(header->biSize, sizeof(BITMAPINFOHEADER));
    long long const rows = header->biHeight < 0 ? -static_cast<long long>(header->biHeight) : header->biHeight;
    if (static_cast<long long>(header->biWidth) * rows > max_fuzzed_pixels) return 0;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(info.data()), DIB_RGB_COLORS, &bits,
                                      nullptr, 0);
    if (bitmap == nullptr) {
        if (bits != nullptr) __builtin_trap();
        return 0;
    }
    DIBSECTION section{};
    if (GetObjectW(bitmap, sizeof section, &section) != static_cast<int>(sizeof section)) __builtin_trap();
    std::size_t const rest = size - head;
    std::memcpy(bits, data + head, std::min<std::size_t>(rest, section.dsBmih.biSizeImage));
    draw_with(bitmap);
    if (!DeleteObject(bitmap)) __builtin_trap();
    return 0;
}
