#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/errors.h"
#include "platform/module.h"
#include "platform/unicode.h"
#include "tests/support/scoped_environment.h"
#include "tests/support/test_device.h"

namespace {

using testing_support::ScopedEnvironment;
using testing_support::TestDevice;

std::filesystem::path own_executable() { return std::filesystem::read_symlink("/proc/self/exe"); }

std::u16string module_file_name() {
    std::vector<char16_t> buffer(4096);
    DWORD const length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    return std::u16string(buffer.data(), length);
}

TEST(ModuleFileName, ThePathVariableOverridesTheExecutable) {
    ScopedEnvironment const module("SONBRIX_MODULE", "\\Storage Card\\Sonbrix\\Sonbrix.exe");
    EXPECT_EQ(module_file_name(), u"\\Storage Card\\Sonbrix\\Sonbrix.exe");
}

TEST(ModuleFileName, AnExecutableOutsideTheDeviceSeemsInstalledInProgramFiles) {
    TestDevice const device;
    ScopedEnvironment const module("SONBRIX_MODULE", nullptr);
    EXPECT_EQ(module_file_name(),
              u"\\Program Files\\Sonbrix\\" + platform::utf8_to_utf16(own_executable().filename().string()));
}

TEST(ModuleFileName, AnExecutableInsideTheDeviceHasItsOwnDevicePath) {
    TestDevice const device;
    ScopedEnvironment const module("SONBRIX_MODULE", nullptr);
    // The device's root is the executable's folder.
    std::filesystem::create_directory_symlink(own_executable().parent_path(), device.fs());
    EXPECT_EQ(module_file_name(), u"\\" + platform::utf8_to_utf16(own_executable().filename().string()));
}

TEST(ModuleFileName, ASmallBufferGetsATruncatedTerminatedPath) {
    ScopedEnvironment const module("SONBRIX_MODULE", "\\dir\\app");  // 8 characters
    struct Case {
        DWORD size;
        DWORD result;
        std::u16string contents;
        DWORD error;
    };
    Case const cases[] = {
        {20, 8, u"\\dir\\app", ERROR_SUCCESS},
        {9, 8, u"\\dir\\app", ERROR_SUCCESS},
        {8, 8, u"\\dir\\ap", ERROR_INSUFFICIENT_BUFFER},
        {1, 1, u"", ERROR_INSUFFICIENT_BUFFER},
    };
    for (auto const& c : cases) {
        std::vector<char16_t> buffer(c.size + 1, u'#');
        SetLastError(ERROR_SUCCESS);
        EXPECT_EQ(GetModuleFileNameW(nullptr, buffer.data(), c.size), c.result) << c.size;
        EXPECT_EQ(std::u16string(buffer.data()), c.contents) << c.size;
        EXPECT_EQ(buffer[c.size], u'#') << "written past the buffer of " << c.size;
        EXPECT_EQ(GetLastError(), c.error) << c.size;
    }
}

TEST(ModuleFileName, AnEmptyBufferReceivesNothing) {
    ScopedEnvironment const module("SONBRIX_MODULE", "\\dir\\app");
    char16_t untouched = u'#';
    EXPECT_EQ(GetModuleFileNameW(nullptr, &untouched, 0), 0u);
    EXPECT_EQ(untouched, u'#');
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
}

}  // namespace
