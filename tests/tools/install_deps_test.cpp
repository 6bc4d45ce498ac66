#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/support/test_device.h"
#include "tests/tools/tool_run.h"

namespace {

using testing_support::write_host_file;
using tools_test::run_tool;
using tools_test::ToolRun;

// scripts/install-deps as an ordinary user on a machine without sudo: dpkg-query and id are
// stand-ins, and a package is installed unless its name says "missing".
class InstallDepsTest : public testing_support::DeviceTest {
protected:
    void SetUp() override {
        std::filesystem::create_directories(bin);
        for (const char* tool : {"bash", "dirname", "grep"})
            std::filesystem::create_symlink(std::filesystem::path("/usr/bin") / tool, bin + "/" + tool);
        write_script("id", "echo 1000");
        write_script("dpkg-query",
                     "case \"$3\" in *missing*) echo 'unknown ok not-installed';; *) echo 'install ok installed';; "
                     "esac");
    }
    void write_script(const std::string& name, const std::string& body) {
        write_host_file(bin + "/" + name, "#!/usr/bin/bash\n" + body + "\n");
        std::filesystem::permissions(bin + "/" + name, std::filesystem::perms::owner_all);
    }
    ToolRun install_deps(const std::string& packages) {
        write_host_file(device.folder() + "/packages.txt", packages);
        return run_tool("/usr/bin/bash", {SONBRIX_SOURCE_DIR "/scripts/install-deps"},
                        {{"PATH", bin}, {"SONBRIX_PACKAGES_FILE", device.folder() + "/packages.txt"}}, device.folder());
    }

    std::string bin = device.folder() + "/bin";
};

TEST_F(InstallDepsTest, WithoutSudoPrintsTheCommandToRunAsRoot) {
    ToolRun const run = install_deps("# comment\ncmake\nneeded-missing\nextra-missing  # optional: a skippable test\n");
    EXPECT_EQ(1, run.exit_code);
    EXPECT_NE(std::string::npos,
              run.out.find("apt-get update && apt-get install -y --no-install-recommends needed-missing extra-missing"))
        << run.out;
    EXPECT_EQ(std::string::npos, (run.out + run.err).find("sudo")) << run.out << run.err;
}

TEST_F(InstallDepsTest, AMissingOptionalPackageLetsTheRunGoOn) {
    ToolRun const run = install_deps("cmake\nextra-missing  # optional: a skippable test\n");
    EXPECT_EQ(0, run.exit_code) << run.out << run.err;
    EXPECT_NE(std::string::npos, run.out.find("optional packages missing: extra-missing")) << run.out;
}

TEST_F(InstallDepsTest, NothingMissingSaysNothing) {
    ToolRun const run = install_deps("cmake\nninja-build\n");
    EXPECT_EQ(0, run.exit_code);
    EXPECT_EQ("", run.out + run.err);
}

}  // namespace
