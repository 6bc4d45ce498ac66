#include "app/comm/comm_module.h"

#include "app/comm/comm_channel.h"
#include "app/comm/comm_exchange.h"
#include "app/comm/comm_identifiers.h"
#include "platform/errors.h"
#include "platform/kernel.h"
#include "platform/processes.h"
#include "platform/registry.h"
#include "platform/unicode.h"
#include "platform/windows.h"

namespace {

constexpr DWORD peer_start_wait_ms = 5000;

std::u16string text_or_empty(const char16_t* text) { return text ? text : u""; }

// The folder that the program was installed to; empty when the registry does not say.
std::u16string installation_folder(const std::u16string& registry_name) {
    HKEY key = nullptr;
    std::u16string const key_path = u"Software\\Apps\\" + registry_name;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key_path.c_str(), 0, 0, &key) != ERROR_SUCCESS) return {};
    // 258 characters and a terminator are read; the unit after them stays 0, so that a
    // value stored without its terminator still ends inside the buffer.
    WCHAR folder[260] = {};
    DWORD size = 518;
    DWORD type = 0;
    LONG const result = RegQueryValueExW(key, u"InstlDir", nullptr, &type, reinterpret_cast<LPBYTE>(folder), &size);
    RegCloseKey(key);
    return result == ERROR_SUCCESS ? std::u16string(folder) : std::u16string();
}

struct PeerSearch {
    const std::u16string* module_id;
    HWND own_window;
    std::int32_t command_id;
    std::uint32_t exchange;
    bool answered;
    // A peer did not answer within the send time-out: it is still at work on the command.
    bool busy;
};

BOOL find_peer_window(HWND window, LPARAM parameter) {
    auto& search = *reinterpret_cast<PeerSearch*>(parameter);
    WCHAR class_name[255];
    if (!GetClassNameW(window, class_name, 255) || !platform::equal_ignore_case(class_name, *search.module_id)) {
        return TRUE;
    }
    if (window == search.own_window) return TRUE;
    SetLastError(ERROR_SUCCESS);
    if (SendMessageW(window, comm_identifiers::command_message, static_cast<WPARAM>(search.command_id),
                     static_cast<LPARAM>(search.exchange)) == 0) {
        if (GetLastError() != ERROR_TIMEOUT) return TRUE;
        search.busy = true;
        return FALSE;
    }
    search.answered = true;
    return FALSE;
}

}  // namespace

CCommModule::CCommModule(const char16_t* module_id, const char16_t* registry_name, const char16_t* executable_name,
                         std::uint8_t show_flag)
    : module_id_(text_or_empty(module_id)), registry_name_(text_or_empty(registry_name)),
      executable_name_(text_or_empty(executable_name)), show_flag_(show_flag) {}

std::uint32_t CCommModule::send(std::int32_t) { return 0; }

std::uint32_t CCommModule::send_to_running(std::int32_t) { return 0; }

bool CCommModule::start_peer() {
    if (registry_name_.empty() || executable_name_.empty()) return false;
    std::u16string const folder = installation_folder(registry_name_);
    if (folder.empty()) return false;
    std::u16string const program = folder + u"\\" + executable_name_;
    std::u16string command_line = show_flag_ == 0 ? u"-hide" : u"";
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(program.c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, nullptr,
                        &started)) {
        return false;
    }
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
    Sleep(peer_start_wait_ms);
    return true;
}

CWindowCommModule::CWindowCommModule(const char16_t* module_id, const char16_t* registry_name,
                                     const char16_t* executable_name, std::uint8_t show_flag, HINSTANCE instance)
    : CCommModule(module_id, registry_name, executable_name, show_flag), instance_(instance) {
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = comm_window_proc;
    window_class.hInstance = instance_;
    window_class.lpszClassName = get_module_id().c_str();
    RegisterClassW(&window_class);  // a second endpoint in this process finds it registered
    window_ = CreateWindowExW(0, get_module_id().c_str(), nullptr, WS_DISABLED, 0, 0, 0, 0, nullptr, nullptr,
                              instance_, nullptr);
}

CWindowCommModule::~CWindowCommModule() {
    if (window_) DestroyWindow(window_);
}

CWindowCommModule::Answer CWindowCommModule::send_to_peers(std::int32_t command_id, std::uint32_t exchange) {
    PeerSearch search{&get_module_id(), window_, command_id, exchange, false, false};
    EnumWindows(find_peer_window, reinterpret_cast<LPARAM>(&search));
    if (search.answered) return Answer::answered;
    return search.busy ? Answer::busy : Answer::none;
}

std::uint32_t CWindowCommModule::send(std::int32_t command_id) { return send(command_id, true); }

std::uint32_t CWindowCommModule::send_to_running(std::int32_t command_id) { return send(command_id, false); }

std::uint32_t CWindowCommModule::send(std::int32_t command_id, bool start_when_missing) {
    CommExchange& exchanges = CommExchange::instance();
    std::uint32_t const exchange = exchanges.begin();
    Answer answer = send_to_peers(command_id, exchange);
    // A busy program is running: starting another one would not help.
    if (answer == Answer::none && start_when_missing) {
        start_peer();
        answer = send_to_peers(command_id, exchange);
    }
    // Answered or given up: a handler still at work can no longer touch the stack.
    exchanges.end(exchange);
    return answer == Answer::answered ? 1 : 0;
}
