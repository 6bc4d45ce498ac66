// An OBEX receiver that plays a device in infrared range: it registers as a peer in the
// device folder's run area, answers CONNECT and PUT requests and stores each received file.
// It can be told to misbehave (refuse, announce a small packet size, stall, hang up), which
// is how the sender's tests meet such devices.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/infrared_peer.h"

namespace tools {

struct ObexReceiverOptions {
    platform::InfraredPeer::DeviceId device_id{0x0B, 0xE5, 0x00, 0x01};
    std::string name = "obex-receive";
    int lsap_selector = 3;
    // Host folder that received files are written to; empty: they are only kept in memory.
    std::string folder;
    // Announced in the CONNECT response; longer requests (beyond the OBEX minimum of 255)
    // are answered with Bad Request.
    std::uint16_t max_packet = 4096;
    bool refuse_connect = false;
    bool refuse_put = false;
    // When not negative: this many requests of a connection are answered, the next one is
    // taken in and left unanswered while the link stays open.
    int stall_after = -1;
    // When not negative: this many requests of a connection are answered, then the link is
    // closed as soon as the next one has come in.
    int hang_up_after = -1;
    // The CONNECT response carries a Connection-Id header behind its fixed fields.
    bool send_connection_id = false;
};

struct ReceivedFile {
    std::u16string name;
    std::string data;
    bool has_length = false;
    std::uint32_t declared_length = 0;
    std::string stored_path;  // empty when not written to a folder
};

class ObexReceiver {
public:
    explicit ObexReceiver(ObexReceiverOptions options);
    ~ObexReceiver();
    ObexReceiver(const ObexReceiver&) = delete;
    ObexReceiver& operator=(const ObexReceiver&) = delete;

    // Comes into range and serves connections on its own thread. False with error() when
    // the peer cannot be registered.
    bool start();
    // Closes any link and leaves range.
    void stop();
    const std::string& error() const { return error_; }

    // Called on the receiver's thread for every file received.
    void set_file_listener(std::function<void(const ReceivedFile&)> listener);

    // What has come in so far: every request packet as received, and the complete files.
    std::vector<std::string> requests() const;
    std::vector<ReceivedFile> files() const;
    // Waits until count requests have come in or timeout_ms passed; true when they have.
    bool wait_for_requests(std::size_t count, int timeout_ms) const;

private:
    struct Object;
    enum class Read { packet, closed, stopped, bad };

    void serve();
    void serve_connection(platform::InfraredConnection& connection);
    void drain_until_closed(platform::InfraredConnection& connection);
    Read read_packet(platform::InfraredConnection& connection, std::string& packet);
    bool read_exactly(platform::InfraredConnection& connection, char* buffer, std::size_t size, Read& result);
    std::string answer(const std::string& request, Object& object, bool& close_link);
    std::string answer_put(const std::string& request, Object& object);
    bool store(ReceivedFile& file);
    void record_request(const std::string& request);

    ObexReceiverOptions options_;
    std::string error_;
    std::unique_ptr<platform::InfraredPeer> peer_;
    std::thread thread_;
    std::atomic<bool> stopping_{false};
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::vector<std::string> requests_;
    std::vector<ReceivedFile> files_;
    std::function<void(const ReceivedFile&)> listener_;
};

}  // namespace tools
