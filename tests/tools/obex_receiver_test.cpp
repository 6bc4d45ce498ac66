#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "platform/irda.h"
#include "platform/winsock.h"
#include "tests/support/test_device.h"
#include "tools/obex_receiver.h"

namespace {

using testing_support::read_host_file;

// A bare OBEX client on the platform's infrared sockets.
class RawClient {
public:
    explicit RawClient(const platform::InfraredPeer::DeviceId& id) {
        WSADATA data;
        WSAStartup(MAKEWORD(1, 1), &data);
        socket_ = socket(AF_IRDA, SOCK_STREAM, 0);
        SOCKADDR_IRDA address{};
        address.irdaAddressFamily = AF_IRDA;
        std::memcpy(address.irdaDeviceID, id.data(), 4);
        std::strcpy(address.irdaServiceName, "OBEX");
        connected_ = connect(socket_, reinterpret_cast<const SOCKADDR*>(&address), sizeof address) == 0;
    }
    ~RawClient() {
        closesocket(socket_);
        WSACleanup();
    }
    bool connected() const { return connected_; }

    // Sends the request and returns the whole response (empty when the link closed).
    std::string exchange(const std::string& request) {
        if (send(socket_, request.data(), static_cast<int>(request.size()), 0) != static_cast<int>(request.size())) return {};
        std::string response = receive(3);
        if (response.size() < 3) return {};
        std::size_t const length = static_cast<unsigned char>(response[1]) << 8 | static_cast<unsigned char>(response[2]);
        return length > 3 ? response + receive(length - 3) : response;
    }

private:
    std::string receive(std::size_t count) {
        std::string bytes;
        while (bytes.size() < count) {
            char buffer[256];
            int const got = recv(socket_, buffer, static_cast<int>(std::min(sizeof buffer, count - bytes.size())), 0);
            if (got <= 0) break;
            bytes.append(buffer, static_cast<std::size_t>(got));
        }
        return bytes;
    }

    SOCKET socket_;
    bool connected_ = false;
};

std::string u16(std::size_t value) { return {static_cast<char>(value >> 8), static_cast<char>(value & 0xFF)}; }

// A final PUT with a Name header (the name's characters are ASCII) and an End-of-Body.
std::string final_put(const std::string& name, const std::string& body) {
    std::string name_header = "\x01" + u16(3 + 2 * (name.size() + 1));
    for (char c : name) name_header += std::string("\0", 1) + c;
    name_header += std::string(2, '\0');
    std::string const headers = name_header + "\x49" + u16(3 + body.size()) + body;
    return "\x82" + u16(3 + headers.size()) + headers;
}

class ObexReceiverTest : public testing_support::DeviceTest {
protected:
    std::string folder = device.folder() + "/in";
    tools::ObexReceiver receiver{[this] {
        tools::ObexReceiverOptions options;
        options.folder = folder;
        options.max_packet = 300;
        return options;
    }()};

    void SetUp() override {
        std::filesystem::create_directories(folder);
        ASSERT_TRUE(receiver.start()) << receiver.error();
    }
};

TEST_F(ObexReceiverTest, AnswersConnectWithItsMaximumPacketLength) {
    RawClient client({0x0B, 0xE5, 0x00, 0x01});
    ASSERT_TRUE(client.connected());
    EXPECT_EQ(client.exchange(std::string("\x80\x00\x07\x10\x00\x20\x00", 7)), std::string("\xA0\x00\x07\x10\x00\x01\x2C", 7));
}

TEST_F(ObexReceiverTest, StoresOnlyUnderTheFileNamesLastComponent) {
    RawClient client({0x0B, 0xE5, 0x00, 0x01});
    ASSERT_TRUE(client.connected());
    EXPECT_EQ(client.exchange(final_put("..\\../evil.txt", "boo")), std::string("\xA0\x00\x03", 3));
    EXPECT_EQ(read_host_file(folder + "/evil.txt"), "boo");
    EXPECT_FALSE(std::filesystem::exists(device.folder() + "/evil.txt"));
    // A name with nothing left to store under is refused.
    EXPECT_EQ(static_cast<unsigned char>(client.exchange(final_put("a/..", "x"))[0]), 0xD0);
}

TEST_F(ObexReceiverTest, RefusesMalformedAndOversizedRequests) {
    struct Case {
        const char* what;
        std::string request;
    } const cases[] = {
        {"header runs past the packet", std::string("\x82\x00\x08\x01\x00\x40\x00\x41", 8)},
        {"packet beyond the announced maximum", "\x02" + u16(400) + std::string(397, '\0')},
    };
    for (auto const& c : cases) {
        SCOPED_TRACE(c.what);
        RawClient client({0x0B, 0xE5, 0x00, 0x01});
        ASSERT_TRUE(client.connected());
        EXPECT_EQ(client.exchange(c.request), std::string("\xC0\x00\x03", 3));
    }
    EXPECT_TRUE(receiver.files().empty());
}

}  // namespace
