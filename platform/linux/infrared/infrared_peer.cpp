#include "platform/infrared_peer.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "platform/linux/infrared/infrared_run_area.h"

namespace platform {
namespace {

using detail::infrared_device_folder;

bool write_whole_file(const std::string& path, const std::string& bytes) {
    int const descriptor = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (descriptor < 0) return false;
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t const count = write(descriptor, bytes.data() + done, bytes.size() - done);
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) break;
        done += static_cast<std::size_t>(count);
    }
    close(descriptor);
    return done == bytes.size();
}

std::string ias_text(const std::vector<InfraredService>& services) {
    std::string text;
    for (auto const& service : services) {
        text += service.class_name + "\t" + detail::lsap_attribute + "\t" + std::to_string(service.lsap_selector) + "\n";
    }
    return text;
}

std::string errno_text(const std::string& what) { return what + ": " + std::strerror(errno); }

}  // namespace

InfraredConnection::InfraredConnection(int descriptor) : descriptor_(descriptor) {}

InfraredConnection::~InfraredConnection() { close(); }

InfraredConnection::Status InfraredConnection::receive(void* buffer, std::size_t size, int timeout_ms,
                                                       std::size_t& received) {
    received = 0;
    if (descriptor_ < 0) return Status::failed;
    pollfd entry{descriptor_, POLLIN, 0};
    int ready;
    do {
        ready = poll(&entry, 1, timeout_ms);
    } while (ready < 0 && errno == EINTR);
    if (ready == 0) return Status::timeout;
    if (ready < 0) return Status::failed;
    ssize_t count;
    do {
        count = ::recv(descriptor_, buffer, size, 0);
    } while (count < 0 && errno == EINTR);
    if (count < 0) return errno == ECONNRESET ? Status::closed : Status::failed;
    if (count == 0) return Status::closed;
    received = static_cast<std::size_t>(count);
    return Status::data;
}

bool InfraredConnection::send_all(const void* buffer, std::size_t size) {
    if (descriptor_ < 0) return false;
    auto const* bytes = static_cast<const char*>(buffer);
    while (size > 0) {
        ssize_t const count = ::send(descriptor_, bytes, size, MSG_NOSIGNAL);
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) return false;
        bytes += count;
        size -= static_cast<std::size_t>(count);
    }
    return true;
}

void InfraredConnection::close() {
    if (descriptor_ >= 0) ::close(descriptor_);
    descriptor_ = -1;
}

std::unique_ptr<InfraredPeer> InfraredPeer::start(const DeviceId& id, const std::string& name,
                                                  const std::vector<InfraredService>& services,
                                                  std::string& error) {
    std::string const folder = infrared_device_folder(id);
    std::error_code failure;
    std::filesystem::create_directories(folder, failure);
    if (failure) {
        error = "cannot make " + folder + ": " + failure.message();
        return nullptr;
    }
    // The lock comes first: a second peer with the same id stops here, before it touches
    // the running peer's files.
    std::string const name_path = folder + "/" + detail::infrared_name_file;
    int const name_descriptor = open(name_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (name_descriptor < 0) {
        error = errno_text("cannot open " + name_path);
        return nullptr;
    }
    if (flock(name_descriptor, LOCK_EX | LOCK_NB) != 0) {
        error = errno == EWOULDBLOCK ? "a running peer already uses this device id" : errno_text("cannot lock " + name_path);
        ::close(name_descriptor);
        return nullptr;
    }
    std::unique_ptr<InfraredPeer> peer(new InfraredPeer(id, folder, name_descriptor));
    for (auto const& service : services) {
        std::string const path = folder + "/" + detail::lsap_service_name(service.lsap_selector);
        int const descriptor = detail::listen_unix_socket(path);
        if (descriptor < 0) {
            error = errno_text("cannot listen on " + path);
            return nullptr;
        }
        peer->listeners_.push_back({path, descriptor});
    }
    std::string const ias_path = folder + "/" + detail::infrared_ias_file;
    if (!write_whole_file(ias_path + ".new", ias_text(services)) || rename((ias_path + ".new").c_str(), ias_path.c_str()) != 0) {
        error = errno_text("cannot write " + ias_path);
        return nullptr;
    }
    if (ftruncate(name_descriptor, 0) != 0 || pwrite(name_descriptor, name.data(), name.size(), 0) != static_cast<ssize_t>(name.size())) {
        error = errno_text("cannot write " + name_path);
        return nullptr;
    }
    return peer;
}

InfraredPeer::InfraredPeer(const DeviceId& id, std::string folder, int name_descriptor)
    : id_(id), folder_(std::move(folder)), name_descriptor_(name_descriptor) {}

InfraredPeer::~InfraredPeer() {
    for (auto const& listener : listeners_) {
        ::close(listener.descriptor);
        unlink(listener.path.c_str());
    }
    unlink((folder_ + "/" + detail::infrared_ias_file).c_str());
    unlink((folder_ + "/" + detail::infrared_name_file).c_str());
    rmdir(folder_.c_str());
    ::close(name_descriptor_);
}

std::unique_ptr<InfraredConnection> InfraredPeer::accept(int timeout_ms) {
    if (listeners_.empty()) return nullptr;
    std::vector<pollfd> entries;
    for (auto const& listener : listeners_) entries.push_back({listener.descriptor, POLLIN, 0});
    int ready;
    do {
        ready = poll(entries.data(), entries.size(), timeout_ms);
    } while (ready < 0 && errno == EINTR);
    if (ready <= 0) return nullptr;
    for (auto const& entry : entries) {
        if (!(entry.revents & POLLIN)) continue;
        int const descriptor = ::accept4(entry.fd, nullptr, nullptr, SOCK_CLOEXEC);
        if (descriptor >= 0) return std::make_unique<InfraredConnection>(descriptor);
    }
    return nullptr;
}

}  // namespace platform
