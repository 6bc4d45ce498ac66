#include "platform/com.h"

HRESULT CoInitializeEx(LPVOID, DWORD) { return S_OK; }

void CoUninitialize() {}
