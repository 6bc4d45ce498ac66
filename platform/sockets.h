// Socket handles: the values that socket() hands out and closesocket() ends.
#pragma once

#include "platform/types.h"

// 32 bits wide, as on the handheld. A value names an entry of the platform's own socket
// table, never a host descriptor; values are not handed out twice.
using SOCKET = DWORD;

constexpr SOCKET INVALID_SOCKET = 0xFFFFFFFFu;
constexpr int SOCKET_ERROR = -1;

// 0, or SOCKET_ERROR with a last error (WSAENOTSOCK for a value that names no socket).
int closesocket(SOCKET socket);
