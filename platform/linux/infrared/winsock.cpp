// The Winsock calls over the platform's socket table. This file must not see the host's
// socket header: its names (socket, SOCK_STREAM, ...) are the handheld's here.
#include "platform/winsock.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>

#include "platform/errors.h"
#include "platform/irda.h"
#include "platform/linux/infrared/infrared_run_area.h"
#include "platform/linux/infrared/infrared_socket.h"

namespace {

using platform::detail::InfraredDeviceId;
using platform::detail::InfraredSocket;

class SocketTable {
public:
    SOCKET add(std::shared_ptr<InfraredSocket> socket) {
        std::lock_guard<std::mutex> guard(mutex_);
        SOCKET const value = next_++;
        sockets_.emplace(value, std::move(socket));
        return value;
    }
    std::shared_ptr<InfraredSocket> find(SOCKET value) {
        std::lock_guard<std::mutex> guard(mutex_);
        auto const found = sockets_.find(value);
        return found == sockets_.end() ? nullptr : found->second;
    }
    // The socket object lives on while a call on another thread still uses it.
    bool remove(SOCKET value) {
        std::lock_guard<std::mutex> guard(mutex_);
        return sockets_.erase(value) > 0;
    }

private:
    std::mutex mutex_;
    std::map<SOCKET, std::shared_ptr<InfraredSocket>> sockets_;
    SOCKET next_ = 0x100;
};

SocketTable& socket_table() {
    static SocketTable table;
    return table;
}

std::mutex startup_mutex;
int startup_count = 0;

int fail(int error) {
    SetLastError(static_cast<DWORD>(error));
    return SOCKET_ERROR;
}

int winsock_error(int host_error) {
    switch (host_error) {
    case ECONNREFUSED:
    case ENOENT: return WSAECONNREFUSED;
    case EISCONN: return WSAEISCONN;
    case ENOTCONN: return WSAENOTCONN;
    case ESHUTDOWN: return WSAESHUTDOWN;
    case EPIPE:
    case ECONNRESET: return WSAECONNRESET;
    case ECONNABORTED: return WSAECONNABORTED;
    case EMFILE:
    case ENFILE: return WSAEMFILE;
    case ENOBUFS:
    case ENOMEM: return WSAENOBUFS;
    case ETIMEDOUT: return WSAETIMEDOUT;
    case EINTR: return WSAEINTR;
    case EAGAIN: return WSAEWOULDBLOCK;
    case EINVAL: return WSAEINVAL;
    default: return WSAENETDOWN;
    }
}

std::shared_ptr<InfraredSocket> find_socket(SOCKET value) {
    auto socket = socket_table().find(value);
    if (!socket) SetLastError(WSAENOTSOCK);
    return socket;
}

InfraredDeviceId device_id(const BYTE (&bytes)[4]) { return {bytes[0], bytes[1], bytes[2], bytes[3]}; }

std::string bounded_text(const char* text, std::size_t room) { return std::string(text, strnlen(text, room)); }

int enumerate_devices(char* value, int* length) {
    if (*length < static_cast<int>(sizeof(ULONG))) return fail(WSAEFAULT);
    auto const devices = platform::detail::list_infrared_devices();
    std::size_t const room = (static_cast<std::size_t>(*length) - sizeof(ULONG)) / sizeof(IRDA_DEVICE_INFO);
    std::size_t const count = std::min(room, devices.size());
    for (std::size_t i = 0; i < count; ++i) {
        IRDA_DEVICE_INFO info{};
        std::memcpy(info.irdaDeviceID, devices[i].id.data(), 4);
        std::memcpy(info.irdaDeviceName, devices[i].name.data(), std::min(devices[i].name.size(), sizeof info.irdaDeviceName));
        std::memcpy(value + sizeof(ULONG) + i * sizeof info, &info, sizeof info);
    }
    ULONG const listed = static_cast<ULONG>(count);
    std::memcpy(value, &listed, sizeof listed);
    *length = static_cast<int>(sizeof(ULONG) + count * sizeof(IRDA_DEVICE_INFO));
    return 0;
}

int query_ias(char* value, int* length) {
    if (*length < static_cast<int>(sizeof(IAS_QUERY))) return fail(WSAEFAULT);
    IAS_QUERY query;
    std::memcpy(&query, value, sizeof query);
    long answer = 0;
    auto const result = platform::detail::query_infrared_ias(device_id(query.irdaDeviceID),
                                                             bounded_text(query.irdaClassName, sizeof query.irdaClassName),
                                                             bounded_text(query.irdaAttribName, sizeof query.irdaAttribName),
                                                             answer);
    using platform::detail::IasResult;
    if (result == IasResult::no_device) return fail(WSAEHOSTUNREACH);
    query.irdaAttribType = result == IasResult::found      ? IAS_ATTRIB_INT
                           : result == IasResult::no_class ? IAS_ATTRIB_NO_CLASS
                                                           : IAS_ATTRIB_NO_ATTRIB;
    query.irdaAttribute.irdaAttribInt = result == IasResult::found ? static_cast<LONG>(answer) : 0;
    std::memcpy(value, &query, sizeof query);
    *length = static_cast<int>(sizeof query);
    return 0;
}

}  // namespace

