#include "screens/panel_file_explorer.h"

#include <algorithm>
#include <set>

#include "app/playlist/list_m3u.h"
#include "app/text_utils.h"
#include "audio/bookmarks.h"
#include "audio/id3_tag.h"
#include "audio/play_chain.h"
#include "audio/play_chain_factory.h"
#include "foundation/file.h"
#include "foundation/file_info.h"
#include "foundation/file_system.h"
#include "foundation/finder.h"
#include "foundation/small_helpers.h"
#include "foundation/paths.h"
#include "platform/processes.h"
#include "screens/beam_form.h"
#include "screens/bookmarks_form.h"
#include "screens/convert_form.h"
#include "screens/explorer_manager.h"
#include "screens/file_forms.h"
#include "screens/id3_tag_form.h"
#include "screens/properties_form.h"
#include "screens/select_forms.h"
#include "skin/form.h"
#include "skin/native_menu.h"
#include "skin/properties.h"

namespace screens {
namespace {

constexpr int key_enter = 9;

struct MenuButtonPlace {
    const char16_t* command;
    int id;
};

constexpr MenuButtonPlace menu_button_places[] = {
    {u"ShowFolder", 3}, {u"RecordOperation", 4}, {u"Overwrite", 5}, {u"Append", 6},  {u"Insert", 7},
    {u"Cut", 8},        {u"Copy", 9},            {u"Paste", 10},    {u"Delete", 11}, {u"MoveUp", 12},
    {u"MoveDown", 13},
};

// Sort code of each button: ascending, descending.
constexpr int sort_codes[3][2] = {{SORT_NAME, SORT_NAME_DESCENDING},
                                  {SORT_DATE, SORT_DATE_DESCENDING},
                                  {SORT_SIZE, SORT_SIZE_DESCENDING}};
constexpr const char16_t* sort_button_names[3] = {u"btnSortName", u"btnSortDate", u"btnSortSize"};

bool is_playable(const ControlListFiles::Row& row) { return !row.is_folder && !row.is_playlist; }

void send_by_mail(const std::u16string& path) {
    std::u16string command_line = u"-attach \"" + path + u"\"";
    PROCESS_INFORMATION process{};
    if (CreateProcessW(u"\\Windows\\Tmail.exe", command_line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                       nullptr, &process)) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
}

void beam_file(skinner::Form* owner, skinner::Properties* skin, const std::u16string& path) {
    BeamForm form(owner, skin, path);
    form.execute();
}

// The files of one folder, without its sub-folders.
class FolderFiles : public os::Finder {
public:
    bool on_file(const std::u16string& path) override {
        paths.push_back(path);
        return true;
    }
    bool on_folder(const std::u16string&) override { return true; }

