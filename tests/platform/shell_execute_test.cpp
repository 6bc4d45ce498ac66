#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>

#include <cerrno>
#include <chrono>
#include <string>
#include <thread>

#include "platform/errors.h"
#include "platform/handles.h"
#include "platform/processes.h"
#include "platform/registry.h"
#include "platform/shell_execute.h"
#include "tests/support/test_device.h"

namespace {

using testing_support::DeviceTest;
using testing_support::read_host_file;
using testing_support::write_host_file;

// Writes its argument count, its arguments and the module path it was given to out.txt
// at the device's root, then ends with exit code 7.
constexpr const char* recording_program =
    "#!/bin/sh\n"
    "printf '%s\\n' \"$#\" \"$@\" \"$SONBRIX_MODULE\" > \"$SONBRIX_DEVICE/fs/out.txt\"\n"
    "exit 7\n";

void set_class_value(const std::u16string& subkey, const std::u16string& text) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, subkey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                             static_cast<DWORD>((text.size() + 1) * sizeof(char16_t))),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

class ShellExecute : public DeviceTest {
protected:
    void SetUp() override {
        std::string const program = device.host_path("Program Files/Tool/Tool.exe");
        write_host_file(program, recording_program);
        ASSERT_EQ(chmod(program.c_str(), 0755), 0);
        write_host_file(device.host_path("My Documents/a song.wav"), "RIFF");
    }

    SHELLEXECUTEINFO info(const char16_t* file, const char16_t* parameters = nullptr) {
        SHELLEXECUTEINFO info{};
        info.cbSize = sizeof(info);
        info.fMask = SEE_MASK_NOCLOSEPROCESS;
        info.lpVerb = u"open";
        info.lpFile = file;
        info.lpParameters = parameters;
        info.nShow = SW_SHOWNORMAL;
        return info;
    }

    // Starts the file, waits for the process and returns what it wrote.
    std::string run(const char16_t* file, const char16_t* parameters = nullptr) {
        SHELLEXECUTEINFO started = info(file, parameters);
        if (!ShellExecuteEx(&started)) {
            ADD_FAILURE() << "not started, error " << GetLastError();
            return {};
        }
        EXPECT_GT(reinterpret_cast<std::uintptr_t>(started.hInstApp), 32u);
        EXPECT_EQ(WaitForSingleObject(started.hProcess, INFINITE), WAIT_OBJECT_0);
        DWORD exit_code = 0;
        EXPECT_TRUE(GetExitCodeProcess(started.hProcess, &exit_code));
        EXPECT_EQ(exit_code, 7u);
        EXPECT_TRUE(CloseHandle(started.hProcess));
        return read_host_file(device.host_path("out.txt"));
    }
};

TEST_F(ShellExecute, StartsADeviceProgramWithItsParametersAsOneArgument) {
    EXPECT_EQ(run(u"\\program files\\tool\\tool.EXE", u"-hide \"\\My Documents\\a song.wav\""),
              "1\n-hide \"\\My Documents\\a song.wav\"\n\\Program Files\\Tool\\Tool.exe\n");
    EXPECT_EQ(run(u"\\Program Files\\Tool\\Tool.exe", u""), "0\n\\Program Files\\Tool\\Tool.exe\n");
}

TEST_F(ShellExecute, TheEndedProcessIsCollected) {
    run(u"\\Program Files\\Tool\\Tool.exe");
    EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);
}

TEST_F(ShellExecute, AProcessWhoseHandleIsNotKeptIsCollectedToo) {
    SHELLEXECUTEINFO started = info(u"\\Program Files\\Tool\\Tool.exe");
    started.fMask = 0;
    ASSERT_TRUE(ShellExecuteEx(&started));
    EXPECT_EQ(started.hProcess, nullptr);
    // Looks without collecting, until no child (ended or not) is left.
    siginfo_t child{};
    auto const give_up = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (waitid(P_ALL, 0, &child, WEXITED | WNOHANG | WNOWAIT) == 0 && std::chrono::steady_clock::now() < give_up) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_EQ(errno, ECHILD);
}

