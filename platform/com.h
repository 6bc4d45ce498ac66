// The component runtime's per-thread initialisation. Nothing here needs it yet, so the
// calls only answer as the platform does.
#pragma once

#include "platform/types.h"

constexpr DWORD COINIT_MULTITHREADED = 0x0;

// S_OK.
HRESULT CoInitializeEx(LPVOID reserved, DWORD concurrency);
void CoUninitialize();
