// Socket handles. Only their closing exists so far.
#pragma once

#include "platform/types.h"

// 32 bits wide, as on the handheld.
using SOCKET = DWORD;

constexpr SOCKET INVALID_SOCKET = 0xFFFFFFFFu;
constexpr int SOCKET_ERROR = -1;

// 0, or SOCKET_ERROR with a last error.
int closesocket(SOCKET socket);
