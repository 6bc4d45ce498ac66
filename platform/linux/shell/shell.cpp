#include "platform/shell.h"

#include <array>
#include <string_view>

#include "platform/linux/shell/special_folders.h"

using platform::detail::special_folders;
using platform::detail::SpecialFolder;

// Here an item list names one entry of the special-folder table.
struct ITEMIDLIST {
    const SpecialFolder* folder;
};

namespace {

constexpr std::size_t folder_count = std::size(special_folders);

constexpr std::array<ITEMIDLIST, folder_count> make_item_lists() {
    std::array<ITEMIDLIST, folder_count> lists{};
    for (std::size_t i = 0; i < folder_count; ++i) lists[i].folder = &special_folders[i];
    return lists;
}

// Constant-initialised: static initialisers look special folders up before main.
constinit std::array<ITEMIDLIST, folder_count> item_lists = make_item_lists();

}  // namespace

HRESULT SHGetSpecialFolderLocation(HWND, int csidl, LPITEMIDLIST* item_list) {
    if (!item_list) return E_INVALIDARG;
    *item_list = nullptr;
    for (auto& list : item_lists) {
        if (list.folder->csidl == csidl) {
            *item_list = &list;
            return S_OK;
        }
    }
    return E_INVALIDARG;
}

BOOL SHGetPathFromIDList(LPCITEMIDLIST item_list, LPWSTR path) {
    if (!item_list || !path) return FALSE;
    std::u16string_view const folder = item_list->folder->device_path;
    if (folder.size() >= MAX_PATH) return FALSE;
    folder.copy(path, folder.size());
    path[folder.size()] = u'\0';
    return TRUE;
}
