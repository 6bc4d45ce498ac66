#include "tests/support/channel_peer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>

#include "platform/device.h"
#include "platform/errors.h"
#include "platform/file_mapping.h"
#include "platform/handles.h"
#include "platform/processes.h"
#include "platform/registry.h"
#include "platform/windows.h"

namespace testing_support {
namespace {

constexpr UINT quit_message = WM_USER + 2;
constexpr DWORD guard_ms = 10000;

bool is_attach(const std::u16string& command_line) { return command_line.rfind(u"attach ", 0) == 0; }

}  // namespace

void install_channel_peer(const TestDevice& device, const std::string& below_root) {
    std::filesystem::path const link = device.host_path(below_root);
    std::filesystem::create_directories(link.parent_path());
    std::filesystem::create_symlink(SONBRIX_CHANNEL_PEER, link);
}

std::vector<std::string> channel_peer_notes() {
    std::vector<std::string> lines;
    std::ifstream log(platform::host_path(u"\\channel-peer.txt").value_or(""));
    for (std::string line; std::getline(log, line);) lines.push_back(line);
    return lines;
}

bool wait_for_channel_peer_note(const std::string& line) {
    auto const deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(guard_ms);
    while (std::chrono::steady_clock::now() < deadline) {
        auto const notes = channel_peer_notes();
        if (std::find(notes.begin(), notes.end(), line) != notes.end()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
}

ChannelPeer::ChannelPeer(const std::u16string& device_program, const std::u16string& command_line) {
    std::u16string line = command_line;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(device_program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, nullptr,
                        &started)) {
        ADD_FAILURE() << "the stand-in program did not start, error " << GetLastError();
        return;
    }
    CloseHandle(started.hThread);
    process_ = started.hProcess;
    if (is_attach(command_line)) {
        EXPECT_EQ(WaitForSingleObject(process_, guard_ms), WAIT_OBJECT_0);
    } else {
        EXPECT_TRUE(wait_for_channel_peer_note("ready"));
    }
}

ChannelPeer::~ChannelPeer() {
    if (process_) stop();
}

DWORD ChannelPeer::stop() {
    if (!process_) return 0;
    if (WaitForSingleObject(process_, 0) != WAIT_OBJECT_0) {
        HWND const control = FindWindowW(u"ChannelPeerControl", nullptr);
        if (control) PostMessageW(control, quit_message, 0, 0);
        EXPECT_EQ(WaitForSingleObject(process_, guard_ms), WAIT_OBJECT_0);
    }
    DWORD exit_code = 0;
    GetExitCodeProcess(process_, &exit_code);
    CloseHandle(process_);
    process_ = nullptr;
    return exit_code;
}

std::unique_ptr<ChildProcess> channel_peer_child(const std::vector<std::string>& arguments) {
    return std::make_unique<ChildProcess>(SONBRIX_CHANNEL_PEER, arguments);
}

void stop_channel_peer_started_elsewhere() {
    HWND const control = FindWindowW(u"ChannelPeerControl", nullptr);
    if (!control) return;
    PostMessageW(control, quit_message, 0, 0);
    EXPECT_TRUE(wait_for_channel_peer_note("end"));
}

SharedStackView::SharedStackView() {
    mapping_ = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 1028,
                                  u"45D0B2B5-21E4-489e-B4CB-96116AD41787");
    view_ = static_cast<std::uint8_t*>(MapViewOfFile(mapping_, FILE_MAP_ALL_ACCESS, 0, 0, 0));
}

SharedStackView::~SharedStackView() {
    if (view_) UnmapViewOfFile(view_);
    if (mapping_) CloseHandle(mapping_);
}

std::uint32_t SharedStackView::depth() const {
    std::uint32_t depth;
    std::memcpy(&depth, view_, sizeof depth);
    return depth;
}

void SharedStackView::set_depth(std::uint32_t depth) { std::memcpy(view_, &depth, sizeof depth); }

std::vector<std::uint8_t> SharedStackView::contents() const {
    std::uint32_t const size = std::min<std::uint32_t>(depth(), 1024);
    return std::vector<std::uint8_t>(view_ + 4, view_ + 4 + size);
}

void set_installation_folder(const std::u16string& folder) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"Software\\Apps\\XELO Sonbrix", 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExW(key, u"InstlDir", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                             static_cast<DWORD>((folder.size() + 1) * sizeof(char16_t))),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

}  // namespace testing_support
