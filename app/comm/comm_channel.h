// The process's end of the command channel: its stack, its modules and its command
// handlers. Everything here runs on the thread that set the channel up (the user-interface
// thread); set up once, the channel lives until the process ends.
//
// A command is the message WM_USER + 1 with the command id in wParam, sent to an
// endpoint's hidden window. The sender pushes the request, sends, and pops the reply,
// holding the named sender mutex for the whole exchange.
#pragma once

#include <cstdint>

#include "platform/types.h"

class CCommandDelegate;
class CCommModule;

// Installs the shared stack (capacity data bytes) as the process's stack, makes module_id
// this process's id and adds a window module with the given names. True.
bool init_comm(const char16_t* registry_name, const char16_t* executable_name, std::uint8_t show_flag,
               const char16_t* module_id, std::uint32_t capacity);
// The program's and the plug-in's set-up: the names of comm_identifiers.h.
bool init_main_comm();
// The id that the last set-up gave this process (empty before).
const char16_t* get_comm_module_id();

// The delegate answers the command from now on (a later registration replaces it, a null
// delegate removes it). The caller keeps the delegate alive while it is registered.
void register_command_delegate(std::int32_t command_id, CCommandDelegate* delegate);

// Takes ownership; replaces (and deletes) a module with the same id. Null is ignored.
void add_comm_module(CCommModule* module);
// Deletes the module with that id (compared exactly).
void remove_comm_module(const char16_t* module_id);
// The module with that id, else a default module that answers every send with 0.
CCommModule* find_comm_module(const char16_t* module_id);

// The hidden windows' procedure: runs the handler registered for the command id and
// answers its result, 0 for an id without a handler.
LRESULT comm_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
