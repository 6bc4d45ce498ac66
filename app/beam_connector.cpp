#include "app/beam_connector.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <mutex>

#include "foundation/atomic.h"
#include "foundation/file.h"
#include "foundation/log.h"
#include "foundation/paths.h"
#include "foundation/socket_handle.h"
#include "foundation/text_convert.h"
#include "foundation/winsock_startup.h"
#include "platform/errors.h"
#include "platform/winsock.h"

namespace {

// Our own offer in CONNECT, and the size of the buffer every PUT packet is built in.
constexpr std::uint16_t own_max_packet = 2048;
// The smallest maximum packet length that OBEX allows a device to announce.
constexpr std::uint16_t obex_min_packet = 255;

constexpr int enumeration_tries = 10;
constexpr std::uint32_t enumeration_pause_ms = 200;
constexpr int connect_attempts = 10;

constexpr std::uint8_t op_connect = 0x80;
constexpr std::uint8_t op_put = 0x02;
constexpr std::uint8_t op_put_final = 0x82;
constexpr std::uint8_t response_continue = 0x90;
constexpr std::uint8_t response_success = 0xA0;
constexpr std::uint8_t header_name = 0x01;
constexpr std::uint8_t header_length = 0xC3;
constexpr std::uint8_t header_body = 0x48;
constexpr std::uint8_t header_end_of_body = 0x49;

// Opcode and packet length; then the body header's id and length in front of the data.
constexpr std::size_t packet_head_size = 3;
constexpr std::size_t body_head_size = 3;

// CONNECT: OBEX 1.0, no flags, our maximum packet length.
constexpr std::array<std::uint8_t, 7> connect_request{op_connect, 0x00, 0x07, 0x10, 0x00, own_max_packet >> 8, own_max_packet & 0xFF};

void log_failure(const char* prefix) { os::get_log() << prefix << static_cast<unsigned>(GetLastError()) << "\n"; }

void put_u16(std::uint8_t* at, std::size_t value) {
    at[0] = static_cast<std::uint8_t>(value >> 8);
    at[1] = static_cast<std::uint8_t>(value);
}

void put_u32(std::uint8_t* at, std::uint32_t value) {
    put_u16(at, value >> 16);
    put_u16(at + 2, value & 0xFFFF);
}

// The Name and Length headers of a PUT: the name in UTF-16 big-endian with its terminator,
// then the file size.
std::vector<std::uint8_t> object_headers(const std::u16string& name, std::uint32_t size) {
    std::size_t const name_header_size = 3 + 2 * (name.size() + 1);
    std::vector<std::uint8_t> headers(name_header_size + 5);
    headers[0] = header_name;
    put_u16(&headers[1], name_header_size);
    for (std::size_t i = 0; i < name.size(); ++i) put_u16(&headers[3 + 2 * i], name[i]);
    // The terminator is already zero.
    headers[name_header_size] = header_length;
    put_u32(&headers[name_header_size + 1], size);
    return headers;
}

// The device's name: its 22 bytes up to the first zero, which need not be there.
std::u16string device_name(const IRDA_DEVICE_INFO& info) {
    std::size_t const length = strnlen(info.irdaDeviceName, sizeof info.irdaDeviceName);
    std::u16string name;
    liba::multibyte_to_wide(info.irdaDeviceName, length, name);
    return name;
}

}  // namespace

BeamConnector::BeamConnector()
    : success(true),
      progress(0.0),
      cancelled(false),
      winsock(std::make_unique<os::WinsockStartup>()),
      max_packet(own_max_packet) {}

BeamConnector::~BeamConnector() = default;

void BeamConnector::pause(std::uint32_t milliseconds) { liba::sleep(milliseconds); }

bool BeamConnector::is_cancelled() const {
    std::lock_guard<liba::CriticalSection> guard(lock);
    return cancelled;
}

void BeamConnector::set_progress(double value) {
    std::lock_guard<liba::CriticalSection> guard(lock);
    progress = value;
}

double BeamConnector::get_progress() const {
    std::lock_guard<liba::CriticalSection> guard(lock);
    return progress;
}

void BeamConnector::cancel() {
    std::lock_guard<liba::CriticalSection> guard(lock);
    if (cancelled) return;
    cancelled = true;
    if (socket && socket->is_valid()) shutdown(socket->get(), SD_RECEIVE);
}

