// today-host: the device's start screen. Shows the items registered under
// HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Today\Items, each made by its item library, on the
// start screen's wallpaper; reloads them when told that the items changed.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "platform/gdi.h"
#include "platform/messages.h"
#include "platform/windows.h"
#include "tools/today_host/host_log.h"
#include "tools/today_host/today_host.h"

namespace {

constexpr int exit_failure = 1;
constexpr int exit_usage = 2;

constexpr char const* usage_text =
    "usage: today-host [--log FILE] [--text-colour RRGGBB] [--refresh-ms N]\n"
    "       today-host --quit\n"
    "  shows the device's start screen with its registered items until it is closed\n"
    "  --log FILE          test mode: every message sent and received, every library loaded\n"
    "                      and unloaded, one line each, to FILE (- for standard error)\n"
    "  --text-colour RRGGBB  the text colour the items ask for (else \"TextColor\" under\n"
    "                      HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Today, a COLORREF)\n"
    "  --refresh-ms N      how often the items are asked for their heights (default 1000)\n"
    "  --quit              closes the running start screen and waits until it has gone\n"
    "environment:\n"
    "  SONBRIX_DEVICE      the device folder (see README.md)\n";

int usage_error(const std::string& what) {
    std::fprintf(stderr, "today-host: %s\n(today-host --help shows the usage)\n", what.c_str());
    return exit_usage;
}

bool parse_colour(const std::string& text, COLORREF& colour) {
    if (text.size() != 6 || text.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) return false;
    unsigned long const rgb = std::strtoul(text.c_str(), nullptr, 16);
    colour = RGB(static_cast<BYTE>(rgb >> 16), static_cast<BYTE>(rgb >> 8), static_cast<BYTE>(rgb));
    return true;
}

int quit_running_host() {
    HWND const running = FindWindowW(today_host::host_class_name, nullptr);
    if (!running) {
        std::fprintf(stderr, "today-host: no start screen runs\n");
        return exit_failure;
    }
    PostMessageW(running, WM_CLOSE, 0, 0);
    auto const limit = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (FindWindowW(today_host::host_class_name, nullptr)) {
        if (std::chrono::steady_clock::now() > limit) {
            std::fprintf(stderr, "today-host: the start screen did not close\n");
            return exit_failure;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return 0;
}

int run(const today_host::HostOptions& options, today_host::HostLog& log) {
    if (HWND const running = FindWindowW(today_host::host_class_name, nullptr)) {
        SetForegroundWindow(running);
        return 0;
    }
    today_host::TodayHost host(options, log);
    if (!host.start()) {
        std::fprintf(stderr, "today-host: the start screen's window cannot be made\n");
        return exit_failure;
    }
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

}  // namespace

int main(int argc, char** argv) {
    today_host::HostOptions options;
    today_host::HostLog log;
    bool quit = false;
    for (int index = 1; index < argc; ++index) {
        std::string const argument = argv[index];
        bool const has_value = index + 1 < argc;
        if (argument == "--help" || argument == "-h") {
            std::fputs(usage_text, stdout);
            return 0;
        } else if (argument == "--quit") {
            quit = true;
        } else if (argument == "--log" && has_value) {
            std::string const path = argv[++index];
            if (!log.open_trace(path)) return usage_error("cannot write the log " + path);
        } else if (argument == "--text-colour" && has_value) {
            COLORREF colour = 0;
            if (!parse_colour(argv[++index], colour)) return usage_error("a colour is six hexadecimal digits RRGGBB");
            options.text_colour = colour;
        } else if (argument == "--refresh-ms" && has_value) {
            char* end = nullptr;
            long const period = std::strtol(argv[++index], &end, 10);
            if (*end != '\0' || period < 10 || period > 600000) return usage_error("--refresh-ms takes 10 to 600000");
            options.refresh_ms = static_cast<UINT>(period);
        } else {
            return usage_error("unknown argument " + argument);
        }
    }
    return quit ? quit_running_host() : run(options, log);
}
