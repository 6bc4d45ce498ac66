#include "skin/menu_manager_impl.h"

#include <string>

#include "foundation/application.h"
#include "foundation/log.h"
#include "platform/gdi.h"
#include "platform/resources.h"
#include "platform/windows.h"
#include "skin/control.h"
#include "skin/form.h"
#include "skin/menu_manager.h"
#include "skin/native_menu.h"
#include "skin/resource_id_pool.h"
#include "skin/soft_key_lists.h"

namespace skinner {

namespace {

constexpr int toolbar_bitmap_small = 115;
constexpr int toolbar_bitmap_large = 125;
constexpr int soft_key_left_id = 40000;
constexpr int soft_key_right_id = 40001;
constexpr char16_t fake_id[] = u"#FakeId#";

ResourceIdPool& pool(bool soft_key_mode) {
    static ResourceIdPool toolbar_ids(117);
    static ResourceIdPool soft_key_ids(1117);
    return soft_key_mode ? soft_key_ids : toolbar_ids;
}

HINSTANCE program_instance() {
    os::Application* const application = os::Application::instance();
    return application ? application->get_instance_handle() : nullptr;
}

std::u16string without_ampersands(std::u16string text) {
    std::erase(text, u'&');
    return text;
}

std::u16string number(int value) {
    auto const text = std::to_string(value);
    return {text.begin(), text.end()};
}

}  // namespace

MenuManagerImplPocket::MenuManagerImplPocket(Form* form, bool soft_key_mode)
    : form_(form), soft_key_mode_(soft_key_mode) {
    MenuManager::invalidate(form_);
    if (HWND const window = form_->get_window()) install(window);
}

MenuManagerImplPocket::~MenuManagerImplPocket() {
    uninstall();
    for (HMENU popup : popups_) DestroyMenu(popup);
    if (info_.hwndMB && IsWindow(info_.hwndMB)) DestroyWindow(info_.hwndMB);
    if (resource_id_ != 0) {
        pool(soft_key_mode_).release(resource_id_);
        os::get_log() << u"~MenuManagerImplPocket() returning id" << number(resource_id_) << u"\n";
    }
}

LRESULT MenuManagerImplPocket::on_message(UINT message, WPARAM wparam, LPARAM lparam, bool& pass_on) {
    // The bar sends its commands without a control handle; lower ids are other senders'.
    int const id = static_cast<int>(wparam & 0xFFFF);
    bool const from_bar = lparam == 0 || reinterpret_cast<HWND>(lparam) == info_.hwndMB;
    if (message == WM_COMMAND && from_bar && info_.hwndMB && id >= first_item_id) {
        pass_on = false;
        on_menu_command(id);
    } else if (message == WM_INITMENUPOPUP && info_.hwndMB) {
        on_init_popup(reinterpret_cast<HMENU>(wparam), static_cast<int>(lparam));
    }
    return 0;
}

void MenuManagerImplPocket::update() {
    if (!MenuManager::take_dirty(form_) && !dirty_) return;
    dirty_ = false;
    build();
    if (!info_.hwndMB) return;
    clear_bar();
    int position = 0;
    if (soft_key_mode_) {
        for (bool const left : {true, false}) {
            MenuItemInfo const entry = make_soft_key_entry(left);
            add_button(entry, !entry.children.empty(), false, position);
        }
    } else {
        auto const items = MenuManager::get_items(form_);
        for (std::size_t i = 0; i < items.size(); ++i) {
            MenuItemInfo entry;
            items[i]->make_menu_entry(entry);
            add_button(entry, items[i]->is_submenu(), i + 1 < items.size(), position);
        }
    }
    toolbar_entry_count_ = commands_.size();
}

void MenuManagerImplPocket::build() {
    if (info_.hwndMB || !form_->get_window() || !IsWindowVisible(form_->get_window())) return;
    // A form without a main menu or menu buttons gets no empty bar over the screen.
    if (!form_->get_menu_main() && MenuManager::get_items(form_).empty()) return;
    info_ = SHMENUBARINFO{};
    info_.cbSize = 36;
    info_.hwndParent = form_->get_window();
    resource_id_ = pool(soft_key_mode_).acquire();
    if (resource_id_ == 0) {
        os::fatal_error(u"ControlMenuMainImpl", u"Add more tolbar ids to the resource file! :)");
    }
    info_.nToolBarId = static_cast<UINT>(resource_id_);
    info_.hInstRes = program_instance();
    os::get_log() << u"MenuManagerImplPocket::build() creating " << number(resource_id_) << u"\n";
    if (!SHCreateMenuBar(&info_)) {
        info_.hwndMB = nullptr;
        os::get_log() << u"ERROR: SHCreateMenuBar failed\n";
        return;
    }
    if (soft_key_mode_) {
        os::get_log() << u"MenuManagerImplPocket::build() creating softbuttons\n";
        for (int const id : {soft_key_left_id, soft_key_right_id}) {
            TBBUTTONINFOW button{};
            button.cbSize = sizeof(button);
            button.dwMask = TBIF_COMMAND | TBIF_STATE | TBIF_TEXT;
            button.idCommand = id;
            button.fsState = TBSTATE_INDETERMINATE;
            WCHAR empty[1] = {0};
            button.pszText = empty;
            SendMessageW(info_.hwndMB, TB_SETBUTTONINFO, id, reinterpret_cast<LPARAM>(&button));
        }
    } else {
        load_images();
    }
}

void MenuManagerImplPocket::load_images() {
    os::get_log() << u"MenuManagerImplPocket::build() loading bitmaps\n";
    HDC const screen = GetDC(nullptr);
    int bitmap_id = toolbar_bitmap_small;
    int size = 16;
    HBITMAP bitmap = nullptr;
    if (GetDeviceCaps(screen, LOGPIXELSX) == 192) {
        bitmap = LoadBitmapW(program_instance(), MAKEINTRESOURCEW(toolbar_bitmap_large));
        if (bitmap) {
            bitmap_id = toolbar_bitmap_large;
            size = 32;
        }
    }
    if (!bitmap) {
        bitmap = LoadBitmapW(program_instance(), MAKEINTRESOURCEW(toolbar_bitmap_small));
        if (!bitmap) os::get_log() << u"ERROR: LoadBitmap failed\n";
    }
    BITMAP description{};
    if (bitmap && GetObjectW(bitmap, sizeof(description), &description) != 0) {
        image_count_ = description.bmWidth / size;
        first_image_ = CommandBar_AddBitmap(info_.hwndMB, program_instance(), bitmap_id, image_count_, size, size);
    } else {
        os::get_log() << u"ERROR: Toolbar image failed to load\n";
    }
    if (bitmap) DeleteObject(bitmap);
    clear_bar();
    ReleaseDC(nullptr, screen);
}

void MenuManagerImplPocket::clear_bar() {
    auto const count = SendMessageW(info_.hwndMB, TB_BUTTONCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) SendMessageW(info_.hwndMB, TB_DELETEBUTTON, 0, 0);
    for (HMENU popup : popups_) DestroyMenu(popup);
    popups_.clear();
    commands_.assign(first_item_id, std::u16string{});
    controls_.assign(first_item_id, 0);
}

void MenuManagerImplPocket::add_button(const MenuItemInfo& entry, bool submenu, bool separators_allowed,
                                       int& position) {
    os::get_log() << u"wince_bug_resource_id=" << number(entry.image_index) << u" text=" << entry.text
                  << u" id=" << entry.command << u"\n";
    TBBUTTON button{};
    button.iBitmap = I_IMAGENONE;
    if (entry.image_index >= 0 && first_image_ >= 0) {
        if (entry.image_index < image_count_) {
            button.iBitmap = entry.image_index + first_image_;
            os::get_log() << u"Using bitmap with wince_bug_resource_id=" << number(entry.image_index) << u"\n";
        } else {
            os::get_log() << u"ERROR: invalid toolbar image requested. wince_bug_resource_id="
                          << number(entry.image_index) << u"\n";
        }
    }
    button.fsState = entry.enabled ? TBSTATE_ENABLED : 0;
    std::u16string const text = without_ampersands(entry.text);
    button.idCommand = static_cast<int>(commands_.size());
    commands_.push_back(entry.command);
    controls_.push_back(entry.id);
    bool const has_text = !text.empty();
    if (submenu) {
        button.fsStyle = has_text ? (TBSTYLE_DROPDOWN | TBSTYLE_AUTOSIZE | BTNS_SHOWTEXT) : (TBSTYLE_DROPDOWN | BTNS_SHOWTEXT);
        HMENU const popup = CreatePopupMenu();
        popups_.push_back(popup);
        button.dwData = reinterpret_cast<DWORD_PTR>(popup);
    } else {
        button.fsStyle = has_text ? TBSTYLE_AUTOSIZE : TBSTYLE_BUTTON;
    }
    button.iString = has_text ? reinterpret_cast<INT_PTR>(text.c_str()) : 0;
    SendMessageW(info_.hwndMB, TB_INSERTBUTTON, position++, reinterpret_cast<LPARAM>(&button));
    if (entry.separator_after && separators_allowed) {
        TBBUTTON separator{};
        separator.iBitmap = I_IMAGENONE;
        separator.fsStyle = TBSTYLE_SEP;
        SendMessageW(info_.hwndMB, TB_INSERTBUTTON, position++, reinterpret_cast<LPARAM>(&separator));
    }
}

MenuItemInfo MenuManagerImplPocket::make_soft_key_entry(bool left) const {
    auto const translate = [](const std::u16string&, const std::u16string& default_text) { return default_text; };
    return build_soft_key(MenuManager::get_items(form_), left ? SoftKey::left : SoftKey::right, translate, fake_id);
}

void MenuManagerImplPocket::receive_in(MenuItemInfo& entry, Control* control) const {
    if (entry.id == 0) entry.id = reinterpret_cast<std::uintptr_t>(control);
    for (MenuItemInfo& child : entry.children) receive_in(child, control);
}

void MenuManagerImplPocket::on_init_popup(HMENU popup, int id) {
    if (id < first_item_id || static_cast<std::size_t>(id) >= toolbar_entry_count_) return;
    commands_.resize(toolbar_entry_count_);
    controls_.resize(toolbar_entry_count_);
    while (DeleteMenu(popup, 0, MF_BYPOSITION)) {
    }
    MenuItemInfo entry;
    if (soft_key_mode_) {
        entry = make_soft_key_entry(id == first_item_id);
    } else {
        auto const items = MenuManager::get_items(form_);
        auto const index = static_cast<std::size_t>(id - first_item_id);
        if (index >= items.size()) return;
        items[index]->make_menu_entry(entry);
        for (MenuManager::Item* item : items) {
            MenuItemInfo own;
            item->make_menu_entry(own);
            if (own.command != entry.command) continue;
            auto* const control = reinterpret_cast<Control*>(own.id);
            if (!control) continue;
            control->on_menu_create(entry);
            receive_in(entry, control);
        }
    }
    append_menu_items(entry.children, popup, commands_, &controls_);
}

// Commands are dropped while the form's items changed since the bar was built: a control
// that has gone away since then is still named in the lists.
void MenuManagerImplPocket::on_menu_command(int id) {
    if (dirty_ || MenuManager::is_dirty(form_)) return;
    if (id < first_item_id || static_cast<std::size_t>(id) >= commands_.size()) return;
    if (auto* const control = reinterpret_cast<Control*>(controls_[id])) control->on_command(commands_[id]);
}

void MenuManagerImplPocket::set_visible(bool visible) {
    if (visible) dirty_ = true;
    if (!info_.hwndMB) return;
    os::get_log() << u"MenuManagerImplPocket::set_visible=" << (visible ? u"1" : u"0");
    ShowWindow(info_.hwndMB, visible ? SW_SHOW : SW_HIDE);
}

}  // namespace skinner
