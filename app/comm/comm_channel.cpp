#include "app/comm/comm_channel.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/comm/command_delegate.h"
#include "app/comm/comm_exchange.h"
#include "app/comm/comm_identifiers.h"
#include "app/comm/comm_module.h"
#include "app/comm/memory_mapped_clipboard.h"
#include "platform/kernel.h"
#include "platform/windows.h"

namespace {

struct ForwardedMessage {
    HWND window;
    UINT message;
    WPARAM wparam;
    LPARAM lparam;
};

// The process-wide state; it lives until the process ends.
struct Channel {
    std::u16string module_id;
    // The first entry is the default module; the list is empty until the first addition.
    std::vector<std::unique_ptr<CCommModule>> modules;
    // Consulted in this order; only delegates can be registered.
    std::map<std::int32_t, std::uint32_t (*)()> callbacks;
    std::map<std::int32_t, CCommandDelegate*> delegates;
    std::map<std::int32_t, ForwardedMessage> forwarded_messages;
    std::map<std::int32_t, HANDLE> events;
};

Channel& channel() {
    static auto* const instance = new Channel;
    return *instance;
}

void ensure_default_module() {
    auto& modules = channel().modules;
    if (modules.empty()) modules.push_back(std::make_unique<CCommModule>(u"default", nullptr, nullptr, 0));
}

// The module with that id among the added ones (never the default entry).
std::vector<std::unique_ptr<CCommModule>>::iterator added_module(const char16_t* module_id) {
    auto& modules = channel().modules;
    if (modules.empty() || !module_id) return modules.end();
    for (auto entry = modules.begin() + 1; entry != modules.end(); ++entry) {
        if ((*entry)->get_module_id() == module_id) return entry;
    }
    return modules.end();
}

template <class Table>
const typename Table::mapped_type* entry_of(const Table& table, std::int32_t command_id) {
    auto const found = table.find(command_id);
    return found == table.end() ? nullptr : &found->second;
}

LRESULT dispatch(std::int32_t command_id) {
    auto const& c = channel();
    if (auto const* callback = entry_of(c.callbacks, command_id)) return (*callback)();
    if (auto const* delegate = entry_of(c.delegates, command_id)) return (*delegate)->execute();
    if (auto const* forward = entry_of(c.forwarded_messages, command_id)) {
        return SendMessageW(forward->window, forward->message, forward->wparam, forward->lparam);
    }
    if (auto const* event = entry_of(c.events, command_id)) return EventModify(*event, EVENT_SET);
    return 0;
}

}  // namespace

bool init_comm(const char16_t* registry_name, const char16_t* executable_name, std::uint8_t show_flag,
               const char16_t* module_id, std::uint32_t capacity) {
    CCommClipboard::install(new CCommMemoryMappedFilesClipboard(capacity + 4, comm_identifiers::clipboard_name));
    CommExchange::reopen();
    channel().module_id = module_id ? module_id : u"";
    add_comm_module(new CWindowCommModule(module_id, registry_name, executable_name, show_flag, nullptr));
    return true;
}

bool init_main_comm() {
    return init_comm(comm_identifiers::application_registry_name, comm_identifiers::executable_name, 0,
                     comm_identifiers::main_module_id, comm_identifiers::clipboard_capacity);
}

const char16_t* get_comm_module_id() { return channel().module_id.c_str(); }

void register_command_delegate(std::int32_t command_id, CCommandDelegate* delegate) {
    auto& delegates = channel().delegates;
    if (delegate) {
        delegates[command_id] = delegate;
    } else {
        delegates.erase(command_id);
    }
}

void add_comm_module(CCommModule* module) {
    if (!module) return;
    remove_comm_module(module->get_module_id().c_str());
    ensure_default_module();
    channel().modules.emplace_back(module);
}

void remove_comm_module(const char16_t* module_id) {
    auto& modules = channel().modules;
    auto const entry = added_module(module_id);
    if (entry == modules.end()) return;
    modules.erase(entry);
    if (modules.size() == 1) modules.clear();
}

CCommModule* find_comm_module(const char16_t* module_id) {
    ensure_default_module();
    auto const entry = added_module(module_id);
    return entry == channel().modules.end() ? channel().modules.front().get() : entry->get();
}

LRESULT comm_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message != comm_identifiers::command_message) return DefWindowProcW(window, message, wparam, lparam);
    // While the handler runs, the stack answers only while its exchange is current.
    CommExchange::Serving const serving(static_cast<std::uint32_t>(lparam));
    return dispatch(static_cast<std::int32_t>(wparam));
}
