#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <thread>

#include "platform/errors.h"
#include "platform/infrared_peer.h"
#include "platform/irda.h"
#include "platform/winsock.h"
#include "tests/support/scoped_environment.h"
#include "tests/support/test_device.h"

namespace {

using platform::InfraredConnection;
using platform::InfraredPeer;
using testing_support::DeviceTest;

constexpr InfraredPeer::DeviceId first_id{0x01, 0x02, 0x03, 0x04};
constexpr InfraredPeer::DeviceId second_id{0x0A, 0x00, 0x00, 0x01};

// Keeps the sockets started for one test.
class Started {
public:
    Started() { EXPECT_EQ(WSAStartup(MAKEWORD(1, 1), &data), 0); }
    ~Started() { WSACleanup(); }
    WSADATA data;
};

class Socket {
public:
    Socket() : value(socket(AF_IRDA, SOCK_STREAM, 0)) {}
    ~Socket() {
        if (value != INVALID_SOCKET) closesocket(value);
    }
    SOCKET value;
};

std::unique_ptr<InfraredPeer> start_peer(const InfraredPeer::DeviceId& id, const std::string& name,
                                         std::vector<platform::InfraredService> services = {{"OBEX", 3}}) {
    std::string error;
    auto peer = InfraredPeer::start(id, name, services, error);
    EXPECT_TRUE(peer) << error;
    return peer;
}

SOCKADDR_IRDA address_of(const InfraredPeer::DeviceId& id, const char* service) {
    SOCKADDR_IRDA address{};
    address.irdaAddressFamily = AF_IRDA;
    std::memcpy(address.irdaDeviceID, id.data(), 4);
    std::strncpy(address.irdaServiceName, service, sizeof address.irdaServiceName - 1);
    return address;
}

int connect_to(SOCKET socket, const SOCKADDR_IRDA& address) {
    return connect(socket, reinterpret_cast<const SOCKADDR*>(&address), sizeof address);
}

struct Listing {
    int result;
    int length;
    ULONG count;
    std::vector<IRDA_DEVICE_INFO> devices;
};

Listing enumerate(SOCKET socket, int buffer_size) {
    std::vector<char> buffer(static_cast<std::size_t>(std::max(buffer_size, 4)), '\x55');
    Listing listing{};
    listing.length = buffer_size;
    listing.result = getsockopt(socket, SOL_IRLMP, IRLMP_ENUMDEVICES, buffer.data(), &listing.length);
    if (listing.result != 0) return listing;
    std::memcpy(&listing.count, buffer.data(), sizeof listing.count);
    listing.devices.resize(listing.count);
    if (listing.count > 0) std::memcpy(listing.devices.data(), buffer.data() + 4, listing.count * sizeof(IRDA_DEVICE_INFO));
    return listing;
}

IAS_QUERY ask(SOCKET socket, const InfraredPeer::DeviceId& id, const char* class_name, const char* attribute, int& result) {
    IAS_QUERY query{};
    std::memcpy(query.irdaDeviceID, id.data(), 4);
    std::strcpy(query.irdaClassName, class_name);
    std::strcpy(query.irdaAttribName, attribute);
    int length = sizeof query;
    result = getsockopt(socket, SOL_IRLMP, IRLMP_IAS_QUERY, reinterpret_cast<char*>(&query), &length);
    return query;
}

std::string name_of(const IRDA_DEVICE_INFO& info) { return std::string(info.irdaDeviceName, strnlen(info.irdaDeviceName, 22)); }

TEST(WinsockStartup, SocketsNeedAStartupThatWasNotCleanedUp) {
    SetLastError(0);
    EXPECT_EQ(socket(AF_IRDA, SOCK_STREAM, 0), INVALID_SOCKET);
    EXPECT_EQ(WSAGetLastError(), WSANOTINITIALISED);

    WSADATA data;
    ASSERT_EQ(WSAStartup(MAKEWORD(1, 1), &data), 0);
    EXPECT_EQ(data.wVersion, 0x0101);
    SOCKET const value = socket(AF_IRDA, SOCK_STREAM, 0);
    EXPECT_NE(value, INVALID_SOCKET);
    EXPECT_EQ(closesocket(value), 0);
    EXPECT_EQ(WSACleanup(), 0);

    EXPECT_EQ(WSACleanup(), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSANOTINITIALISED);
    EXPECT_EQ(socket(AF_IRDA, SOCK_STREAM, 0), INVALID_SOCKET);
}

TEST(WinsockStartup, RefusesVersionsBelowOneOneAndMissingData) {
    WSADATA data;
    EXPECT_EQ(WSAStartup(MAKEWORD(1, 0), &data), WSAVERNOTSUPPORTED);
    EXPECT_EQ(WSAStartup(MAKEWORD(1, 1), nullptr), WSAEFAULT);
}

TEST(Socket, OnlyInfraredStreamSocketsExist) {
    Started started;
    struct Case {
        int family, type, protocol, error;
    } const cases[] = {
        {2, SOCK_STREAM, 0, WSAEAFNOSUPPORT},
        {AF_IRDA, 2, 0, WSAESOCKTNOSUPPORT},
        {AF_IRDA, SOCK_STREAM, 6, WSAEPROTONOSUPPORT},
    };
    for (auto const& c : cases) {
        SCOPED_TRACE(c.error);
        SetLastError(0);
        EXPECT_EQ(socket(c.family, c.type, c.protocol), INVALID_SOCKET);
        EXPECT_EQ(WSAGetLastError(), c.error);
    }
}

TEST(Socket, AClosedValueNamesNoSocketAnyMore) {
    Started started;
    SOCKET const value = socket(AF_IRDA, SOCK_STREAM, 0);
    ASSERT_NE(value, INVALID_SOCKET);
    EXPECT_EQ(closesocket(value), 0);
    EXPECT_EQ(closesocket(value), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSAENOTSOCK);
    char byte = 0;
    EXPECT_EQ(recv(value, &byte, 1, 0), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSAENOTSOCK);
    EXPECT_EQ(closesocket(INVALID_SOCKET), SOCKET_ERROR);
    // A new socket never reuses the value.
    Socket next;
    EXPECT_NE(next.value, value);
}

class InfraredDiscovery : public DeviceTest {
protected:
    Started started;
    Socket socket;
};

TEST_F(InfraredDiscovery, NoPeerListsNothing) {
    Listing const listing = enumerate(socket.value, 256);
    ASSERT_EQ(listing.result, 0);
    EXPECT_EQ(listing.count, 0u);
    EXPECT_EQ(listing.length, 4);
}

TEST_F(InfraredDiscovery, ListsRunningPeersInIdOrderWithTheirNames) {
    auto const second = start_peer(second_id, "Second");
    auto const first = start_peer(first_id, "First phone");
    Listing const listing = enumerate(socket.value, 256);
    ASSERT_EQ(listing.result, 0);
    ASSERT_EQ(listing.count, 2u);
    EXPECT_EQ(listing.length, 4 + 2 * 28);
    EXPECT_EQ(std::memcmp(listing.devices[0].irdaDeviceID, first_id.data(), 4), 0);
    EXPECT_EQ(name_of(listing.devices[0]), "First phone");
    EXPECT_EQ(std::memcmp(listing.devices[1].irdaDeviceID, second_id.data(), 4), 0);
    EXPECT_EQ(name_of(listing.devices[1]), "Second");
}

TEST_F(InfraredDiscovery, ANameFillsAtMostTwentyTwoBytesWithoutTerminator) {
    auto const peer = start_peer(first_id, "A name longer than twenty-two bytes");
    Listing const listing = enumerate(socket.value, 256);
    ASSERT_EQ(listing.count, 1u);
    EXPECT_EQ(std::string(listing.devices[0].irdaDeviceName, 22), "A name longer than twe");
}

TEST_F(InfraredDiscovery, ListsOnlyAsManyAsTheBufferHolds) {
    auto const a = start_peer(first_id, "a");
    auto const b = start_peer(second_id, "b");
    Listing const one = enumerate(socket.value, 4 + 28 + 27);
    ASSERT_EQ(one.result, 0);
    EXPECT_EQ(one.count, 1u);
    EXPECT_EQ(one.length, 4 + 28);

    Listing const too_small = enumerate(socket.value, 3);
    EXPECT_EQ(too_small.result, SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSAEFAULT);
}

TEST_F(InfraredDiscovery, APeerThatEndedWithoutLeavingIsNotInRange) {
    // What a crashed peer leaves behind: its folder, but nobody holds the name file.
    testing_support::write_host_file(device.folder() + "/run/irda/01020304/name", "Gone");
    testing_support::write_host_file(device.folder() + "/run/irda/01020304/ias", "OBEX\tIrDA:TinyTP:LsapSel\t3\n");
    EXPECT_EQ(enumerate(socket.value, 256).count, 0u);
    int result = 0;
    ask(socket.value, first_id, "OBEX", "IrDA:TinyTP:LsapSel", result);
    EXPECT_EQ(result, SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSAEHOSTUNREACH);

    // A new peer with the same id takes the place over.
    auto const peer = start_peer(first_id, "Back");
    Listing const listing = enumerate(socket.value, 256);
    ASSERT_EQ(listing.count, 1u);
    EXPECT_EQ(name_of(listing.devices[0]), "Back");
}

TEST_F(InfraredDiscovery, AnIdIsTakenByOneRunningPeerOnly) {
    auto const peer = start_peer(first_id, "One");
    std::string error;
    EXPECT_FALSE(InfraredPeer::start(first_id, "Two", {}, error));
    EXPECT_FALSE(error.empty());
}

TEST_F(InfraredDiscovery, ThePeerLeavesRangeWhenItEnds) {
    start_peer(first_id, "Brief");
    EXPECT_EQ(enumerate(socket.value, 256).count, 0u);
}

TEST_F(InfraredDiscovery, IasQueryAnswersTheSelectorOrWhatIsMissing) {
    auto const peer = start_peer(first_id, "Phone", {{"OBEX", 5}, {"IrLPT", 7}});
    struct Case {
        const char* class_name;
        const char* attribute;
        WORD type;
        LONG value;
    } const cases[] = {
        {"OBEX", "IrDA:TinyTP:LsapSel", IAS_ATTRIB_INT, 5},
        {"IrLPT", "IrDA:TinyTP:LsapSel", IAS_ATTRIB_INT, 7},
        {"OBEX", "Parameters", IAS_ATTRIB_NO_ATTRIB, 0},
        {"Fax", "IrDA:TinyTP:LsapSel", IAS_ATTRIB_NO_CLASS, 0},
    };
    for (auto const& c : cases) {
        SCOPED_TRACE(std::string(c.class_name) + " " + c.attribute);
        int result = -2;
        IAS_QUERY const answer = ask(socket.value, first_id, c.class_name, c.attribute, result);
        ASSERT_EQ(result, 0);
        EXPECT_EQ(answer.irdaAttribType, c.type);
        if (c.type == IAS_ATTRIB_INT) {
            EXPECT_EQ(answer.irdaAttribute.irdaAttribInt, c.value);
        }
    }
}

TEST_F(InfraredDiscovery, OtherOptionsAreUnknown) {
    char buffer[64];
    int length = sizeof buffer;
    EXPECT_EQ(getsockopt(socket.value, 0xFFFF, IRLMP_ENUMDEVICES, buffer, &length), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSAENOPROTOOPT);
    EXPECT_EQ(getsockopt(socket.value, SOL_IRLMP, 0x11, buffer, &length), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSAENOPROTOOPT);
}

class InfraredLink : public DeviceTest {
protected:
    Started started;
    Socket socket;
    std::unique_ptr<InfraredPeer> peer = start_peer(first_id, "Peer", {{"OBEX", 3}});

