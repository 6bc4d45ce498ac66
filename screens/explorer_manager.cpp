#include "screens/explorer_manager.h"

#include "app/text_utils.h"
#include "foundation/file_info.h"
#include "foundation/paths.h"
#include "skin/form_impl.h"
#include "skin/properties.h"

namespace screens {
namespace {

int ask_with_confirm_form(skinner::Form* owner, skinner::Properties* properties, const std::u16string& form_name,
                          const std::u16string& caption, const std::u16string& message) {
    ConfirmForm form(owner, properties, form_name);
    set_form_texts(form, caption, message);
    return form.run();
}

ConfirmAsker& confirm_asker() {
    static ConfirmAsker asker = ask_with_confirm_form;
    return asker;
}

bool is_plain_file(const std::u16string& path) {
    os::FileInfo const info(path);
    return info.exists() && !info.is_directory();
}

}  // namespace

void set_confirm_asker(ConfirmAsker asker) { confirm_asker() = asker ? std::move(asker) : ask_with_confirm_form; }

void show_error_text(skinner::Form* owner, skinner::Properties* properties, const std::u16string& caption,
                     const std::u16string& message) {
    ErrorForm form(owner, properties);
    set_form_texts(form, caption, message);
    form.do_modal();
}

int ask_confirmation(skinner::Form* owner, skinner::Properties* properties, const std::u16string& form_name,
                     const std::u16string& caption, const std::u16string& message) {
    return confirm_asker()(owner, properties, form_name, caption, message);
}

ExplorerManager::ExplorerManager(skinner::Form* owner, skinner::Properties* properties, std::u16string confirm_form)
    : owner_(owner),
      properties_(properties),
      confirm_form_(std::move(confirm_form)),
      progress_(std::make_unique<FileProgressForm>(owner, properties)) {
    progress_->set_visible(false);
}

ExplorerManager::~ExplorerManager() = default;

PathList ExplorerManager::with_bookmark_files(const PathList& items) {
    PathList expanded;
    for (const std::u16string& item : items) {
        expanded.push_back(item);
        if (os::FileInfo(item).is_directory()) continue;
        std::u16string const bookmarks = get_bookmark_file_path(item);
        if (is_plain_file(bookmarks)) expanded.push_back(bookmarks);
    }
    return expanded;
}

bool ExplorerManager::with_progress(const std::u16string& key, const std::function<bool()>& run) {
    set_form_texts(*progress_, properties_->translate(key + u"_caption"), properties_->translate(key));
    progress_->set_visible(true);
    bool result = false;
    {
        skinner::FormsDisabler const disabler(progress_.get());
        result = run();
    }
    progress_->set_visible(false);
    if (owner_ && owner_->get_impl()) owner_->get_impl()->bring_to_front();
    return result;
}

bool ExplorerManager::delete_items(const PathList& items) {
    PathList const expanded = with_bookmark_files(items);
    return with_progress(u"on_progress_delete", [&] { return FileManager::delete_items(expanded); });
}

bool ExplorerManager::copy_items(const PathList& items, const std::u16string& folder) {
    PathList const expanded = with_bookmark_files(items);
    return with_progress(u"on_progress_copy", [&] { return FileManager::copy_items(expanded, folder); });
}

bool ExplorerManager::move_items(const PathList& items, const std::u16string& folder) {
    PathList const expanded = with_bookmark_files(items);
    return with_progress(u"on_progress_move", [&] { return FileManager::move_items(expanded, folder); });
}

bool ExplorerManager::rename_item(const std::u16string& path, const std::u16string& new_name) {
    bool const result = FileManager::rename_item(path, new_name);
    // Only a file that really moved takes its bookmarks along; a declined overwrite also
    // reports success.
    std::u16string const bookmarks = get_bookmark_file_path(path);
    if (result && was_renamed() && is_plain_file(bookmarks)) {
        os::FileInfo info(bookmarks);
        info.set_read_only(false);
        info.move_to(get_bookmark_file_path(os::join_path(os::get_folder(path), new_name)));
    }
    return result;
}

std::u16string ExplorerManager::text(const std::u16string& key, const std::u16string& source,
                                     const std::u16string& destination) const {
    return replace_all(replace_all(properties_->translate(key), u"%src%", source), u"%dst%", destination);
}

int ExplorerManager::ask(const std::u16string& key, const std::u16string& source, const std::u16string& destination) {
    return ask_confirmation(owner_, properties_, confirm_form_, text(key + u"_caption", source, destination),
                            text(key, source, destination));
}

void ExplorerManager::report(const std::u16string& key, const std::u16string& source,
                             const std::u16string& destination) {
    show_error_text(owner_, properties_, text(key + u"_caption", source, destination), text(key, source, destination));
}

int ExplorerManager::on_delete_read_only(const std::u16string& path) { return ask(u"on_delete_read_only", path, {}); }

int ExplorerManager::on_overwrite(const std::u16string&, const std::u16string& destination) {
    return ask(u"on_overwrite", {}, os::get_file_name(destination));
}

int ExplorerManager::on_overwrite_read_only(const std::u16string&, const std::u16string& destination) {
    return ask(u"on_overwrite_read_only", {}, os::get_file_name(destination));
}

int ExplorerManager::on_move_read_only(const std::u16string& source, const std::u16string&) {
    return ask(u"on_move_read_only", os::get_file_name(source), {});
}

void ExplorerManager::on_recursive_operation_error(const std::u16string& source, const std::u16string& target) {
    report(u"on_recursive_operation_error", source, target);
}

void ExplorerManager::on_self_operation_error(const std::u16string& source, const std::u16string& target) {
    report(u"on_self_operation_error", source, target);
}

bool ExplorerManager::on_delete_error(const std::u16string& path) {
    report(u"on_delete_error", os::get_file_name(path), {});
    return false;
}

bool ExplorerManager::on_copy_error(const std::u16string& source, const std::u16string&) {
    report(u"on_copy_error", os::get_file_name(source), {});
    return false;
}

bool ExplorerManager::on_move_error(const std::u16string& source, const std::u16string&) {
    report(u"on_move_error", os::get_file_name(source), {});
    return false;
}

bool ExplorerManager::on_progress(const std::u16string& source, const std::u16string&, double file_fraction,
                                  double total_fraction) {
    progress_->set_fractions(file_fraction, total_fraction);
    progress_->set_file_name(os::get_file_name(source));
    skinner::process_pending_messages();
    return !progress_->is_cancelled();
}

}  // namespace screens
