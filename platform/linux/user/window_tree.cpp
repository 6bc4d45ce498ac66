#include "platform/linux/user/window_tree.h"

#include <unistd.h>

#include <algorithm>
#include <map>
#include <mutex>
#include <random>
#include <utility>

#include "platform/errors.h"

namespace platform::detail {
namespace {

std::uint32_t first_serial() {
    std::random_device random;
    return 1 + random() % 0x7FFFFFFFu;
}

struct WindowNode {
    HWND handle = nullptr;
    std::shared_ptr<const WindowClass> window_class;
    WNDPROC procedure = nullptr;
    DWORD style = 0;
    DWORD ex_style = 0;
    HWND parent = nullptr;
    std::vector<HWND> children;  // top of the z-order first
    std::u16string text;
    DWORD thread_id = 0;
    HINSTANCE instance = nullptr;
    LONG_PTR id = 0;
    LONG_PTR user_data = 0;
    std::vector<LONG_PTR> extra;  // one word per 4 extra bytes
    RECT rect{};
    RECT client{};
    gdi::Area update;  // client coordinates
    bool erase_pending = false;
    std::shared_ptr<gdi::PixelSurface> surface;
    bool destroying = false;

    bool is_child() const { return (style & WS_CHILD) != 0; }
};

struct Tree {
    std::mutex lock;
    std::map<std::uintptr_t, std::unique_ptr<WindowNode>> windows;
    std::vector<HWND> top_level;  // this process's top-level windows, top first
    // Starts at random, so that a process that gets a dead process's id hands out other
    // handles than it did: a kept handle of the dead process names no window of the new.
    std::uint32_t next_serial = first_serial();
};

Tree& tree() {
    static auto* const instance = new Tree;  // lives to the process end
    return *instance;
}

std::uintptr_t key(HWND window) { return reinterpret_cast<std::uintptr_t>(window); }

std::uintptr_t own_process_bits() { return static_cast<std::uintptr_t>(getpid()) << 32; }

WindowNode* find_locked(Tree& t, HWND window) {
    auto const it = t.windows.find(key(window));
    return it == t.windows.end() ? nullptr : it->second.get();
}

RECT client_of(const RECT& rect) {
    return RECT{0, 0, std::max<LONG>(0, rect.right - rect.left), std::max<LONG>(0, rect.bottom - rect.top)};
}

// The list of the window's siblings (its parent's children, or the top-level windows).
std::vector<HWND>* siblings_locked(Tree& t, const WindowNode& node) {
    if (!node.is_child()) return &t.top_level;
    WindowNode* const parent = find_locked(t, node.parent);
    return parent ? &parent->children : nullptr;
}

void unlink_locked(Tree& t, const WindowNode& node) {
    if (auto* const siblings = siblings_locked(t, node)) std::erase(*siblings, node.handle);
}

void link_locked(Tree& t, const WindowNode& node, HWND insert_after) {
    auto* const siblings = siblings_locked(t, node);
    if (!siblings) return;
    std::erase(*siblings, node.handle);
    if (insert_after == HWND_TOP) {
        siblings->insert(siblings->begin(), node.handle);
    } else if (insert_after == HWND_BOTTOM) {
        siblings->push_back(node.handle);
    } else {
        auto const after = std::find(siblings->begin(), siblings->end(), insert_after);
        siblings->insert(after == siblings->end() ? siblings->begin() : after + 1, node.handle);
    }
}

WindowFacts facts_of(const WindowNode& node) {
    return WindowFacts{node.handle, node.parent, node.style,     node.ex_style,   node.thread_id,
                       node.rect,   node.client, node.destroying, node.window_class};
}

// The word at index, or null for an index that is no word of the window.
LONG_PTR* word_slot(WindowNode& node, int index) {
    switch (index) {
    case GWL_ID: return &node.id;
    case GWL_USERDATA: return &node.user_data;
    default:
        if (index < 0 || index % 4 != 0 || static_cast<std::size_t>(index / 4) >= node.extra.size()) return nullptr;
        return &node.extra[static_cast<std::size_t>(index / 4)];
    }
}

bool shown_locked(Tree& t, const WindowNode* node) {
    while (node) {
        if (!(node->style & WS_VISIBLE)) return false;
        if (!node->is_child()) return true;
        node = find_locked(t, node->parent);
    }
    return false;
}

HWND needing_paint_locked(Tree& t, const WindowNode& node, DWORD thread_id) {
    if (!(node.style & WS_VISIBLE) || node.destroying) return nullptr;
    if (node.thread_id == thread_id && !node.update.empty()) return node.handle;
    for (HWND child : node.children) {
        if (auto* const below = find_locked(t, child)) {
            if (HWND const found = needing_paint_locked(t, *below, thread_id)) return found;
        }
    }
    return nullptr;
}

template <class Action>
auto with_node(HWND window, Action action) -> std::optional<decltype(action(std::declval<WindowNode&>()))> {
    auto& t = tree();
    std::lock_guard guard(t.lock);
    WindowNode* const node = find_locked(t, window);
    if (!node) return std::nullopt;
    return action(*node);
}

}  // namespace

bool is_local_window(HWND window) {
    return window && (key(window) & ~std::uintptr_t{0xFFFFFFFFu}) == own_process_bits();
}

HWND add_window(NewWindow window) {
    auto node = std::make_unique<WindowNode>();
    node->window_class = std::move(window.window_class);
    node->procedure = node->window_class->procedure;
    node->style = window.style;
    node->ex_style = window.ex_style;
    node->parent = window.parent;
    node->text = std::move(window.text);
    node->thread_id = window.thread_id;
    node->instance = window.instance;
    node->id = window.id;
    node->extra.assign(static_cast<std::size_t>(node->window_class->extra_bytes + 3) / 4, 0);
    node->rect = window.rect;
    node->client = client_of(window.rect);
    auto& t = tree();
    std::lock_guard guard(t.lock);
    node->handle = reinterpret_cast<HWND>(own_process_bits() | t.next_serial++);
    HWND const handle = node->handle;
    link_locked(t, *node, HWND_BOTTOM);
    t.windows.emplace(key(handle), std::move(node));
    return handle;
}

void remove_window(HWND window) {
    std::unique_ptr<WindowNode> last;  // released outside the lock
    auto& t = tree();
    std::lock_guard guard(t.lock);
    auto const it = t.windows.find(key(window));
    if (it == t.windows.end()) return;
    unlink_locked(t, *it->second);
    last = std::move(it->second);
    t.windows.erase(it);
}

bool mark_destroying(HWND window) {
    return with_node(window, [](WindowNode& node) { return !std::exchange(node.destroying, true); }).value_or(false);
}

void forget_windows_of_thread(DWORD thread_id) {
    std::vector<std::unique_ptr<WindowNode>> gone;  // released outside the lock
    auto& t = tree();
    std::lock_guard guard(t.lock);
    for (auto it = t.windows.begin(); it != t.windows.end();) {
        if (it->second->thread_id == thread_id) {
            gone.push_back(std::move(it->second));
            it = t.windows.erase(it);
        } else {
            ++it;
        }
    }
    for (auto const& node : gone) unlink_locked(t, *node);
}

bool class_has_windows(const WindowClass* window_class) {
    auto& t = tree();
    std::lock_guard guard(t.lock);
    return std::any_of(t.windows.begin(), t.windows.end(),
                       [&](auto const& entry) { return entry.second->window_class.get() == window_class; });
}

std::optional<WindowFacts> window_facts(HWND window) {
    return with_node(window, [](WindowNode& node) { return facts_of(node); });
}

std::optional<DWORD> window_thread(HWND window) {
    return with_node(window, [](WindowNode& node) { return node.thread_id; });
}

std::optional<std::u16string> window_text(HWND window) {
    return with_node(window, [](WindowNode& node) { return node.text; });
}

WNDPROC window_procedure(HWND window) {
    return with_node(window, [](WindowNode& node) { return node.procedure; }).value_or(nullptr);
}

std::optional<LONG_PTR> window_word(HWND window, int index, DWORD& error) {
    error = ERROR_INVALID_WINDOW_HANDLE;
    auto const value = with_node(window, [&](WindowNode& node) -> std::optional<LONG_PTR> {
        switch (index) {
        case GWL_WNDPROC: return reinterpret_cast<LONG_PTR>(node.procedure);
        case GWL_STYLE: return static_cast<LONG_PTR>(node.style);
        case GWL_EXSTYLE: return static_cast<LONG_PTR>(node.ex_style);
        default:
            error = ERROR_INVALID_INDEX;
            LONG_PTR const* slot = word_slot(node, index);
            return slot ? std::optional<LONG_PTR>(*slot) : std::nullopt;
        }
    });
    return value ? *value : std::nullopt;
}

bool set_window_text(HWND window, std::u16string text) {
    return with_node(window, [&](WindowNode& node) { return node.text = std::move(text), true; }).has_value();
}

std::optional<LONG_PTR> exchange_window_word(HWND window, int index, LONG_PTR value, DWORD& error) {
    error = ERROR_INVALID_WINDOW_HANDLE;
    auto const previous = with_node(window, [&](WindowNode& node) -> std::optional<LONG_PTR> {
        switch (index) {
        case GWL_WNDPROC:
            return reinterpret_cast<LONG_PTR>(std::exchange(node.procedure, reinterpret_cast<WNDPROC>(value)));
        case GWL_STYLE: return static_cast<LONG_PTR>(std::exchange(node.style, static_cast<DWORD>(value)));
        case GWL_EXSTYLE: return static_cast<LONG_PTR>(std::exchange(node.ex_style, static_cast<DWORD>(value)));
        default:
            error = ERROR_INVALID_INDEX;
            LONG_PTR* const slot = word_slot(node, index);
            return slot ? std::optional<LONG_PTR>(std::exchange(*slot, value)) : std::nullopt;
        }
    });
    return previous ? *previous : std::nullopt;
}

std::optional<DWORD> change_style(HWND window, DWORD set, DWORD clear) {
    return with_node(window, [&](WindowNode& node) {
        return std::exchange(node.style, (node.style & ~clear) | set);
    });
}

std::optional<RECT> set_window_rect(HWND window, RECT rect) {
    return with_node(window, [&](WindowNode& node) {
        node.client = client_of(rect);
        return std::exchange(node.rect, rect);
    });
}

std::optional<HWND> set_window_parent(HWND window, HWND parent) {
    auto& t = tree();
    std::lock_guard guard(t.lock);
    WindowNode* const node = find_locked(t, window);
    if (!node) return std::nullopt;
    for (HWND above = parent; above;) {  // a window cannot go below itself
        if (above == window) return std::nullopt;
        WindowNode* const next = find_locked(t, above);
        above = next && next->is_child() ? next->parent : nullptr;
    }
    unlink_locked(t, *node);
    HWND const previous = std::exchange(node->parent, parent);
    if (!parent) node->style = (node->style & ~WS_CHILD) | WS_POPUP;
    link_locked(t, *node, HWND_TOP);
    return previous;
}

bool place_window(HWND window, HWND insert_after) {
    auto& t = tree();
    std::lock_guard guard(t.lock);
    WindowNode* const node = find_locked(t, window);
    if (!node || insert_after == window) return node != nullptr;
    link_locked(t, *node, insert_after);
    return true;
}

std::vector<HWND> top_level_windows() {
    auto& t = tree();
    std::lock_guard guard(t.lock);
    std::vector<HWND> result;
    for (HWND window : t.top_level) {
        if (WindowNode* const node = find_locked(t, window); node && !node->destroying) result.push_back(window);
    }
    return result;
}

std::vector<HWND> child_windows(HWND window) {
    return with_node(window, [](WindowNode& node) { return node.children; }).value_or(std::vector<HWND>{});
}

std::vector<HWND> owned_windows(HWND window) {
    auto& t = tree();
    std::lock_guard guard(t.lock);
    std::vector<HWND> result;
    for (HWND top : t.top_level) {
        if (WindowNode* const node = find_locked(t, top); node && node->parent == window) result.push_back(top);
    }
    return result;
}

HWND related_window(HWND window, UINT relation) {
    auto& t = tree();
    std::lock_guard guard(t.lock);
    WindowNode* const node = find_locked(t, window);
    if (!node) return nullptr;
    if (relation == GW_CHILD) return node->children.empty() ? nullptr : node->children.front();
    if (relation == GW_OWNER) return node->is_child() ? nullptr : node->parent;
    auto const* const siblings = siblings_locked(t, *node);
    if (!siblings || siblings->empty()) return nullptr;
    auto const at = std::find(siblings->begin(), siblings->end(), window);
    switch (relation) {
    case GW_HWNDFIRST: return siblings->front();
    case GW_HWNDLAST: return siblings->back();
    case GW_HWNDNEXT: return at == siblings->end() || at + 1 == siblings->end() ? nullptr : *(at + 1);
    case GW_HWNDPREV: return at == siblings->begin() || at == siblings->end() ? nullptr : *(at - 1);
    default: return nullptr;
    }
}

bool is_window_within(HWND window, HWND ancestor) {
    auto& t = tree();
    std::lock_guard guard(t.lock);
    while (window) {
        if (window == ancestor) return true;
        WindowNode* const node = find_locked(t, window);
        if (!node || !node->is_child()) return false;
        window = node->parent;
    }
    return false;
}

HWND top_level_of(HWND window) {
    auto& t = tree();
    std::lock_guard guard(t.lock);
    for (WindowNode* node = find_locked(t, window); node; node = find_locked(t, node->parent)) {
        if (!node->is_child()) return node->handle;
    }
    return nullptr;
}

bool is_window_shown(HWND window) {
    auto& t = tree();
    std::lock_guard guard(t.lock);
    return shown_locked(t, find_locked(t, window));
}

bool invalidate_window(HWND window, const RECT* rect, bool erase) {
    return with_node(window, [&](WindowNode& node) {
               gdi::Area added = gdi::Area::of(node.client);
               if (rect) added.intersect(gdi::Area::of(gdi::bounded(*rect)));
               node.update.unite(added);
               node.erase_pending = node.erase_pending || (erase && !added.empty());
               return true;
           })
        .has_value();
}

bool validate_window(HWND window, const RECT* rect) {
    return with_node(window, [&](WindowNode& node) {
               if (rect) node.update.subtract(gdi::Area::of(gdi::bounded(*rect)));
               else node.update = gdi::Area();
               if (node.update.empty()) node.erase_pending = false;
               return true;
           })
        .has_value();
}

std::optional<RECT> update_bounds(HWND window) {
    return with_node(window, [](WindowNode& node) { return node.update.bounds(); });
}

std::optional<PaintTake> take_update(HWND window) {
    return with_node(window, [](WindowNode& node) {
        PaintTake taken{std::exchange(node.update, gdi::Area()), std::exchange(node.erase_pending, false)};
        return taken;
    });
}

HWND window_needing_paint(DWORD thread_id, HWND within) {
    auto& t = tree();
    std::lock_guard guard(t.lock);
    if (within) {
        WindowNode* const node = find_locked(t, within);
        return node && shown_locked(t, node) ? needing_paint_locked(t, *node, thread_id) : nullptr;
    }
    for (HWND top : t.top_level) {
        if (WindowNode* const node = find_locked(t, top)) {
            if (HWND const found = needing_paint_locked(t, *node, thread_id)) return found;
        }
    }
    return nullptr;
}

void set_window_surface(HWND window, std::shared_ptr<gdi::PixelSurface> surface) {
    std::shared_ptr<gdi::PixelSurface> previous;  // released outside the lock
    with_node(window, [&](WindowNode& node) { return previous = std::exchange(node.surface, std::move(surface)), 0; });
}

std::shared_ptr<gdi::PixelSurface> window_surface(HWND window) {
    return with_node(window, [](WindowNode& node) { return node.surface; }).value_or(nullptr);
}

LRESULT call_window_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    WNDPROC const procedure = window_procedure(window);
    return procedure ? procedure(window, message, wparam, lparam) : 0;
}

}  // namespace platform::detail
