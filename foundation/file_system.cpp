#include "foundation/file_system.h"

#include "foundation/log.h"
#include "foundation/paths.h"
#include "foundation/find_handle.h"
#include "platform/file_attributes.h"
#include "platform/file_ops.h"
#include "platform/handles.h"
#include "platform/shell_execute.h"
#include "platform/storage_cards.h"

namespace os {
namespace {

void make_folder_chain(const std::u16string& expanded) {
    if (expanded.empty()) return;
    make_folder_chain(get_parent_folder(expanded));
    CreateDirectoryW(remove_trailing_separator(expanded).c_str(), nullptr);
}

}  // namespace

double get_disk_free_space(const std::u16string& path) {
    ULARGE_INTEGER free_to_caller;
    if (!GetDiskFreeSpaceExW(expanded_path(path).c_str(), &free_to_caller, nullptr, nullptr)) return 0;
    return static_cast<double>(free_to_caller.QuadPart);
}

void make_folders(const std::u16string& path) { make_folder_chain(expanded_path(path)); }

std::vector<std::u16string> get_storage_cards() {
    std::vector<std::u16string> cards;
    WIN32_FIND_DATAW found;
    FindHandle search(FindFirstFlashCard(&found));
    if (!search.found()) return cards;
    do {
        cards.push_back(join_path(u"\\", found.cFileName));
    } while (search.next(found));
    return cards;
}

bool is_storage_card(const std::u16string& path) {
    DWORD const attributes = GetFileAttributesW(expanded_path(path).c_str());
    DWORD constexpr card = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_TEMPORARY;
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & card) == card;
}

}  // namespace os

bool execute_file(const std::u16string& file, const std::u16string& parameters) {
    std::u16string const expanded_file = os::expanded_path(file);
    std::u16string const expanded_parameters = os::expanded_path(parameters);
    os::get_log() << u"execute_file(" + expanded_file + u", " + expanded_parameters + u")\n";

    SHELLEXECUTEINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_NOCLOSEPROCESS;
    info.lpVerb = u"open";
    info.lpFile = expanded_file.c_str();
    info.lpParameters = expanded_parameters.c_str();
    info.nShow = SW_SHOWNORMAL;
    bool const started = ShellExecuteEx(&info) != FALSE;
    // Nobody waits for the program: its handle would only stay behind.
    if (info.hProcess) CloseHandle(info.hProcess);
    return started;
}
