// Drawing: device contexts, bitmaps and DIB sections, brushes, pens, fonts, regions, blits
// and text. Every drawing call honours the device context's clip region. Pixels are 32 bits
// (blue, green, red, alpha in memory order); a colour value is red | green << 8 | blue << 16.
// Fills, lines, pixels and text leave 0 in the alpha byte; SRCCOPY copies all 32 bits and the
// bitwise raster operations work on all 32 bits.
//
// Handles are typed: a handle of the wrong kind, a deleted one or garbage makes the call fail
// (FALSE, NULL, 0 or CLR_INVALID) instead of touching memory.
#pragma once

#include "platform/types.h"
#include "platform/windows.h"

struct HDC__;
using HDC = HDC__*;
struct HBITMAP__;
using HBITMAP = HBITMAP__*;
struct HPEN__;
using HPEN = HPEN__*;
struct HFONT__;
using HFONT = HFONT__*;
struct HRGN__;
using HRGN = HRGN__*;
// Any drawing object (bitmap, brush, pen, font, region).
using HGDIOBJ = void*;

using COLORREF = DWORD;
constexpr COLORREF CLR_INVALID = 0xFFFFFFFFu;
constexpr COLORREF RGB(BYTE red, BYTE green, BYTE blue) {
    return static_cast<COLORREF>(red) | static_cast<COLORREF>(green) << 8 |
           static_cast<COLORREF>(blue) << 16;
}
constexpr BYTE GetRValue(COLORREF colour) { return static_cast<BYTE>(colour); }
constexpr BYTE GetGValue(COLORREF colour) { return static_cast<BYTE>(colour >> 8); }
constexpr BYTE GetBValue(COLORREF colour) { return static_cast<BYTE>(colour >> 16); }

struct SIZE {
    LONG cx;
    LONG cy;
};
using LPSIZE = SIZE*;
using LPPOINT = POINT*;

// ---- Device contexts -------------------------------------------------------------------

// A memory device context with a 1 x 1 bitmap selected; `reference` may be null (the
// screen) or any device context.
HDC CreateCompatibleDC(HDC reference);
// Deselects whatever is selected (the objects stay alive) and frees the context.
BOOL DeleteDC(HDC dc);
// Selects a bitmap (memory contexts only; a bitmap is in at most one context at a time),
// brush, pen or font and returns the previous one, or NULL on failure. A region is copied
// as the clip region and the result is the region's kind (NULLREGION...) cast to a handle.
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
// Refuses (FALSE) an object selected into a context; stock objects are never deleted.
BOOL DeleteObject(HGDIOBJ object);

constexpr int WHITE_BRUSH = 0;
constexpr int LTGRAY_BRUSH = 1;
constexpr int GRAY_BRUSH = 2;
constexpr int DKGRAY_BRUSH = 3;
constexpr int BLACK_BRUSH = 4;
constexpr int NULL_BRUSH = 5;
constexpr int HOLLOW_BRUSH = NULL_BRUSH;
constexpr int WHITE_PEN = 6;
constexpr int BLACK_PEN = 7;
constexpr int NULL_PEN = 8;
constexpr int SYSTEM_FONT = 13;
constexpr int DEFAULT_GUI_FONT = 17;
HGDIOBJ GetStockObject(int index);

constexpr UINT OBJ_PEN = 1;
constexpr UINT OBJ_BRUSH = 2;
constexpr UINT OBJ_DC = 3;
constexpr UINT OBJ_FONT = 6;
constexpr UINT OBJ_BITMAP = 7;
constexpr UINT OBJ_REGION = 8;
constexpr UINT OBJ_MEMDC = 10;
// The OBJ_ kind of a handle, 0 for one that is not a live drawing object.
DWORD GetObjectType(HGDIOBJ object);
// The object currently selected of a kind (OBJ_BITMAP, OBJ_BRUSH, OBJ_PEN, OBJ_FONT).
HGDIOBJ GetCurrentObject(HDC dc, UINT kind);

// ---- Device capabilities ---------------------------------------------------------------

constexpr int TECHNOLOGY = 2;
constexpr int HORZSIZE = 4;
constexpr int VERTSIZE = 6;
constexpr int HORZRES = 8;
constexpr int VERTRES = 10;
constexpr int BITSPIXEL = 12;
constexpr int PLANES = 14;
constexpr int NUMCOLORS = 24;
constexpr int RASTERCAPS = 38;
constexpr int LOGPIXELSX = 88;
constexpr int LOGPIXELSY = 90;
constexpr int DT_RASDISPLAY = 1;
constexpr int RC_BITBLT = 1;
constexpr int RC_STRETCHBLT = 0x0800;
constexpr int RC_DI_BITMAP = 0x0080;
// The screen's: its size in pixels (SONBRIX_DISPLAY_SIZE: 240x320, 480x640 by default, or
// 480x800), 32 bits per pixel, 96 dots per inch at 240x320 and 192 at the larger sizes.
int GetDeviceCaps(HDC dc, int index);

