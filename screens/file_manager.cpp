#include "screens/file_manager.h"

#include <algorithm>
#include <memory>

#include "foundation/file.h"
#include "foundation/file_info.h"
#include "foundation/finder.h"
#include "foundation/paths.h"

namespace screens {

// Hands each entry of a folder back to the manager's worker of its mode; the first false
// result stops the walk. Folder links are never reported by the directory search, so a
// walk never leaves the tree it was given.
class FileManager::Walker : public os::Finder {
public:
    Walker(FileManager& manager, Mode mode, std::u16string destination)
        : manager_(manager), mode_(mode), destination_(std::move(destination)) {}

    bool on_file(const std::u16string& path) override {
        std::u16string const target = target_of(path);
        bool const result = mode_ == MODE_DELETE ? manager_.delete_file(path)
                            : mode_ == MODE_COPY ? manager_.copy_file(path, target)
                                                 : manager_.move_file(path, target);
        failed_ = !result;
        return !failed_;
    }

    bool on_folder(const std::u16string& path) override {
        std::u16string const target = target_of(path);
        bool const result = mode_ == MODE_DELETE ? manager_.delete_folder(path)
                            : mode_ == MODE_COPY ? manager_.copy_folder(path, target)
                                                 : manager_.move_folder(path, target);
        failed_ = !result;
        return !failed_;
    }

    bool failed() const { return failed_; }

private:
    std::u16string target_of(const std::u16string& path) const {
        return mode_ == MODE_DELETE ? std::u16string() : os::join_path(destination_, os::get_file_name(path));
    }

    FileManager& manager_;
    Mode mode_;
    std::u16string destination_;
    bool failed_ = false;
};

// Sizes a tree before the work starts.
class FileManager::Calculator : public os::Finder {
public:
    bool on_file(const std::u16string& path) override {
        total += os::FileInfo(path).get_full_size();
        return true;
    }
    bool on_folder(const std::u16string& path) override {
        total += folder_units;
        os::find_files(*this, path, u"*", u"*", false);
        return true;
    }

