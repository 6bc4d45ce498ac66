// The object behind an infrared SOCKET value (inside the Linux back end only): a host
// stream socket connected to a peer's service once connect succeeds. Errors are host errno
// values; the Winsock layer turns them into its codes.
#pragma once

#include <cstddef>
#include <mutex>
#include <string>

#include "platform/linux/infrared/infrared_run_area.h"

namespace platform::detail {

class InfraredSocket {
public:
    InfraredSocket() = default;
    ~InfraredSocket();
    InfraredSocket(const InfraredSocket&) = delete;
    InfraredSocket& operator=(const InfraredSocket&) = delete;

    // 0 or an errno value. Each attempt uses a fresh host socket, so a failed attempt
    // leaves this socket ready for the next one.
    int connect(const InfraredDeviceId& id, const std::string& service_name);
    // The bytes handed over (all of them), or -1 with error set.
    long send_all(const char* buffer, std::size_t size, int& error);
    // The bytes received (> 0), 0 when the peer closed, -1 with error set (ESHUTDOWN once
    // receiving was shut down here, even while the call was blocked).
    long receive(char* buffer, std::size_t size, int& error);
    // how: 0 receiving, 1 sending, 2 both. 0 or an errno value (ENOTCONN before connect;
    // the shut direction is remembered for a later connection all the same).
    int shutdown(int how);

private:
    int connected_descriptor(bool& receive_shut, bool& send_shut);

    std::mutex mutex_;
    int descriptor_ = -1;
    bool receive_shut_ = false;
    bool send_shut_ = false;
};

}  // namespace platform::detail
