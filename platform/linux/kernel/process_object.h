// Processes started by this one (inside the Linux back end only): the kernel object behind
// a process handle, and the start of a device program.
#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/linux/kernel/handles.h"

namespace platform::detail {

// Signalled once the process has ended and been collected.
class ProcessObject final : public KernelObject {
public:
    explicit ProcessObject(DWORD process_id = 0) : id_(process_id) {}
    DWORD id() const { return id_; }
    DWORD wait(DWORD timeout_ms) override;
    // STILL_ACTIVE while it runs.
    DWORD exit_code();
    void end(DWORD exit_code);

private:
    DWORD const id_;
    std::mutex lock_;
    std::condition_variable changed_;
    bool ended_ = false;
    DWORD exit_code_ = 0;
};

// Starts the host file behind a device program as a child process with the given
// arguments. The child sees the same device (SONBRIX_DEVICE) and has module_device_path as
// its module path (SONBRIX_MODULE). A thread of ours collects the child when it ends, so
// no ended child is left behind. Null with the last error when it cannot be started.
std::shared_ptr<ProcessObject> start_device_program(const std::string& host_program,
                                                    const std::u16string& module_device_path,
                                                    const std::vector<std::string>& arguments);

}  // namespace platform::detail
