// Any bytes sent to the OBEX receiver as requests over one infrared connection: it answers
// or refuses them, stores only what it may, and the connection ends when the sender's does.
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "platform/device.h"
#include "platform/irda.h"
#include "platform/winsock.h"
#include "tests/fuzz/fuzz_input.h"
#include "tools/obex_receiver.h"

namespace {

tools::ObexReceiver* receiver = nullptr;
const platform::InfraredPeer::DeviceId receiver_id{0x0B, 0xE5, 0x00, 0x01};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzing::use_private_device();
    tools::ObexReceiverOptions options;
    options.device_id = receiver_id;
    options.folder = platform::device_folder() + "/received";
    options.max_packet = 600;
    receiver = new tools::ObexReceiver(options);  // serves for the whole run
    if (!receiver->start()) std::abort();
    WSADATA data;
    WSAStartup(MAKEWORD(1, 1), &data);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    SOCKET const client = socket(AF_IRDA, SOCK_STREAM, 0);
    SOCKADDR_IRDA address{};
    address.irdaAddressFamily = AF_IRDA;
    std::memcpy(address.irdaDeviceID, receiver_id.data(), 4);
    std::strcpy(address.irdaServiceName, "OBEX");
    if (connect(client, reinterpret_cast<const SOCKADDR*>(&address), sizeof address) == 0) {
        send(client, reinterpret_cast<const char*>(data), static_cast<int>(size), 0);
        shutdown(client, 1);
        // Until the receiver has taken everything in and closed its end.
        char buffer[1024];
        while (recv(client, buffer, sizeof buffer, 0) > 0) {
        }
    }
    closesocket(client);
    return 0;
}
