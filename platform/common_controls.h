// The common controls for dates and times: the month calendar "SysMonthCal32" and the
// date-time picker "SysDateTimePick32", drawn on the device's screen and answering stylus
// and keys. InitCommonControlsEx registers their classes. Both tell their parent of user
// changes with WM_NOTIFY, and both ignore the private messages WM_USER + 2, + 4 and + 33.
#pragma once

#include "platform/datetime.h"
#include "platform/gdi.h"
#include "platform/windows.h"

// ---- Registration ----------------------------------------------------------------------

struct INITCOMMONCONTROLSEX {
    DWORD dwSize;  // 8
    DWORD dwICC;
};
using LPINITCOMMONCONTROLSEX = INITCOMMONCONTROLSEX*;

constexpr DWORD ICC_DATE_CLASSES = 0x100;

// Registers the classes named in dwICC (a second call finds them registered); FALSE with
// ERROR_INVALID_PARAMETER for a null record or a size other than 8.
BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* init);

inline constexpr WCHAR MONTHCAL_CLASSW[] = u"SysMonthCal32";
inline constexpr WCHAR DATETIMEPICK_CLASSW[] = u"SysDateTimePick32";

// ---- Notifications ---------------------------------------------------------------------

constexpr UINT WM_NOTIFY = 0x004E;

// wParam of WM_NOTIFY is the control's id (GWL_ID); lParam points at this header, the first
// member of the notification's record.
struct NMHDR {
    HWND hwndFrom;
    UINT_PTR idFrom;
    UINT code;
};
using LPNMHDR = NMHDR*;

// ---- Month calendar --------------------------------------------------------------------

constexpr UINT MCM_FIRST = 0x1000;
// lParam: SYSTEMTIME* filled with the selected day (time fields 0); TRUE.
constexpr UINT MCM_GETCURSEL = MCM_FIRST + 1;
// lParam: SYSTEMTIME* of the day to select and show (time fields ignored); FALSE for a day
// that does not exist or lies outside the years 1601 to 9999, which keeps the selection.
constexpr UINT MCM_SETCURSEL = MCM_FIRST + 2;
// lParam: RECT* filled with the smallest rectangle that shows one whole month, border
// included; TRUE.
constexpr UINT MCM_GETMINREQRECT = MCM_FIRST + 9;
// wParam: a colour index (MCSC_...), lParam: the COLORREF; the previous colour, or
// CLR_INVALID (as LRESULT -1) for an index out of range.
constexpr UINT MCM_SETCOLOR = MCM_FIRST + 10;
constexpr UINT MCM_GETCOLOR = MCM_FIRST + 11;
// lParam: SYSTEMTIME* of the day shown as today (null: the device's day again); TRUE.
constexpr UINT MCM_SETTODAY = MCM_FIRST + 12;
constexpr UINT MCM_GETTODAY = MCM_FIRST + 13;

constexpr int MCSC_BACKGROUND = 0;    // around the month
constexpr int MCSC_TEXT = 1;          // the days of the month
constexpr int MCSC_TITLEBK = 2;       // the title bar, the selected day
constexpr int MCSC_TITLETEXT = 3;     // the title's text, the selected day's number
constexpr int MCSC_MONTHBK = 4;       // behind the days
constexpr int MCSC_TRAILINGTEXT = 5;  // the days of the months before and after

constexpr UINT MCN_FIRST = 0u - 750u;
// The selected day changed (by stylus, keys or a month step); NMSELCHANGE.
constexpr UINT MCN_SELCHANGE = MCN_FIRST + 1;
// A day was chosen (a tap on a day, Return); NMSELCHANGE.
constexpr UINT MCN_SELECT = MCN_FIRST + 4;

struct NMSELCHANGE {
    NMHDR nmhdr;
    SYSTEMTIME stSelStart;
    SYSTEMTIME stSelEnd;
};
using LPNMSELCHANGE = NMSELCHANGE*;

// ---- Date-time picker ------------------------------------------------------------------

constexpr DWORD DTS_SHORTDATEFORMAT = 0x0000;  // 12/31/2026, a drop-down month calendar
constexpr DWORD DTS_UPDOWN = 0x0001;           // up-down buttons in place of the drop-down
constexpr DWORD DTS_SHOWNONE = 0x0002;
constexpr DWORD DTS_LONGDATEFORMAT = 0x0004;   // Thursday, December 31, 2026
constexpr DWORD DTS_TIMEFORMAT = 0x0009;       // 11:59:30 PM, with up-down buttons

constexpr UINT DTM_FIRST = 0x1000;
// lParam: SYSTEMTIME* filled with the value; GDT_VALID.
constexpr UINT DTM_GETSYSTEMTIME = DTM_FIRST + 1;
// wParam GDT_VALID, lParam: SYSTEMTIME* of the new value; FALSE for a date or time that
// does not exist (or wParam other than GDT_VALID), which keeps the value. No notification.
constexpr UINT DTM_SETSYSTEMTIME = DTM_FIRST + 2;
// The month calendar the picker drops down (its colours are the drop-down's), null for a
// time picker.
constexpr UINT DTM_GETMONTHCAL = DTM_FIRST + 8;

constexpr WPARAM GDT_VALID = 0;
constexpr WPARAM GDT_NONE = 1;
constexpr LRESULT GDT_ERROR = -1;

constexpr UINT DTN_FIRST = 0u - 760u;
// The user changed the value; NMDATETIMECHANGE.
constexpr UINT DTN_DATETIMECHANGE = DTN_FIRST + 1;
// The month calendar dropped down and closed again; NMHDR.
constexpr UINT DTN_DROPDOWN = DTN_FIRST + 6;
constexpr UINT DTN_CLOSEUP = DTN_FIRST + 7;

struct NMDATETIMECHANGE {
    NMHDR nmhdr;
    DWORD dwFlags;  // GDT_VALID
    SYSTEMTIME st;
};
using LPNMDATETIMECHANGE = NMDATETIMECHANGE*;
