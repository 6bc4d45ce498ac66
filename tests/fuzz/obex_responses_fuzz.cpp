// Any bytes that a device in infrared range sends back while a file is beamed to it: the
// sender takes them as OBEX responses, fails or finishes, and never reads past a packet.
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>

#include "app/beam_connector.h"
#include "platform/infrared_peer.h"
#include "tests/fuzz/fuzz_input.h"

namespace {

platform::InfraredPeer* peer = nullptr;
const char16_t* const sent_path = u"\\fuzz\\sent.txt";

// Answers the sender's requests with the input, then hangs up once the sender goes quiet.
void answer(const std::uint8_t* data, std::size_t size) {
    auto connection = peer->accept(2000);
    if (!connection) return;
    bool answered = false;
    for (;;) {
        char buffer[4096];
        std::size_t received = 0;
        auto const status = connection->receive(buffer, sizeof buffer, answered ? 50 : 2000, received);
        if (status != platform::InfraredConnection::Status::data) break;
        if (!answered) {
            connection->send_all(data, size);
            answered = true;
        }
    }
    connection->close();
}

class QuickBeamConnector : public BeamConnector {
protected:
    void pause(std::uint32_t) override {}
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzing::use_private_device();
    std::string error;
    peer = platform::InfraredPeer::start({0x0B, 0xE5, 0x00, 0x02}, "fuzz", {{"OBEX", 3}}, error).release();
    if (!peer) std::abort();
    static const std::uint8_t file[] = "a small file to beam";
    if (!fuzzing::write_device_file(sent_path, file, sizeof file)) std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::thread device([&] { answer(data, size); });
    {
        QuickBeamConnector sender;
        if (sender.discover_devices() && !sender.get_devices().empty() && sender.connect(0)) sender.send_file(sent_path);
    }
    device.join();
    return 0;
}
