// Independent programs the tests check our files with (sox, ffprobe, ...), run through the shell.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

namespace testing_support {

inline bool have_tool(const char* tool) {
    return std::system((std::string("command -v ") + tool + " >/dev/null 2>&1").c_str()) == 0;
}

// What the command writes to standard output (its diagnostics are dropped).
inline std::string command_output(const std::string& command) {
    std::string out;
    if (FILE* const pipe = popen((command + " 2>/dev/null").c_str(), "r")) {
        char buffer[256];
        while (fgets(buffer, sizeof buffer, pipe) != nullptr) out += buffer;
        pclose(pipe);
    }
    return out;
}

}  // namespace testing_support