TEST_F(ShellExecute, OpensADocumentThroughItsAssociation) {
    struct Case {
        std::u16string command;
        std::string arguments;
    };
    Case const cases[] = {
        {u"\"\\Program Files\\Tool\\Tool.exe\" -play \"%1\"", "-play \"\\My Documents\\a song.wav\""},
        {u"\\Program Files\\Tool\\Tool.exe %1", "\\My Documents\\a song.wav"},
        {u"\\Program Files\\Tool\\Tool.exe", "\"\\My Documents\\a song.wav\""},
    };
    set_class_value(u".WAV", u"wavfile");
    for (auto const& c : cases) {
        SCOPED_TRACE(c.arguments);
        set_class_value(u"wavfile\\Shell\\Open\\Command", c.command);
        EXPECT_EQ(run(u"\\My Documents\\a song.wav", u"ignored"),
                  "1\n" + c.arguments + "\n\\Program Files\\Tool\\Tool.exe\n");
    }
}

TEST_F(ShellExecute, StartsNothingElse) {
    write_host_file(device.host_path("My Documents/a.txt"), "text");
    write_host_file(device.host_path("My Documents/b.mp3"), "mp3");
    write_host_file(device.host_path("My Documents/noext"), "x");
    write_host_file(device.host_path("Windows/plain.exe"), "not runnable");
    set_class_value(u".txt", u"txtfile");
    set_class_value(u"txtfile\\Shell\\Open\\Command", u"\\Windows\\notes.bat %1");
    set_class_value(u".mp3", u"mp3file");
    set_class_value(u"mp3file\\Shell\\Open\\Command", u"\\Windows\\missing.exe %1");
    struct Case {
        const char16_t* file;
        const char16_t* verb;
        DWORD error;
        std::uintptr_t code;
    };
    Case const cases[] = {
        {u"\\My Documents\\missing.wav", u"open", ERROR_FILE_NOT_FOUND, SE_ERR_FNF},
        {u"\\none\\missing.wav", u"open", ERROR_PATH_NOT_FOUND, SE_ERR_PNF},
        {u"\\My Documents\\a song.wav", u"open", ERROR_NO_ASSOCIATION, SE_ERR_NOASSOC},
        {u"\\My Documents\\noext", u"open", ERROR_NO_ASSOCIATION, SE_ERR_NOASSOC},
        {u"\\My Documents\\a.txt", u"open", ERROR_NO_ASSOCIATION, SE_ERR_NOASSOC},
        {u"\\My Documents\\b.mp3", u"open", ERROR_FILE_NOT_FOUND, SE_ERR_FNF},
        {u"\\My Documents", u"open", ERROR_NO_ASSOCIATION, SE_ERR_NOASSOC},
        {u"\\Windows\\plain.exe", u"open", ERROR_ACCESS_DENIED, SE_ERR_ACCESSDENIED},
        {u"\\Program Files\\Tool", u"open", ERROR_NO_ASSOCIATION, SE_ERR_NOASSOC},
        {u"\\Program Files\\Tool\\Tool.exe", u"print", ERROR_NOT_SUPPORTED, SE_ERR_ACCESSDENIED},
    };
    for (auto const& c : cases) {
        SCOPED_TRACE(std::u16string(c.file).size());
        SHELLEXECUTEINFO started = info(c.file);
        started.lpVerb = c.verb;
        EXPECT_FALSE(ShellExecuteEx(&started));
        EXPECT_EQ(GetLastError(), c.error);
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(started.hInstApp), c.code);
        EXPECT_EQ(started.hProcess, nullptr);
    }
    EXPECT_FALSE(testing_support::host_file_exists(device.host_path("out.txt")));
}

}  // namespace