// ---- Display escapes -------------------------------------------------------------------

constexpr int QUERYESCSUPPORT = 8;
constexpr int SETPOWERMANAGEMENT = 6147;
constexpr int GETPOWERMANAGEMENT = 6148;

// The display power record of SETPOWERMANAGEMENT and GETPOWERMANAGEMENT.
struct VIDEO_POWER_MANAGEMENT {
    ULONG Length;  // 12
    ULONG DPMSVersion;
    ULONG PowerState;
};
constexpr ULONG VideoPowerOn = 1;
constexpr ULONG VideoPowerStandBy = 2;
constexpr ULONG VideoPowerSuspend = 3;
constexpr ULONG VideoPowerOff = 4;

// The display driver's escapes, through any device context:
// QUERYESCSUPPORT (input: the 4-byte escape code) answers 1 for an escape the driver
// supports, else 0; SETPOWERMANAGEMENT (input: the record) switches the display on
// (VideoPowerOn) or off (the other states), and off stays dark until the next tap or key,
// which switches it on and goes to no window; GETPOWERMANAGEMENT fills the record given as
// output. These answer 1 when done, 0 when the escape is not supported (no device context,
// no screen, SONBRIX_DISPLAY_POWER=unsupported) and -1 for a record that is too
// short or a state that is none of the four.
int ExtEscape(HDC dc, int escape, int input_size, LPCSTR input, int output_size, LPSTR output);

// ---- Bitmaps ---------------------------------------------------------------------------

struct BITMAP {
    LONG bmType;
    LONG bmWidth;
    LONG bmHeight;
    LONG bmWidthBytes;
    WORD bmPlanes;
    WORD bmBitsPixel;
    LPVOID bmBits;
};

constexpr DWORD BI_RGB = 0;
constexpr DWORD BI_RLE8 = 1;
constexpr DWORD BI_RLE4 = 2;
constexpr DWORD BI_BITFIELDS = 3;

struct BITMAPINFOHEADER {
    DWORD biSize;
    LONG biWidth;
    LONG biHeight;  // negative: rows top-down
    WORD biPlanes;
    WORD biBitCount;
    DWORD biCompression;
    DWORD biSizeImage;
    LONG biXPelsPerMeter;
    LONG biYPelsPerMeter;
    DWORD biClrUsed;
    DWORD biClrImportant;
};

struct RGBQUAD {
    BYTE rgbBlue;
    BYTE rgbGreen;
    BYTE rgbRed;
    BYTE rgbReserved;
};

struct BITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[1];  // the colour table follows the header
};

#pragma pack(push, 2)
struct BITMAPFILEHEADER {
    WORD bfType;
    DWORD bfSize;
    WORD bfReserved1;
    WORD bfReserved2;
    DWORD bfOffBits;
};
#pragma pack(pop)

struct DIBSECTION {
    BITMAP dsBm;
    BITMAPINFOHEADER dsBmih;
    DWORD dsBitfields[3];
    HANDLE dshSection;
    DWORD dsOffset;
};

constexpr UINT DIB_RGB_COLORS = 0;
constexpr UINT DIB_PAL_COLORS = 1;

// A 32-bit bitmap of the size, black.
HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height);
// A bitmap whose pixels the caller reaches at *bits, in the layout the header gives
// (1, 4, 8, 16 (5-5-5), 24 or 32 bits, BI_RGB, rows padded to 4 bytes, bottom-up unless the
// height is negative); the colour table after the header serves 1, 4 and 8 bits (biClrUsed
// entries, or all when 0). Zeroed. Sizes beyond 16384 pixels a side fail, as do other
// compressions, DIB_PAL_COLORS and a file-mapping section; so does a bitmap of more than
// 16,777,216 pixels.
HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits,
                         HANDLE section, DWORD offset);
// Fills BITMAP (or DIBSECTION for a DIB section given that size), LOGPEN, LOGBRUSH or
// LOGFONTW; returns the bytes written, or with a null buffer the bytes needed; 0 on failure.
int GetObjectW(HGDIOBJ object, int size, LPVOID buffer);
inline int GetObject(HGDIOBJ object, int size, LPVOID buffer) {
    return GetObjectW(object, size, buffer);
}

// ---- Raster operations and blits ---------------------------------------------------------

