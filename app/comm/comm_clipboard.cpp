#include "app/comm/comm_clipboard.h"

#include "app/comm/serializable.h"

namespace {

// Lives until the process ends, as the channel does.
CCommClipboard*& installed() {
    static CCommClipboard* clipboard = nullptr;
    return clipboard;
}

}  // namespace

bool CCommClipboard::push(const void*, std::uint32_t) { return false; }

bool CCommClipboard::pop(void*, std::uint32_t) { return false; }

CCommClipboard* CCommClipboard::instance() {
    if (!installed()) installed() = new CCommClipboard;
    return installed();
}

void CCommClipboard::install(CCommClipboard* clipboard) {
    if (!clipboard || clipboard == installed()) return;
    delete installed();
    installed() = clipboard;
}

bool CCommClipboard::write_object(CCommClipboard* clipboard, const CSerializable* value) {
    return clipboard && value && value->write(*clipboard);
}

bool CCommClipboard::read_object(CCommClipboard* clipboard, CSerializable* value) {
    return clipboard && value && value->read(*clipboard);
}
