// Runs one of the command-line tools as a process, as a user would, and keeps what it said.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace tools_test {

struct ToolRun {
    int exit_code = -1;  // -1: it did not end in time and was killed
    std::string out;
    std::string err;
};

// Runs program with the arguments and these variables set in its environment (a later value
// of a name wins); its output goes through files in folder. A tool that has not ended after a
// few minutes counts as hanging: it is killed and its exit code is -1.
ToolRun run_tool(const std::string& program, const std::vector<std::string>& arguments,
                 const std::vector<std::pair<std::string, std::string>>& environment, const std::string& folder);

}  // namespace tools_test
