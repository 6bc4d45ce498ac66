// The kernel object behind a file handle (inside the Linux back end only): an open host
// file descriptor and the access that the handle was opened with.
#pragma once

#include <memory>

#include "platform/linux/kernel/handles.h"

namespace platform::detail {

class FileObject : public KernelObject {
public:
    FileObject(int descriptor, bool can_read, bool can_write)
        : descriptor_(descriptor), can_read_(can_read), can_write_(can_write) {}
    ~FileObject() override;
    FileObject(const FileObject&) = delete;
    FileObject& operator=(const FileObject&) = delete;

    int descriptor() const { return descriptor_; }
    bool can_read() const { return can_read_; }
    bool can_write() const { return can_write_; }

private:
    int descriptor_;
    bool can_read_;
    bool can_write_;
};

// The file behind a handle; null with ERROR_INVALID_HANDLE when the handle is no file.
std::shared_ptr<FileObject> find_file(HANDLE handle);

}  // namespace platform::detail
