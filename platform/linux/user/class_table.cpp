#include "platform/linux/user/class_table.h"

#include <map>
#include <mutex>

#include "platform/linux/user/window_tree.h"
#include "platform/unicode.h"

namespace platform::detail {
namespace {

// Its lock is taken alone: the window tree is asked only after it is released.
struct ClassTable {
    std::mutex lock;
    std::map<std::u16string, std::shared_ptr<const WindowClass>> classes;  // by lower-case name
};

ClassTable& table() {
    static auto* const instance = new ClassTable;  // lives to the process end
    return *instance;
}

std::u16string folded(std::u16string_view name) {
    std::u16string result(name);
    for (auto& c : result) c = platform::to_lower(c);
    return result;
}

}  // namespace

bool register_window_class(WindowClass window_class) {
    auto& t = table();
    std::lock_guard guard(t.lock);
    auto name = folded(window_class.name);
    if (t.classes.count(name)) return false;
    t.classes.emplace(std::move(name), std::make_shared<const WindowClass>(std::move(window_class)));
    return true;
}

std::shared_ptr<const WindowClass> find_window_class(std::u16string_view name) {
    auto& t = table();
    std::lock_guard guard(t.lock);
    auto const it = t.classes.find(folded(name));
    return it == t.classes.end() ? nullptr : it->second;
}

DWORD unregister_window_class(std::u16string_view name) {
    auto const window_class = find_window_class(name);
    if (!window_class) return ERROR_CLASS_DOES_NOT_EXIST;
    if (class_has_windows(window_class.get())) return ERROR_CLASS_HAS_WINDOWS;
    auto& t = table();
    std::lock_guard guard(t.lock);
    t.classes.erase(folded(name));
    return ERROR_SUCCESS;
}

}  // namespace platform::detail
