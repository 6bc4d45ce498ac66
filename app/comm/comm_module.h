// One endpoint of the command channel. The plain module answers nothing; the window module
// owns a hidden window whose class name is the module id, through which the endpoints of
// other processes reach it, and sends commands to the other endpoints of its id.
#pragma once

#include <cstdint>
#include <string>

#include "platform/types.h"

class CCommModule {
public:
    // A null registry or executable name means the module cannot start its peer. A show
    // flag of 0 starts the peer with the command line "-hide", any other with none.
    CCommModule(const char16_t* module_id, const char16_t* registry_name, const char16_t* executable_name,
                std::uint8_t show_flag);
    virtual ~CCommModule() = default;
    CCommModule(const CCommModule&) = delete;
    CCommModule& operator=(const CCommModule&) = delete;

    // Non-zero when a peer handled the command.
    virtual std::uint32_t send(std::int32_t command_id);
    // As send, but when no peer handles the command, none is started.
    virtual std::uint32_t send_to_running(std::int32_t command_id);
    // Starts the program installed in the folder that the registry value "InstlDir" under
    // HKEY_LOCAL_MACHINE "Software\Apps\" + registry name names, and gives it 5 s to set
    // up its end. True when the program was started.
    bool start_peer();

    const std::u16string& get_module_id() const { return module_id_; }

private:
    std::u16string const module_id_;
    std::u16string const registry_name_;
    std::u16string const executable_name_;
    std::uint8_t const show_flag_;
};

class CWindowCommModule : public CCommModule {
public:
    // Registers the window class (a class that exists already is fine) and creates the
    // hidden window on the calling thread, which must serve its messages.
    CWindowCommModule(const char16_t* module_id, const char16_t* registry_name, const char16_t* executable_name,
                      std::uint8_t show_flag, HINSTANCE instance);
    // Destroys the window; on the thread that created it.
    ~CWindowCommModule() override;

    // Sends the command to the top-level windows of the module's class but its own until
    // one answers non-zero. When none does, starts the peer and tries once more; not when
    // a peer did not answer in time, for that program is still at work. 1 when a peer
    // answered, else 0. The command is one numbered exchange (comm_exchange.h), ended
    // before send returns.
    std::uint32_t send(std::int32_t command_id) override;
    std::uint32_t send_to_running(std::int32_t command_id) override;

    HWND get_window() const { return window_; }

private:
    enum class Answer { answered, none, busy };
    std::uint32_t send(std::int32_t command_id, bool start_when_missing);
    Answer send_to_peers(std::int32_t command_id, std::uint32_t exchange);

    HINSTANCE const instance_;
    HWND window_ = nullptr;
};
