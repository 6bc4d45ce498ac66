// The names that the program and the start-screen plug-in share to find each other's end of
// the command channel.
#pragma once

#include <cstdint>

#include "platform/messages.h"

namespace comm_identifiers {

// The shared-memory block that carries the stack of values.
inline constexpr const char16_t* clipboard_name = u"45D0B2B5-21E4-489e-B4CB-96116AD41787";
// The window class of every endpoint's hidden window.
inline constexpr const char16_t* main_module_id = u"EBE7AF7D-AED3-478D-B042-6579150C6B61";
// Held by a sender for a whole exchange.
inline constexpr const char16_t* sender_mutex_name = u"C93D2162-DF95-4d68-8BDB-1E66491722CE";
// The number of the exchange that owns the stack, and the lock under which a handler
// checks it and touches the stack.
inline constexpr const char16_t* exchange_block_name = u"7B1E64C0-5A2F-4C1D-9E83-2F0A6D4B91C5";
inline constexpr const char16_t* reply_lock_name = u"0E5C9A7D-3B64-4F28-A1D9-C84E2B7F6013";
// Data bytes of the stack; the block adds its 4-byte length word.
inline constexpr std::uint32_t clipboard_capacity = 1024;
// The program's key under HKEY_LOCAL_MACHINE "Software\Apps\" and its file name there.
inline constexpr const char16_t* application_registry_name = u"XELO Sonbrix";
inline constexpr const char16_t* executable_name = u"Sonbrix.exe";
// wParam: the command id; lParam: the exchange's number (0: unnumbered).
inline constexpr UINT command_message = WM_USER + 1;

}  // namespace comm_identifiers
