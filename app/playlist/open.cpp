#include "app/playlist/open.h"

#include "app/playlist/list_asx.h"
#include "app/playlist/list_m3u.h"
#include "app/playlist/list_multi_tracker.h"
#include "app/playlist/list_offline_radio.h"

namespace playlist {
namespace {

template <class Format>
std::unique_ptr<List> try_format(const std::u16string& path) {
    auto list = std::make_unique<Format>(path);
    if (!list->is_loaded()) return nullptr;
    return list;
}

}  // namespace

std::unique_ptr<List> open(const std::u16string& path) {
    for (auto const reader : {&try_format<ListM3U>, &try_format<ListASX>, &try_format<ListMultiTracker>,
                              &try_format<ListOfflineRadio>}) {
        if (auto list = reader(path)) return list;
    }
    return nullptr;
}

}  // namespace playlist
