#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>
#include <functional>
#include <string>
#include <vector>

#include "app/comm/comm_channel.h"
#include "app/comm/comm_clipboard.h"
#include "app/comm/comm_identifiers.h"
#include "app/comm/sonbrix_status.h"
#include "platform/testing.h"
#include "tests/support/channel_peer.h"
#include "tests/support/child_process.h"
#include "tests/support/message_loop.h"
#include "tests/support/channel_peer_status.h"
#include "tests/support/test_device.h"
#include "todayplugin/command_senders.h"

namespace {

using testing_support::channel_peer_notes;
using testing_support::set_installation_folder;

std::string last_note() {
    auto const notes = channel_peer_notes();
    return notes.empty() ? std::string() : notes.back();
}

// The plug-in's end of the channel in this process.
class SenderTest : public testing_support::DeviceTest {
protected:
    void SetUp() override { ASSERT_TRUE(setup_command_channel()); }
    void TearDown() override {
        remove_comm_module(comm_identifiers::main_module_id);
        CCommClipboard::install(new CCommClipboard);
    }

    testing_support::SharedStackView block;
};

// ... with the program's stand-in serving at the other end.
class ExchangeTest : public SenderTest {
protected:
    void SetUp() override {
        SenderTest::SetUp();
        testing_support::install_channel_peer(device, "Program Files/Peer/Peer.exe");
        peer = std::make_unique<testing_support::ChannelPeer>(u"\\Program Files\\Peer\\Peer.exe", u"serve");
    }
    void TearDown() override {
        peer.reset();
        SenderTest::TearDown();
    }

