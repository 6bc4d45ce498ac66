// Surface pixels in shared memory (inside the Linux back end only): the client makes a
// sealed memfd that it draws into, the server maps the same memory read only.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/linux/screen/compositor.h"

namespace platform::screen {

// A file descriptor closed with its owner.
class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd_(fd) {}
    ~UniqueFd();
    UniqueFd(UniqueFd&& other) noexcept : fd_(other.release()) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept;
    int get() const { return fd_; }
    int release();
    explicit operator bool() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

// The client's side: writable pixels of a new memfd, sealed so that it can neither shrink
// nor grow (the server reading it can then never fault).
class SharedPixels {
public:
    static std::unique_ptr<SharedPixels> create(int width, int height);
    ~SharedPixels();
    SharedPixels(const SharedPixels&) = delete;
    SharedPixels& operator=(const SharedPixels&) = delete;

    std::uint32_t* pixels() const { return pixels_; }
    int width() const { return width_; }
    int height() const { return height_; }
    int fd() const { return fd_.get(); }

private:
    SharedPixels() = default;
    UniqueFd fd_;
    std::uint32_t* pixels_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};

// The server's side: maps a received memfd read only, or null when it is not a sealed
// memory file large enough for the size.
std::unique_ptr<SurfacePixels> map_shared_pixels(const UniqueFd& fd, int width, int height);

}  // namespace platform::screen
