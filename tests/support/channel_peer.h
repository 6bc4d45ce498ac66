// The command channel's stand-in program (channel_peer/main.cpp) as a device program of a
// test device, and a look into the shared-memory block of the channel's stack.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/types.h"
#include "tests/support/child_process.h"
#include "tests/support/test_device.h"

namespace testing_support {

// Puts the stand-in program into the device at the host path of that device file
// ("Program Files/Sonbrix/Sonbrix.exe").
void install_channel_peer(const TestDevice& device, const std::string& below_root);

// Records the device folder in which the program is installed, where the channel looks
// for the program to start.
void set_installation_folder(const std::u16string& folder);

// The lines that stand-in programs of the current device have noted so far.
std::vector<std::string> channel_peer_notes();
// Waits until the line has been noted (false after a guard time of 10 s).
bool wait_for_channel_peer_note(const std::string& line);

// A stand-in program started by the test with CreateProcessW; a serving one is asked to
// end when this object ends.
class ChannelPeer {
public:
    // Waits until the program is ready to serve (a command line other than "attach ...")
    // or has ended.
    ChannelPeer(const std::u16string& device_program, const std::u16string& command_line);
    ~ChannelPeer();
    ChannelPeer(const ChannelPeer&) = delete;
    ChannelPeer& operator=(const ChannelPeer&) = delete;

    bool started() const { return process_ != nullptr; }
    // Asks a serving program to end and waits for its end; its exit code.
    DWORD stop();

private:
    HANDLE process_ = nullptr;
};

// The stand-in program run straight from the build as a child process of the test, which
// knows its process id and can kill it (a serving one is ready once it noted "ready").
std::unique_ptr<ChildProcess> channel_peer_child(const std::vector<std::string>& arguments);

// Asks every serving stand-in program of the device to end, and waits until it noted so.
void stop_channel_peer_started_elsewhere();

// A view of the channel's shared block: the stack's length word and data.
class SharedStackView {
public:
    SharedStackView();
    ~SharedStackView();
    SharedStackView(const SharedStackView&) = delete;
    SharedStackView& operator=(const SharedStackView&) = delete;

    std::uint32_t depth() const;
    void set_depth(std::uint32_t depth);
    // The stack's data bytes, oldest first.
    std::vector<std::uint8_t> contents() const;

private:
    HANDLE mapping_ = nullptr;
    std::uint8_t* view_ = nullptr;
};

}  // namespace testing_support
