// The file explorer's file operations on lists of paths: delete, copy into a folder, move
// into a folder and rename one item. The manager walks folders itself, keeps a progress
// total, and asks every question and reports every error through virtual hooks; this base
// answers every question with cancel, reports nothing and never cancels on progress.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "screens/message_forms.h"  // ConfirmAnswer

namespace screens {

using PathList = std::vector<std::u16string>;


class FileManager {
public:
    // Progress units of a folder; a file counts its size in bytes.
    static constexpr std::uint64_t folder_units = 1000;

    virtual ~FileManager() = default;

    // True when every item was handled (skipped ones included).
    virtual bool delete_items(const PathList& items);
    virtual bool copy_items(const PathList& items, const std::u16string& folder);
    virtual bool move_items(const PathList& items, const std::u16string& folder);
    // new_name is a bare name in the item's folder. True on success or when the user
    // declined to overwrite; false on cancel or failure.
    virtual bool rename_item(const std::u16string& path, const std::u16string& new_name);

    // The workers: true = go on with the next item.
    virtual bool delete_file(const std::u16string& path);
    virtual bool delete_folder(const std::u16string& path);
    virtual bool copy_folder(const std::u16string& source, const std::u16string& destination);
    virtual bool copy_file(const std::u16string& source, const std::u16string& destination);
    virtual bool move_file(const std::u16string& source, const std::u16string& destination);
    virtual bool move_folder(const std::u16string& source, const std::u16string& destination);

    // The questions: a ConfirmAnswer (CONFIRM_...).
    virtual int on_delete_read_only(const std::u16string& path);
    virtual int on_overwrite(const std::u16string& source, const std::u16string& destination);
    virtual int on_overwrite_read_only(const std::u16string& source, const std::u16string& destination);
    virtual int on_move_read_only(const std::u16string& source, const std::u16string& destination);
    virtual void on_recursive_operation_error(const std::u16string& source, const std::u16string& target);
    virtual void on_self_operation_error(const std::u16string& source, const std::u16string& target);
    // true = skip the item and go on, false = stop.
    virtual bool on_delete_error(const std::u16string& path);
    virtual bool on_copy_error(const std::u16string& source, const std::u16string& destination);
    virtual bool on_move_error(const std::u16string& source, const std::u16string& destination);
    // false = cancel. The destination is empty where there is none.
    virtual bool on_progress(const std::u16string& source, const std::u16string& destination, double file_fraction,
                             double total_fraction);

    // Whether the destination may be written: true when it is absent or the user agreed to
    // replace it; cancelled tells a cancel from a no.
    bool check_overwrite(bool& cancelled, const std::u16string& source, const std::u16string& destination);

    std::uint64_t get_total() const { return total_; }
    std::uint64_t get_done() const { return done_; }
    // Whether the last rename_item moved the item (a declined overwrite also succeeds).
    bool was_renamed() const { return renamed_; }

protected:
    // done / total, kept below 1 until an operation ends; 0 while the total is 0.
    double total_fraction() const;

private:
    enum Mode { MODE_DELETE = 0, MODE_COPY = 1, MODE_MOVE = 2 };
    class Walker;
    class Calculator;

    bool run_items(Mode mode, const PathList& items, const std::u16string& folder);
    bool validate_targets(const PathList& items, const std::u16string& folder);
    std::uint64_t calculate_total(const PathList& items);
    bool copy_file_data(const std::u16string& source, const std::u16string& destination, bool& cancelled);
    bool walk_folder(Mode mode, const std::u16string& source, const std::u16string& destination);
    bool make_folder(const std::u16string& destination);
    // An answer remembered as "to all" holds; otherwise asks and remembers.
    template <class Ask>
    int answer(int& remembered, Ask ask);

    int overwrite_answer_ = CONFIRM_NO;
    int delete_read_only_answer_ = CONFIRM_NO;
    int overwrite_read_only_answer_ = CONFIRM_NO;
    int move_read_only_answer_ = CONFIRM_NO;
    std::uint64_t total_ = 0;
    std::uint64_t done_ = 0;
    bool renamed_ = false;
};

}  // namespace screens
