// The file explorer's file manager: the progress form around each whole-list operation,
// confirmation boxes for the questions, error boxes for the errors, and every sound file's
// bookmark file (its path followed by ".bm") carried along with it.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "screens/file_forms.h"
#include "screens/message_forms.h"
#include "screens/file_manager.h"

namespace screens {

// Asks a question in the confirmation form of that name; a ConfirmAnswer (the form closed
// without a button answers no).
using ConfirmAsker = std::function<int(skinner::Form* owner, skinner::Properties* properties,
                                       const std::u16string& form_name, const std::u16string& caption,
                                       const std::u16string& message)>;

// The asker of every explorer manager made afterwards (tests answer through it); an empty
// one restores the confirmation form.
void set_confirm_asker(ConfirmAsker asker);
// Asks through the asker in force.
int ask_confirmation(skinner::Form* owner, skinner::Properties* properties, const std::u16string& form_name,
                     const std::u16string& caption, const std::u16string& message);

// An error form over the owner with these texts; returns when it is closed.
void show_error_text(skinner::Form* owner, skinner::Properties* properties, const std::u16string& caption,
                     const std::u16string& message);

class ExplorerManager : public FileManager {
public:
    // confirm_form: "Confirm5Way" for paste and delete, "ConfirmYesNo" for rename, conversion
    // and a new playlist.
    ExplorerManager(skinner::Form* owner, skinner::Properties* properties, std::u16string confirm_form);
    ~ExplorerManager() override;

    bool delete_items(const PathList& items) override;
    bool copy_items(const PathList& items, const std::u16string& folder) override;
    bool move_items(const PathList& items, const std::u16string& folder) override;
    bool rename_item(const std::u16string& path, const std::u16string& new_name) override;

    int on_delete_read_only(const std::u16string& path) override;
    int on_overwrite(const std::u16string& source, const std::u16string& destination) override;
    int on_overwrite_read_only(const std::u16string& source, const std::u16string& destination) override;
    int on_move_read_only(const std::u16string& source, const std::u16string& destination) override;
    void on_recursive_operation_error(const std::u16string& source, const std::u16string& target) override;
    void on_self_operation_error(const std::u16string& source, const std::u16string& target) override;
    bool on_delete_error(const std::u16string& path) override;
    bool on_copy_error(const std::u16string& source, const std::u16string& destination) override;
    bool on_move_error(const std::u16string& source, const std::u16string& destination) override;
    bool on_progress(const std::u16string& source, const std::u16string& destination, double file_fraction,
                     double total_fraction) override;

    FileProgressForm& get_progress_form() { return *progress_; }

    // Each path, and right behind each file its bookmark file when that exists.
    static PathList with_bookmark_files(const PathList& items);

protected:
    // The question in the confirmation form, its texts looked up by key, "%src%" and "%dst%"
    // replaced.
    virtual int ask(const std::u16string& key, const std::u16string& source, const std::u16string& destination);
    // The error in an error form, likewise.
    virtual void report(const std::u16string& key, const std::u16string& source, const std::u16string& destination);

    std::u16string text(const std::u16string& key, const std::u16string& source,
                        const std::u16string& destination) const;

private:
    bool with_progress(const std::u16string& key, const std::function<bool()>& run);

    skinner::Form* owner_;
    skinner::Properties* properties_;
    std::u16string confirm_form_;
    std::unique_ptr<FileProgressForm> progress_;
};

}  // namespace screens
