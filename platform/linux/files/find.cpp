// Directory search: FindFirstFileW, FindNextFileW, FindClose.
#include "platform/find.h"
#include "platform/storage_cards.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/device.h"
#include "platform/errors.h"
#include "platform/linux/files/entries.h"
#include "platform/linux/files/storage_cards.h"
#include "platform/linux/kernel/errors.h"
#include "platform/linux/kernel/handles.h"
#include "platform/linux/files/wildcard.h"
#include "platform/unicode.h"

namespace platform::detail {
namespace {

struct FoundName {
    std::u16string name;
    std::string host_name;
};

// The names of one folder that matched, in order, and how far the search has come.
class FindObject final : public KernelObject {
public:
    FindObject(std::string folder, std::vector<FoundName> names)
        : folder_(std::move(folder)),
          names_(std::move(names)),
          cards_(is_device_root(folder_) ? storage_card_names() : std::vector<std::u16string>()) {}

    // Fills the next entry that is still there; false at the end.
    bool next(WIN32_FIND_DATAW& data);

private:
    std::mutex lock_;
    std::string const folder_;
    std::vector<FoundName> const names_;
    std::vector<std::u16string> const cards_;  // when the folder is the root
    std::size_t next_ = 0;
};

FILETIME filetime_of(const struct statx_timestamp& time) {
    constexpr std::int64_t seconds_1601_to_1970 = 11644473600;
    constexpr std::int64_t latest_seconds = 900'000'000'000;  // FILETIME ends near 9.2e11 s
    std::int64_t const seconds = std::clamp<std::int64_t>(time.tv_sec + seconds_1601_to_1970, 0, latest_seconds);
    auto const value = static_cast<std::uint64_t>(seconds * 10'000'000 + time.tv_nsec / 100);
    return {static_cast<DWORD>(value), static_cast<DWORD>(value >> 32)};
}

std::optional<struct statx> status_of(const std::string& path, int flags) {
    struct statx status;
    if (statx(AT_FDCWD, path.c_str(), flags, STATX_BASIC_STATS | STATX_BTIME, &status) != 0) return std::nullopt;
    return status;
}

// The entry as the device sees it: a file (a symbolic link to a file counts as one) or a
// folder that is no link; nullopt for anything else or an entry that has gone.
std::optional<struct statx> reportable_status(const std::string& path) {
    auto status = status_of(path, AT_SYMLINK_NOFOLLOW);
    if (status && S_ISLNK(status->stx_mode)) {
        status = status_of(path, 0);
        if (status && !S_ISREG(status->stx_mode)) return std::nullopt;
    }
    if (!status || !(S_ISREG(status->stx_mode) || S_ISDIR(status->stx_mode))) return std::nullopt;
    return status;
}

void fill(WIN32_FIND_DATAW& data, const struct statx& status, const std::u16string& name) {
    bool const is_folder = S_ISDIR(status.stx_mode);
    std::uint64_t const size = is_folder ? 0 : status.stx_size;
    data.dwFileAttributes = attributes_of(status.stx_mode);
    data.ftLastWriteTime = filetime_of(status.stx_mtime);
    data.ftLastAccessTime = filetime_of(status.stx_atime);
    data.ftCreationTime = (status.stx_mask & STATX_BTIME) ? filetime_of(status.stx_btime) : data.ftLastWriteTime;
    data.nFileSizeHigh = static_cast<DWORD>(size >> 32);
    data.nFileSizeLow = static_cast<DWORD>(size);
    data.dwOID = 0;
    std::copy(name.begin(), name.end(), data.cFileName);
    data.cFileName[name.size()] = u'\0';
}

bool FindObject::next(WIN32_FIND_DATAW& data) {
    std::lock_guard guard(lock_);
    while (next_ < names_.size()) {
        FoundName const& found = names_[next_++];
        if (auto const status = reportable_status(folder_ + "/" + found.host_name)) {
            fill(data, *status, found.name);
            if (S_ISDIR(status->stx_mode) && is_storage_card_name(cards_, found.name)) {
                data.dwFileAttributes |= FILE_ATTRIBUTE_TEMPORARY;
            }
            return true;
        }
    }
    return false;
}

// A host name that the device can spell: valid UTF-8 that fits a name buffer and holds
// no separator ('\\' would make it name another entry) and no character that the device
// refuses in names.
std::optional<std::u16string> device_name(std::string_view host_name) {
    std::u16string name = utf8_to_utf16(host_name);
    if (name.size() >= MAX_PATH || utf16_to_utf8(name) != host_name) return std::nullopt;
    if (name.find(u'\\') != std::u16string::npos || has_invalid_name_character(name)) return std::nullopt;
    return name;
}

// The matching names of the folder in order, or nullopt with the last error.
std::optional<std::vector<FoundName>> matching_names(const std::string& folder, std::u16string_view pattern) {
    DIR* const dir = opendir(folder.c_str());
    if (!dir) {
        int const error = errno;
        SetLastError(error == ENOENT || error == ENOTDIR ? ERROR_PATH_NOT_FOUND : error_from_errno(error));
        return std::nullopt;
    }
    std::vector<FoundName> names;
    while (dirent const* entry = readdir(dir)) {
        std::string_view const host_name = entry->d_name;
        if (host_name == "." || host_name == "..") continue;
        auto name = device_name(host_name);
        if (name && matches_wildcard(pattern, *name)) names.push_back({std::move(*name), std::string(host_name)});
    }
    closedir(dir);
    std::sort(names.begin(), names.end(), [](const FoundName& a, const FoundName& b) {
        int const order = compare_ignore_case(a.name, b.name);
        return order != 0 ? order < 0 : a.host_name < b.host_name;
    });
    return names;
}

}  // namespace
}  // namespace platform::detail

