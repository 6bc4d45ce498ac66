// Where and how the clipboard's data is kept on the device (inside the Linux back end only).
//
// The data of every format lives in "<device>/run/clipboard.data". It is replaced as a whole:
// written to "clipboard.new" and renamed over the data file, so a reader sees the old or the
// new data whole. Only the thread that has the clipboard open writes; having it open is an
// exclusive flock on "<device>/run/clipboard.lock", which the host drops when its process ends.
#pragma once

#include <map>
#include <string>

#include "platform/types.h"

namespace platform::detail {

// The bytes of each format on the clipboard.
using ClipboardContents = std::map<UINT, std::string>;

// The run folder of the device of this moment.
std::string clipboard_folder();
std::string clipboard_lock_file(const std::string& folder);

// Missing, unreadable or damaged data counts as an empty clipboard.
ClipboardContents read_clipboard(const std::string& folder);
// ERROR_SUCCESS, or the error met (the stored data is then unchanged).
DWORD write_clipboard(const std::string& folder, const ClipboardContents& contents);

}  // namespace platform::detail
