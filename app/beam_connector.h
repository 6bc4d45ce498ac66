#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "foundation/critical_section.h"
#include "foundation/nocopy.h"
#include "platform/irda.h"

namespace os {
class SocketHandle;
class WinsockStartup;
}  // namespace os

// One device found in infrared range: the address of its OBEX service and its name.
struct BeamDevice {
    SOCKADDR_IRDA address;
    std::u16string name;
};

// Sends one file to another device over infrared with an OBEX PUT. The calls that talk to
// the device block and run on a worker thread; get_progress and cancel may be called from
// any other thread meanwhile. Every step reports success and clears the success flag when
// it fails.
class BeamConnector : private liba::Nocopy {
public:
    BeamConnector();
    virtual ~BeamConnector();

    // Looks for devices in range (up to ten times, 200 ms apart) and asks each for its OBEX
    // service. True also when none was found.
    bool discover_devices();
    const std::vector<BeamDevice>& get_devices() const { return devices; }
    // Connects to the device of that index in get_devices() and opens an OBEX session.
    bool connect(int index);
    // Sends the file with OBEX PUT packets over the connection.
    bool send_file(const std::u16string& path);
    // Makes the running and every later step return false; a blocked receive returns.
    // Only the first call has an effect.
    void cancel();
    // 0.0 .. 1.0 of the current step.
    double get_progress() const;
    bool succeeded() const { return success; }

protected:
    // Waits between two looks for devices in range.
    virtual void pause(std::uint32_t milliseconds);

private:
    bool is_cancelled() const;
    void set_progress(double value);
    bool enumerate_devices(std::vector<IRDA_DEVICE_INFO>& found);
    bool add_device(const IRDA_DEVICE_INFO& info);
    bool fail_connect();
    bool fail_send();
    bool receive_exactly(char* buffer, std::size_t size);
    bool receive_response(std::vector<std::uint8_t>& packet);

    std::atomic<bool> success;
    double progress;
    bool cancelled;
    std::unique_ptr<os::WinsockStartup> winsock;
    std::unique_ptr<os::SocketHandle> socket;
    std::vector<BeamDevice> devices;
    std::uint16_t max_packet;
    mutable liba::CriticalSection lock;
};
