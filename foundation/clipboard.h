// Scoped access to the clipboard. Each object holds the clipboard open from its construction
// to its destruction, so it lives within one operation of the user-interface thread, and no
// second one may exist at the same time.
#pragma once

#include <cstddef>
#include <memory>

#include "foundation/nocopy.h"

namespace os {

// The kinds of data on the clipboard.
constexpr int clipboard_kind_dib = 0;
constexpr int clipboard_kind_riff = 1;
constexpr int clipboard_kind_text = 2;
constexpr int clipboard_kind_unicode_text = 3;

// Reads the clipboard's data of one kind.
class ClipboardReader : private liba::Nocopy {
public:
    // Without data when the clipboard cannot be opened or the kind is unknown.
    explicit ClipboardReader(int kind);
    ~ClipboardReader();

    bool has_data() const;
    // The data's size in bytes and its bytes (0 and null without data); valid while the
    // reader lives.
    std::size_t get_size();
    const void* get_data();

private:
    struct State;
    void take_data();

    std::unique_ptr<State> state_;
};

// Lends a block of the given size to fill; the clipboard takes it, under the kind, when the
// writer ends. Text goes as clipboard_kind_unicode_text: UTF-16 with its terminator.
class ClipboardWriter : private liba::Nocopy {
public:
    // Empties the clipboard first when asked. Without a block (and without touching the
    // clipboard) when it cannot be opened or the kind is unknown; without a block, and so
    // handing nothing over, when the memory cannot be had.
    ClipboardWriter(int kind, std::size_t size, bool empty_first);
    ~ClipboardWriter();

    bool is_valid() const;
    // Null without a block.
    void* get_buffer() const;

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace os
