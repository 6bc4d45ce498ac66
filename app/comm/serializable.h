// Values that travel on the command channel's stack. They carry no type tags: a reader
// pops exactly what the writer pushed, and a value made of pieces pops them in the reverse
// of the order it pushed them. Numbers are little-endian.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

class CCommClipboard;

class CSerializable {
public:
    virtual ~CSerializable() = default;
    // Pops the value; on failure the value and the stack stay as they were.
    virtual bool read(CCommClipboard& clipboard) = 0;
    // Pushes the value; on failure the stack stays as it was.
    virtual bool write(CCommClipboard& clipboard) const = 0;
};

// One byte, 0 or 1 (any non-zero byte reads as true).
class CSerializableBool : public CSerializable {
public:
    explicit CSerializableBool(bool value = false) : value_(value) {}
    bool read(CCommClipboard& clipboard) override;
    bool write(CCommClipboard& clipboard) const override;
    bool get_value() const { return value_; }

private:
    bool value_;
};

// A signed 32-bit number, 4 bytes.
class CSerializableInt : public CSerializable {
public:
    explicit CSerializableInt(std::int32_t value = 0) : value_(value) {}
    bool read(CCommClipboard& clipboard) override;
    bool write(CCommClipboard& clipboard) const override;
    std::int32_t get_value() const { return value_; }

private:
    std::int32_t value_;
};

// A UTF-16 text with its terminator (2 bytes a unit), then its byte count as 4 bytes.
// A null text cannot be written.
class CSerializableString : public CSerializable {
public:
    // Null gives a null value; otherwise the text up to its terminator is copied.
    explicit CSerializableString(const char16_t* text = nullptr);
    explicit CSerializableString(std::u16string_view text) : text_(std::u16string(text)) {}

    // Takes only a byte count that is even, at least 2 (the terminator) and within the
    // stack's capacity, and text bytes that are there; the text ends at its first zero
    // unit, and the last unit read counts as a terminator whatever it holds.
    bool read(CCommClipboard& clipboard) override;
    bool write(CCommClipboard& clipboard) const override;

    // Null for a null value.
    const char16_t* get_text() const { return text_ ? text_->c_str() : nullptr; }

private:
    std::optional<std::u16string> text_;
};
