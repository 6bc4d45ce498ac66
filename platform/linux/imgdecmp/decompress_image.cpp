#include "platform/imgdecmp.h"

#include <vector>

#include "platform/gdi.h"
#include "platform/linux/imgdecmp/picture_decoding.h"

namespace {

// Pictures are read whole before decoding; a stream longer than this is refused.
constexpr std::size_t largest_file = std::size_t{64} << 20;

bool read_all(const DecompressImageInfo& info, std::vector<std::uint8_t>& bytes) {
    for (;;) {
        DWORD got = info.pfnGetData(reinterpret_cast<LPSTR>(info.pbBuffer), info.dwBufferMax, info.lParam);
        if (got == 0) return true;
        if (got > info.dwBufferMax || bytes.size() + got > largest_file) return false;
        bytes.insert(bytes.end(), info.pbBuffer, info.pbBuffer + got);
    }
}

bool request_is_supported(const DecompressImageInfo* info) {
    return info != nullptr && info->phBM != nullptr && info->pfnGetData != nullptr && info->pbBuffer != nullptr &&
           info->dwBufferMax > 0 && info->iScale == 100 &&
           (info->iBitDepth == 16 || info->iBitDepth == 24 || info->iBitDepth == 32);
}

}  // namespace

HRESULT DecompressImageIndirect(DecompressImageInfo* info) {
    if (info != nullptr && info->phBM != nullptr) *info->phBM = nullptr;
    if (!request_is_supported(info)) return E_INVALIDARG;
    std::vector<std::uint8_t> bytes;
    if (!read_all(*info, bytes)) return E_FAIL;
    auto picture = imgdecmp::decode_picture(bytes, info->iMaxWidth, info->iMaxHeight);
    if (!picture) return E_FAIL;
    BITMAPINFO header{};
    header.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    header.bmiHeader.biWidth = picture->width;
    header.bmiHeader.biHeight = -picture->height;
    header.bmiHeader.biPlanes = 1;
    header.bmiHeader.biBitCount = WORD(info->iBitDepth);
    header.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(info->hdc, &header, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap == nullptr || bits == nullptr) {
        if (bitmap != nullptr) DeleteObject(bitmap);
        return E_OUTOFMEMORY;
    }
    imgdecmp::write_rows(*picture, info->iBitDepth, static_cast<std::uint8_t*>(bits));
    *info->phBM = bitmap;
    return S_OK;
}
