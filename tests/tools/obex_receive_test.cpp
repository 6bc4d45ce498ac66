#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/test_device.h"
#include "tests/tools/tool_run.h"

namespace {

using tools_test::run_tool;
using tools_test::ToolRun;

// obex-receive refuses what it cannot work with before it comes into range.
TEST(ObexReceiveTool, NamesAWrongArgumentOrFolderAndPrintsHelpOnStandardOutput) {
    testing_support::TestDevice device;
    struct Case {
        std::vector<std::string> arguments;
        int exit_code;
        const char* message;  // on standard error, or on standard output for help
    } const cases[] = {
        {{"--help"}, 0, "usage: obex-receive [options]"},
        {{"--into", "/nonexistent/folder"}, 1, "no such folder: /nonexistent/folder"},
        {{"--bogus"}, 2, "unknown argument: --bogus"},
        {{"--name"}, 2, "--name needs a value"},
        {{"--lsap", "999"}, 2, "--lsap 999: not a valid value"},
        {{"--id", "xyz"}, 2, "--id xyz: not a valid value"},
    };
    for (auto const& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.arguments));
        ToolRun const run = run_tool(SONBRIX_OBEX_RECEIVE, c.arguments, {{"SONBRIX_DEVICE", device.folder()}}, device.folder());
        EXPECT_EQ(c.exit_code, run.exit_code);
        std::string const& said = c.exit_code == 0 ? run.out : run.err;
        EXPECT_NE(std::string::npos, said.find(c.message)) << said;
    }
}

}  // namespace