bool BeamConnector::discover_devices() {
    success = true;
    {
        std::lock_guard<liba::CriticalSection> guard(lock);
        if (cancelled) return false;
        socket = std::make_unique<os::SocketHandle>(::socket(AF_IRDA, SOCK_STREAM, 0));
        if (!socket->is_valid()) {
            log_failure("socket WSAGetLastError() ");
            success = false;
            return false;
        }
    }
    std::vector<IRDA_DEVICE_INFO> found;
    if (!enumerate_devices(found)) return false;
    devices.clear();
    for (auto const& info : found) {
        if (is_cancelled()) return false;
        if (!add_device(info)) return false;
    }
    set_progress(1.0);
    return true;
}

bool BeamConnector::enumerate_devices(std::vector<IRDA_DEVICE_INFO>& found) {
    constexpr std::size_t list_size = 256;
    for (int attempt = 0; attempt < enumeration_tries; ++attempt) {
        set_progress(attempt * 0.1);
        if (is_cancelled()) return false;
        alignas(DEVICELIST) char list[list_size] = {};
        int length = list_size;
        if (getsockopt(socket->get(), SOL_IRLMP, IRLMP_ENUMDEVICES, list, &length) == SOCKET_ERROR) {
            log_failure("getsockopt WSAGetLastError() ");
            set_progress(0.0);
            success = false;
            return false;
        }
        ULONG count;
        std::memcpy(&count, list, sizeof count);
        // Never read beyond what the buffer holds, whatever the count says.
        std::size_t const room = (list_size - sizeof(ULONG)) / sizeof(IRDA_DEVICE_INFO);
        count = static_cast<ULONG>(std::min<std::size_t>(count, room));
        if (count > 0) {
            found.resize(count);
            std::memcpy(found.data(), list + sizeof(ULONG), count * sizeof(IRDA_DEVICE_INFO));
            return true;
        }
        if (attempt + 1 < enumeration_tries) pause(enumeration_pause_ms);
    }
    return true;
}

bool BeamConnector::add_device(const IRDA_DEVICE_INFO& info) {
    IAS_QUERY query{};
    std::memcpy(query.irdaDeviceID, info.irdaDeviceID, sizeof query.irdaDeviceID);
    std::strcpy(query.irdaClassName, "OBEX");
    std::strcpy(query.irdaAttribName, "IrDA:TinyTP:LsapSel");
    int length = sizeof query;
    if (getsockopt(socket->get(), SOL_IRLMP, IRLMP_IAS_QUERY, reinterpret_cast<char*>(&query), &length) == SOCKET_ERROR) {
        log_failure("getsockopt1 WSAGetLastError() ");
        set_progress(0.0);
        success = false;
        return false;
    }
    // A device without an OBEX service cannot take a file.
    if (query.irdaAttribType != IAS_ATTRIB_INT) return true;
    BeamDevice device{};
    device.address.irdaAddressFamily = AF_IRDA;
    std::memcpy(device.address.irdaDeviceID, info.irdaDeviceID, sizeof info.irdaDeviceID);
    std::snprintf(device.address.irdaServiceName, sizeof device.address.irdaServiceName, "LSAP-SEL%d",
                  static_cast<int>(query.irdaAttribute.irdaAttribInt));
    device.name = device_name(info);
    devices.push_back(device);
    return true;
}

bool BeamConnector::fail_connect() {
    set_progress(0.0);
    success = false;
    return false;
}

bool BeamConnector::receive_exactly(char* buffer, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        int const count = recv(socket->get(), buffer + done, static_cast<int>(size - done), 0);
        if (count == SOCKET_ERROR) return false;
        if (count == 0) {
            // The device hung up in the middle of a response.
            SetLastError(WSAECONNRESET);
            return false;
        }
        done += static_cast<std::size_t>(count);
    }
    return true;
}

// One whole response: its 3-byte head, then as many bytes as the head announces.
bool BeamConnector::receive_response(std::vector<std::uint8_t>& packet) {
    packet.assign(packet_head_size, 0);
    if (!receive_exactly(reinterpret_cast<char*>(packet.data()), packet_head_size)) return false;
    std::size_t const length = static_cast<std::size_t>(packet[1]) << 8 | packet[2];
    if (length < packet_head_size) {
        SetLastError(WSAEMSGSIZE);
        return false;
    }
    packet.resize(length);
    return receive_exactly(reinterpret_cast<char*>(packet.data()) + packet_head_size, length - packet_head_size);
}