    std::unique_ptr<InfraredConnection> connect_and_accept(const char* service) {
        EXPECT_EQ(connect_to(socket.value, address_of(first_id, service)), 0) << WSAGetLastError();
        auto connection = peer->accept(10000);
        EXPECT_TRUE(connection);
        return connection;
    }
};

TEST_F(InfraredLink, AFailedConnectMayBeRepeatedOnTheSameSocket) {
    EXPECT_EQ(connect_to(socket.value, address_of(first_id, "LSAP-SEL9")), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSAECONNREFUSED);
    EXPECT_EQ(connect_to(socket.value, address_of(second_id, "LSAP-SEL3")), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSAECONNREFUSED);
    auto const connection = connect_and_accept("LSAP-SEL3");
    EXPECT_EQ(connect_to(socket.value, address_of(first_id, "LSAP-SEL3")), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSAEISCONN);
}

TEST_F(InfraredLink, ServiceNamesNeverReachOutsideThePeersFolder) {
    for (const char* service : {"../01020304/LSAP-SEL3", "LSAP-SEL3/..", "name", "LSAP-SELx"}) {
        SCOPED_TRACE(service);
        EXPECT_EQ(connect_to(socket.value, address_of(first_id, service)), SOCKET_ERROR);
        EXPECT_EQ(WSAGetLastError(), WSAECONNREFUSED);
    }
}

TEST_F(InfraredLink, AServiceIsReachedByItsClassNameToo) {
    auto const connection = connect_and_accept("OBEX");
    EXPECT_TRUE(connection);
}

TEST_F(InfraredLink, RefusesOtherFamiliesAndShortAddresses) {
    SOCKADDR_IRDA address = address_of(first_id, "LSAP-SEL3");
    EXPECT_EQ(connect(socket.value, reinterpret_cast<const SOCKADDR*>(&address), sizeof address - 1), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSAEFAULT);
    address.irdaAddressFamily = 2;
    EXPECT_EQ(connect_to(socket.value, address), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSAEAFNOSUPPORT);
}

TEST_F(InfraredLink, BytesTravelBothWaysUntilThePeerHangsUp) {
    auto const connection = connect_and_accept("LSAP-SEL3");
    ASSERT_TRUE(connection);
    EXPECT_EQ(send(socket.value, "hello", 5, 0), 5);
    std::string received;
    while (received.size() < 5) {
        char buffer[8];
        std::size_t count = 0;
        ASSERT_EQ(connection->receive(buffer, sizeof buffer, 10000, count), InfraredConnection::Status::data);
        received.append(buffer, count);
    }
    EXPECT_EQ(received, "hello");

    ASSERT_TRUE(connection->send_all("abc", 3));
    connection->close();
    std::string answer;
    char buffer[8];
    int count;
    while ((count = recv(socket.value, buffer, sizeof buffer, 0)) > 0) answer.append(buffer, static_cast<std::size_t>(count));
    EXPECT_EQ(count, 0);
    EXPECT_EQ(answer, "abc");
    EXPECT_EQ(send(socket.value, "x", 1, 0), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSAECONNRESET);
}

TEST_F(InfraredLink, CallsNeedAConnection) {
    char byte = 0;
    EXPECT_EQ(send(socket.value, &byte, 1, 0), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSAENOTCONN);
    EXPECT_EQ(recv(socket.value, &byte, 1, 0), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSAENOTCONN);
    EXPECT_EQ(shutdown(socket.value, SD_RECEIVE), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSAENOTCONN);
}

TEST_F(InfraredLink, ShuttingReceivingDownReleasesABlockedReceive) {
    auto const connection = connect_and_accept("LSAP-SEL3");
    ASSERT_TRUE(connection);
    int result = 0;
    int error = 0;
    std::thread receiver([&] {
        char byte;
        result = recv(socket.value, &byte, 1, 0);
        error = WSAGetLastError();
    });
    // Give the receive a moment to block; it is released either way.
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(shutdown(socket.value, SD_RECEIVE), 0);
    receiver.join();
    EXPECT_EQ(result, SOCKET_ERROR);
    EXPECT_EQ(error, WSAESHUTDOWN);
    // Sending still works after receiving was shut down.
    EXPECT_EQ(send(socket.value, "z", 1, 0), 1);
}

TEST_F(InfraredLink, WorksInADeviceFolderWithAVeryLongPath) {
    std::string const long_folder = device.folder() + "/" + std::string(120, 'd');
    testing_support::ScopedEnvironment environment("SONBRIX_DEVICE", long_folder.c_str());
    auto const far_peer = start_peer(second_id, "Far");
    Listing const listing = enumerate(socket.value, 256);
    ASSERT_EQ(listing.count, 1u);
    EXPECT_EQ(connect_to(socket.value, address_of(second_id, "LSAP-SEL3")), 0) << WSAGetLastError();
    EXPECT_TRUE(far_peer->accept(10000));
}

}  // namespace
