// Winsock 1.1 as the handheld offers it: start-up, stream sockets and their calls. The only
// address family is infrared (platform/irda.h). Every failure sets the calling thread's last
// error, which WSAGetLastError reads too.
#pragma once

#include "platform/sockets.h"
#include "platform/types.h"

// ---- Start-up ---------------------------------------------------------------------------

struct WSADATA {
    WORD wVersion;
    WORD wHighVersion;
    char szDescription[257];
    char szSystemStatus[129];
    unsigned short iMaxSockets;
    unsigned short iMaxUdpDg;
    char* lpVendorInfo;
};
using LPWSADATA = WSADATA*;

// Low byte the major version, high byte the minor one.
constexpr WORD MAKEWORD(BYTE low, BYTE high) { return static_cast<WORD>(low | (high << 8)); }

// 0, or the error code itself (WSAVERNOTSUPPORTED below version 1.1, WSAEFAULT without
// data). Start-ups are counted; socket() needs at least one that has not been cleaned up.
int WSAStartup(WORD version_requested, LPWSADATA data);
// 0, or SOCKET_ERROR with WSANOTINITIALISED when no start-up is left.
int WSACleanup();
int WSAGetLastError();
void WSASetLastError(int error);

// ---- Error codes ------------------------------------------------------------------------

constexpr int WSAEINTR = 10004;
constexpr int WSAEBADF = 10009;
constexpr int WSAEFAULT = 10014;
constexpr int WSAEINVAL = 10022;
constexpr int WSAEMFILE = 10024;
constexpr int WSAEWOULDBLOCK = 10035;
constexpr int WSAENOTSOCK = 10038;
constexpr int WSAEMSGSIZE = 10040;
constexpr int WSAEPROTOTYPE = 10041;
constexpr int WSAENOPROTOOPT = 10042;
constexpr int WSAEPROTONOSUPPORT = 10043;
constexpr int WSAESOCKTNOSUPPORT = 10044;
constexpr int WSAEOPNOTSUPP = 10045;
constexpr int WSAEAFNOSUPPORT = 10047;
constexpr int WSAENETDOWN = 10050;
constexpr int WSAECONNABORTED = 10053;
constexpr int WSAECONNRESET = 10054;
constexpr int WSAENOBUFS = 10055;
constexpr int WSAEISCONN = 10056;
constexpr int WSAENOTCONN = 10057;
constexpr int WSAESHUTDOWN = 10058;
constexpr int WSAETIMEDOUT = 10060;
constexpr int WSAECONNREFUSED = 10061;
constexpr int WSAEHOSTUNREACH = 10065;
constexpr int WSAVERNOTSUPPORTED = 10092;
constexpr int WSANOTINITIALISED = 10093;

// ---- Sockets ----------------------------------------------------------------------------

constexpr int SOCK_STREAM = 1;

// The generic address that connect takes; each family has its own record of the same start.
struct SOCKADDR {
    WORD sa_family;
    char sa_data[14];
};

// shutdown's how.
constexpr int SD_RECEIVE = 0;
constexpr int SD_SEND = 1;
constexpr int SD_BOTH = 2;

// INVALID_SOCKET with WSANOTINITIALISED before WSAStartup, WSAEAFNOSUPPORT for a family other
// than AF_IRDA, WSAESOCKTNOSUPPORT for a type other than SOCK_STREAM, WSAEPROTONOSUPPORT for
// a protocol other than 0.
SOCKET socket(int family, int type, int protocol);

// Connects to a device's service. A failed connect leaves the socket as it was, so the
// same socket may try again; WSAEISCONN once it is connected.
int connect(SOCKET socket, const SOCKADDR* address, int address_length);

// Blocks until all bytes are handed over; the count, or SOCKET_ERROR. Flags must be 0.
int send(SOCKET socket, const char* buffer, int length, int flags);
// Blocks until some bytes arrive: their count (at most length), 0 when the peer closed the
// connection, SOCKET_ERROR with WSAESHUTDOWN once receiving was shut down here (also for a
// call that was blocked when another thread shut it down). Flags must be 0.
int recv(SOCKET socket, char* buffer, int length, int flags);
// Ends receiving (SD_RECEIVE), sending (SD_SEND) or both. Any thread may call it while
// another is blocked in recv on the same socket. WSAENOTCONN on a socket that is not
// connected; receiving stays shut for a connection made afterwards.
int shutdown(SOCKET socket, int how);

// Options of the infrared family (platform/irda.h). The length is the buffer's size on the
// way in and the bytes written on the way out.
int getsockopt(SOCKET socket, int level, int option, char* value, int* length);