    std::vector<std::u16string> paths;
};

}  // namespace

PanelFileExplorer::PanelFileExplorer(skinner::Container* container, const std::u16string& name, Document& document,
                                     skinner::Properties* dialog_skin)
    : ControlPanel(container, name),
      document_(document),
      dialog_skin_(dialog_skin),
      folder_combo_(get_panel_container(), u"cmbFolder"),
      files_(get_panel_container(), u"lstFilelist"),
      playlist_(get_panel_container(), u"lstPlaylist"),
      folder_up_(get_panel_container(), u"btnFolderUp"),
      beam_([this](const std::u16string& path) { beam_file(get_form(), dialog_skin_, path); }),
      mail_(send_by_mail),
      converter_([this](const std::u16string& source, const std::u16string& target) { return convert(source, target); }) {
    for (std::size_t index = 0; index < sort_buttons_.size(); ++index)
        sort_buttons_[index] = std::make_unique<skinner::ControlButtonMultistate>(3, get_panel_container(), sort_button_names[index]);
    for (const MenuButtonPlace& place : menu_button_places) {
        menu_buttons_.push_back(
            {place.command, place.id,
             std::make_unique<skinner::MenuMainButton>(get_panel_container(), place.command, u"", place.id)});
    }
    for (ControlListFiles* list : {&files_, static_cast<ControlListFiles*>(&playlist_)}) {
        add_sound_extensions(*list);
        add_playlist_extensions(*list);
    }
    playlist_.set_visible(false);
    folder_combo_.set_path(u"\\");
    set_sort(settings_copy().file_explorer.sort);
    std::u16string const start = settings_copy().file_explorer.folder;
    if (!start.empty() && playlist_.load_playlist(start)) {
        open_folder(start, true);
    } else if (!start.empty() && os::get_disk_free_space(start) != 0.0) {
        open_folder(start, false);
    } else {
        open_folder(os::expanded_path(u"%my_documents%"), false);
    }
    update_document_playlist(false);
}

PanelFileExplorer::~PanelFileExplorer() {
    // A name being typed is dropped: nothing is renamed or made while the panel goes.
    closing_ = true;
    files_.end_inplace_edit(false);
    save_shown_playlist();
}

skinner::MenuMainButton* PanelFileExplorer::get_menu_button(const std::u16string& command) {
    for (MenuButton& entry : menu_buttons_) {
        if (command == entry.command) return entry.button.get();
    }
    return nullptr;
}

void PanelFileExplorer::notify_document(bool file, bool state) { document_.notify(Change(file, false, state, false)); }

void PanelFileExplorer::save_shown_playlist() {
    if (playlist_mode_) playlist_.save_playlist();
}

void PanelFileExplorer::show_lists() {
    files_.set_visible(!playlist_mode_);
    playlist_.set_visible(playlist_mode_);
    for (auto& button : sort_buttons_) button->set_enabled(!playlist_mode_);
}

void PanelFileExplorer::open_folder(const std::u16string& path, bool as_playlist) {
    std::u16string target = os::remove_trailing_separator(path);
    if (target.empty()) target = u"\\";
    save_shown_playlist();
    if (as_playlist) {
        if (!playlist_.load_playlist(target)) return;
        playlist_mode_ = true;
    } else {
        playlist_mode_ = false;
    }
    std::u16string const old_folder = folder_;
    folder_ = target;
    folder_combo_.set_path(target);
    Settings settings = settings_copy();
    settings.file_explorer.folder = target;
    store_settings(settings);
    show_lists();
    if (!playlist_mode_) refresh_file_list();
    get_shown_list().set_top_row(0);
    if (!playlist_mode_ && os::is_path_prefix(folder_, old_folder) && !os::paths_equal(folder_, old_folder))
        files_.select_path(old_folder);
    Change marks;
    marks.state_changed = true;
    on_document_changed(marks);
}

void PanelFileExplorer::refresh_file_list() {
    std::u16string const selected = files_.get_single_selected_path();
    std::u16string const current = files_.get_current_path();
    if (settings_copy().file_explorer.show_folders)
        files_.add_type_icon(ControlListFiles::folder_type);
    else
        files_.remove_type_icon(ControlListFiles::folder_type);
    files_.set_folder(folder_);
    files_.select_path(selected);
    files_.set_current_path(current);
}

void PanelFileExplorer::set_sort(int code) {
    Settings settings = settings_copy();
    if (settings.file_explorer.sort != code) {
        settings.file_explorer.sort = code;
        store_settings(settings);
    }
    files_.set_sort(code);
    for (std::size_t index = 0; index < sort_buttons_.size(); ++index) {
        std::uint32_t const state = code == sort_codes[index][0] ? 1 : code == sort_codes[index][1] ? 2 : 0;
        sort_buttons_[index]->set_state(state);
    }
}

bool PanelFileExplorer::can_play_selection(ControlListFiles& list) {
    if (&list == &files_ && files_.get_selected_rows().size() == 1) {
        const ControlListFiles::Row* row = files_.get_first_selected_row();
        if (row && !is_playable(*row)) return false;
    }
    return document_.get_playlist_size() > 0;
}

int PanelFileExplorer::update_document_playlist(bool ranges) {
    ControlListFiles& list = get_shown_list();
    std::u16string anchor = list.get_current_path();
    if (anchor.empty()) {
        anchor = list.get_single_selected_path();
        if (!anchor.empty()) list.set_current_path(anchor);
    }
    std::vector<playlist::Entry> entries;
    int start = -1;
    for (const ControlListFiles::Row& row : list.get_rows()) {
        if (!is_playable(row)) continue;
        if (start < 0 && !anchor.empty() && os::paths_equal(row.entry.path, anchor)) start = static_cast<int>(entries.size());
        entries.push_back(row.entry);
    }
    document_.set_playlist(folder_, entries, start, ranges);
    document_.set_can_play(can_play_selection(list));
    document_.set_can_record(!playlist_mode_);
    return start;
}

bool PanelFileExplorer::play_selected(bool ranges, std::uint32_t start_position) {
    bool const played = document_.play_item(update_document_playlist(ranges), start_position);
    notify_document(false, false);
    return played;
}

void PanelFileExplorer::select_file(const std::u16string& path) {
    open_folder(os::get_parent_folder(path), false);
    files_.select_path(path);
    update_document_playlist(false);
    notify_document(false, false);
}

void PanelFileExplorer::on_click(skinner::Control* sender) {
    if (sender == &folder_up_) {
        std::u16string const parent = os::get_parent_folder(folder_);
        if (parent.empty() || os::paths_equal(folder_, u"\\")) return;
        save_shown_playlist();
        playlist_mode_ = false;
        open_folder(parent, false);
        notify_document(false, false);
        return;
    }
    for (std::size_t index = 0; index < sort_buttons_.size(); ++index) {
        if (sender != sort_buttons_[index].get()) continue;
        int const current = settings_copy().file_explorer.sort;
        set_sort(current == sort_codes[index][0] ? sort_codes[index][1] : sort_codes[index][0]);
        files_.repaint();
        Change marks;
        marks.state_changed = true;
        on_document_changed(marks);
        return;
    }
    ControlPanel::on_click(sender);
}

const ControlListFiles::Row* PanelFileExplorer::single_selected_row() {
    ControlListFiles& list = get_shown_list();
    return list.get_selected_rows().size() == 1 ? list.get_first_selected_row() : nullptr;
}

void PanelFileExplorer::open_row(const ControlListFiles::Row& row) {
    std::u16string const path = os::join_path(folder_, row.file_name);
    if (row.is_folder)
        open_folder(path, false);
    else if (row.is_playlist)
        open_folder(path, true);
    notify_document(false, false);
}

void PanelFileExplorer::on_item_click(skinner::Control* sender, skinner::Cell cell) {
    if (sender != &files_ && sender != &playlist_) return;
    auto& list = *static_cast<ControlListFiles*>(sender == &files_ ? &files_ : &playlist_);
    if (cell.row < 0 || cell.row >= list.get_row_count()) return;
    // A tap on a folder or a playlist file opens it; a sound file is selected, and played by
    // Enter or the play command.
    const ControlListFiles::Row* row = single_selected_row();
    if (sender == &files_ && row && !is_playable(*row)) {
        ControlListFiles::Row const opened = *row;
        open_row(opened);
    }
}

bool PanelFileExplorer::on_keydown(int key) {
    ControlListFiles& list = get_shown_list();
    // While a name is typed in place, the keys are the edit's (Enter accepts it).
    if (list.get_inplace_edit() != nullptr) return ControlPanel::on_keydown(key);
    if (!list.has_focus()) list.set_focus();
    if (key == key_enter) {
        if (const ControlListFiles::Row* row = single_selected_row()) {
            ControlListFiles::Row const chosen = *row;
            list.set_current_row(list.get_first_selected_index());
            if (is_playable(chosen))
                play_selected(false, 0);
            else
                open_row(chosen);
            return true;
        }
        if (list.get_selected_rows().empty() && list.get_row_count() > 0) {
            list.set_row_selected(0, true);
            return true;
        }
    }
    return ControlPanel::on_keydown(key);
}

void PanelFileExplorer::on_selection_changed(skinner::Control* sender) {
    if (sender != &files_ && sender != &playlist_) return;
    document_.set_can_play(can_play_selection(sender == &files_ ? files_ : playlist_));
    notify_document(true, true);
}

void PanelFileExplorer::on_document_changed(const Change& change) {
    if (!change.text.empty()) select_file(change.text);
    if (!change.state_changed) return;
    ControlListFiles& list = get_shown_list();
    if (!document_.is_playing()) {
        list.set_current_row(-1);
    } else {
        list.set_current_path(document_.get_play_file().path);
    }
    list.repaint();
}

void PanelFileExplorer::on_combo_changed(skinner::Control* sender) {
    if (sender != &folder_combo_) return;
    std::u16string const chosen = folder_combo_.get_path();
    if (chosen.empty() || os::paths_equal(chosen, folder_)) return;
    open_folder(chosen, false);
    notify_document(false, false);
}

bool PanelFileExplorer::paste_allowed() const {
    return !clipboard_.empty() && !os::paths_equal(clipboard_source_, folder_);
}

void PanelFileExplorer::update_menu() {
    if (!is_visible()) return;
    for (MenuButton& entry : menu_buttons_) entry.button->set_visible(false);
    auto button = [this](const char16_t* command) { return get_menu_button(command); };
    button(u"ShowFolder")->set_image_index(settings_copy().file_explorer.show_folders ? 9 : 10);
    button(u"RecordOperation")->set_image_index(5);
    button(u"Overwrite")->set_image_index(6);
    button(u"Append")->set_image_index(8);
    button(u"Insert")->set_image_index(7);
    button(u"Cut")->set_image_index(11);
    button(u"Copy")->set_image_index(12);
    button(u"Paste")->set_image_index(13);
    button(u"Delete")->set_image_index(16);
    button(u"MoveUp")->set_image_index(14);
    button(u"MoveDown")->set_image_index(15);
    int const selected = selected_count();
    if (!playlist_mode_) {
        button(u"ShowFolder")->set_separator_after(true);
        button(u"ShowFolder")->set_visible(true);
        button(u"RecordOperation")->set_visible(true);
        if (record_operation_) {
            const ControlListFiles::Row* row = single_selected_row();
            bool const idle = !document_.is_playing() && !document_.is_recording();
            bool const one_file = row && is_playable(*row);
            for (const char16_t* command : {u"Overwrite", u"Append"}) {
                button(command)->set_enabled(idle && one_file);
                button(command)->set_visible(true);
            }
            button(u"Insert")->set_enabled(document_.is_playing());
            button(u"Insert")->set_visible(true);
        } else {
            for (const char16_t* command : {u"Cut", u"Copy", u"Delete"}) button(command)->set_enabled(selected > 0);
            button(u"Paste")->set_enabled(paste_allowed());
            for (const char16_t* command : {u"Cut", u"Copy", u"Paste", u"Delete"}) button(command)->set_visible(true);
        }
    } else {
        int const row = playlist_.get_first_selected_index();
        button(u"MoveUp")->set_enabled(selected == 1 && row > 0);
        button(u"MoveDown")->set_enabled(selected == 1 && row < playlist_.get_row_count() - 1);
        button(u"Delete")->set_enabled(selected > 0);
        for (const char16_t* command : {u"MoveUp", u"MoveDown", u"Delete"}) button(command)->set_visible(true);
    }
}

std::vector<PanelFileExplorer::MenuEntry> PanelFileExplorer::context_menu() {
    const ControlListFiles::Row* one = single_selected_row();
    bool const one_file = one && !one->is_folder;
    std::u16string const extension = one ? os::to_lower(os::get_extension(one->file_name)) : std::u16string();
    if (playlist_mode_) {
        bool const any = selected_count() > 0;
        return {{u"Paste", !clipboard_.empty()},
                {u"AddFile"},
                {u"AddFolder"},
                {u"Delete", any, true},
                {u"SelectAll", true, true},
                {u"Bookmarks", one != nullptr},
                {u"Id3Tags", one && extension == u"mp3"},
                {u"Properties", one != nullptr, true}};
    }
    bool const any = selected_count() > 0;
    return {{u"Cut", any},
            {u"Copy", any},
            {u"Paste", paste_allowed()},
            {u"Delete", any},
            {u"Rename", one != nullptr, true},
            {u"NewFolder", settings_copy().file_explorer.show_folders},
            {u"NewPlaylist", true, true},
            {u"Beam", one_file, false, {{u"Infrared"}, {u"Mail"}}},
            {u"Bookmarks", one_file},
            {u"Id3Tags", one_file && extension == u"mp3"},
            {u"WavToMp3", one_file && extension == u"wav", true},
            {u"Route", one_file, true},
            {u"Properties", one_file, true},
            {u"Refresh", true, true}};
}

void PanelFileExplorer::on_item_context(skinner::Control* sender, skinner::Cell cell) {
    if (sender != &files_ && sender != &playlist_) return;
    std::vector<skinner::MenuItemInfo> items;
    auto make = [this](const MenuEntry& entry) {
        skinner::MenuItemInfo item;
        item.command = entry.command;
        item.text = translate(entry.command);
        item.enabled = entry.enabled;
        item.separator_after = entry.separator;
        return item;
    };
    for (const MenuEntry& entry : context_menu()) {
        skinner::MenuItemInfo item = make(entry);
        for (const MenuEntry& child : entry.children) item.children.push_back(make(child));
        items.push_back(item);
    }
    skinner::Point position;
    skinner::Size size;
    get_shown_list().get_cell_rect(ControlListFiles::COLUMN_NAME, cell.row, position, size);
    std::u16string command;
    if (skinner::show_popup_menu(items, command, *get_form(), {position.x + size.width / 2, position.y + size.height / 2}) &&
        !command.empty()) {
        run_command(command);
    }
}

int PanelFileExplorer::ask(const std::u16string& form, const std::u16string& key) {
    return ask_confirmation(get_form(), dialog_skin_, form, dialog_skin_->translate(key + u"_caption"),
                            dialog_skin_->translate(key));
}

void PanelFileExplorer::report(const std::u16string& key, const std::u16string& source) {
    show_error_text(get_form(), dialog_skin_, dialog_skin_->translate(key + u"_caption"),
                    replace_all(dialog_skin_->translate(key), u"%src%", source));
}

void PanelFileExplorer::run_command(const std::u16string& command) {
    const ControlListFiles::Row* one = single_selected_row();
    if (command == u"Cut" || command == u"Copy") {
        clipboard_source_ = folder_;
        clipboard_ = files_.get_selected_paths();
        clipboard_mode_ = command == u"Cut" ? CLIPBOARD_MOVE : CLIPBOARD_COPY;
    } else if (command == u"Paste") {
        paste();
    } else if (command == u"Delete") {
        remove();
    } else if (command == u"Rename") {
        rename();
    } else if (command == u"NewFolder") {
        new_folder();
    } else if (command == u"Infrared") {
        send(beam_);
    } else if (command == u"Mail") {
        send(mail_);
    } else if (command == u"NewPlaylist") {
        new_playlist();
    } else if (command == u"WavToMp3") {
        wav_to_mp3();
    } else if (command == u"Refresh") {
        refresh_file_list();
        update_document_playlist(false);
    } else if (command == u"Route") {
        if (!playlist_mode_ && one && !one->is_folder) {
            files_.set_current_row(files_.get_first_selected_index());
            play_selected(true, 0);
        }
    } else if (command == u"SelectAll") {
        playlist_.select_row_range(0, playlist_.get_row_count() - 1);
    } else if (command == u"Overwrite") {
        if (!playlist_mode_ && one) document_.start_recording(one->entry.path);
    } else if (command == u"Append") {
        if (!playlist_mode_ && one) document_.start_recording_append(one->entry.path);
    } else if (command == u"Insert") {
        document_.insert_at_play_position();
    } else if (command == u"ShowFolder") {
        toggle_show_folders();
    } else if (command == u"RecordOperation") {
        record_operation_ = !record_operation_;
    } else if (command == u"MoveUp") {
        move_playlist_row(-1);
    } else if (command == u"MoveDown") {
        move_playlist_row(1);
    } else if (command == u"Bookmarks") {
        show_bookmarks();
    } else if (command == u"Id3Tags") {
        edit_id3_tags();
    } else if (command == u"Properties") {
        show_properties();
    } else if (command == u"AddFile") {
        add_files();
    } else if (command == u"AddFolder") {
        add_folder();
    } else {
        return;
    }
    notify_document(true, false);
}

void PanelFileExplorer::paste() {
    clipboard_source_.clear();
    if (!playlist_mode_) {
        ExplorerManager manager(get_form(), dialog_skin_, u"Confirm5Way");
        if (clipboard_mode_ == CLIPBOARD_MOVE)
            manager.move_items(clipboard_, folder_);
        else
            manager.copy_items(clipboard_, folder_);
        refresh_file_list();
        clipboard_.clear();
    } else {
        for (const std::u16string& path : clipboard_) playlist_.add_file(path);
        playlist_.refresh();
        playlist_.save_playlist();
    }
    update_document_playlist(false);
}

void PanelFileExplorer::remove() {
    clipboard_source_.clear();
    if (!playlist_mode_) {
        std::vector<std::u16string> const selected = files_.get_selected_paths();
        if (selected.empty()) return;
        if (ask(u"ConfirmYesNo", u"on_delete") == CONFIRM_YES) {
            ExplorerManager manager(get_form(), dialog_skin_, u"Confirm5Way");
            manager.delete_items(selected);
            refresh_file_list();
            clipboard_.clear();
        }
    } else {
        auto& rows = playlist_.get_rows();
        std::set<int> const selected = playlist_.get_selected_rows();
        playlist_.clear_selection();
        for (auto row = selected.rbegin(); row != selected.rend(); ++row) {
            if (*row < static_cast<int>(rows.size())) rows.erase(rows.begin() + *row);
        }
        playlist_.refresh();
        playlist_.save_playlist();
    }
    update_document_playlist(false);
    Change marks;
    marks.state_changed = true;
    on_document_changed(marks);
}

void PanelFileExplorer::send(const FileSender& sender) {
    // Nothing is sent without a selected file.
    const ControlListFiles::Row* row = files_.get_first_selected_row();
    if (!row || row->is_folder || !sender) return;
    sender(row->entry.path);
}

void PanelFileExplorer::rename() {
    if (playlist_mode_ || files_.get_selected_rows().size() != 1) return;
    const ControlListFiles::Row* row = files_.get_first_selected_row();
    if (!row) return;
    enter_name(EDIT_RENAME, files_.get_first_selected_index(), os::get_name_without_extension(row->file_name));
    Change marks;
    marks.state_changed = true;
    on_document_changed(marks);
}

void PanelFileExplorer::new_folder() {
    if (playlist_mode_ || !settings_copy().file_explorer.show_folders) return;
    enter_new_name(EDIT_NEW_FOLDER, ControlListFiles::folder_type, make_unique_name(u"NewFolder", u""));
}

void PanelFileExplorer::new_playlist() {
    if (playlist_mode_) return;
    // The new playlist gets the selected files, whatever was cut or copied before.
    clipboard_ = files_.get_selected_paths();
    clipboard_mode_ = CLIPBOARD_COPY;
    clipboard_source_.clear();
    enter_new_name(EDIT_NEW_PLAYLIST, u"m3u", make_unique_name(u"NewPlaylist", u"m3u"));
}

std::u16string PanelFileExplorer::make_unique_name(const std::u16string& base, const std::u16string& extension) const {
    for (int number = 1; number <= 9999; ++number) {
        std::u16string const name = base + liba::int_to_wstring(number);
        std::u16string const file = extension.empty() ? name : name + u"." + extension;
        if (!os::FileInfo(os::join_path(folder_, file)).exists()) return name;
    }
    return base;
}

bool PanelFileExplorer::is_acceptable_name(const std::u16string& name) {
    if (name.empty() || name == u"." || name == u"..") return false;
    if (name.find_first_of(u"\\/") != std::u16string::npos) return false;
    // A name of blanks alone names nothing the user can see.
    return name.find_first_not_of(u' ') != std::u16string::npos;
}

void PanelFileExplorer::enter_name(EditMode mode, int row, const std::u16string& initial) {
    if (row < 0 || row >= files_.get_row_count()) return;
    edit_mode_ = mode;
    skinner::ControlEdit& editor = files_.get_editor();
    editor.set_text(initial);
    editor.set_selection(0, static_cast<int>(initial.size()));
    files_.start_inplace_edit(&editor, ControlListFiles::COLUMN_NAME, row);
    editor.set_focus();
}

void PanelFileExplorer::enter_new_name(EditMode mode, const std::u16string& type, const std::u16string& initial) {
    files_.end_inplace_edit(false);
    files_.append_new_row(type);
    files_.refresh();
    int const row = files_.get_row_count() - 1;
    files_.select_only_row(row);
    enter_name(mode, row, initial);
}

void PanelFileExplorer::on_inplace_edit_done(skinner::Control* grid, const skinner::EditRecord& record) {
    if (grid != &files_ || closing_) return;
    if (record.accepted && !playlist_mode_) {
        std::u16string const typed = files_.get_editor().get_text();
        if (!is_acceptable_name(typed)) {
            report(u"on_invalid_name", typed);
        } else {
            switch (edit_mode_) {
            case EDIT_RENAME: finish_rename(record.row, typed); break;
            case EDIT_NEW_FOLDER: finish_new_folder(typed); break;
            case EDIT_NEW_PLAYLIST: finish_new_playlist(typed); break;
            }
        }
    }
    if (!playlist_mode_) refresh_file_list();
    notify_document(true, false);
}

void PanelFileExplorer::finish_rename(int row_index, const std::u16string& typed) {
    if (row_index < 0 || row_index >= files_.get_row_count()) return;
    ControlListFiles::Row const row = files_.get_row(row_index);
    std::u16string const old_path = os::join_path(folder_, row.file_name);
    std::u16string new_path = os::join_path(folder_, typed);
    if (!row.is_folder) new_path = os::change_extension(new_path, os::get_extension(old_path));
    if (os::get_file_name(new_path) == row.file_name) return;
    ExplorerManager manager(get_form(), dialog_skin_, u"ConfirmYesNo");
    manager.rename_item(old_path, os::get_file_name(new_path));
}

void PanelFileExplorer::finish_new_folder(const std::u16string& typed) {
    if (!os::FileInfo(folder_).create_subfolder(typed)) report(u"on_create_folder_error", typed);
}

void PanelFileExplorer::finish_new_playlist(const std::u16string& typed) {
    std::u16string const path = os::join_path(folder_, typed + u".m3u");
    if (os::FileInfo(path).exists()) {
        ExplorerManager manager(get_form(), dialog_skin_, u"ConfirmYesNo");
        bool cancelled = false;
        if (!manager.check_overwrite(cancelled, u"new playlist", path)) return;
        if (!manager.delete_items({path})) return;
    }
    playlist::ListM3U empty;
    if (!empty.save(path)) {
        report(u"on_create_folder_error", typed);
        return;
    }
    open_folder(path, true);
    paste();
    notify_document(false, false);
}

bool PanelFileExplorer::convert(const std::u16string& source, const std::u16string& target) {
    ConvertForm form(get_form(), dialog_skin_, source, target);
    if (!form.can_convert() || !form.has_enough_space()) {
        form.set_visible(false);
        return false;
    }
    form.execute();  // reports its own failures
    return true;
}

void PanelFileExplorer::wav_to_mp3() {
    const ControlListFiles::Row* row = single_selected_row();
    if (playlist_mode_ || !row || row->is_folder) return;
    std::u16string const source = row->entry.path;
    std::u16string const target = os::change_extension(source, u"mp3");
    // A file that no reader takes cannot be converted: said, and nothing is touched.
    std::unique_ptr<audio::PlayChain> const chain = audio::create_play_chain(source, nullptr);
    if (!chain || !chain->get_reader()) {
        report(u"on_convert_error", os::get_file_name(source));
        return;
    }
    ExplorerManager manager(get_form(), dialog_skin_, u"ConfirmYesNo");
    bool cancelled = false;
    if (!manager.check_overwrite(cancelled, u"", target)) return;
    os::FileInfo existing(target);
    existing.set_read_only(false);
    existing.remove();
    if (converter_ && !converter_(source, target)) {
        show_error_text(get_form(), dialog_skin_, dialog_skin_->translate(u"form.Convert.frmCaption.Text"),
                        dialog_skin_->translate(u"on_not_enough_storage_memory"));
    }
    refresh_file_list();
    select_file(target);
}

void PanelFileExplorer::move_playlist_row(int step) {
    if (!playlist_mode_ || playlist_.get_selected_rows().size() != 1) return;
    int const row = playlist_.get_first_selected_index();
    int const other = row + step;
    if (other < 0 || other >= playlist_.get_row_count()) return;
    auto& rows = playlist_.get_rows();
    std::swap(rows[static_cast<std::size_t>(row)], rows[static_cast<std::size_t>(other)]);
    playlist_.select_only_row(other);
    playlist_.ensure_row_visible(step < 0 ? row : other + 1 < playlist_.get_row_count() ? other + 1 : other);
    playlist_.ensure_row_visible(other);
    playlist_.refresh();
    playlist_.save_playlist();
}

void PanelFileExplorer::toggle_show_folders() {
    Settings settings = settings_copy();
    settings.file_explorer.show_folders = !settings.file_explorer.show_folders;
    store_settings(settings);
    refresh_file_list();
}

void PanelFileExplorer::show_bookmarks() {
    const ControlListFiles::Row* row = single_selected_row();
    if (!row || row->is_folder || row->is_playlist) return;
    std::u16string const path = row->entry.path;
    int const index = get_shown_list().get_first_selected_index();
    std::unique_ptr<audio::PlayChain> chain = audio::create_play_chain(path, nullptr);
    if (!chain || !chain->get_reader()) return;
    std::u16string const bookmark_file = path + u".bm";
    Bookmarks marks(bookmark_file);
    // A bookmark file that holds something but gives no bookmark was not understood: the
    // user's file is kept rather than replaced by what the form shows.
    bool const understood = marks.size() > 0 || os::FileInfo(bookmark_file).get_full_size() == 0;
    std::int32_t start = -1;
    {
        BookmarksForm form(get_form(), &get_properties(), u"Bookmarks", *chain->get_reader(), path);
        start = form.run(marks);
    }
    chain.reset();
    if (understood) marks.save(bookmark_file);
    if (os::paths_equal(document_.get_play_file().path, path)) document_.reload_bookmarks();
    if (start != -1) {
        get_shown_list().set_current_row(index);
        play_selected(false, static_cast<std::uint32_t>(start));
    }
}

void PanelFileExplorer::edit_id3_tags() {
    const ControlListFiles::Row* row = single_selected_row();
    if (!row || row->is_folder || os::to_lower(os::get_extension(row->file_name)) != u"mp3") return;
    std::u16string const path = row->entry.path;
    std::u16string const name = os::get_file_name(path);
    // A file that cannot be read would show as having no tag, and confirming the form would
    // then blank the tag it has.
    if (os::File(path, 0).has_errors()) {
        report(u"on_id3_read_error", name);
        return;
    }
    audio::Id3Tag tag = audio::read_id3_tag(path);
    {
        Id3TagForm form(get_form(), dialog_skin_);
        if (!form.edit(tag)) return;
    }
    // Writing makes a missing file: one that went while the form was open is not made anew.
    if (!os::FileInfo(path).exists() || !audio::write_id3_tag(tag, path)) report(u"on_id3_write_error", name);
}

void PanelFileExplorer::show_properties() {
    std::u16string const path = get_shown_list().get_single_selected_path();
    if (path.empty()) return;
    PropertiesForm form(get_form(), dialog_skin_, u"Properties", path);
    form.do_modal();
}

void PanelFileExplorer::add_to_playlist(const std::vector<std::u16string>& paths) {
    for (const std::u16string& path : paths) playlist_.add_file(path);
    playlist_.refresh();
    playlist_.save_playlist();
    update_document_playlist(false);
}

void PanelFileExplorer::add_files() {
    if (!playlist_mode_) return;
    SelectFileForm form(get_form(), dialog_skin_);
    if (form.run()) add_to_playlist(form.get_selected_files());
}

void PanelFileExplorer::add_folder() {
    if (!playlist_mode_) return;
    SelectFolderForm form(get_form(), dialog_skin_);
    if (!form.run() || form.get_chosen_folder().empty()) return;
    FolderFiles found;
    os::find_files(found, form.get_chosen_folder(), u"*", u"*", false);
    std::sort(found.paths.begin(), found.paths.end(),
              [](const std::u16string& a, const std::u16string& b) { return os::to_lower(a) < os::to_lower(b); });
    add_to_playlist(found.paths);
}

}  // namespace screens
