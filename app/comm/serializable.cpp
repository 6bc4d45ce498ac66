#include "app/comm/serializable.h"

#include <bit>
#include <vector>

#include "app/comm/comm_clipboard.h"
#include "app/comm/stack_edit.h"

// Numbers and texts go onto the stack as the host holds them.
static_assert(std::endian::native == std::endian::little);

bool CSerializableBool::read(CCommClipboard& clipboard) {
    std::uint8_t byte;
    if (!clipboard.pop(&byte, 1)) return false;
    value_ = byte != 0;
    return true;
}

bool CSerializableBool::write(CCommClipboard& clipboard) const {
    std::uint8_t const byte = value_ ? 1 : 0;
    return clipboard.push(&byte, 1);
}

bool CSerializableInt::read(CCommClipboard& clipboard) { return clipboard.pop(&value_, sizeof value_); }

bool CSerializableInt::write(CCommClipboard& clipboard) const { return clipboard.push(&value_, sizeof value_); }

CSerializableString::CSerializableString(const char16_t* text) {
    if (text) text_ = std::u16string(text);
}

bool CSerializableString::write(CCommClipboard& clipboard) const {
    if (!text_) return false;
    auto const byte_count = static_cast<std::uint32_t>((text_->size() + 1) * sizeof(char16_t));
    StackEdit edit(clipboard);
    if (!edit.push(text_->c_str(), byte_count) || !edit.push(&byte_count, sizeof byte_count)) return false;
    edit.commit();
    return true;
}

bool CSerializableString::read(CCommClipboard& clipboard) {
    StackEdit edit(clipboard);
    std::uint32_t byte_count;
    if (!edit.pop(&byte_count, sizeof byte_count)) return false;
    // The count comes from another process: it must describe a whole, terminated text that
    // the stack can hold before anything is allocated for it.
    if (byte_count % 2 != 0 || byte_count < 2 || byte_count > clipboard.get_capacity()) return false;
    std::vector<char16_t> units(byte_count / 2);
    if (!edit.pop(units.data(), byte_count)) return false;
    units.back() = u'\0';
    text_ = std::u16string(units.data());
    edit.commit();
    return true;
}
