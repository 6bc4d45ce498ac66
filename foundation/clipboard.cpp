#include "foundation/clipboard.h"

#include "platform/clipboard.h"

namespace os {
namespace {

// The platform format of a kind; 0 for a kind that names none.
UINT format_of(int kind) {
    switch (kind) {
    case clipboard_kind_dib: return CF_DIB;
    case clipboard_kind_riff: return CF_RIFF;
    case clipboard_kind_text: return CF_TEXT;
    case clipboard_kind_unicode_text: return CF_UNICODETEXT;
    default: return 0;
    }
}

}  // namespace

struct ClipboardReader::State {
    bool opened = false;
    HANDLE data_handle = nullptr;
    const void* data = nullptr;  // null until first asked
    std::size_t size = 0;
};

ClipboardReader::ClipboardReader(int kind) : state_(std::make_unique<State>()) {
    UINT const format = format_of(kind);
    if (format == 0) return;
    state_->opened = OpenClipboard(nullptr) != FALSE;
    if (state_->opened) state_->data_handle = GetClipboardData(format);
}

ClipboardReader::~ClipboardReader() {
    state_->data = nullptr;
    if (state_->opened) CloseClipboard();
}

bool ClipboardReader::has_data() const { return state_->data_handle != nullptr; }

void ClipboardReader::take_data() {
    if (state_->data || !state_->data_handle) return;
    state_->size = LocalSize(state_->data_handle);
    state_->data = state_->data_handle;
}

std::size_t ClipboardReader::get_size() {
    take_data();
    return state_->size;
}

const void* ClipboardReader::get_data() {
    take_data();
    return state_->data;
}

struct ClipboardWriter::State {
    bool opened = false;
    HLOCAL memory_handle = nullptr;
    void* block = nullptr;  // the handle's bytes; null when there is no block
    UINT format = 0;
};

ClipboardWriter::ClipboardWriter(int kind, std::size_t size, bool empty_first) : state_(std::make_unique<State>()) {
    state_->format = format_of(kind);
    if (state_->format == 0) return;
    state_->opened = OpenClipboard(nullptr) != FALSE;
    if (!state_->opened) return;
    if (empty_first) EmptyClipboard();
    state_->memory_handle = LocalAlloc(LMEM_MOVEABLE, size);
    state_->block = state_->memory_handle;
}

ClipboardWriter::~ClipboardWriter() {
    // The clipboard owns the block once it took it; a block it refused is still ours.
    if (state_->block && !SetClipboardData(state_->format, state_->memory_handle)) LocalFree(state_->memory_handle);
    if (state_->opened) CloseClipboard();
}

bool ClipboardWriter::is_valid() const { return state_->block != nullptr; }

void* ClipboardWriter::get_buffer() const { return state_->block; }

}  // namespace os
