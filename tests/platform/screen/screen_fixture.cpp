#include "tests/platform/screen/screen_fixture.h"

namespace screen_tests {

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
