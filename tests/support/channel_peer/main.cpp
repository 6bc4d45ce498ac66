// A stand-in for the program at the other end of the command channel, for the channel's
// tests. Its command line (one argument) chooses what it does; every line it notes goes
// to "\channel-peer.txt" on the device:
//   "attach <count>"  opens the channel's stack, pops count bytes, notes "popped <hex>"
//                      and ends
//   anything else     notes "start:<command line>", sets up the program's end of the
//                      channel with test handlers for the commands 0 to 8, notes "ready"
//                      and serves until its window "ChannelPeerControl" gets WM_USER + 2
//                      (or a minute has passed); then notes "end"
// The test handlers note "<id>:<request>" for each request. A text request is answered
// with true unless it ends in "y"; one that holds "refuse" is not answered (0), one that
// holds "mute" answers 1 without a reply, one that holds "slow" replies after a second and
// notes "<id>:slow replied" or "<id>:slow refused", one that holds "hang" takes the
// channel's reply lock as a reply does, notes "<id>:hanging" and keeps it for a minute
// (until the test kills it), one that holds "late" waits until the stack holds something
// again (the next exchange's request) before it replies and notes "<id>:late replied" or
// "<id>:late refused". The status request is answered with the status
// record of status_sent(); with the flag set it is answered false, without a record.
#include <cstdio>
#include <fstream>
#include <string>

#include "app/comm/comm_channel.h"
#include "app/comm/comm_clipboard.h"
#include "app/comm/comm_exchange.h"
#include "app/comm/comm_identifiers.h"
#include "app/comm/command_delegate.h"
#include "app/comm/memory_mapped_clipboard.h"
#include "app/comm/serializable.h"
#include "app/comm/sonbrix_status.h"
#include "platform/device.h"
#include "platform/file_mapping.h"
#include "platform/handles.h"
#include "platform/kernel.h"
#include "platform/messages.h"
#include "platform/timers.h"
#include "platform/unicode.h"
#include "platform/windows.h"
#include "tests/support/channel_peer_status.h"

namespace {

void note(const std::string& line) {
    std::ofstream log(platform::host_path(u"\\channel-peer.txt").value_or("/dev/null"), std::ios::app);
    log << line << '\n';
}

// Until the channel's stack is not empty (10 s at most).
void wait_for_next_request() {
    HANDLE const mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                              comm_identifiers::clipboard_capacity + 4, comm_identifiers::clipboard_name);
    auto* const depth = static_cast<volatile std::uint32_t*>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 4));
    for (int i = 0; depth && *depth == 0 && i < 5000; ++i) Sleep(2);
    if (depth) UnmapViewOfFile(const_cast<std::uint32_t*>(depth));
    CloseHandle(mapping);
}

class TestHandlers {
public:
    template <int id>
    std::uint32_t text_request() {
        CCommClipboard* const clipboard = CCommClipboard::instance();
        CSerializableString request;
        if (!CCommClipboard::read_object(clipboard, &request)) {
            note(std::to_string(id) + ":unreadable");
            return 0;
        }
        std::u16string const text = request.get_text();
        note(std::to_string(id) + ":" + platform::utf16_to_utf8(text));
        if (text.find(u"refuse") != std::u16string::npos) return 0;
        if (text.find(u"mute") != std::u16string::npos) return 1;
        if (text.find(u"hang") != std::u16string::npos) {
            CommExchange::instance().run_if_current(CommExchange::served(), [] {
                note(std::to_string(id) + ":hanging");
                Sleep(60000);
                return false;
            });
            return 0;
        }
        CSerializableBool const reply(text.empty() || text.back() != u'y');
        for (std::string const kind : {"slow", "late"}) {
            if (text.find(platform::utf8_to_utf16(kind)) == std::u16string::npos) continue;
            if (kind == "slow") {
                Sleep(1000);
            } else {
                wait_for_next_request();
            }
            bool const written = CCommClipboard::write_object(clipboard, &reply);
            note(std::to_string(id) + ":" + kind + (written ? " replied" : " refused"));
            return written ? 1 : 0;
        }
        return CCommClipboard::write_object(clipboard, &reply) ? 1 : 0;
    }

    std::uint32_t status_request() {
        CCommClipboard* const clipboard = CCommClipboard::instance();
        CSerializableBool show;
        if (!CCommClipboard::read_object(clipboard, &show)) return 0;
        note(std::string("7:") + (show.get_value() ? "1" : "0"));
        if (show.get_value()) {
            CSerializableBool const refused(false);
            return CCommClipboard::write_object(clipboard, &refused) ? 1 : 0;
        }
        CSonbrixStatus const status(testing_support::status_sent());
        CSerializableBool const done(true);
        return CCommClipboard::write_object(clipboard, &status) && CCommClipboard::write_object(clipboard, &done) ? 1 : 0;
    }
};

constexpr UINT quit_message = WM_USER + 2;

LRESULT control_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == quit_message || message == WM_TIMER) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

int serve(const std::string& command_line) {
    note("start:" + command_line);
    init_main_comm();
    TestHandlers handlers;
    using Delegate = CMethodCommandDelegate<TestHandlers>;
    Delegate delegates[] = {
        {handlers, &TestHandlers::text_request<0>}, {handlers, &TestHandlers::text_request<1>},
        {handlers, &TestHandlers::text_request<2>}, {handlers, &TestHandlers::text_request<3>},
        {handlers, &TestHandlers::text_request<4>}, {handlers, &TestHandlers::text_request<5>},
        {handlers, &TestHandlers::text_request<6>}, {handlers, &TestHandlers::status_request},
        {handlers, &TestHandlers::text_request<8>},
    };
    for (int id = 0; id < 9; ++id) register_command_delegate(id, &delegates[id]);

    WNDCLASSW control_class{};
    control_class.lpfnWndProc = control_proc;
    control_class.lpszClassName = u"ChannelPeerControl";
    RegisterClassW(&control_class);
    HWND const control =
        CreateWindowExW(0, u"ChannelPeerControl", u"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    SetTimer(control, 1, 60000, nullptr);
    note("ready");
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
    for (int id = 0; id < 9; ++id) register_command_delegate(id, nullptr);
    note("end");
    return 0;
}

int attach(std::uint32_t count) {
    CCommMemoryMappedFilesClipboard clipboard(comm_identifiers::clipboard_capacity + 4,
                                              comm_identifiers::clipboard_name);
    std::string bytes(count, '\0');
    if (!clipboard.pop(bytes.data(), count)) {
        note("pop failed");
        return 1;
    }
    std::string hex;
    for (unsigned char byte : bytes) {
        char digits[3];
        std::snprintf(digits, sizeof digits, "%02x", byte);
        hex += digits;
    }
    note("popped " + hex);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::string const command_line = argc > 1 ? argv[1] : "";
    if (command_line.rfind("attach ", 0) == 0) return attach(static_cast<std::uint32_t>(std::stoul(command_line.substr(7))));
    return serve(command_line);
}
