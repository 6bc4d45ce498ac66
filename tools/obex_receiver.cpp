#include "tools/obex_receiver.h"

#include <algorithm>
#include <chrono>
#include <fstream>

#include "platform/unicode.h"

namespace tools {
namespace {

constexpr int poll_ms = 50;

// Request opcodes (the final bit is 0x80).
constexpr std::uint8_t op_connect = 0x80;
constexpr std::uint8_t op_disconnect = 0x81;
constexpr std::uint8_t op_put = 0x02;
constexpr std::uint8_t op_abort = 0xFF;
constexpr std::uint8_t final_bit = 0x80;

// Response codes, final.
constexpr std::uint8_t continue_code = 0x90;
constexpr std::uint8_t success = 0xA0;
constexpr std::uint8_t bad_request = 0xC0;
constexpr std::uint8_t forbidden = 0xC3;
constexpr std::uint8_t internal_error = 0xD0;
constexpr std::uint8_t not_implemented = 0xD1;

// Header ids.
constexpr std::uint8_t header_name = 0x01;
constexpr std::uint8_t header_length = 0xC3;
constexpr std::uint8_t header_body = 0x48;
constexpr std::uint8_t header_end_of_body = 0x49;
constexpr std::uint8_t header_connection_id = 0xCB;

unsigned byte_at(const std::string& bytes, std::size_t index) { return static_cast<unsigned char>(bytes[index]); }

unsigned read_u16(const std::string& bytes, std::size_t index) { return byte_at(bytes, index) << 8 | byte_at(bytes, index + 1); }

std::uint32_t read_u32(const std::string& bytes, std::size_t index) {
    return static_cast<std::uint32_t>(read_u16(bytes, index)) << 16 | read_u16(bytes, index + 2);
}

void append_u16(std::string& bytes, unsigned value) {
    bytes += static_cast<char>(value >> 8 & 0xFF);
    bytes += static_cast<char>(value & 0xFF);
}

void append_u32(std::string& bytes, std::uint32_t value) {
    append_u16(bytes, value >> 16);
    append_u16(bytes, value & 0xFFFF);
}

// A response packet: code, length, then the rest.
std::string response(std::uint8_t code, const std::string& rest = {}) {
    std::string packet(1, static_cast<char>(code));
    append_u16(packet, static_cast<unsigned>(3 + rest.size()));
    return packet + rest;
}

struct Header {
    std::uint8_t id;
    std::string value;  // the bytes after the id and (for text and byte sequences) the length
};

// The headers from offset to the end; false when one runs past the end or is too short.
bool parse_headers(const std::string& packet, std::size_t offset, std::vector<Header>& headers) {
    while (offset < packet.size()) {
        auto const id = static_cast<std::uint8_t>(packet[offset]);
        std::size_t size;
        std::size_t value_start;
        switch (id >> 6) {
        case 0:
        case 1:
            if (offset + 3 > packet.size()) return false;
            size = read_u16(packet, offset + 1);
            if (size < 3) return false;
            value_start = offset + 3;
            break;
        case 2:
            size = 2;
            value_start = offset + 1;
            break;
        default:
            size = 5;
            value_start = offset + 1;
            break;
        }
        if (offset + size > packet.size()) return false;
        headers.push_back({id, packet.substr(value_start, offset + size - value_start)});
        offset += size;
    }
    return true;
}

// A Name header's UTF-16 big-endian text without its terminator.
bool decode_name(const std::string& value, std::u16string& name) {
    if (value.size() % 2 != 0) return false;
    name.clear();
    for (std::size_t i = 0; i < value.size(); i += 2) name += static_cast<char16_t>(read_u16(value, i));
    if (!name.empty() && name.back() == u'\0') name.pop_back();
    return true;
}

// The name as a file name of the folder: only its last component, never "." or "..".
std::string safe_file_name(const std::u16string& name) {
    std::size_t const separator = name.find_last_of(u"/\\");
    std::u16string base = separator == std::u16string::npos ? name : name.substr(separator + 1);
    for (auto& c : base) {
        if (c < 0x20) c = u'_';
    }
    if (base.empty() || base == u"." || base == u"..") return {};
    return platform::utf16_to_utf8(base);
}

}  // namespace

struct ObexReceiver::Object {
    bool refused = false;
    ReceivedFile file;
};

ObexReceiver::ObexReceiver(ObexReceiverOptions options) : options_(std::move(options)) {}

ObexReceiver::~ObexReceiver() { stop(); }

bool ObexReceiver::start() {
    if (peer_) return true;
    peer_ = platform::InfraredPeer::start(options_.device_id, options_.name, {{"OBEX", options_.lsap_selector}}, error_);
    if (!peer_) return false;
    stopping_ = false;
    thread_ = std::thread([this] { serve(); });
    return true;
}

void ObexReceiver::stop() {
    stopping_ = true;
    if (thread_.joinable()) thread_.join();
    peer_.reset();
}

void ObexReceiver::set_file_listener(std::function<void(const ReceivedFile&)> listener) {
    std::lock_guard<std::mutex> guard(mutex_);
    listener_ = std::move(listener);
}

std::vector<std::string> ObexReceiver::requests() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return requests_;
}

std::vector<ReceivedFile> ObexReceiver::files() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return files_;
}

bool ObexReceiver::wait_for_requests(std::size_t count, int timeout_ms) const {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeout_ms), [&] { return requests_.size() >= count; });
}

