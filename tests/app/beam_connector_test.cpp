#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "app/beam_connector.h"
#include "platform/infrared_peer.h"
#include "tests/support/test_device.h"
#include "tools/obex_receiver.h"

namespace {

using testing_support::read_host_file;
using testing_support::write_host_file;
using tools::ObexReceiver;
using tools::ObexReceiverOptions;

constexpr int wait_ms = 10000;
const std::string connect_bytes("\x80\x00\x07\x10\x00\x08\x00", 7);

// Waits no time between looks for devices, and remembers how it was asked to wait.
class QuickBeamConnector : public BeamConnector {
public:
    struct Pause {
        std::uint32_t milliseconds;
        double progress;
    };
    std::vector<Pause> pauses;

protected:
    void pause(std::uint32_t milliseconds) override { pauses.push_back({milliseconds, get_progress()}); }
};

unsigned u16_at(const std::string& bytes, std::size_t index) {
    return static_cast<unsigned char>(bytes[index]) << 8 | static_cast<unsigned char>(bytes[index + 1]);
}

std::uint32_t u32_at(const std::string& bytes, std::size_t index) { return u16_at(bytes, index) << 16 | u16_at(bytes, index + 2); }

std::string utf16_big_endian(const std::u16string& text) {
    std::string bytes;
    for (char16_t c : text) {
        bytes += static_cast<char>(c >> 8);
        bytes += static_cast<char>(c & 0xFF);
    }
    return bytes;
}

std::string pattern_bytes(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
    return bytes;
}

class BeamTest : public testing_support::DeviceTest {
protected:
    std::unique_ptr<ObexReceiver> receiver;
    QuickBeamConnector connector;

    std::string received_folder() const { return device.folder() + "/received"; }

    void start_receiver(ObexReceiverOptions options) {
        write_host_file(received_folder() + "/.keep", "");
        options.folder = received_folder();
        receiver = std::make_unique<ObexReceiver>(options);
        ASSERT_TRUE(receiver->start()) << receiver->error();
    }

    // The file in the device's root; its device path.
    std::u16string make_file(const std::string& name, const std::string& bytes) {
        write_host_file(device.host_path(name), bytes);
        return u"\\" + std::u16string(name.begin(), name.end());
    }

    void discover_and_connect() {
        ASSERT_TRUE(connector.discover_devices());
        ASSERT_EQ(connector.get_devices().size(), 1u);
        ASSERT_TRUE(connector.connect(0));
    }