using platform::detail::FindObject;

namespace {

HANDLE fail_search(DWORD error) {
    SetLastError(error);
    return INVALID_HANDLE_VALUE;
}

bool is_valid_pattern(std::u16string_view pattern) {
    std::u16string without_wildcards;
    for (char16_t const c : pattern) {
        if (c != u'*' && c != u'?') without_wildcards += c;
    }
    return !platform::detail::has_invalid_name_character(without_wildcards);
}

}  // namespace

HANDLE FindFirstFileW(LPCWSTR file_name, LPWIN32_FIND_DATAW find_data) {
    if (!file_name || !find_data) return fail_search(ERROR_INVALID_PARAMETER);
    std::u16string_view const path = file_name;
    std::u16string_view const pattern = platform::detail::last_component(path);
    std::u16string_view const folder = path.substr(0, path.size() - pattern.size());
    if (pattern.empty()) return fail_search(ERROR_FILE_NOT_FOUND);
    if (platform::detail::has_invalid_name_character(folder) || !is_valid_pattern(pattern)) {
        return fail_search(ERROR_INVALID_NAME);
    }
    auto const host_folder = platform::host_path(folder);
    if (!host_folder) return INVALID_HANDLE_VALUE;
    auto names = platform::detail::matching_names(*host_folder, pattern);
    if (!names) return INVALID_HANDLE_VALUE;
    auto search = std::make_shared<FindObject>(*host_folder, std::move(*names));
    if (!search->next(*find_data)) return fail_search(ERROR_FILE_NOT_FOUND);
    HANDLE const handle = platform::detail::add_handle(std::move(search));
    SetLastError(ERROR_SUCCESS);
    return handle;
}

BOOL FindNextFileW(HANDLE find, LPWIN32_FIND_DATAW find_data) {
    auto const search = platform::detail::find_handle_as<FindObject>(find);
    if (!search) return platform::detail::fail_with(ERROR_INVALID_HANDLE);
    if (!find_data) return platform::detail::fail_with(ERROR_INVALID_PARAMETER);
    if (!search->next(*find_data)) return platform::detail::fail_with(ERROR_NO_MORE_FILES);
    return TRUE;
}

HANDLE FindFirstFlashCard(LPWIN32_FIND_DATAW find_data) {
    if (!find_data) return fail_search(ERROR_INVALID_PARAMETER);
    auto const root = platform::host_path(u"\\");
    if (!root) return INVALID_HANDLE_VALUE;
    auto names = platform::detail::matching_names(*root, u"*");
    if (!names) return INVALID_HANDLE_VALUE;
    auto const cards = platform::detail::storage_card_names();
    std::erase_if(*names, [&cards](const platform::detail::FoundName& found) {
        return !platform::detail::is_storage_card_name(cards, found.name);
    });
    // Every name left is a card when it is a folder; a file of that name is none.
    std::erase_if(*names, [&root](const platform::detail::FoundName& found) {
        return !platform::detail::is_host_folder(*root + "/" + found.host_name);
    });
    auto search = std::make_shared<FindObject>(*root, std::move(*names));
    if (!search->next(*find_data)) return fail_search(ERROR_NO_MORE_FILES);
    HANDLE const handle = platform::detail::add_handle(std::move(search));
    SetLastError(ERROR_SUCCESS);
    return handle;
}

BOOL FindNextFlashCard(HANDLE find, LPWIN32_FIND_DATAW find_data) { return FindNextFileW(find, find_data); }

BOOL FindClose(HANDLE find) {
    if (!platform::detail::find_handle_as<FindObject>(find)) return platform::detail::fail_with(ERROR_INVALID_HANDLE);
    if (!platform::detail::remove_handle(find)) return platform::detail::fail_with(ERROR_INVALID_HANDLE);
    return TRUE;
}
