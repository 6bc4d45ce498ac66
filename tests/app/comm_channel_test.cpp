#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/comm/comm_channel.h"
#include "app/comm/comm_clipboard.h"
#include "app/comm/comm_identifiers.h"
#include "app/comm/comm_module.h"
#include "app/comm/command_delegate.h"
#include "app/comm/serializable.h"
#include "platform/kernel.h"
#include "platform/testing.h"
#include "platform/windows.h"
#include "tests/support/channel_peer.h"
#include "tests/support/child_process.h"
#include "tests/support/test_device.h"

namespace {

using comm_identifiers::main_module_id;
using testing_support::set_installation_folder;

class Handler {
public:
    explicit Handler(std::uint32_t answer) : answer_(answer) {}
    std::uint32_t handle() {
        ++calls;
        return answer_;
    }
    int calls = 0;

private:
    std::uint32_t answer_;
};

class CommChannelTest : public testing_support::DeviceTest {
protected:
    void TearDown() override {
        for (std::int32_t id : {1, 3, 21}) register_command_delegate(id, nullptr);
        remove_comm_module(main_module_id);
        CCommClipboard::install(new CCommClipboard);
    }

    CWindowCommModule& own_module() {
        init_main_comm();
        return dynamic_cast<CWindowCommModule&>(*find_comm_module(main_module_id));
    }
};

TEST_F(CommChannelTest, TheHiddenWindowRunsTheHandlerRegisteredForTheCommandId) {
    HWND const window = own_module().get_window();
    ASSERT_TRUE(IsWindow(window));
    WCHAR class_name[64];
    GetClassNameW(window, class_name, 64);
    EXPECT_EQ(std::u16string(class_name), main_module_id);
    EXPECT_FALSE(IsWindowEnabled(window));
    EXPECT_FALSE(IsWindowVisible(window));

    Handler first(42);
    Handler second(7);
    CMethodCommandDelegate<Handler> first_delegate(first, &Handler::handle);
    CMethodCommandDelegate<Handler> second_delegate(second, &Handler::handle);
    register_command_delegate(3, &first_delegate);
    EXPECT_EQ(SendMessageW(window, WM_USER + 1, 3, 0), 42);
    EXPECT_EQ(SendMessageW(window, WM_USER + 1, 4, 0), 0);
    EXPECT_EQ(SendMessageW(window, WM_USER + 2, 3, 0), 0);
    EXPECT_EQ(first.calls, 1);

    register_command_delegate(3, &second_delegate);
    EXPECT_EQ(SendMessageW(window, WM_USER + 1, 3, 0), 7);
    register_command_delegate(3, nullptr);
    EXPECT_EQ(SendMessageW(window, WM_USER + 1, 3, 0), 0);
    EXPECT_EQ(first.calls + second.calls, 2);
}

TEST_F(CommChannelTest, ModulesAreFoundAndReplacedByTheirId) {
    CCommModule* const fallback = find_comm_module(u"no such module");
    EXPECT_EQ(fallback->get_module_id(), u"default");
    EXPECT_EQ(fallback->send(1), 0u);

    HWND const first_window = own_module().get_window();
    EXPECT_EQ(std::u16string(get_comm_module_id()), main_module_id);
    EXPECT_EQ(find_comm_module(main_module_id)->get_module_id(), main_module_id);
    EXPECT_EQ(find_comm_module(u"ebe7af7d-aed3-478d-b042-6579150c6b61")->get_module_id(), u"default");

    HWND const second_window = own_module().get_window();
    EXPECT_NE(second_window, first_window);
    EXPECT_FALSE(IsWindow(first_window));

    add_comm_module(nullptr);
    remove_comm_module(main_module_id);
    EXPECT_FALSE(IsWindow(second_window));
    EXPECT_EQ(find_comm_module(main_module_id)->get_module_id(), u"default");
}

TEST_F(CommChannelTest, APeerIsAWindowOfTheModulesClassInAnyCaseButNotTheSendersOwn) {
    Handler own(1);
    CMethodCommandDelegate<Handler> own_delegate(own, &Handler::handle);
    register_command_delegate(21, &own_delegate);
    CWindowCommModule& module = own_module();
    testing_support::ChildProcess peer({"window", "ebe7af7d-aed3-478d-b042-6579150c6b61"});
    std::string const ready = peer.read_line();
    ASSERT_EQ(ready.rfind("ready ", 0), 0u);
    HWND const remote = reinterpret_cast<HWND>(std::strtoull(ready.c_str() + 6, nullptr, 16));

    EXPECT_EQ(module.send(21), 1u);  // the helper answers 2 * 21
    EXPECT_EQ(own.calls, 0);

    PostMessageW(remote, WM_USER + 2, 0, 0);
    EXPECT_EQ(peer.wait_for_exit(), 0);
}

TEST_F(CommChannelTest, WithoutAPeerTheModuleTriesToStartTheProgramAndFails) {
    Handler own(1);
    CMethodCommandDelegate<Handler> own_delegate(own, &Handler::handle);
    register_command_delegate(1, &own_delegate);
    CWindowCommModule& module = own_module();
    EXPECT_EQ(module.send(1), 0u);
    EXPECT_EQ(own.calls, 0);
    EXPECT_FALSE(module.start_peer());  // no installation folder in the registry

    set_installation_folder(u"\\Program Files\\Nowhere");
    EXPECT_FALSE(module.start_peer());
    EXPECT_EQ(module.send(1), 0u);

    testing_support::install_channel_peer(device, "Program Files/Sonbrix/Sonbrix.exe");
    EXPECT_FALSE(CCommModule(main_module_id, nullptr, u"Sonbrix.exe", 0).start_peer());
    EXPECT_FALSE(CCommModule(main_module_id, u"XELO Sonbrix", nullptr, 0).start_peer());
}

TEST_F(CommChannelTest, ACommandIdWithoutAHandlerIsNotAnswered) {
    testing_support::install_channel_peer(device, "Program Files/Peer/Peer.exe");
    testing_support::ChannelPeer peer(u"\\Program Files\\Peer\\Peer.exe", u"serve");
    CWindowCommModule& module = own_module();
    EXPECT_EQ(module.send(9), 0u);
    EXPECT_EQ(module.send(-1), 0u);
    EXPECT_EQ(peer.stop(), 0u);
    EXPECT_EQ(testing_support::channel_peer_notes(), (std::vector<std::string>{"start:serve", "ready", "end"}));
}

// A handler that outlasts the sender's wait: the sender gives up without starting a second
// program, and the late reply does not land on the stack that the next exchange uses.
TEST_F(CommChannelTest, ALateReplyNeverReachesTheNextExchangesStack) {
    testing_support::install_channel_peer(device, "Program Files/Sonbrix/Sonbrix.exe");
    testing_support::ChannelPeer peer(u"\\Program Files\\Sonbrix\\Sonbrix.exe", u"serve");
    CWindowCommModule& module = own_module();
    CCommClipboard* const stack = CCommClipboard::instance();
    auto const count_of = [](const std::string& line) {
        auto const notes = testing_support::channel_peer_notes();
        return std::count(notes.begin(), notes.end(), line);
    };
    // Without the program's folder in the registry no start is tried and the sender is
    // done at once; with it, a start would be tried before the sender gives up.
    for (bool const installed : {false, true}) {
        SCOPED_TRACE(installed ? "installed" : "not installed");
        if (installed) set_installation_folder(u"\\Program Files\\Sonbrix");
        auto const refused_before = count_of("0:slow refused");
        ASSERT_TRUE(stack->clear());
        CSerializableString const request(u"slow,n");
        ASSERT_TRUE(CCommClipboard::write_object(stack, &request));
        platform::set_send_message_timeout(200);
        EXPECT_EQ(module.send(0), 0u);
        platform::set_send_message_timeout(30000);

        // The next exchange owns the stack now.
        ASSERT_TRUE(stack->clear());
        std::string const next = "next";
        ASSERT_TRUE(stack->push(next.data(), 4));
        testing_support::SharedStackView const view;
        auto const guard = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (count_of("0:slow refused") == refused_before && count_of("0:slow replied") == 0 &&
               std::chrono::steady_clock::now() < guard)
            Sleep(5);
        EXPECT_EQ(count_of("0:slow refused"), refused_before + 1);
        EXPECT_EQ(view.contents(), std::vector<std::uint8_t>(next.begin(), next.end()));
        EXPECT_EQ(count_of("start:serve"), 1);
        EXPECT_EQ(count_of("start:-hide"), 0);
    }
    testing_support::stop_channel_peer_started_elsewhere();
}

}  // namespace
