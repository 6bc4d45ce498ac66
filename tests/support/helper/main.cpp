// The other process of the cross-process tests. Modes:
//   window <class> [owned]     a top-level window of that class (owned by a hidden window
//                              when "owned"); prints "ready <handle>" and serves messages
//                              until WM_USER + 2 arrives; WM_USER + 4 answers 9 only
//                              after an input line has arrived; prints "wininichange
//                              <wParam> <lParam>" for WM_WININICHANGE, "mark" for
//                              WM_USER + 5 and "activate <wParam> <lParam as %p>" for
//                              WM_ACTIVATE
//   painted <left> <top> <right> <bottom> <rrggbb>
//                              a shown top-level window at that place, its background of
//                              that colour; prints "ready <handle>", then "paint" for every
//                              WM_PAINT, "down <x> <y>" for WM_LBUTTONDOWN, "key <vk>" for
//                              WM_KEYDOWN, "activate <wParam>" for WM_ACTIVATE, "mark"
//                              for WM_USER + 5 and "command <wParam>" for WM_COMMAND;
//                              WM_USER + 6 shows (wParam 1) or hides (2) the task bar's OK
//                              button for it; ends on WM_USER + 2
//   mutex <name>               takes the named mutex, prints "owned <existed 0|1>", then on
//                              the input line "release" releases it and ends, on "die" ends
//                              without releasing it
//   start <name> <command line> [hold]
//                              an application start: prints "searching", runs the instance
//                              search and prints "found" or "alone"; with "hold" it waits
//                              for an input line before it finishes its start-up; exit code
//                              1 when an instance was found
//   sender <count>             a command sender of the start-screen plug-in: prints "ready",
//                              then on an input line sends <count> pause commands (waiting
//                              for every answer without a time-out) and prints "done <the
//                              number answered>"
//   play <path>                a command sender of the start-screen plug-in: sends one play
//                              command for the path (waiting for the answer without a
//                              time-out) and prints "played <0|1>"
//   mapping <name> <byte>      opens the named shared block of 16 bytes, prints "mapped
//                              <existed 0|1> <first byte before>" and writes the byte
//                              (decimal) there; then on the input line "close" closes it
//                              and ends, on "die" ends without closing it
#include <cstdio>
#include <iostream>
#include <string>

#include "foundation/application.h"
#include "platform/errors.h"
#include "platform/file_mapping.h"
#include "platform/gdi.h"
#include "platform/handles.h"
#include "platform/kernel.h"
#include "platform/messages.h"
#include "platform/mutex.h"
#include "platform/shell_ui.h"
#include "platform/unicode.h"
#include "platform/testing.h"
#include "platform/windows.h"
#include "todayplugin/command_senders.h"

namespace {

constexpr UINT doubled_message = WM_USER + 1;
constexpr UINT quit_message = WM_USER + 2;
constexpr UINT call_back_message = WM_USER + 3;  // wParam: a window to send WM_USER + 7 to
constexpr UINT wait_for_line_message = WM_USER + 4;
constexpr UINT mark_message = WM_USER + 5;  // posted after others to see what came before it
constexpr UINT done_button_message = WM_USER + 6;

void say(const std::string& line) {
    std::cout << line << std::endl;
}

LRESULT window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case doubled_message: return static_cast<LRESULT>(wparam * 2);
    case quit_message: PostQuitMessage(0); return 0;
    case call_back_message: return SendMessageW(reinterpret_cast<HWND>(wparam), WM_USER + 7, 5, 0) + 1;
    case WM_WININICHANGE: say("wininichange " + std::to_string(wparam) + " " + std::to_string(lparam)); return 0;
    case mark_message: say("mark"); return 0;
    case WM_ACTIVATE: {
        char other[32];
        std::snprintf(other, sizeof other, "%p", reinterpret_cast<void*>(lparam));
        say("activate " + std::to_string(wparam) + " " + other);
        return DefWindowProcW(window, message, wparam, lparam);
    }
    case wait_for_line_message: {
        std::string line;
        std::getline(std::cin, line);
        return 9;
    }
    case WM_COPYDATA: {
        auto const* data = reinterpret_cast<const COPYDATASTRUCT*>(lparam);
        std::string hex;
        for (DWORD i = 0; i < data->cbData; ++i) {
            char digits[3];
            std::snprintf(digits, sizeof digits, "%02x", static_cast<const unsigned char*>(data->lpData)[i]);
            hex += digits;
        }
        say("copydata " + std::to_string(data->dwData) + " " + std::to_string(data->cbData) + " " + hex);
        return 77;
    }
    default: return DefWindowProcW(window, message, wparam, lparam);
    }
}