    std::vector<std::string> puts() const {
        auto requests = receiver->requests();
        if (!requests.empty()) requests.erase(requests.begin());
        return requests;
    }
};

// ---- Packet sizes: the device's maximum packet length against the file's size ----------

enum class FileSize { empty, one_byte, one_packet, several_packets };

class BeamPacketSizing : public BeamTest, public testing::WithParamInterface<std::tuple<int, FileSize>> {};

TEST_P(BeamPacketSizing, PacketsFitAndTheFileArrivesWhole) {
    auto const [peer_max, size_kind] = GetParam();
    std::u16string const name = u"clip.wav";
    std::size_t const limit = std::min(peer_max, 2048);
    std::size_t const overhead = 3 + (3 + 2 * (name.size() + 1)) + 5 + 3;
    std::size_t const room = limit - overhead;
    std::size_t const size = size_kind == FileSize::empty        ? 0
                             : size_kind == FileSize::one_byte   ? 1
                             : size_kind == FileSize::one_packet ? room
                                                                 : 3 * room + room / 2;
    std::string const source = pattern_bytes(size);
    ObexReceiverOptions options;
    options.max_packet = static_cast<std::uint16_t>(peer_max);
    start_receiver(options);
    std::u16string const path = make_file("clip.wav", source);

    discover_and_connect();
    ASSERT_TRUE(connector.send_file(path));
    EXPECT_TRUE(connector.succeeded());
    EXPECT_EQ(connector.get_progress(), 1.0);

    ASSERT_FALSE(receiver->requests().empty());
    EXPECT_EQ(receiver->requests()[0], connect_bytes);
    auto const packets = puts();
    std::size_t const expected_packets = size == 0 ? 1 : (size + room - 1) / room;
    ASSERT_EQ(packets.size(), expected_packets);
    std::string const name_bytes = utf16_big_endian(name) + std::string(2, '\0');
    std::string body;
    for (std::size_t i = 0; i < packets.size(); ++i) {
        SCOPED_TRACE("packet " + std::to_string(i));
        std::string const& packet = packets[i];
        bool const last = i + 1 == packets.size();
        EXPECT_LE(packet.size(), limit);
        EXPECT_EQ(static_cast<unsigned char>(packet[0]), last ? 0x82 : 0x02);
        EXPECT_EQ(u16_at(packet, 1), packet.size());
        EXPECT_EQ(packet[3], '\x01');
        EXPECT_EQ(u16_at(packet, 4), 3 + name_bytes.size());
        EXPECT_EQ(packet.substr(6, name_bytes.size()), name_bytes);
        std::size_t const length_at = 6 + name_bytes.size();
        EXPECT_EQ(static_cast<unsigned char>(packet[length_at]), 0xC3);
        EXPECT_EQ(u32_at(packet, length_at + 1), size);
        std::size_t const body_at = length_at + 5;
        EXPECT_EQ(static_cast<unsigned char>(packet[body_at]), last ? 0x49 : 0x48);
        EXPECT_EQ(u16_at(packet, body_at + 1), packet.size() - body_at);
        body += packet.substr(body_at + 3);
    }
    EXPECT_EQ(body, source);
    ASSERT_EQ(receiver->files().size(), 1u);
    EXPECT_EQ(receiver->files()[0].name, name);
    EXPECT_EQ(read_host_file(received_folder() + "/clip.wav"), source);
}

std::string sizing_case_name(const testing::TestParamInfo<BeamPacketSizing::ParamType>& info) {
    static const char* const sizes[] = {"Empty", "OneByte", "OnePacket", "SeveralPackets"};
    return "Peer" + std::to_string(std::get<0>(info.param)) + sizes[static_cast<int>(std::get<1>(info.param))];
}

INSTANTIATE_TEST_SUITE_P(PeerMaximumTimesFileSize, BeamPacketSizing,
                         testing::Combine(testing::Values(255, 1024, 2048, 4096),
                                          testing::Values(FileSize::empty, FileSize::one_byte, FileSize::one_packet,
                                                          FileSize::several_packets)),
                         sizing_case_name);

// ---- Devices that do not play along ----------------------------------------------------

struct Misbehaviour {
    const char* what;
    ObexReceiverOptions options;
    bool connects;
    std::size_t requests_seen;  // by the device, CONNECT included
};

ObexReceiverOptions with(void (*change)(ObexReceiverOptions&)) {
    ObexReceiverOptions options;
    change(options);
    return options;
}

void PrintTo(const Misbehaviour& misbehaviour, std::ostream* out) { *out << misbehaviour.what; }

class BeamMisbehavingDevice : public BeamTest, public testing::WithParamInterface<Misbehaviour> {};

TEST_P(BeamMisbehavingDevice, TheTransferFails) {
    Misbehaviour const& c = GetParam();
    start_receiver(c.options);
    std::u16string const path = make_file("note.txt", pattern_bytes(5000));
    ASSERT_TRUE(connector.discover_devices());
    ASSERT_EQ(connector.get_devices().size(), 1u);
    EXPECT_EQ(connector.connect(0), c.connects);
    EXPECT_FALSE(connector.send_file(path));
    EXPECT_FALSE(connector.succeeded());
    // Let the device take in whatever was sent before looking.
    receiver->wait_for_requests(c.requests_seen, 200);
    EXPECT_EQ(receiver->requests().size(), c.requests_seen);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BeamMisbehavingDevice,
    testing::Values(Misbehaviour{"RefusesPut", with([](auto& o) { o.refuse_put = true; }), true, 2},
                    Misbehaviour{"RefusesConnect", with([](auto& o) { o.refuse_connect = true; }), false, 1},
                    Misbehaviour{"AnnouncesZero", with([](auto& o) { o.max_packet = 0; }), false, 1},
                    Misbehaviour{"AnnouncesBelowTheObexMinimum", with([](auto& o) { o.max_packet = 254; }), false, 1},
                    Misbehaviour{"HangsUpOnConnect", with([](auto& o) { o.hang_up_after = 0; }), false, 1},
                    Misbehaviour{"HangsUpOnTheSecondPut", with([](auto& o) { o.hang_up_after = 2; }), true, 3}),
    [](const testing::TestParamInfo<Misbehaviour>& info) { return info.param.what; });

TEST_F(BeamTest, ExtraHeadersInTheConnectResponseAreReadWithIt) {
    ObexReceiverOptions options;
    options.send_connection_id = true;
    options.max_packet = 1024;
    start_receiver(options);
    std::string const source = pattern_bytes(3000);
    std::u16string const path = make_file("long.bin", source);
    discover_and_connect();
    ASSERT_TRUE(connector.send_file(path));
    EXPECT_EQ(read_host_file(received_folder() + "/long.bin"), source);
    for (auto const& packet : puts()) EXPECT_LE(packet.size(), 1024u);
}

TEST_F(BeamTest, TheNameMustLeaveRoomForOneDataByte) {
    ObexReceiverOptions options;
    options.max_packet = 255;
    struct Case {
        std::size_t name_length;
        bool sent;
    } const cases[] = {{119, true}, {120, false}};
    start_receiver(options);
    for (auto const& c : cases) {
        SCOPED_TRACE(c.name_length);
        QuickBeamConnector fresh;
        std::string const name = std::string(c.name_length - 4, 'n') + ".txt";
        std::u16string const path = make_file(name, "ab");
        ASSERT_TRUE(fresh.discover_devices());
        ASSERT_TRUE(fresh.connect(0));
        EXPECT_EQ(fresh.send_file(path), c.sent);
        EXPECT_EQ(fresh.succeeded(), c.sent);
    }
    // The name of 119 characters went out one data byte per packet.
    auto const packets = puts();
    ASSERT_GE(packets.size(), 2u);
    EXPECT_EQ(packets[1].size(), 255u);
    EXPECT_EQ(read_host_file(received_folder() + "/" + std::string(115, 'n') + ".txt"), "ab");
}

TEST_F(BeamTest, AFileThatCannotBeOpenedIsNotSent) {
    start_receiver({});
    discover_and_connect();
    EXPECT_FALSE(connector.send_file(u"\\missing.wav"));
    EXPECT_FALSE(connector.succeeded());
    EXPECT_EQ(receiver->requests().size(), 1u);
}

// ---- Discovery --------------------------------------------------------------------------

TEST_F(BeamTest, NoDeviceInRangeIsLookedForTenTimesThenTheListIsEmpty) {
    EXPECT_TRUE(connector.discover_devices());
    EXPECT_TRUE(connector.succeeded());
    EXPECT_TRUE(connector.get_devices().empty());
    EXPECT_EQ(connector.get_progress(), 1.0);
    ASSERT_EQ(connector.pauses.size(), 9u);
    for (std::size_t i = 0; i < connector.pauses.size(); ++i) {
        EXPECT_EQ(connector.pauses[i].milliseconds, 200u);
        EXPECT_DOUBLE_EQ(connector.pauses[i].progress, i * 0.1);
    }
}

TEST_F(BeamTest, DevicesAreListedWithTheirNamesAndObexServices) {
    std::string error;
    // Exactly 22 bytes: no terminator in the device's record.
    auto const full_name = platform::InfraredPeer::start({1, 0, 0, 1}, "Twenty-two bytes name!", {{"OBEX", 4}}, error);
    auto const long_name = platform::InfraredPeer::start({1, 0, 0, 2}, "A name that is longer than the record", {{"OBEX", 9}}, error);
    auto const printer = platform::InfraredPeer::start({1, 0, 0, 3}, "Printer", {{"IrLPT", 2}}, error);
    ASSERT_TRUE(full_name && long_name && printer) << error;

    ASSERT_TRUE(connector.discover_devices());
    EXPECT_TRUE(connector.pauses.empty());
    auto const& devices = connector.get_devices();
    ASSERT_EQ(devices.size(), 2u);
    EXPECT_EQ(devices[0].name, u"Twenty-two bytes name!");
    EXPECT_EQ(std::string(devices[0].address.irdaServiceName), "LSAP-SEL4");
    EXPECT_EQ(devices[0].address.irdaAddressFamily, 22);
    EXPECT_EQ(devices[0].address.irdaDeviceID[3], 1);
    EXPECT_EQ(devices[1].name, u"A name that is longer ");
    EXPECT_EQ(std::string(devices[1].address.irdaServiceName), "LSAP-SEL9");
}

TEST_F(BeamTest, ConnectRefusesAnIndexOutsideTheList) {
    start_receiver({});
    for (int index : {-1, 1, 1000}) {
        SCOPED_TRACE(index);
        QuickBeamConnector fresh;
        ASSERT_TRUE(fresh.discover_devices());
        EXPECT_FALSE(fresh.connect(index));
        EXPECT_FALSE(fresh.succeeded());
        EXPECT_EQ(fresh.get_progress(), 0.0);
    }
    EXPECT_TRUE(receiver->requests().empty());
}

TEST_F(BeamTest, ConnectBeforeAnyDiscoveryFails) {
    EXPECT_FALSE(connector.connect(0));
    EXPECT_FALSE(connector.send_file(make_file("a.txt", "a")));
}

// ---- Cancelling -------------------------------------------------------------------------

TEST_F(BeamTest, CancelReleasesAReceiveThatWaitsForAnAnswer) {
    ObexReceiverOptions options;
    options.stall_after = 1;  // answers CONNECT, then stays silent
    start_receiver(options);
    std::u16string const path = make_file("big.bin", pattern_bytes(10000));
    discover_and_connect();

    bool sent = true;
    std::thread worker([&] { sent = connector.send_file(path); });
    // Once the first PUT is at the device, the sender waits for its answer.
    EXPECT_TRUE(receiver->wait_for_requests(2, wait_ms));
    connector.cancel();
    worker.join();
    EXPECT_FALSE(sent);
    EXPECT_FALSE(connector.succeeded());

    connector.cancel();  // a second cancel does nothing
    EXPECT_FALSE(connector.discover_devices());
    EXPECT_FALSE(connector.connect(0));
    EXPECT_FALSE(connector.send_file(path));
}

TEST_F(BeamTest, CancelStopsTheNextPacket) {
    start_receiver({});
    std::u16string const path = make_file("a.bin", pattern_bytes(10000));
    discover_and_connect();
    connector.cancel();
    EXPECT_FALSE(connector.send_file(path));
    EXPECT_EQ(receiver->requests().size(), 1u);
}

}  // namespace
