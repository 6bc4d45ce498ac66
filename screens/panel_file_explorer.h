// The main form's file explorer: the contents of one folder or the entries of one playlist
// file, three sort buttons, a folder-up button and the explorer's buttons of the menu bar.
// It keeps the Document's playlist equal to the playable rows it shows, marks the row the
// Document plays, and runs the explorer's commands (cut, copy, paste, delete, rename, new
// folder, new playlist, ...) by name.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/document.h"
#include "screens/control_list_files.h"
#include "screens/control_list_playlist.h"
#include "screens/file_manager.h"
#include "skin/button.h"
#include "skin/button_multistate.h"
#include "skin/combo_box_folder_tree.h"
#include "skin/menu_main_button.h"
#include "skin/panel.h"

namespace screens {

class PanelFileExplorer : public skinner::ControlPanel, public Document::View {
public:
    enum EditMode { EDIT_RENAME = 0, EDIT_NEW_FOLDER = 1, EDIT_NEW_PLAYLIST = 2 };
    enum ClipboardMode { CLIPBOARD_COPY = 0, CLIPBOARD_MOVE = 1 };

    // Sends one file away (beam over infrared, attach to a mail).
    using FileSender = std::function<void(const std::u16string& path)>;
    // Converts a WAV file into the MP3 file of the target path; false when it could not
    // start (no room for the new file). Failures later on are the converter's to report.
    using Converter = std::function<bool(const std::u16string& source, const std::u16string& target)>;

    // dialog_skin: the skin of the progress, confirmation and error forms.
    PanelFileExplorer(skinner::Container* container, const std::u16string& name, Document& document,
                      skinner::Properties* dialog_skin);
    ~PanelFileExplorer() override;

    // Commands that the panel does not know do nothing.
    void run_command(const std::u16string& command);
    bool on_keydown(int key) override;
    // Opens the file's folder and selects the file.
    void select_file(const std::u16string& path);
    // Plays the shown list from the current (or the selected) row.
    bool play_selected(bool ranges, std::uint32_t start_position);
    void update_menu();
    const std::u16string& get_folder() const { return folder_; }

    // A folder, or (as_playlist) a playlist file to show; a playlist that does not load
    // changes nothing.
    void open_folder(const std::u16string& path, bool as_playlist);
    void refresh_file_list();
    void set_sort(int code);

    void on_click(skinner::Control* sender) override;
    void on_item_click(skinner::Control* sender, skinner::Cell cell) override;
    void on_item_context(skinner::Control* sender, skinner::Cell cell) override;
    void on_selection_changed(skinner::Control* sender) override;
    void on_combo_changed(skinner::Control* sender) override;
    // The end of typing a name in place: rename, new folder or new playlist by the edit mode.
    void on_inplace_edit_done(skinner::Control* grid, const skinner::EditRecord& record) override;
    void on_document_changed(const Change& change) override;

    void set_beam(FileSender beam) { beam_ = std::move(beam); }
    void set_mail(FileSender mail) { mail_ = std::move(mail); }
    void set_converter(Converter converter) { converter_ = std::move(converter); }

    skinner::ControlComboBoxFolderTree& get_folder_combo() { return folder_combo_; }
    ControlListFiles& get_file_list() { return files_; }
    ControlListPlaylist& get_playlist_list() { return playlist_; }
    // The list that is shown.
    ControlListFiles& get_shown_list() { return playlist_mode_ ? playlist_ : files_; }
    bool is_playlist_mode() const { return playlist_mode_; }
    const std::vector<std::u16string>& get_clipboard() const { return clipboard_; }
    int get_clipboard_mode() const { return clipboard_mode_; }
    bool is_record_operation_mode() const { return record_operation_; }
    EditMode get_edit_mode() const { return edit_mode_; }
    // A name is being typed in the list's field.
    bool is_typing_name() const { return files_.get_inplace_edit() != nullptr; }
    skinner::ControlButtonMultistate& get_sort_button(int index) { return *sort_buttons_[static_cast<std::size_t>(index)]; }
    skinner::MenuMainButton* get_menu_button(const std::u16string& command);
    // The context menu of the shown list: (command, enabled, separator after).
    struct MenuEntry {
        MenuEntry(std::u16string name, bool on = true, bool separator_after = false, std::vector<MenuEntry> submenu = {})
            : command(std::move(name)), enabled(on), separator(separator_after), children(std::move(submenu)) {}
        std::u16string command;
        bool enabled;
        bool separator;
        std::vector<MenuEntry> children;
    };
    std::vector<MenuEntry> context_menu();

    // What a typed name is checked against: not empty, not "." or "..", no separator.
    static bool is_acceptable_name(const std::u16string& name);

private:
    struct MenuButton {
        const char16_t* command;
        int id;
        std::unique_ptr<skinner::MenuMainButton> button;
    };

    Settings settings_copy() const { return document_.get_settings(); }
    void store_settings(const Settings& settings) { document_.set_settings(settings); }
    int update_document_playlist(bool ranges);
    bool can_play_selection(ControlListFiles& list);
    void notify_document(bool file, bool state);
    void show_lists();
    void save_shown_playlist();
    bool paste_allowed() const;
    int selected_count() { return static_cast<int>(get_shown_list().get_selected_rows().size()); }
    const ControlListFiles::Row* single_selected_row();
    void open_row(const ControlListFiles::Row& row);
    std::u16string make_unique_name(const std::u16string& base, const std::u16string& extension) const;

    void paste();
    void remove();
    void rename();
    void new_folder();
    void new_playlist();
    void send(const FileSender& sender);
    void wav_to_mp3();
    bool convert(const std::u16string& source, const std::u16string& target);
    void move_playlist_row(int step);
    void show_bookmarks();
    void edit_id3_tags();
    void show_properties();
    void add_files();
    void add_folder();
    void add_to_playlist(const std::vector<std::u16string>& paths);
    void toggle_show_folders();

    // Starts typing the row's name in place; the edit's end carries it out.
    void enter_name(EditMode mode, int row, const std::u16string& initial);
    // A new row of the type at the end of the list, the only one selected, to name in place.
    void enter_new_name(EditMode mode, const std::u16string& type, const std::u16string& initial);
    void finish_rename(int row, const std::u16string& typed);
    void finish_new_folder(const std::u16string& typed);
    void finish_new_playlist(const std::u16string& typed);

    int ask(const std::u16string& form, const std::u16string& key);
    void report(const std::u16string& key, const std::u16string& source);

    Document& document_;
    skinner::Properties* dialog_skin_;
    std::u16string folder_ = u"\\";
    skinner::ControlComboBoxFolderTree folder_combo_;
    ControlListFiles files_;
    ControlListPlaylist playlist_;
    std::vector<std::u16string> clipboard_;
    int clipboard_mode_ = CLIPBOARD_COPY;
    std::u16string clipboard_source_;
    bool record_operation_ = false;
    std::array<std::unique_ptr<skinner::ControlButtonMultistate>, 3> sort_buttons_;
    skinner::ControlButton folder_up_;
    bool playlist_mode_ = false;
    std::vector<MenuButton> menu_buttons_;
    EditMode edit_mode_ = EDIT_RENAME;
    bool closing_ = false;
    FileSender beam_;
    FileSender mail_;
    Converter converter_;
};

}  // namespace screens