int run_window(const std::string& class_name, bool owned) {
    std::u16string const name = platform::utf8_to_utf16(class_name);
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = window_proc;
    window_class.lpszClassName = name.c_str();
    RegisterClassW(&window_class);
    HWND owner = nullptr;
    if (owned) {
        WNDCLASSW owner_class{};
        owner_class.lpfnWndProc = DefWindowProcW;
        owner_class.lpszClassName = u"HelperOwner";
        RegisterClassW(&owner_class);
        owner = CreateWindowExW(0, u"HelperOwner", u"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    }
    HWND const window =
        CreateWindowExW(0, name.c_str(), u"helper window", WS_VISIBLE, 0, 0, 10, 10, owner, nullptr, nullptr, nullptr);
    char handle[32];
    std::snprintf(handle, sizeof handle, "%p", static_cast<void*>(window));
    say(std::string("ready ") + handle);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
    return 0;
}

LRESULT painted_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case quit_message: PostQuitMessage(0); return 0;
    case WM_PAINT: say("paint"); break;
    case mark_message: say("mark"); return 0;
    case WM_LBUTTONDOWN:
        say("down " + std::to_string(static_cast<short>(lparam & 0xFFFF)) + " " +
            std::to_string(static_cast<short>((lparam >> 16) & 0xFFFF)));
        break;
    case WM_KEYDOWN: say("key " + std::to_string(wparam)); break;
    case WM_COMMAND: say("command " + std::to_string(wparam)); return 0;
    case done_button_message: return SHDoneButton(window, static_cast<DWORD>(wparam));
    case WM_ACTIVATE: say("activate " + std::to_string(wparam)); break;
    default: break;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

int run_painted(int left, int top, int right, int bottom, unsigned colour) {
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = painted_proc;
    window_class.lpszClassName = u"HelperPainted";
    window_class.hbrBackground = CreateSolidBrush(RGB((colour >> 16) & 0xFF, (colour >> 8) & 0xFF, colour & 0xFF));
    RegisterClassW(&window_class);
    HWND const window = CreateWindowExW(0, u"HelperPainted", u"painted", WS_VISIBLE, left, top, right - left,
                                        bottom - top, nullptr, nullptr, nullptr, nullptr);
    char handle[32];
    std::snprintf(handle, sizeof handle, "%p", static_cast<void*>(window));
    say(std::string("ready ") + handle);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}

int run_mutex(const std::string& name) {
    HANDLE const mutex = CreateMutexW(nullptr, FALSE, platform::utf8_to_utf16(name).c_str());
    bool const existed = GetLastError() == ERROR_ALREADY_EXISTS;
    WaitForSingleObject(mutex, INFINITE);
    say(std::string("owned ") + (existed ? "1" : "0"));
    std::string command;
    std::getline(std::cin, command);
    if (command == "die") TerminateProcess(GetCurrentProcess(), 3);
    ReleaseMutex(mutex);
    CloseHandle(mutex);
    return 0;
}

int run_start(const std::string& name, const std::string& command_line, bool hold) {
    os::Application application(nullptr, platform::utf8_to_utf16(name));
    say("searching");
    bool const found = application.find_previous_instance(platform::utf8_to_utf16(command_line));
    say(found ? "found" : "alone");
    if (hold) {
        std::string line;
        std::getline(std::cin, line);
    }
    application.finish_startup();
    return found ? 1 : 0;
}

int run_mapping(const std::string& name, int byte) {
    HANDLE const mapping =
        CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 16, platform::utf8_to_utf16(name).c_str());
    bool const existed = GetLastError() == ERROR_ALREADY_EXISTS;
    auto* const bytes = static_cast<unsigned char*>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0));
    if (!bytes) return 2;
    // The byte is in place before the line tells the test that the block is mapped.
    unsigned const found = bytes[0];
    bytes[0] = static_cast<unsigned char>(byte);
    say("mapped " + std::string(existed ? "1" : "0") + " " + std::to_string(found));
    std::string command;
    std::getline(std::cin, command);
    if (command == "die") TerminateProcess(GetCurrentProcess(), 3);
    UnmapViewOfFile(bytes);
    CloseHandle(mapping);
    return 0;
}

}  // namespace

int run_sender(int count) {
    if (!setup_command_channel()) return 1;
    platform::set_send_message_timeout(INFINITE);
    say("ready");
    std::string line;
    std::getline(std::cin, line);
    int answered = 0;
    for (int i = 0; i < count; ++i) answered += send_pause(false) ? 1 : 0;
    say("done " + std::to_string(answered));
    return 0;
}

int run_play(const std::string& path) {
    if (!setup_command_channel()) return 1;
    platform::set_send_message_timeout(INFINITE);
    say(std::string("played ") + (send_play(platform::utf8_to_utf16(path), false) ? "1" : "0"));
    return 0;
}

int main(int argc, char** argv) {
    std::string const mode = argc > 1 ? argv[1] : "";
    if (mode == "window" && argc >= 3) return run_window(argv[2], argc > 3 && std::string(argv[3]) == "owned");
    if (mode == "painted" && argc == 7) {
        return run_painted(std::stoi(argv[2]), std::stoi(argv[3]), std::stoi(argv[4]), std::stoi(argv[5]),
                           static_cast<unsigned>(std::stoul(argv[6], nullptr, 16)));
    }
    if (mode == "mutex" && argc == 3) return run_mutex(argv[2]);
    if (mode == "sender" && argc == 3) return run_sender(std::stoi(argv[2]));
    if (mode == "play" && argc == 3) return run_play(argv[2]);
    if (mode == "mapping" && argc == 4) return run_mapping(argv[2], std::stoi(argv[3]));
    if (mode == "start" && argc >= 4) return run_start(argv[2], argv[3], argc > 4 && std::string(argv[4]) == "hold");
    std::cerr << "unknown mode\n";
    return 2;
}
