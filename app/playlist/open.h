#pragma once

#include <memory>
#include <string>

#include "app/playlist/list.h"

namespace playlist {

// The playlist in the file, read by the first format that takes it, in the order M3U, ASX,
// MultiTracker, OfflineRadio; null when none does.
std::unique_ptr<List> open(const std::u16string& path);

}  // namespace playlist
