#include "tests/platform/screen/screen_fixture.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace screen_tests {

bool server_lock_is_free(const std::string& device_folder) {
    int const lock = ::open((device_folder + "/run/screen/server.lock").c_str(), O_RDWR | O_CLOEXEC);
    if (lock < 0) return true;
    bool const free = ::flock(lock, LOCK_EX | LOCK_NB) == 0;
    ::close(lock);
    return free;
}

ScreenProcess::ScreenProcess() : child_(SONBRIX_SCREEN_CLIENT, {}) { EXPECT_EQ(child_.read_line(), "ready"); }

bool ScreenProcess::run(const std::string& command) {
    child_.write_line(command);
    for (;;) {
        std::string const line = child_.read_line();
        if (line.rfind("event ", 0) == 0) {
            events_.push_back(line.substr(6));
            continue;
        }
        return line == "ok";
    }
}

std::vector<std::string> ScreenProcess::events() {
    run("ping");
    return std::exchange(events_, {});
}

}  // namespace screen_tests