bool BeamConnector::connect(int index) {
    if (is_cancelled() || !success) return false;
    if (index < 0 || static_cast<std::size_t>(index) >= devices.size() || !socket) {
        os::get_log() << "connect: no device " << index << "\n";
        return fail_connect();
    }
    SOCKADDR_IRDA const& address = devices[static_cast<std::size_t>(index)].address;
    bool connected = false;
    for (int attempt = 0; attempt < connect_attempts && !connected; ++attempt) {
        set_progress(attempt * 0.1);
        if (is_cancelled()) return false;
        connected = ::connect(socket->get(), reinterpret_cast<const SOCKADDR*>(&address), sizeof address) != SOCKET_ERROR;
    }
    if (!connected) {
        log_failure("connect WSAGetLastError() ");
        return fail_connect();
    }
    if (send(socket->get(), reinterpret_cast<const char*>(connect_request.data()), connect_request.size(), 0) == SOCKET_ERROR) {
        log_failure("send WSAGetLastError() ");
        return fail_connect();
    }
    if (is_cancelled()) return false;
    std::vector<std::uint8_t> response;
    // Response code, length, version, flags and the device's maximum packet length.
    constexpr std::size_t connect_response_size = 7;
    if (!receive_response(response) || response[0] != response_success || response.size() < connect_response_size) {
        log_failure("recv WSAGetLastError() ");
        return fail_connect();
    }
    std::uint16_t const peer_max = static_cast<std::uint16_t>(response[5] << 8 | response[6]);
    if (peer_max < obex_min_packet) {
        os::get_log() << "connect: maximum packet length " << static_cast<unsigned>(peer_max) << " of the device is too small\n";
        return fail_connect();
    }
    max_packet = std::min(peer_max, own_max_packet);
    set_progress(1.0);
    return true;
}

bool BeamConnector::fail_send() {
    success = false;
    return false;
}

bool BeamConnector::send_file(const std::u16string& path) {
    // Sending after a failed step would go to a device that has not accepted us.
    if (!success || !socket) return fail_send();
    os::File file(path, 0);
    if (file.has_errors()) {
        os::get_log() << "send_file: can't open " << path << "\n";
        return fail_send();
    }
    std::uint32_t const size = file.get_size();
    std::vector<std::uint8_t> const headers = object_headers(os::get_file_name(path), size);
    std::size_t const data_offset = packet_head_size + headers.size() + body_head_size;
    std::size_t const room = std::min<std::size_t>(max_packet, own_max_packet);
    if (data_offset + 1 > room) {
        os::get_log() << "send_file: the name is too long for packets of " << static_cast<unsigned>(room) << " bytes\n";
        return fail_send();
    }
    std::array<std::uint8_t, own_max_packet> packet{};
    std::copy(headers.begin(), headers.end(), packet.begin() + packet_head_size);
    std::uint32_t position = 0;
    std::vector<std::uint8_t> response;
    do {
        if (is_cancelled()) return false;
        std::uint32_t const piece = static_cast<std::uint32_t>(std::min<std::size_t>(size - position, room - data_offset));
        if (file.read(packet.data() + data_offset, piece) != piece) {
            os::get_log() << "send_file: can't read " << path << "\n";
            return fail_send();
        }
        position += piece;
        set_progress(size == 0 ? 0.0 : static_cast<double>(position) / size);
        bool const last = position >= size;
        std::size_t const packet_size = data_offset + piece;
        packet[0] = last ? op_put_final : op_put;
        put_u16(&packet[1], packet_size);
        packet[data_offset - body_head_size] = last ? header_end_of_body : header_body;
        put_u16(&packet[data_offset - 2], body_head_size + piece);
        if (send(socket->get(), reinterpret_cast<const char*>(packet.data()), static_cast<int>(packet_size), 0) == SOCKET_ERROR) {
            log_failure("send WSAGetLastError() ");
            return fail_send();
        }
        if (!receive_response(response)) {
            log_failure("recv1 WSAGetLastError() ");
            return fail_send();
        }
        std::uint8_t const expected = last ? response_success : response_continue;
        if (response[0] != expected) {
            os::get_log() << "send_file: the device answered " << static_cast<unsigned>(response[0]) << "\n";
            return fail_send();
        }
    } while (position < size);
    set_progress(1.0);
    return true;
}