int WSAStartup(WORD version_requested, LPWSADATA data) {
    BYTE const major = static_cast<BYTE>(version_requested & 0xFF);
    BYTE const minor = static_cast<BYTE>(version_requested >> 8);
    if (!data) return WSAEFAULT;
    if (major < 1 || (major == 1 && minor < 1)) return WSAVERNOTSUPPORTED;
    std::memset(data, 0, sizeof *data);
    bool const newer = major > 2 || (major == 2 && minor > 2);
    data->wVersion = newer ? MAKEWORD(2, 2) : version_requested;
    data->wHighVersion = MAKEWORD(2, 2);
    std::strcpy(data->szDescription, "Infrared sockets over loopback");
    std::strcpy(data->szSystemStatus, "Running");
    data->iMaxSockets = 0xFFFF;
    std::lock_guard<std::mutex> guard(startup_mutex);
    ++startup_count;
    return 0;
}

int WSACleanup() {
    std::lock_guard<std::mutex> guard(startup_mutex);
    if (startup_count == 0) return fail(WSANOTINITIALISED);
    --startup_count;
    return 0;
}

int WSAGetLastError() { return static_cast<int>(GetLastError()); }

void WSASetLastError(int error) { SetLastError(static_cast<DWORD>(error)); }

SOCKET socket(int family, int type, int protocol) {
    {
        std::lock_guard<std::mutex> guard(startup_mutex);
        if (startup_count == 0) {
            SetLastError(WSANOTINITIALISED);
            return INVALID_SOCKET;
        }
    }
    int const error = family != AF_IRDA        ? WSAEAFNOSUPPORT
                      : type != SOCK_STREAM    ? WSAESOCKTNOSUPPORT
                      : protocol != 0          ? WSAEPROTONOSUPPORT
                                               : 0;
    if (error != 0) {
        SetLastError(static_cast<DWORD>(error));
        return INVALID_SOCKET;
    }
    return socket_table().add(std::make_shared<InfraredSocket>());
}

int closesocket(SOCKET socket) {
    if (!socket_table().remove(socket)) return fail(WSAENOTSOCK);
    return 0;
}

int connect(SOCKET socket, const SOCKADDR* address, int address_length) {
    auto const object = find_socket(socket);
    if (!object) return SOCKET_ERROR;
    if (!address || address_length < static_cast<int>(sizeof(SOCKADDR_IRDA))) return fail(WSAEFAULT);
    SOCKADDR_IRDA irda;
    std::memcpy(&irda, address, sizeof irda);
    if (irda.irdaAddressFamily != AF_IRDA) return fail(WSAEAFNOSUPPORT);
    int const error = object->connect(device_id(irda.irdaDeviceID), bounded_text(irda.irdaServiceName, sizeof irda.irdaServiceName));
    return error == 0 ? 0 : fail(winsock_error(error));
}

int send(SOCKET socket, const char* buffer, int length, int flags) {
    auto const object = find_socket(socket);
    if (!object) return SOCKET_ERROR;
    if (length < 0 || (!buffer && length > 0)) return fail(WSAEFAULT);
    if (flags != 0) return fail(WSAEOPNOTSUPP);
    int error = 0;
    long const sent = object->send_all(buffer, static_cast<std::size_t>(length), error);
    return sent < 0 ? fail(winsock_error(error)) : static_cast<int>(sent);
}

int recv(SOCKET socket, char* buffer, int length, int flags) {
    auto const object = find_socket(socket);
    if (!object) return SOCKET_ERROR;
    if (length < 0 || (!buffer && length > 0)) return fail(WSAEFAULT);
    if (flags != 0) return fail(WSAEOPNOTSUPP);
    int error = 0;
    long const received = object->receive(buffer, static_cast<std::size_t>(length), error);
    return received < 0 ? fail(winsock_error(error)) : static_cast<int>(received);
}

int shutdown(SOCKET socket, int how) {
    auto const object = find_socket(socket);
    if (!object) return SOCKET_ERROR;
    int const error = object->shutdown(how);
    return error == 0 ? 0 : fail(winsock_error(error));
}

int getsockopt(SOCKET socket, int level, int option, char* value, int* length) {
    auto const object = find_socket(socket);
    if (!object) return SOCKET_ERROR;
    if (!value || !length) return fail(WSAEFAULT);
    if (level != SOL_IRLMP) return fail(WSAENOPROTOOPT);
    switch (option) {
    case IRLMP_ENUMDEVICES: return enumerate_devices(value, length);
    case IRLMP_IAS_QUERY: return query_ias(value, length);
    default: return fail(WSAENOPROTOOPT);
    }
}