    std::unique_ptr<testing_support::ChannelPeer> peer;
};

TEST_F(ExchangeTest, EveryCommandCarriesItsRequestAndBringsBackTheReply) {
    struct Case {
        std::function<bool()> send;
        std::string request_seen;
        bool reply;
    };
    Case const cases[] = {
        {[] { return send_play(u"", false); }, "0:,n", true},
        {[] { return send_play(u"\\My Documents\\a.mp3", true); }, "0:\\My Documents\\a.mp3,y", false},
        {[] { return send_record(u"", 0, false); }, "1:,0,n", true},
        {[] { return send_record(u"\\r.wav", -3, true); }, "1:\\r.wav,-3,y", false},
        {[] { return send_start_recording(u"\\s.wav", false); }, "2:\\s.wav,n", true},
        {[] { return send_start_recording_append(u"\\\U0001F600.wav", false); }, "3:\\\xF0\x9F\x98\x80.wav,n", true},
        {[] { return send_start_insert_recording(u"\\i.wav", 123456, false); }, "4:\\i.wav,123456,n", true},
        {[] { return send_pause(false); }, "5:n", true},
        {[] { return send_pause(true); }, "5:y", false},
        {[] { return send_stop(false); }, "6:n", true},
        {[] { return send_skip(-1, false); }, "8:-1,n", true},
        {[] { return send_skip(1, true); }, "8:1,y", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.request_seen);
        EXPECT_EQ(c.send(), c.reply);
        EXPECT_EQ(last_note(), c.request_seen);
        EXPECT_EQ(block.depth(), 0u);
    }
}

TEST_F(ExchangeTest, AStatusRequestBringsBackTheRecord) {
    StatusData status;
    std::memset(&status, 0x5A, sizeof status);
    ASSERT_TRUE(request_status(&status, false));
    StatusData const sent = testing_support::status_sent();
    EXPECT_EQ(std::memcmp(&status, &sent, sizeof status), 0);
    EXPECT_EQ(last_note(), "7:0");
    EXPECT_EQ(block.depth(), 0u);
}

TEST_F(ExchangeTest, AFailedStatusRequestLeavesTheBufferAsItWas) {
    StatusData status;
    std::memset(&status, 0x5A, sizeof status);
    StatusData const before = status;
    EXPECT_FALSE(request_status(&status, true));  // the stand-in replies false to this one
    EXPECT_EQ(last_note(), "7:1");
    EXPECT_EQ(std::memcmp(&status, &before, sizeof status), 0);
    EXPECT_EQ(block.depth(), 0u);

    EXPECT_FALSE(request_status(nullptr, false));
    EXPECT_EQ(last_note(), "7:1");  // nothing was sent
    EXPECT_EQ(block.depth(), 0u);
}

TEST_F(ExchangeTest, FailedExchangesLeaveTheStackEmpty) {
    // No answer: the request was popped once, the search after the (failed) start finds
    // nothing to pop.
    EXPECT_FALSE(send_play(u"refuse", false));
    auto notes = channel_peer_notes();
    EXPECT_EQ(std::vector<std::string>(notes.end() - 2, notes.end()),
              (std::vector<std::string>{"0:refuse,n", "0:unreadable"}));
    EXPECT_EQ(block.depth(), 0u);

    EXPECT_FALSE(send_play(u"mute", false));  // answered without a reply
    EXPECT_EQ(last_note(), "0:mute,n");
    EXPECT_EQ(block.depth(), 0u);

    EXPECT_TRUE(send_stop(false));
    EXPECT_EQ(block.depth(), 0u);
}

TEST_F(ExchangeTest, AnExchangeStartsFromAnEmptyStackWhateverWasLeftOnIt) {
    std::vector<std::uint8_t> const stale(1024, 0xEE);
    ASSERT_TRUE(CCommClipboard::instance()->push(stale.data(), 1024));
    EXPECT_TRUE(send_pause(false));
    EXPECT_EQ(block.depth(), 0u);

    block.set_depth(5000);  // a length word no stack can have
    EXPECT_TRUE(send_skip(1, false));
    EXPECT_EQ(last_note(), "8:1,n");
    EXPECT_EQ(block.depth(), 0u);
}

// Each sender looks for the program among the windows of its class, the other sender's
// included, while that one may be waiting for the sender mutex. Neither waits for an
// answer with a time-out here: a sender that did not answer while it waits would stop both.
TEST_F(ExchangeTest, TwoSendersAtOnceBothGetThrough) {
    constexpr int count = 5;
    platform::set_send_message_timeout(INFINITE);
    testing_support::ChildProcess other({"sender", std::to_string(count)});
    ASSERT_EQ(other.read_line(), "ready");
    other.write_line("go");
    int answered = 0;
    for (int i = 0; i < count; ++i) answered += send_pause(false) ? 1 : 0;
    EXPECT_EQ(answered, count);
    // The other sender may still look among this process's windows: answer meanwhile.
    std::atomic<bool> finished{false};
    std::string last_line;
    std::thread reader([&] {
        last_line = other.read_line();
        finished = true;
    });
    testing_support::pump_messages_until([&] { return finished.load(); }, 0xFFFFFFFFu);
    reader.join();
    EXPECT_EQ(last_line, "done " + std::to_string(count));
    EXPECT_EQ(other.wait_for_exit(), 0);
    platform::set_send_message_timeout(30000);
}

TEST_F(ExchangeTest, ARequestMustFitTheProgramsBuffer) {
    std::u16string const fitting(197, u'p');  // with ",n": 199 characters and the terminator
    EXPECT_TRUE(send_play(fitting, false));
    EXPECT_EQ(last_note(), "0:" + std::string(197, 'p') + ",n");

    auto const notes_before = channel_peer_notes();
    EXPECT_FALSE(send_play(fitting + u"p", false));
    EXPECT_FALSE(send_record(std::u16string(195, u'p'), -1, false));
    EXPECT_FALSE(send_start_insert_recording(std::u16string(190, u'p'), -1234567890, false));
    EXPECT_EQ(channel_peer_notes(), notes_before);
    EXPECT_EQ(block.depth(), 0u);
}

TEST_F(SenderTest, WithNobodyToAnswerEverySenderFailsAndLeavesTheStackEmpty) {
    StatusData status{};
    EXPECT_FALSE(send_play(u"", false));
    EXPECT_FALSE(send_pause(false));
    EXPECT_FALSE(request_status(&status, false));
    EXPECT_EQ(block.depth(), 0u);
}

TEST_F(SenderTest, AskingOnlyARunningProgramStartsNone) {
    testing_support::install_channel_peer(device, "Program Files/Sonbrix/Sonbrix.exe");
    set_installation_folder(u"\\Program Files\\Sonbrix");
    StatusData status{};
    EXPECT_FALSE(request_running_status(&status, false));
    EXPECT_TRUE(channel_peer_notes().empty());
    EXPECT_EQ(block.depth(), 0u);
}

TEST_F(SenderTest, WithNobodyToAnswerTheInstalledProgramIsStartedHiddenAndAsked) {
    testing_support::install_channel_peer(device, "Program Files/Sonbrix/Sonbrix.exe");
    set_installation_folder(u"\\Program Files\\Sonbrix");
    EXPECT_TRUE(send_play(u"", false));
    EXPECT_EQ(channel_peer_notes(), (std::vector<std::string>{"start:-hide", "ready", "0:,n"}));
    EXPECT_EQ(block.depth(), 0u);
    testing_support::stop_channel_peer_started_elsewhere();
}

}  // namespace
