// The pieces of one value pushed or popped as a whole: unless the edit is committed, its
// end takes back what it pushed or puts back what it popped, so that a value that fails
// half-way leaves the stack as it was.
#pragma once

#include <cstdint>
#include <vector>

#include "app/comm/comm_clipboard.h"

class StackEdit {
public:
    explicit StackEdit(CCommClipboard& clipboard) : clipboard_(clipboard) {}
    ~StackEdit();
    StackEdit(const StackEdit&) = delete;
    StackEdit& operator=(const StackEdit&) = delete;

    bool push(const void* bytes, std::uint32_t length);
    bool pop(void* destination, std::uint32_t length);
    void commit() { committed_ = true; }

private:
    CCommClipboard& clipboard_;
    std::uint32_t pushed_ = 0;
    std::vector<std::vector<std::uint8_t>> popped_;  // in the order popped
    bool committed_ = false;
};
