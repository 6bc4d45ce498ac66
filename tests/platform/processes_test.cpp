#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>

#include "platform/errors.h"
#include "platform/handles.h"
#include "platform/processes.h"
#include "tests/support/test_device.h"

namespace {

using testing_support::read_host_file;
using testing_support::write_host_file;

// Writes its argument count, its arguments and its module path to out.txt at the device's
// root, then ends with exit code 5.
constexpr const char* recording_program =
    "#!/bin/sh\n"
    "printf '%s\\n' \"$#\" \"$@\" \"$SONBRIX_MODULE\" > \"$SONBRIX_DEVICE/fs/out.txt\"\n"
    "exit 5\n";

class CreateProcess : public testing_support::DeviceTest {
protected:
    void SetUp() override {
        std::string const program = device.host_path("Program Files/App/App.exe");
        write_host_file(program, recording_program);
        ASSERT_EQ(chmod(program.c_str(), 0755), 0);
    }

    // Starts the program, waits for it and returns what it wrote.
    std::string run(const char16_t* application, const char16_t* command_line) {
        std::u16string line = command_line ? command_line : u"";
        PROCESS_INFORMATION information{};
        if (!CreateProcessW(application, command_line ? line.data() : nullptr, nullptr, nullptr, FALSE, 0, nullptr,
                            nullptr, nullptr, &information)) {
            ADD_FAILURE() << "not started, error " << GetLastError();
            return {};
        }
        EXPECT_NE(information.dwProcessId, 0u);
        EXPECT_EQ(WaitForSingleObject(information.hProcess, INFINITE), WAIT_OBJECT_0);
        EXPECT_EQ(WaitForSingleObject(information.hThread, 0), WAIT_OBJECT_0);
        DWORD exit_code = 0;
        EXPECT_TRUE(GetExitCodeProcess(information.hProcess, &exit_code));
        EXPECT_EQ(exit_code, 5u);
        EXPECT_TRUE(CloseHandle(information.hThread));
        EXPECT_TRUE(CloseHandle(information.hProcess));
        return read_host_file(device.host_path("out.txt"));
    }
};

TEST_F(CreateProcess, TheProgramSeesExactlyItsCommandLineAndItsDevicePath) {
    EXPECT_EQ(run(u"\\program files\\app\\APP.exe", u"-hide"), "1\n-hide\n\\Program Files\\App\\App.exe\n");
    EXPECT_EQ(run(u"\\Program Files\\App\\App.exe", u"\"\\My Documents\\a b.wav\" -x"),
              "1\n\"\\My Documents\\a b.wav\" -x\n\\Program Files\\App\\App.exe\n");
}

TEST_F(CreateProcess, AnEmptyOrMissingCommandLineGivesNoArgument) {
    EXPECT_EQ(run(u"\\Program Files\\App\\App.exe", nullptr), "0\n\\Program Files\\App\\App.exe\n");
    EXPECT_EQ(run(u"\\Program Files\\App\\App.exe", u""), "0\n\\Program Files\\App\\App.exe\n");
}

TEST_F(CreateProcess, FailsForWhatCannotBeStarted) {
    write_host_file(device.host_path("Program Files/App/notes.txt"), "plain text");
    struct Case {
        const char16_t* application;
        DWORD error;
    };
    Case const cases[] = {
        {nullptr, ERROR_INVALID_PARAMETER},
        {u"", ERROR_INVALID_PARAMETER},
        {u"\\Program Files\\App\\Other.exe", ERROR_FILE_NOT_FOUND},
        {u"\\Program Files\\Gone\\App.exe", ERROR_PATH_NOT_FOUND},
        {u"\\Program Files\\App", ERROR_ACCESS_DENIED},
        {u"\\Program Files\\App\\notes.txt", ERROR_ACCESS_DENIED},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
        PROCESS_INFORMATION information{};
        EXPECT_FALSE(CreateProcessW(c.application, nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, nullptr,
                                    &information));
        EXPECT_EQ(GetLastError(), c.error);
        EXPECT_EQ(information.hProcess, nullptr);
    }
}

}  // namespace
