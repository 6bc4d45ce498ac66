// The screen link's transport (inside the Linux back end only): a Unix stream socket in the
// device's run folder, whole messages written at once, a memfd passed beside a message.
#pragma once

#include <cstdint>
#include <string>

#include "platform/linux/screen/screen_protocol.h"
#include "platform/linux/screen/shared_pixels.h"

namespace platform::screen {

// <device>/run/screen/socket and the lock its server holds while it lives.
std::string screen_socket_path();
std::string screen_lock_path();

// A socket to the device's screen server, starting the server when none runs; empty when
// none answers within ten seconds.
UniqueFd open_screen_socket();
// Whether the device's screen server runs now (its socket answers); starts none.
bool screen_server_running();

// Milliseconds a message may take to arrive once its first byte has come.
constexpr int message_timeout_ms = 2000;

// Writes the whole message, with pass_fd (when >= 0) beside its first byte.
bool send_message(int socket, const std::string& message, int pass_fd = -1);

enum class ReadResult { message, closed, refused };

// Reads one message. Before its first byte it waits as long as it takes when
// wait_for_start, else only the socket's receive time-out; after that, message_timeout_ms
// without progress ends the link (closed). A size over cap is refused before anything is
// allocated. A passed descriptor goes to passed; more than one are closed and refused.
ReadResult read_message(int socket, MessageHeader& header, std::string& payload, UniqueFd& passed, std::uint32_t cap,
                        bool wait_for_start);

// The user id of the peer (SO_PEERCRED) and its process, false when unknown.
bool peer_credentials(int socket, unsigned& uid, int& pid);
void set_receive_timeout(int socket, int timeout_ms);
void set_send_timeout(int socket, int timeout_ms);

}  // namespace platform::screen
