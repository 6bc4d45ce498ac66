// Long-lived links between the device's processes for their windows (inside the Linux back
// end only). A process with windows listens on an abstract Unix-domain socket named by its
// process id; others keep a few connections to it open and reuse them.
//
// The listener serves only processes of the same user, at most max_served_links at once,
// each on its own thread; a link that stays idle past the idle time-out or stalls within a
// request is closed. An asker waits for every answer at most its time-out; a peer that
// does not answer in time is taken as gone for that request and its idle links are closed.
#pragma once

#include <sys/types.h>

#include <functional>
#include <string>

#include "platform/linux/user/window_link_protocol.h"
#include "platform/types.h"

namespace platform::detail {

constexpr int max_served_links = 32;
constexpr DWORD default_link_timeout_ms = 5000;

// What answers a request: fills the reply's header and payload. Runs on a serving thread.
// `after_reply` (if set) runs once the answer is out.
using LinkHandler = std::function<void(const LinkRequest& request, LinkReplyHeader& reply, std::string& payload,
                                       std::function<void()>& after_reply)>;

// Starts listening for this process; false when the socket cannot be made.
bool start_link_server(LinkHandler handler);

struct LinkAnswer {
    bool reached = false;    // the peer answered
    bool timed_out = false;  // it did not answer within the time-out
    LinkReplyHeader header{};
    std::string payload;
};

// Sends the request to process pid over a kept link (or a new one) and waits for the answer
// up to timeout_ms (INFINITE: no limit).
LinkAnswer ask_peer(pid_t pid, LinkRequest request, DWORD timeout_ms);
// How long list, query and post requests wait (set_window_link_timeout).
DWORD link_timeout_ms();

}  // namespace platform::detail
