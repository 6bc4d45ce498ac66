#include "app/comm/stack_edit.h"

#include <cstring>

StackEdit::~StackEdit() {
    if (committed_) return;
    if (pushed_ > 0) {
        std::vector<std::uint8_t> discarded(pushed_);
        clipboard_.pop(discarded.data(), pushed_);
    }
    for (auto piece = popped_.rbegin(); piece != popped_.rend(); ++piece) {
        clipboard_.push(piece->data(), static_cast<std::uint32_t>(piece->size()));
    }
}

bool StackEdit::push(const void* bytes, std::uint32_t length) {
    if (!clipboard_.push(bytes, length)) return false;
    pushed_ += length;
    return true;
}

bool StackEdit::pop(void* destination, std::uint32_t length) {
    std::vector<std::uint8_t> piece(length);
    if (!clipboard_.pop(piece.data(), length)) return false;
    if (length > 0) std::memcpy(destination, piece.data(), length);
    popped_.push_back(std::move(piece));
    return true;
}
