// Recording, insert and stop.
#include "app/document.h"
#include "foundation/file_info.h"
#include "foundation/paths.h"
#include "platform/cursors.h"
#include "platform/kernel.h"

namespace {

std::u16string two_digits(int value) {
    std::u16string text(2, u'0');
    text[0] = static_cast<char16_t>(u'0' + value / 10 % 10);
    text[1] = static_cast<char16_t>(u'0' + value % 10);
    return text;
}

std::u16string date_folder_name(const os::DateTime& date) {
    std::u16string year;
    for (char const c : std::to_string(date.get_year())) year += static_cast<char16_t>(c);
    return year + u"-" + two_digits(date.get_month()) + u"-" + two_digits(date.get_day());
}

}  // namespace

std::u16string Document::get_record_folder(const std::u16string& folder) {
    if (!settings.record.default_folder) return folder;
    std::u16string const base = settings.record.folder;
    if (!settings.record.date_folder) return base;
    std::u16string const name = date_folder_name(now());
    os::FileInfo(base).create_subfolder(name);  // a folder that exists already is fine
    return os::join_path(base, name);
}

void Document::wait_for_drain(skinner::Form* owner) {
    if (owner != nullptr && drain_progress && active_buffer.get_buffered_bytes() > drain_form_threshold) {
        if (auto const form = drain_progress(*owner, active_buffer)) {
            form->run_modal();
            return;
        }
    }
    HCURSOR const previous = GetCursor();
    SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    while (active_buffer.get_block_count() != 0) Sleep(10);
    SetCursor(previous);
}
