// A stand-in for the program as the start-screen item sees it: a top-level window of the
// program's class "SkinnerClass_Sonbrix" and the program's end of the command channel. Its
// command line (one argument, words separated by blanks) sets what it answers:
//   state=N       the state of the status record (default 1, idle)
//   elapsed=MS    the elapsed time in milliseconds (default 0)
//   refuse-status the status request is answered false, without a record
//   refuse-play   the play request is answered false
//   closing       the status request is noted but not served, as by a program whose
//                 handlers are gone while its window is still there
//   file=PATH     the current file (the rest of the command line)
// Started by the channel itself the command line is "-hide": idle. It notes as the channel's
// stand-in does (tests/support/channel_peer.h), in "\channel-peer.txt": "start:<command
// line>", "ready", "<id>:<request>" for each request ("7:0" or "7:1" for a status request
// with the show flag clear or set), and "end" once its window "ChannelPeerControl" got
// WM_USER + 2 (or a minute has passed).
#include <fstream>
#include <string>

#include "app/comm/comm_channel.h"
#include "app/comm/comm_clipboard.h"
#include "app/comm/command_delegate.h"
#include "app/comm/serializable.h"
#include "app/comm/sonbrix_status.h"
#include "platform/device.h"
#include "platform/messages.h"
#include "platform/timers.h"
#include "platform/unicode.h"
#include "platform/windows.h"

namespace {

constexpr UINT quit_message = WM_USER + 2;

void note(const std::string& line) {
    std::ofstream log(platform::host_path(u"\\channel-peer.txt").value_or("/dev/null"), std::ios::app);
    log << line << '\n';
}

struct Answers {
    StatusData status{};
    bool refuse_status = false;
    bool refuse_play = false;
    bool closing = false;
};

Answers parse(const std::string& command_line) {
    Answers answers;
    answers.status.state = 1;
    answers.status.length = -1;
    answers.status.position = -1;
    answers.status.format_kind = 2;
    answers.status.stereo = 2;
    std::string rest = command_line;
    while (!rest.empty()) {
        if (rest.rfind("file=", 0) == 0) {
            std::u16string const path = platform::utf8_to_utf16(rest.substr(5)).substr(0, 259);
            path.copy(answers.status.current_file, path.size());
            break;
        }
        std::size_t const blank = rest.find(' ');
        std::string const word = rest.substr(0, blank);
        rest = blank == std::string::npos ? "" : rest.substr(blank + 1);
        if (word.rfind("state=", 0) == 0) answers.status.state = std::stoi(word.substr(6));
        if (word.rfind("elapsed=", 0) == 0) answers.status.elapsed = std::stoi(word.substr(8));
        if (word == "refuse-status") answers.refuse_status = true;
        if (word == "refuse-play") answers.refuse_play = true;
        if (word == "closing") answers.closing = true;
    }
    return answers;
}

class Handlers {
public:
    explicit Handlers(const Answers& answers) : answers_(answers) {}

    template <int id>
    std::uint32_t text_request() {
        CCommClipboard* const clipboard = CCommClipboard::instance();
        CSerializableString request;
        if (!CCommClipboard::read_object(clipboard, &request)) return 0;
        note(std::to_string(id) + ":" + platform::utf16_to_utf8(request.get_text()));
        CSerializableBool const reply(!(id == 0 && answers_.refuse_play));
        return CCommClipboard::write_object(clipboard, &reply) ? 1 : 0;
    }

    std::uint32_t status_request() {
        CCommClipboard* const clipboard = CCommClipboard::instance();
        CSerializableBool show;
        if (!CCommClipboard::read_object(clipboard, &show)) return 0;
        note(std::string("7:") + (show.get_value() ? "1" : "0"));
        if (answers_.closing) return 0;
        if (answers_.refuse_status) {
            CSerializableBool const refused(false);
            return CCommClipboard::write_object(clipboard, &refused) ? 1 : 0;
        }
        CSonbrixStatus const status(answers_.status);
        CSerializableBool const done(true);
        return CCommClipboard::write_object(clipboard, &status) && CCommClipboard::write_object(clipboard, &done) ? 1 : 0;
    }

private:
    Answers answers_;
};

LRESULT control_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == quit_message || message == WM_TIMER) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

HWND make_window(const char16_t* class_name, WNDPROC procedure) {
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = procedure;
    window_class.lpszClassName = class_name;
    RegisterClassW(&window_class);
    return CreateWindowExW(0, class_name, u"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
}

}  // namespace

int main(int argc, char** argv) {
    std::string const command_line = argc > 1 ? argv[1] : "";
    note("start:" + command_line);
    init_main_comm();
    Handlers handlers(parse(command_line));
    using Delegate = CMethodCommandDelegate<Handlers>;
    Delegate delegates[] = {
        {handlers, &Handlers::text_request<0>}, {handlers, &Handlers::text_request<1>},
        {handlers, &Handlers::text_request<2>}, {handlers, &Handlers::text_request<3>},
        {handlers, &Handlers::text_request<4>}, {handlers, &Handlers::text_request<5>},
        {handlers, &Handlers::text_request<6>}, {handlers, &Handlers::status_request},
        {handlers, &Handlers::text_request<8>},
    };
    for (int id = 0; id < 9; ++id) register_command_delegate(id, &delegates[id]);

    HWND const program = make_window(u"SkinnerClass_Sonbrix", DefWindowProcW);
    HWND const control = make_window(u"ChannelPeerControl", control_proc);
    SetTimer(control, 1, 60000, nullptr);
    note("ready");
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
    for (int id = 0; id < 9; ++id) register_command_delegate(id, nullptr);
    DestroyWindow(program);
    note("end");
    return 0;
}
