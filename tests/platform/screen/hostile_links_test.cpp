// What others may send on the screen's socket: malformed, truncated, oversized or
// misplaced requests and wrong memory. The server refuses them and keeps serving.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstring>

#include "platform/linux/screen/screen_link.h"
#include "platform/linux/screen/screen_protocol.h"
#include "tests/platform/screen/screen_fixture.h"

namespace screen_tests {
namespace {

using namespace platform::screen;

enum class Memory { none, sealed, unsealed, too_small, pipe, two };
enum class Outcome { closed, refused_kept };

struct HostileCase {
    const char* name;
    std::string bytes;  // after a client's hello, unless it starts with its own
    Memory memory;
    Outcome outcome;
    bool greet = true;
};

std::string hello(std::uint32_t version = protocol_version, Role role = Role::client) {
    Request request;
    request.type = MessageType::hello;
    request.version = version;
    request.role = role;
    return encode_request(request);
}

std::string create(std::uint64_t window, ScreenRect rect, std::string title = "t") {
    Request request;
    request.type = MessageType::create_surface;
    request.window = window;
    request.rect = rect;
    request.flag = true;
    request.title = std::move(title);
    return encode_request(request);
}

std::string raw_header(std::uint32_t type, std::uint32_t size) {
    std::string bytes(8, '\0');
    std::memcpy(bytes.data(), &type, 4);
    std::memcpy(bytes.data() + 4, &size, 4);
    return bytes;
}

UniqueFd memory_of(Memory kind, int bytes) {
    if (kind == Memory::pipe) {
        int ends[2];
        if (::pipe(ends) != 0) return UniqueFd();
        ::close(ends[1]);
        return UniqueFd(ends[0]);
    }
    int const fd = ::memfd_create("test", MFD_CLOEXEC | MFD_ALLOW_SEALING);
    int const size = kind == Memory::too_small ? bytes / 2 : bytes;
    if (::ftruncate(fd, size) != 0) return UniqueFd();
    if (kind != Memory::unsealed) ::fcntl(fd, F_ADD_SEALS, F_SEAL_SHRINK | F_SEAL_GROW);
    return UniqueFd(fd);
}

UniqueFd raw_link() {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::string const path = screen_socket_path();
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    UniqueFd socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (::connect(socket.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) return UniqueFd();
    set_receive_timeout(socket.get(), 8000);
    return socket;
}

// Sends the bytes with the memory beside them, as sendmsg does with two descriptors too.
bool send_with(int socket, const std::string& bytes, Memory kind) {
    if (kind == Memory::none) return send_message(socket, bytes);
    UniqueFd first = memory_of(kind, 10 * 10 * 4);
    if (kind != Memory::two) return send_message(socket, bytes, first.get());
    UniqueFd second = memory_of(Memory::sealed, 400);
    int fds[2] = {first.get(), second.get()};
    iovec part{const_cast<char*>(bytes.data()), bytes.size()};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof fds)];
    msghdr message{};
    message.msg_iov = &part;
    message.msg_iovlen = 1;
    message.msg_control = control;
    message.msg_controllen = sizeof control;
    cmsghdr* slot = CMSG_FIRSTHDR(&message);
    slot->cmsg_level = SOL_SOCKET;
    slot->cmsg_type = SCM_RIGHTS;
    slot->cmsg_len = CMSG_LEN(sizeof fds);
    std::memcpy(CMSG_DATA(slot), fds, sizeof fds);
    return ::sendmsg(socket, &message, MSG_NOSIGNAL) == static_cast<ssize_t>(bytes.size());
}

// Reads what the server sends until it closes the link (true) or a sync answer comes (false).
bool closed_by_server(int socket) {
    Request sync;
    sync.type = MessageType::sync;
    send_message(socket, encode_request(sync));
    for (;;) {
        MessageHeader header;
        std::string payload;
        UniqueFd passed;
        auto const result = read_message(socket, header, payload, passed, max_reply_bytes, false);
        if (result != ReadResult::message) return true;
        if (header.type == static_cast<std::uint32_t>(MessageType::result)) return false;
    }
}

class HostileLinks : public ScreenTest, public ::testing::WithParamInterface<HostileCase> {};

TEST_P(HostileLinks, AreRefusedAndTheScreenGoesOn) {
    auto const& c = GetParam();
    ASSERT_TRUE(screen.connected());
    UniqueFd link = raw_link();
    ASSERT_TRUE(link);
    if (c.greet) {
        ASSERT_TRUE(send_message(link.get(), hello()));
    }
    send_with(link.get(), c.bytes, c.memory);
    EXPECT_EQ(closed_by_server(link.get()), c.outcome == Outcome::closed);
    EXPECT_TRUE(screen.windows().empty());
    // The screen still answers everyone.
    ScreenProcess process;
    ASSERT_TRUE(process.run("surface 9 0 0 10 10 00FF00"));
    ASSERT_TRUE(screen.wait_idle());
    EXPECT_EQ(screen.screenshot().at(5, 5), 0xFF00FF00u);
}

std::string with_extra_byte(std::string message) {
    message.push_back('\x01');
    message[4] = static_cast<char>(message[4] + 1);
    return message;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HostileLinks,
    ::testing::Values(
        HostileCase{"garbage", std::string(64, '\xA5'), Memory::none, Outcome::closed, false},
        HostileCase{"size_over_the_cap", raw_header(1, 1u << 30), Memory::none, Outcome::closed, false},
        HostileCase{"unknown_type", raw_header(77, 0), Memory::none, Outcome::closed},
        HostileCase{"wrong_version", hello(99), Memory::none, Outcome::closed, false},
        HostileCase{"request_before_hello", create(5, {0, 0, 10, 10}), Memory::sealed, Outcome::closed, false},
        HostileCase{"second_hello", hello(), Memory::none, Outcome::closed},
        HostileCase{"control_request_from_a_client", raw_header(22, 0), Memory::none, Outcome::closed},
        HostileCase{"extra_bytes", with_extra_byte(create(5, {0, 0, 10, 10})), Memory::sealed, Outcome::closed},
        HostileCase{"short_payload", raw_header(2, 3) + "abc", Memory::none, Outcome::closed},
        HostileCase{"text_over_its_cap", create(5, {0, 0, 10, 10}, std::string(5000, 'x')), Memory::sealed, Outcome::closed},
        HostileCase{"empty_rectangle", create(5, {10, 10, 10, 20}), Memory::sealed, Outcome::closed},
        HostileCase{"huge_rectangle", create(5, {0, 0, 5000, 10}), Memory::sealed, Outcome::closed},
        HostileCase{"far_rectangle", create(5, {-2000000000, 0, -1999999990, 10}), Memory::sealed, Outcome::closed},
        HostileCase{"two_descriptors", create(5, {0, 0, 10, 10}), Memory::two, Outcome::closed},
        HostileCase{"no_memory", create(5, {0, 0, 10, 10}), Memory::none, Outcome::refused_kept},
        HostileCase{"unsealed_memory", create(5, {0, 0, 10, 10}), Memory::unsealed, Outcome::refused_kept},
        HostileCase{"memory_too_small", create(5, {0, 0, 10, 10}), Memory::too_small, Outcome::refused_kept},
        HostileCase{"a_pipe_for_memory", create(5, {0, 0, 10, 10}), Memory::pipe, Outcome::refused_kept},
        HostileCase{"reserved_window_handle", create(1, {0, 0, 10, 10}), Memory::sealed, Outcome::refused_kept}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ScreenTest, AStalledRequestNeitherBlocksOthersNorStaysForever) {
    UniqueFd link = raw_link();
    ASSERT_TRUE(link);
    ASSERT_TRUE(send_message(link.get(), hello()));
    std::string const request = create(5, {0, 0, 10, 10});
    ASSERT_TRUE(send_message(link.get(), request.substr(0, 12)));
    ScreenProcess process;
    ASSERT_TRUE(process.run("surface 9 0 0 10 10 00FF00"));
    ASSERT_TRUE(screen.wait_idle());
    EXPECT_EQ(screen.windows().size(), 1u);
    // The server gives up on the rest after its time-out and closes the link.
    char byte = 0;
    ssize_t n = 0;
    while ((n = ::recv(link.get(), &byte, 1, 0)) > 0) {
    }
    EXPECT_EQ(n, 0);
}

TEST_F(ScreenTest, NobodyMovesOrPresentsAnotherProcesssWindow) {
    ScreenProcess owner;
    ASSERT_TRUE(owner.run("surface 9 0 0 10 10 00FF00"));
    UniqueFd link = raw_link();
    ASSERT_TRUE(send_message(link.get(), hello()));
    Request request;
    request.window = 9;
    request.rect = {50, 50, 60, 60};
    for (auto type : {MessageType::set_rect, MessageType::set_visible, MessageType::destroy_surface, MessageType::set_z}) {
        request.type = type;
        ASSERT_TRUE(send_message(link.get(), encode_request(request)));
    }
    EXPECT_FALSE(closed_by_server(link.get()));
    auto const windows = screen.windows();
    ASSERT_EQ(windows.size(), 1u);
    EXPECT_EQ(windows[0].rect.left, 0);
    EXPECT_TRUE(windows[0].visible);
}

}  // namespace
}  // namespace screen_tests
