// Clock, calendar and tick count of the platform: SYSTEMTIME holds calendar fields,
// FILETIME counts 100-nanosecond intervals since 1601-01-01 00:00:00.
#pragma once

#include "platform/types.h"

// The host's local time and the UTC time, with milliseconds and the day of the week
// (0 Sunday to 6 Saturday).
void GetLocalTime(LPSYSTEMTIME time);
void GetSystemTime(LPSYSTEMTIME time);

// FALSE with ERROR_INVALID_PARAMETER for a date that does not exist or lies outside
// the years 1601 to 30827; the day of the week is not read.
BOOL SystemTimeToFileTime(const SYSTEMTIME* system_time, LPFILETIME file_time);
// Fills the day of the week; FALSE with ERROR_INVALID_PARAMETER from 0x8000000000000000 on.
BOOL FileTimeToSystemTime(const FILETIME* file_time, LPSYSTEMTIME system_time);
// -1, 0 or 1 as the first time is earlier than, equal to or later than the second.
LONG CompareFileTime(const FILETIME* first, const FILETIME* second);

// Shift by the host's offset from UTC in force at that instant.
BOOL FileTimeToLocalFileTime(const FILETIME* utc, LPFILETIME local);
BOOL LocalFileTimeToFileTime(const FILETIME* local, LPFILETIME utc);

// Milliseconds of a monotonic clock; wraps around at 2^32 (about 49.7 days).
DWORD GetTickCount();