void ObexReceiver::record_request(const std::string& request) {
    {
        std::lock_guard<std::mutex> guard(mutex_);
        requests_.push_back(request);
    }
    changed_.notify_all();
}

void ObexReceiver::serve() {
    while (!stopping_) {
        if (auto connection = peer_->accept(poll_ms)) serve_connection(*connection);
    }
}

void ObexReceiver::serve_connection(platform::InfraredConnection& connection) {
    Object object;
    int answered = 0;
    for (;;) {
        std::string request;
        Read const read = read_packet(connection, request);
        if (read == Read::stopped || read == Read::closed) return;
        if (read == Read::bad) {
            connection.send_all(response(bad_request).data(), 3);
            return;
        }
        record_request(request);
        if (options_.hang_up_after >= 0 && answered >= options_.hang_up_after) return;
        if (options_.stall_after >= 0 && answered >= options_.stall_after) {
            drain_until_closed(connection);
            return;
        }
        bool close_link = false;
        std::string const reply = answer(request, object, close_link);
        ++answered;
        if (!connection.send_all(reply.data(), reply.size()) || close_link) return;
    }
}

void ObexReceiver::drain_until_closed(platform::InfraredConnection& connection) {
    char ignored[512];
    while (!stopping_) {
        std::size_t count;
        auto const status = connection.receive(ignored, sizeof ignored, poll_ms, count);
        if (status == platform::InfraredConnection::Status::closed || status == platform::InfraredConnection::Status::failed) return;
    }
}

bool ObexReceiver::read_exactly(platform::InfraredConnection& connection, char* buffer, std::size_t size, Read& result) {
    std::size_t done = 0;
    while (done < size) {
        if (stopping_) {
            result = Read::stopped;
            return false;
        }
        std::size_t count = 0;
        switch (connection.receive(buffer + done, size - done, poll_ms, count)) {
        case platform::InfraredConnection::Status::data: done += count; break;
        case platform::InfraredConnection::Status::timeout: break;
        case platform::InfraredConnection::Status::closed:
        case platform::InfraredConnection::Status::failed: result = Read::closed; return false;
        }
    }
    return true;
}

ObexReceiver::Read ObexReceiver::read_packet(platform::InfraredConnection& connection, std::string& packet) {
    Read result = Read::packet;
    char head[3];
    if (!read_exactly(connection, head, sizeof head, result)) return result;
    packet.assign(head, sizeof head);
    std::size_t const length = read_u16(packet, 1);
    // Every device takes packets of the OBEX minimum, whatever it announces.
    std::size_t const limit = std::max<std::size_t>(options_.max_packet, 255);
    if (length < 3 || length > limit) return Read::bad;
    packet.resize(length);
    if (!read_exactly(connection, packet.data() + 3, length - 3, result)) return result;
    return Read::packet;
}

std::string ObexReceiver::answer(const std::string& request, Object& object, bool& close_link) {
    auto const opcode = static_cast<std::uint8_t>(request[0]);
    switch (opcode) {
    case op_connect: {
        if (request.size() < 7) return response(bad_request);
        if (options_.refuse_connect) return response(forbidden);
        std::string rest;
        rest += static_cast<char>(0x10);  // version 1.0
        rest += static_cast<char>(0x00);  // flags
        append_u16(rest, options_.max_packet);
        if (options_.send_connection_id) {
            rest += static_cast<char>(header_connection_id);
            append_u32(rest, 1);
        }
        return response(success, rest);
    }
    case op_disconnect:
        close_link = true;
        return response(success);
    case op_abort:
        object = Object{};
        return response(success);
    case op_put:
    case op_put | final_bit:
        return answer_put(request, object);
    default:
        return response(not_implemented);
    }
}

std::string ObexReceiver::answer_put(const std::string& request, Object& object) {
    bool const last = (static_cast<std::uint8_t>(request[0]) & final_bit) != 0;
    if (options_.refuse_put || object.refused) {
        object = Object{};
        object.refused = !last;
        return response(forbidden);
    }
    std::vector<Header> headers;
    if (!parse_headers(request, 3, headers)) {
        object = Object{};
        return response(bad_request);
    }
    for (auto const& header : headers) {
        switch (header.id) {
        case header_name:
            if (!decode_name(header.value, object.file.name)) return response(bad_request);
            break;
        case header_length:
            object.file.has_length = true;
            object.file.declared_length = read_u32(header.value, 0);
            break;
        case header_body:
        case header_end_of_body: object.file.data += header.value; break;
        default: break;
        }
    }
    if (!last) return response(continue_code);
    ReceivedFile file = std::move(object.file);
    object = Object{};
    if (!store(file)) return response(internal_error);
    std::function<void(const ReceivedFile&)> listener;
    {
        std::lock_guard<std::mutex> guard(mutex_);
        files_.push_back(file);
        listener = listener_;
    }
    if (listener) listener(file);
    return response(success);
}

bool ObexReceiver::store(ReceivedFile& file) {
    if (options_.folder.empty()) return true;
    std::string const name = safe_file_name(file.name);
    if (name.empty()) return false;
    std::string const path = options_.folder + "/" + name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(file.data.data(), static_cast<std::streamsize>(file.data.size()));
    out.close();
    if (!out) return false;
    file.stored_path = path;
    return true;
}

}  // namespace tools