constexpr DWORD SRCCOPY = 0x00CC0020;
constexpr DWORD SRCPAINT = 0x00EE0086;
constexpr DWORD SRCAND = 0x008800C6;
constexpr DWORD SRCINVERT = 0x00660046;
constexpr DWORD SRCERASE = 0x00440328;
constexpr DWORD NOTSRCCOPY = 0x00330008;
constexpr DWORD NOTSRCERASE = 0x001100A6;
constexpr DWORD MERGECOPY = 0x00C000CA;
constexpr DWORD MERGEPAINT = 0x00BB0226;
constexpr DWORD PATCOPY = 0x00F00021;
constexpr DWORD PATPAINT = 0x00FB0A09;
constexpr DWORD PATINVERT = 0x005A0049;
constexpr DWORD DSTINVERT = 0x00550009;
constexpr DWORD BLACKNESS = 0x00000042;
constexpr DWORD WHITENESS = 0x00FF0062;

// Any ternary raster operation (pattern = the selected brush's colour). Source pixels
// outside the source bitmap are not read: the destination area shrinks to match.
BOOL BitBlt(HDC destination, int x, int y, int width, int height, HDC source, int source_x,
            int source_y, DWORD raster_operation);
// Nearest-neighbour stretching: destination pixel i takes the source pixel
// floor((i + 1/2) * source_width / width). All four sizes must be positive.
BOOL StretchBlt(HDC destination, int x, int y, int width, int height, HDC source, int source_x,
                int source_y, int source_width, int source_height, DWORD raster_operation);
BOOL PatBlt(HDC dc, int x, int y, int width, int height, DWORD raster_operation);

// ---- Brushes, pens and pixels ----------------------------------------------------------

struct LOGBRUSH {
    UINT lbStyle;
    COLORREF lbColor;
    ULONG_PTR lbHatch;
};
constexpr UINT BS_SOLID = 0;
constexpr UINT BS_NULL = 1;
constexpr UINT BS_HOLLOW = BS_NULL;

HBRUSH CreateSolidBrush(COLORREF colour);
// Right and bottom edges excluded; an empty or inverted rectangle fills nothing.
int FillRect(HDC dc, const RECT* rect, HBRUSH brush);

struct LOGPEN {
    UINT lopnStyle;
    POINT lopnWidth;
    COLORREF lopnColor;
};
constexpr int PS_SOLID = 0;
constexpr int PS_DASH = 1;
constexpr int PS_NULL = 5;

// Width 0 or 1 draws one pixel wide; a wider pen draws a square of that width per point.
// PS_DASH is drawn solid.
HPEN CreatePen(int style, int width, COLORREF colour);
BOOL MoveToEx(HDC dc, int x, int y, LPPOINT previous);
// Draws from the current position up to, not including, the end point, which becomes the
// current position.
BOOL LineTo(HDC dc, int x, int y);
// Joined segments, each without its end point; the current position is neither used nor
// changed.
BOOL Polyline(HDC dc, const POINT* points, int count);
BOOL Rectangle(HDC dc, int left, int top, int right, int bottom);

// Returns the colour set, or CLR_INVALID outside the surface or the clip.
COLORREF SetPixel(HDC dc, int x, int y, COLORREF colour);
COLORREF GetPixel(HDC dc, int x, int y);

// ---- Regions and clipping ----------------------------------------------------------------

constexpr int ERROR = 0;
constexpr int NULLREGION = 1;
constexpr int SIMPLEREGION = 2;
constexpr int COMPLEXREGION = 3;
constexpr int RGN_AND = 1;
constexpr int RGN_OR = 2;
constexpr int RGN_XOR = 3;
constexpr int RGN_DIFF = 4;
constexpr int RGN_COPY = 5;

HRGN CreateRectRgn(int left, int top, int right, int bottom);
HRGN CreateRectRgnIndirect(const RECT* rect);
BOOL SetRectRgn(HRGN region, int left, int top, int right, int bottom);
// Stores first (op) second into the destination, which must exist already.
int CombineRgn(HRGN destination, HRGN first, HRGN second, int mode);
int OffsetRgn(HRGN region, int dx, int dy);
int GetRgnBox(HRGN region, LPRECT box);
BOOL PtInRegion(HRGN region, int x, int y);
BOOL EqualRgn(HRGN first, HRGN second);

// A copy of the region becomes the clip (device context coordinates); NULL removes it.
int SelectClipRgn(HDC dc, HRGN region);
// The clip becomes its intersection with the rectangle (the rectangle alone without a clip).
int IntersectClipRect(HDC dc, int left, int top, int right, int bottom);
int ExcludeClipRect(HDC dc, int left, int top, int right, int bottom);
// Copies the clip into the region: 1, or 0 when the context has no clip region.
int GetClipRgn(HDC dc, HRGN region);
// The smallest rectangle around what can be drawn (the clip within the surface).
int GetClipBox(HDC dc, LPRECT box);

// ---- Text ------------------------------------------------------------------------------

constexpr int LF_FACESIZE = 32;

