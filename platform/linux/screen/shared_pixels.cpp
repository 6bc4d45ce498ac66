#include "platform/linux/screen/shared_pixels.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>

namespace platform::screen {
namespace {

std::size_t byte_size(int width, int height) {
    return static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4;
}

class MappedPixels final : public SurfacePixels {
public:
    MappedPixels(void* memory, int width, int height) : memory_(memory), width_(width), height_(height) {}
    ~MappedPixels() override { ::munmap(memory_, byte_size(width_, height_)); }
    const std::uint32_t* pixels() const override { return static_cast<const std::uint32_t*>(memory_); }
    int width() const override { return width_; }
    int height() const override { return height_; }
    int stride() const override { return width_; }

private:
    void* memory_;
    int width_;
    int height_;
};

}  // namespace

UniqueFd::~UniqueFd() {
    if (fd_ >= 0) ::close(fd_);
}

UniqueFd& UniqueFd::operator=(UniqueFd&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = other.release();
    }
    return *this;
}

int UniqueFd::release() { return std::exchange(fd_, -1); }

std::unique_ptr<SharedPixels> SharedPixels::create(int width, int height) {
    if (width <= 0 || height <= 0) return nullptr;
    std::unique_ptr<SharedPixels> shared(new SharedPixels);
    shared->fd_ = UniqueFd(::memfd_create("sonbrix-surface", MFD_CLOEXEC | MFD_ALLOW_SEALING));
    int const fd = shared->fd_.get();
    auto const size = byte_size(width, height);
    if (fd < 0 || ::ftruncate(fd, static_cast<off_t>(size)) != 0) return nullptr;
    if (::fcntl(fd, F_ADD_SEALS, F_SEAL_SHRINK | F_SEAL_GROW | F_SEAL_SEAL) != 0) return nullptr;
    void* memory = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (memory == MAP_FAILED) return nullptr;
    shared->pixels_ = static_cast<std::uint32_t*>(memory);
    shared->width_ = width;
    shared->height_ = height;
    return shared;
}

SharedPixels::~SharedPixels() {
    if (pixels_) ::munmap(pixels_, byte_size(width_, height_));
}

std::unique_ptr<SurfacePixels> map_shared_pixels(const UniqueFd& fd, int width, int height) {
    if (!fd || width <= 0 || height <= 0) return nullptr;
    int const seals = ::fcntl(fd.get(), F_GET_SEALS);
    if (seals < 0 || (seals & F_SEAL_SHRINK) == 0) return nullptr;
    struct stat status;
    auto const size = byte_size(width, height);
    if (::fstat(fd.get(), &status) != 0 || !S_ISREG(status.st_mode) || static_cast<std::size_t>(status.st_size) < size)
        return nullptr;
    void* memory = ::mmap(nullptr, size, PROT_READ, MAP_SHARED, fd.get(), 0);
    if (memory == MAP_FAILED) return nullptr;
    return std::make_unique<MappedPixels>(memory, width, height);
}

}  // namespace platform::screen
