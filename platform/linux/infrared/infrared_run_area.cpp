#include "platform/linux/infrared/infrared_run_area.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <sstream>

#include "platform/device.h"

namespace platform::detail {
namespace {

constexpr char lsap_prefix[] = "LSAP-SEL";

std::optional<InfraredDeviceId> parse_device_folder_name(const std::string& name) {
    if (name.size() != 8) return std::nullopt;
    InfraredDeviceId id{};
    for (std::size_t i = 0; i < 4; ++i) {
        unsigned value = 0;
        for (std::size_t j = 0; j < 2; ++j) {
            char const c = name[i * 2 + j];
            int digit;
            if (c >= '0' && c <= '9') digit = c - '0';
            else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
            else return std::nullopt;
            value = value * 16 + static_cast<unsigned>(digit);
        }
        id[i] = static_cast<std::uint8_t>(value);
    }
    return id;
}

// The name file's bytes when a running peer holds it; nullopt for a left-over folder.
std::optional<std::string> read_name_of_running_peer(const std::string& folder) {
    int const descriptor = open((folder + "/" + infrared_name_file).c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) return std::nullopt;
    std::optional<std::string> name;
    if (flock(descriptor, LOCK_SH | LOCK_NB) == 0) {
        flock(descriptor, LOCK_UN);
    } else if (errno == EWOULDBLOCK) {
        std::string bytes;
        char buffer[256];
        ssize_t count;
        while ((count = read(descriptor, buffer, sizeof buffer)) > 0) bytes.append(buffer, static_cast<std::size_t>(count));
        name = bytes;
    }
    close(descriptor);
    return name;
}

bool is_running_peer(const InfraredDeviceId& id) {
    return read_name_of_running_peer(infrared_device_folder(id)).has_value();
}

// The selector of an "LSAP-SEL<digits>" name.
std::optional<int> parse_lsap_service_name(const std::string& name) {
    std::size_t const prefix = sizeof lsap_prefix - 1;
    if (name.size() <= prefix || name.size() > prefix + 3 || name.compare(0, prefix, lsap_prefix) != 0) return std::nullopt;
    int selector = 0;
    for (std::size_t i = prefix; i < name.size(); ++i) {
        if (name[i] < '0' || name[i] > '9') return std::nullopt;
        selector = selector * 10 + (name[i] - '0');
    }
    return selector;
}

// Runs the call with a socket address for the path. A path too long for the address is
// reached through the descriptor of its folder.
int with_unix_address(const std::string& path, const std::function<int(const sockaddr_un&)>& call) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() < sizeof address.sun_path) {
        std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
        return call(address);
    }
    std::size_t const slash = path.rfind('/');
    if (slash == std::string::npos) {
        errno = ENAMETOOLONG;
        return -1;
    }
    int const folder = open(path.substr(0, slash).c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0) return -1;
    std::string const short_path = "/proc/self/fd/" + std::to_string(folder) + path.substr(slash);
    int result = -1;
    if (short_path.size() < sizeof address.sun_path) {
        std::memcpy(address.sun_path, short_path.c_str(), short_path.size() + 1);
        result = call(address);
    } else {
        errno = ENAMETOOLONG;
    }
    int const saved = errno;
    close(folder);
    errno = saved;
    return result;
}

}  // namespace

std::string infrared_run_folder() { return platform::device_folder() + "/run/irda"; }

std::string infrared_device_folder(const InfraredDeviceId& id) {
    char name[9];
    std::snprintf(name, sizeof name, "%02x%02x%02x%02x", id[0], id[1], id[2], id[3]);
    return infrared_run_folder() + "/" + name;
}

std::string lsap_service_name(int selector) { return lsap_prefix + std::to_string(selector); }

std::vector<InfraredDeviceEntry> list_infrared_devices() {
    std::vector<InfraredDeviceEntry> devices;
    std::string const folder = infrared_run_folder();
    DIR* const dir = opendir(folder.c_str());
    if (!dir) return devices;
    while (dirent const* entry = readdir(dir)) {
        auto const id = parse_device_folder_name(entry->d_name);
        if (!id) continue;
        if (auto name = read_name_of_running_peer(folder + "/" + entry->d_name)) devices.push_back({*id, *name});
    }
    closedir(dir);
    std::sort(devices.begin(), devices.end(), [](auto const& a, auto const& b) { return a.id < b.id; });
    return devices;
}

IasResult query_infrared_ias(const InfraredDeviceId& id, const std::string& class_name,
                             const std::string& attribute, long& value) {
    if (!is_running_peer(id)) return IasResult::no_device;
    std::ifstream in(infrared_device_folder(id) + "/" + infrared_ias_file);
    bool class_seen = false;
    std::string line;
    while (std::getline(in, line)) {
        std::size_t const first = line.find('\t');
        std::size_t const second = first == std::string::npos ? first : line.find('\t', first + 1);
        if (second == std::string::npos) continue;
        if (line.compare(0, first, class_name) != 0 || first != class_name.size()) continue;
        class_seen = true;
        if (line.substr(first + 1, second - first - 1) != attribute) continue;
        std::istringstream number(line.substr(second + 1));
        if (number >> value) return IasResult::found;
    }
    return class_seen ? IasResult::no_attribute : IasResult::no_class;
}

int connect_infrared_service(const InfraredDeviceId& id, const std::string& service_name) {
    std::optional<int> selector = parse_lsap_service_name(service_name);
    if (!selector) {
        long value = 0;
        if (query_infrared_ias(id, service_name, lsap_attribute, value) == IasResult::found) {
            selector = static_cast<int>(value);
        }
    }
    if (!selector || !is_running_peer(id)) {
        errno = ECONNREFUSED;
        return -1;
    }
    int const descriptor = connect_unix_socket(infrared_device_folder(id) + "/" + lsap_service_name(*selector));
    if (descriptor < 0 && errno == ENOENT) errno = ECONNREFUSED;
    return descriptor;
}

int connect_unix_socket(const std::string& path) {
    int const descriptor = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (descriptor < 0) return -1;
    int const result = with_unix_address(path, [descriptor](const sockaddr_un& address) {
        int r;
        do {
            r = ::connect(descriptor, reinterpret_cast<const sockaddr*>(&address), sizeof address);
        } while (r != 0 && errno == EINTR);
        return r;
    });
    if (result != 0) {
        int const saved = errno;
        close(descriptor);
        errno = saved;
        return -1;
    }
    return descriptor;
}

int listen_unix_socket(const std::string& path) {
    int const descriptor = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (descriptor < 0) return -1;
    unlink(path.c_str());
    int const result = with_unix_address(path, [descriptor](const sockaddr_un& address) {
        return ::bind(descriptor, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    });
    if (result != 0 || ::listen(descriptor, 8) != 0) {
        int const saved = errno;
        close(descriptor);
        errno = saved;
        return -1;
    }
    return descriptor;
}

}  // namespace platform::detail
