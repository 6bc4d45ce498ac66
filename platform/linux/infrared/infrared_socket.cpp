#include "platform/linux/infrared/infrared_socket.h"

#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

namespace platform::detail {

InfraredSocket::~InfraredSocket() {
    if (descriptor_ >= 0) close(descriptor_);
}

int InfraredSocket::connected_descriptor(bool& receive_shut, bool& send_shut) {
    std::lock_guard<std::mutex> guard(mutex_);
    receive_shut = receive_shut_;
    send_shut = send_shut_;
    return descriptor_;
}

int InfraredSocket::connect(const InfraredDeviceId& id, const std::string& service_name) {
    {
        std::lock_guard<std::mutex> guard(mutex_);
        if (descriptor_ >= 0) return EISCONN;
    }
    int const descriptor = connect_infrared_service(id, service_name);
    if (descriptor < 0) return errno;
    std::lock_guard<std::mutex> guard(mutex_);
    if (descriptor_ >= 0) {
        close(descriptor);
        return EISCONN;
    }
    descriptor_ = descriptor;
    if (receive_shut_) ::shutdown(descriptor_, SHUT_RD);
    if (send_shut_) ::shutdown(descriptor_, SHUT_WR);
    return 0;
}

long InfraredSocket::send_all(const char* buffer, std::size_t size, int& error) {
    bool receive_shut, send_shut;
    int const descriptor = connected_descriptor(receive_shut, send_shut);
    if (descriptor < 0) {
        error = ENOTCONN;
        return -1;
    }
    if (send_shut) {
        error = ESHUTDOWN;
        return -1;
    }
    std::size_t done = 0;
    while (done < size) {
        ssize_t const count = ::send(descriptor, buffer + done, size - done, MSG_NOSIGNAL);
        if (count < 0 && errno == EINTR) continue;
        if (count < 0) {
            error = errno;
            return -1;
        }
        done += static_cast<std::size_t>(count);
    }
    return static_cast<long>(done);
}

long InfraredSocket::receive(char* buffer, std::size_t size, int& error) {
    bool receive_shut, send_shut;
    int const descriptor = connected_descriptor(receive_shut, send_shut);
    if (descriptor < 0) {
        error = ENOTCONN;
        return -1;
    }
    if (receive_shut) {
        error = ESHUTDOWN;
        return -1;
    }
    ssize_t count;
    do {
        count = ::recv(descriptor, buffer, size, 0);
    } while (count < 0 && errno == EINTR);
    if (count < 0) {
        error = errno;
        return -1;
    }
    if (count == 0) {
        // A shutdown from another thread wakes the call with an end of data.
        connected_descriptor(receive_shut, send_shut);
        if (receive_shut) {
            error = ESHUTDOWN;
            return -1;
        }
    }
    return static_cast<long>(count);
}

int InfraredSocket::shutdown(int how) {
    std::lock_guard<std::mutex> guard(mutex_);
    bool const receiving = how == 0 || how == 2;
    bool const sending = how == 1 || how == 2;
    if (!receiving && !sending) return EINVAL;
    receive_shut_ = receive_shut_ || receiving;
    send_shut_ = send_shut_ || sending;
    if (descriptor_ < 0) return ENOTCONN;
    ::shutdown(descriptor_, receiving && sending ? SHUT_RDWR : receiving ? SHUT_RD : SHUT_WR);
    return 0;
}

}  // namespace platform::detail