struct LOGFONTW {
    LONG lfHeight;  // negative: the character height in pixels; positive: the cell height
    LONG lfWidth;
    LONG lfEscapement;
    LONG lfOrientation;
    LONG lfWeight;
    BYTE lfItalic;
    BYTE lfUnderline;
    BYTE lfStrikeOut;
    BYTE lfCharSet;
    BYTE lfOutPrecision;
    BYTE lfClipPrecision;
    BYTE lfQuality;
    BYTE lfPitchAndFamily;
    WCHAR lfFaceName[LF_FACESIZE];
};

constexpr LONG FW_DONTCARE = 0;
constexpr LONG FW_NORMAL = 400;
constexpr LONG FW_BOLD = 700;
constexpr BYTE DEFAULT_CHARSET = 1;
constexpr BYTE OUT_DEFAULT_PRECIS = 0;
constexpr BYTE CLIP_DEFAULT_PRECIS = 0;
constexpr BYTE DEFAULT_QUALITY = 0;
constexpr BYTE ANTIALIASED_QUALITY = 4;
constexpr BYTE DEFAULT_PITCH = 0;

// Faces are stood in for by DejaVu faces: "Tahoma" (and an empty or unknown name) by DejaVu
// Sans Condensed, sans faces by DejaVu Sans, serif faces by DejaVu Serif, fixed-pitch faces
// by DejaVu Sans Mono. Weights from 600 are bold. Always anti-aliased, with fixed rendering
// settings, so a text gives the same pixels on every machine. NULL when no face is found.
HFONT CreateFontIndirectW(const LOGFONTW* font);

constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;
// Each returns the previous value (CLR_INVALID or 0 on failure).
COLORREF SetTextColor(HDC dc, COLORREF colour);
COLORREF GetTextColor(HDC dc);
COLORREF SetBkColor(HDC dc, COLORREF colour);
COLORREF GetBkColor(HDC dc);
int SetBkMode(HDC dc, int mode);
int GetBkMode(HDC dc);

constexpr UINT DT_TOP = 0x0;
constexpr UINT DT_LEFT = 0x0;
constexpr UINT DT_CENTER = 0x1;
constexpr UINT DT_RIGHT = 0x2;
constexpr UINT DT_VCENTER = 0x4;
constexpr UINT DT_BOTTOM = 0x8;
constexpr UINT DT_WORDBREAK = 0x10;
constexpr UINT DT_SINGLELINE = 0x20;
constexpr UINT DT_EXPANDTABS = 0x40;
constexpr UINT DT_NOCLIP = 0x100;
constexpr UINT DT_CALCRECT = 0x400;
constexpr UINT DT_NOPREFIX = 0x800;
constexpr UINT DT_END_ELLIPSIS = 0x8000;

// Draws the text (count -1: up to its terminator) in the selected font and text colour,
// with the background filled behind it in OPAQUE mode. DT_SINGLELINE draws one line (the
// vertical alignments apply only then); otherwise each line break starts a line. Without
// DT_NOPREFIX "&" is dropped and "&&" draws "&". Clipped to the rectangle unless DT_NOCLIP.
// DT_CALCRECT draws nothing and sets the rectangle's right and bottom to the text's size.
// Returns the text's height (with DT_VCENTER or DT_BOTTOM, from the rectangle's top to the
// text's bottom), 0 on failure. DT_WORDBREAK and DT_END_ELLIPSIS are not applied.
int DrawTextW(HDC dc, LPCWSTR text, int count, LPRECT rect, UINT format);
// The width of the text (advances, no kerning) and the font's height.
BOOL GetTextExtentPoint32W(HDC dc, LPCWSTR text, int count, LPSIZE size);
// Draws the text with its cell's top-left corner at (x, y), clipped to the rectangle when
// ETO_CLIPPED is given; ETO_OPAQUE fills the rectangle with the background colour first.
constexpr UINT ETO_OPAQUE = 0x2;
constexpr UINT ETO_CLIPPED = 0x4;
BOOL ExtTextOutW(HDC dc, int x, int y, UINT options, const RECT* rect, LPCWSTR text, UINT count,
                 const int* spacing);

struct TEXTMETRICW {
    LONG tmHeight;
    LONG tmAscent;
    LONG tmDescent;
    LONG tmInternalLeading;
    LONG tmExternalLeading;
    LONG tmAveCharWidth;
    LONG tmMaxCharWidth;
    LONG tmWeight;
    LONG tmOverhang;
    LONG tmDigitizedAspectX;
    LONG tmDigitizedAspectY;
    WCHAR tmFirstChar;
    WCHAR tmLastChar;
    WCHAR tmDefaultChar;
    WCHAR tmBreakChar;
    BYTE tmItalic;
    BYTE tmUnderlined;
    BYTE tmStruckOut;
    BYTE tmPitchAndFamily;
    BYTE tmCharSet;
};
BOOL GetTextMetricsW(HDC dc, TEXTMETRICW* metrics);
