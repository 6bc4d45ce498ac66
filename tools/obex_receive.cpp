// obex-receive: a device in infrared range of the handheld (the device folder named by
// SONBRIX_DEVICE) that takes the files beamed to it and stores them in a folder.
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <unistd.h>

#include "platform/unicode.h"
#include "tools/obex_receiver.h"

namespace {

volatile std::sig_atomic_t stop_requested = 0;

void on_stop_signal(int) { stop_requested = 1; }

constexpr char const* usage_text =
    "usage: obex-receive [options]\n"
    "  --into FOLDER        store received files there (default: the current folder)\n"
    "  --name NAME          the name the handheld lists (first 22 bytes)\n"
    "  --id HEX             device id, 8 hex digits (default from the process id)\n"
    "  --lsap N             LSAP selector of the OBEX service (default 3)\n"
    "  --max-packet N       maximum packet length announced in CONNECT (default 4096)\n"
    "  --refuse             answer every PUT with Forbidden\n"
    "  --refuse-connect     answer CONNECT with Forbidden\n"
    "  --stall-after N      answer N requests of a connection, then fall silent\n"
    "  --hang-up-after N    answer N requests of a connection, then hang up\n"
    "  --help               this text\n";

bool parse_number(const char* text, long low, long high, long& value) {
    char* end = nullptr;
    value = std::strtol(text, &end, 10);
    return end && *end == '\0' && end != text && value >= low && value <= high;
}

bool parse_id(const std::string& text, platform::InfraredPeer::DeviceId& id) {
    if (text.size() != 8 || text.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) return false;
    for (std::size_t i = 0; i < 4; ++i) id[i] = static_cast<std::uint8_t>(std::stoul(text.substr(i * 2, 2), nullptr, 16));
    return true;
}

// False with the wrong argument named in error.
bool parse_arguments(int argc, char** argv, tools::ObexReceiverOptions& options, std::string& error) {
    options.folder = std::filesystem::current_path().string();
    auto const pid = static_cast<unsigned long>(::getpid());
    options.device_id = {0x0B, static_cast<std::uint8_t>(pid >> 16), static_cast<std::uint8_t>(pid >> 8), static_cast<std::uint8_t>(pid)};
    for (int i = 1; i < argc; ++i) {
        std::string const option = argv[i];
        long number = 0;
        if (option == "--refuse") {
            options.refuse_put = true;
            continue;
        }
        if (option == "--refuse-connect") {
            options.refuse_connect = true;
            continue;
        }
        bool const known = option == "--into" || option == "--name" || option == "--id" || option == "--lsap" ||
                           option == "--max-packet" || option == "--stall-after" || option == "--hang-up-after";
        if (!known) {
            error = "unknown argument: " + option;
            return false;
        }
        if (i + 1 >= argc) {
            error = option + " needs a value";
            return false;
        }
        std::string const value = argv[++i];
        bool good = true;
        if (option == "--into") options.folder = value;
        else if (option == "--name") options.name = value;
        else if (option == "--id") good = parse_id(value, options.device_id);
        else if (option == "--lsap" && (good = parse_number(value.c_str(), 1, 127, number))) options.lsap_selector = static_cast<int>(number);
        else if (option == "--max-packet" && (good = parse_number(value.c_str(), 0, 65535, number))) options.max_packet = static_cast<std::uint16_t>(number);
        else if (option == "--stall-after" && (good = parse_number(value.c_str(), 0, 1000000, number))) options.stall_after = static_cast<int>(number);
        else if (option == "--hang-up-after" && (good = parse_number(value.c_str(), 0, 1000000, number))) options.hang_up_after = static_cast<int>(number);
        if (!good) {
            error = option + " " + value + ": not a valid value";
            return false;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (std::string(argv[i]) == "--help" || std::string(argv[i]) == "-h") {
            std::fputs(usage_text, stdout);
            return 0;
        }
    tools::ObexReceiverOptions options;
    std::string error;
    if (!parse_arguments(argc, argv, options, error)) {
        std::fprintf(stderr, "obex-receive: %s\n(obex-receive --help shows the usage)\n", error.c_str());
        return 2;
    }
    std::error_code status;
    if (!std::filesystem::is_directory(options.folder, status)) {
        std::fprintf(stderr, "obex-receive: no such folder: %s\n", options.folder.c_str());
        return 1;
    }
    if (::access(options.folder.c_str(), W_OK) != 0) {
        std::fprintf(stderr, "obex-receive: cannot write into %s\n", options.folder.c_str());
        return 1;
    }
    std::signal(SIGINT, on_stop_signal);
    std::signal(SIGTERM, on_stop_signal);
    tools::ObexReceiver receiver(options);
    receiver.set_file_listener([](const tools::ReceivedFile& file) {
        std::printf("received %s (%zu bytes)\n", platform::utf16_to_utf8(file.name).c_str(), file.data.size());
        std::fflush(stdout);
    });
    if (!receiver.start()) {
        std::fprintf(stderr, "obex-receive: %s\n", receiver.error().c_str());
        return 1;
    }
    std::printf("obex-receive: \"%s\" in range, storing into %s\n", options.name.c_str(), options.folder.c_str());
    std::fflush(stdout);
    while (!stop_requested) std::this_thread::sleep_for(std::chrono::milliseconds(100));
    receiver.stop();
    return 0;
}