    std::uint64_t total = 0;
};

namespace {

bool is_to_all(int answer) { return answer == CONFIRM_YES_TO_ALL || answer == CONFIRM_NO_TO_ALL; }

bool is_no(int answer) { return answer == CONFIRM_NO || answer == CONFIRM_NO_TO_ALL; }

}  // namespace

template <class Ask>
int FileManager::answer(int& remembered, Ask ask) {
    if (!is_to_all(remembered)) remembered = ask();
    return remembered;
}

double FileManager::total_fraction() const {
    if (total_ == 0) return 0.0;
    return std::clamp(static_cast<double>(done_) / static_cast<double>(total_), 0.0, 0.99);
}

bool FileManager::delete_items(const PathList& items) { return run_items(MODE_DELETE, items, {}); }

bool FileManager::copy_items(const PathList& items, const std::u16string& folder) {
    return run_items(MODE_COPY, items, folder);
}

bool FileManager::move_items(const PathList& items, const std::u16string& folder) {
    return run_items(MODE_MOVE, items, folder);
}

bool FileManager::run_items(Mode mode, const PathList& items, const std::u16string& folder) {
    if (mode != MODE_DELETE && !validate_targets(items, folder)) return false;
    total_ = calculate_total(items);
    done_ = 0;
    on_progress({}, {}, 0.0, 0.0);
    for (const std::u16string& item : items) {
        std::u16string const target = mode == MODE_DELETE ? std::u16string() : os::join_path(folder, os::get_file_name(item));
        bool const is_folder = os::FileInfo(item).is_directory();
        bool result = false;
        switch (mode) {
        case MODE_DELETE: result = is_folder ? delete_folder(item) : delete_file(item); break;
        case MODE_COPY: result = is_folder ? copy_folder(item, target) : copy_file(item, target); break;
        case MODE_MOVE: result = is_folder ? move_folder(item, target) : move_file(item, target); break;
        }
        if (!result) return false;
    }
    on_progress({}, {}, 1.0, 1.0);
    return true;
}

std::uint64_t FileManager::calculate_total(const PathList& items) {
    Calculator calculator;
    for (const std::u16string& item : items) {
        if (os::FileInfo(item).is_directory())
            calculator.on_folder(item);
        else
            calculator.on_file(item);
    }
    return calculator.total;
}

bool FileManager::validate_targets(const PathList& items, const std::u16string& folder) {
    for (const std::u16string& item : items) {
        std::u16string const target = os::join_path(folder, os::get_file_name(item));
        if (os::paths_equal(item, target)) {
            on_self_operation_error(item, target);
            return false;
        }
        // A folder may not go into itself; compared as folders, so that "a" is no prefix of "ab".
        if (os::FileInfo(item).is_directory() &&
            os::is_path_prefix(os::remove_trailing_separator(item) + u"\\", os::normalize_path(target) + u"\\")) {
            on_recursive_operation_error(item, target);
            return false;
        }
    }
    return true;
}

bool FileManager::check_overwrite(bool& cancelled, const std::u16string& source, const std::u16string& destination) {
    cancelled = false;
    os::FileInfo const existing(destination);
    if (!existing.exists()) return true;
    int const first = answer(overwrite_answer_, [&] { return on_overwrite(source, destination); });
    if (first == CONFIRM_CANCEL) cancelled = true;
    if (first == CONFIRM_CANCEL || is_no(first)) return false;
    if (!existing.is_read_only()) return true;
    int const second =
        answer(overwrite_read_only_answer_, [&] { return on_overwrite_read_only(source, destination); });
    if (second == CONFIRM_CANCEL) cancelled = true;
    return second != CONFIRM_CANCEL && !is_no(second);
}

bool FileManager::delete_file(const std::u16string& path) {
    if (!on_progress(path, {}, 0.5, total_fraction())) return false;
    os::FileInfo info(path);
    if (info.is_read_only()) {
        int const reply = answer(delete_read_only_answer_, [&] { return on_delete_read_only(path); });
        if (reply == CONFIRM_CANCEL) return false;
        if (is_no(reply)) return true;
        info.set_read_only(false);
    }
    if (!info.remove()) return on_delete_error(path);
    done_ += info.get_full_size();
    return on_progress(path, {}, 1.0, total_fraction());
}

bool FileManager::delete_folder(const std::u16string& path) {
    Walker walker(*this, MODE_DELETE, {});
    os::find_files(walker, path, u"*", u"*", false);
    if (!walker.failed()) os::FileInfo(path).remove();
    done_ += folder_units;
    return on_progress(path, {}, 1.0, total_fraction()) && !walker.failed();
}

bool FileManager::copy_file(const std::u16string& source, const std::u16string& destination) {
    if (!on_progress(source, destination, 0.0, total_fraction())) return false;
    bool cancelled = false;
    if (check_overwrite(cancelled, source, destination)) {
        // Agreed to: a read-only file in the way is replaced like any other, which it could not
        // be while it stays read-only.
        os::FileInfo(destination).set_read_only(false);
        if (!copy_file_data(source, destination, cancelled)) return on_copy_error(source, destination);
    }
    if (!on_progress(source, destination, 1.0, total_fraction())) return false;
    return !cancelled;
}

bool FileManager::copy_file_data(const std::u16string& source, const std::u16string& destination, bool& cancelled) {
    std::uint64_t const size = os::FileInfo(source).get_full_size();
    bool written = false;
    {
        os::File input(source, 0);
        if (input.has_errors()) return false;
        auto output = std::make_unique<os::File>(destination, 1);
        if (output->has_errors()) return false;
        written = true;
        // Claims the room first where the file's length fits the stream's positions.
        if (size <= UINT32_MAX && (!output->truncate(static_cast<std::uint32_t>(size)) || !output->seek(0))) {
            output.reset();
            os::FileInfo(destination).remove();
            return false;
        }
        constexpr std::uint32_t chunk_size = 32768;
        auto const buffer = std::make_unique<unsigned char[]>(chunk_size);
        std::uint64_t position = 0;
        bool failed = false;
        while (position < size && !failed) {
            auto const chunk = static_cast<std::uint32_t>(std::min<std::uint64_t>(size - position, chunk_size));
            // A file that shrank under the copy, or a full disk, is an error, never a short copy.
            if (input.read(buffer.get(), chunk) != chunk || output->write(buffer.get(), chunk) != chunk) {
                failed = true;
                break;
            }
            position += chunk;
            if (!on_progress(source, destination, static_cast<double>(position) / static_cast<double>(size),
                             total_fraction())) {
                cancelled = true;
                break;
            }
        }
        failed = failed || output->has_errors() || !output->flush();
        done_ += size;
        if (!cancelled && !failed) return true;
    }
    if (written) os::FileInfo(destination).remove();
    return cancelled;
}

bool FileManager::move_file(const std::u16string& source, const std::u16string& destination) {
    if (!on_progress(source, destination, 0.5, total_fraction())) return false;
    os::FileInfo info(source);
    if (info.is_read_only()) {
        int const reply = answer(move_read_only_answer_, [&] { return on_move_read_only(source, destination); });
        if (reply == CONFIRM_CANCEL) return false;
        if (is_no(reply)) return true;
    }
    bool cancelled = false;
    if (check_overwrite(cancelled, source, destination)) {
        os::FileInfo existing(destination);
        if (existing.exists()) {
            existing.set_read_only(false);
            existing.remove();
        }
        if (!info.move_to(destination)) return on_move_error(source, destination);
        done_ += info.get_full_size();
    }
    if (!on_progress(source, destination, 1.0, total_fraction())) return false;
    return !cancelled;
}

bool FileManager::make_folder(const std::u16string& destination) {
    if (os::FileInfo(destination).is_directory()) return true;
    std::u16string const parent = os::get_folder(os::remove_trailing_separator(destination));
    return os::FileInfo(parent).create_subfolder(os::get_file_name(os::remove_trailing_separator(destination)));
}

bool FileManager::walk_folder(Mode mode, const std::u16string& source, const std::u16string& destination) {
    Walker walker(*this, mode, destination);
    os::find_files(walker, source, u"*", u"*", false);
    return !walker.failed();
}

bool FileManager::copy_folder(const std::u16string& source, const std::u16string& destination) {
    if (!make_folder(destination)) return on_copy_error(source, destination);
    bool const walked = walk_folder(MODE_COPY, source, destination);
    done_ += folder_units;
    return on_progress(source, {}, 1.0, total_fraction()) && walked;
}

bool FileManager::move_folder(const std::u16string& source, const std::u16string& destination) {
    if (!make_folder(destination)) return on_move_error(source, destination);
    bool const walked = walk_folder(MODE_MOVE, source, destination);
    os::FileInfo folder(source);
    folder.set_read_only(false);
    folder.remove();
    done_ += folder_units;
    return on_progress(source, {}, 1.0, total_fraction()) && walked;
}

bool FileManager::rename_item(const std::u16string& path, const std::u16string& new_name) {
    std::u16string const target = os::join_path(os::get_folder(os::remove_trailing_separator(path)), new_name);
    renamed_ = false;
    bool cancelled = false;
    // The same item under another case is renamed without a question.
    bool const other_item = !os::paths_equal(path, target);
    if (other_item && !check_overwrite(cancelled, path, target)) return !cancelled;
    if (other_item && os::FileInfo(target).exists() && !delete_items({target})) return false;
    renamed_ = os::FileInfo(path).move_to(target);
    return renamed_;
}

int FileManager::on_delete_read_only(const std::u16string&) { return CONFIRM_CANCEL; }
int FileManager::on_overwrite(const std::u16string&, const std::u16string&) { return CONFIRM_CANCEL; }
int FileManager::on_overwrite_read_only(const std::u16string&, const std::u16string&) { return CONFIRM_CANCEL; }
int FileManager::on_move_read_only(const std::u16string&, const std::u16string&) { return CONFIRM_CANCEL; }
void FileManager::on_recursive_operation_error(const std::u16string&, const std::u16string&) {}
void FileManager::on_self_operation_error(const std::u16string&, const std::u16string&) {}
bool FileManager::on_delete_error(const std::u16string&) { return false; }
bool FileManager::on_copy_error(const std::u16string&, const std::u16string&) { return false; }
bool FileManager::on_move_error(const std::u16string&, const std::u16string&) { return false; }
bool FileManager::on_progress(const std::u16string&, const std::u16string&, double, double) { return true; }

}  // namespace screens
