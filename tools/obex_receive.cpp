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

void print_usage() {
    std::fputs(
        "usage: obex-receive [options]\n"
        "  --into FOLDER        store received files there (default: the current folder)\n"
        "  --name NAME          the name the handheld lists (first 22 bytes)\n"
        "  --id HEX             device id, 8 hex digits (default from the process id)\n"
        "  --lsap N             LSAP selector of the OBEX service (default 3)\n"
        "  --max-packet N       maximum packet length announced in CONNECT (default 4096)\n"
        "  --refuse             answer every PUT with Forbidden\n"
        "  --refuse-connect     answer CONNECT with Forbidden\n"
        "  --stall-after N      answer N requests of a connection, then fall silent\n"
        "  --hang-up-after N    answer N requests of a connection, then hang up\n",
        stderr);
}

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

bool parse_arguments(int argc, char** argv, tools::ObexReceiverOptions& options) {
    options.folder = std::filesystem::current_path().string();
    auto const pid = static_cast<unsigned long>(::getpid());
    options.device_id = {0x0B, static_cast<std::uint8_t>(pid >> 16), static_cast<std::uint8_t>(pid >> 8), static_cast<std::uint8_t>(pid)};
    for (int i = 1; i < argc; ++i) {
        std::string const option = argv[i];
        bool const has_value = i + 1 < argc;
        long number = 0;
        if (option == "--refuse") options.refuse_put = true;
        else if (option == "--refuse-connect") options.refuse_connect = true;
        else if (!has_value) return false;
        else if (option == "--into") options.folder = argv[++i];
        else if (option == "--name") options.name = argv[++i];
        else if (option == "--id") {
            if (!parse_id(argv[++i], options.device_id)) return false;
        } else if (option == "--lsap" && parse_number(argv[++i], 1, 127, number)) options.lsap_selector = static_cast<int>(number);
        else if (option == "--max-packet" && parse_number(argv[++i], 0, 65535, number)) options.max_packet = static_cast<std::uint16_t>(number);
        else if (option == "--stall-after" && parse_number(argv[++i], 0, 1000000, number)) options.stall_after = static_cast<int>(number);
        else if (option == "--hang-up-after" && parse_number(argv[++i], 0, 1000000, number)) options.hang_up_after = static_cast<int>(number);
        else return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    tools::ObexReceiverOptions options;
    if (!parse_arguments(argc, argv, options)) {
        print_usage();
        return 2;
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
