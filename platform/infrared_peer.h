// The other side of an infrared link, for programs on this host that play a device in range
// of the handheld (a receiver that files can be beamed to, tests). A peer is registered in
// the run folder of the device named by SONBRIX_DEVICE; the handheld's infrared sockets
// (platform/winsock.h, platform/irda.h) discover it, query its services and connect to them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform {

// A service that a peer offers: its IAS class (for example "OBEX") with the attribute
// "IrDA:TinyTP:LsapSel" holding the selector, reachable as "LSAP-SEL<selector>" and by
// its class name.
struct InfraredService {
    std::string class_name;
    int lsap_selector = 0;
};

// One accepted connection. Closing it (or dropping it) is seen by the handheld as the
// peer hanging up.
class InfraredConnection {
public:
    enum class Status { data, closed, timeout, failed };

    explicit InfraredConnection(int descriptor);
    ~InfraredConnection();
    InfraredConnection(const InfraredConnection&) = delete;
    InfraredConnection& operator=(const InfraredConnection&) = delete;

    // Waits up to timeout_ms (negative: without limit) for bytes; on data, received holds
    // their count (at most size).
    Status receive(void* buffer, std::size_t size, int timeout_ms, std::size_t& received);
    bool send_all(const void* buffer, std::size_t size);
    void close();

private:
    int descriptor_;
};

class InfraredPeer {
public:
    using DeviceId = std::array<std::uint8_t, 4>;

    // Comes into range with the device id, the name (the handheld sees its first 22 bytes)
    // and the services. Null when the id is in use by a running peer or the run folder
    // cannot be written; error then tells why.
    static std::unique_ptr<InfraredPeer> start(const DeviceId& id, const std::string& name,
                                               const std::vector<InfraredService>& services,
                                               std::string& error);
    // Goes out of range: the registration is removed.
    ~InfraredPeer();
    InfraredPeer(const InfraredPeer&) = delete;
    InfraredPeer& operator=(const InfraredPeer&) = delete;

    // The next connection to any of the services; null when none comes within timeout_ms
    // (negative: without limit).
    std::unique_ptr<InfraredConnection> accept(int timeout_ms);

    const DeviceId& id() const { return id_; }

private:
    struct Listener {
        std::string path;
        int descriptor;
    };
    InfraredPeer(const DeviceId& id, std::string folder, int name_descriptor);

    DeviceId id_;
    std::string folder_;
    int name_descriptor_;
    std::vector<Listener> listeners_;
};

}  // namespace platform
