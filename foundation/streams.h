#pragma once

#include <cstdint>

#include "foundation/error_base.h"

namespace liba {

// A byte stream read from a file, a zip entry or memory. Positions are 32-bit.
class StreamReader : public ErrorBase {
public:
    // Bytes read: 0 at the end, on error, or for a count of 0.
    virtual std::uint32_t read(void* buffer, std::uint32_t count) = 0;
    // Moves by count (negative moves back); the bytes moved.
    virtual std::uint32_t skip(std::int32_t count) = 0;
    virtual std::uint32_t get_size() = 0;
    virtual bool seek(std::uint32_t position) = 0;
    virtual std::uint32_t get_position() = 0;
};

class ResourceReader : public StreamReader {};

class StreamWriter : public ErrorBase {
public:
    virtual std::uint32_t write(const void* buffer, std::uint32_t count) = 0;
    virtual std::uint32_t get_size() = 0;
    virtual bool seek(std::uint32_t position) = 0;
    virtual std::uint32_t get_position() = 0;
};

class ResourceWriter : public StreamWriter {};

// Both sides over one resource. The reader side's error list is the one that counts:
// errors found while writing are recorded there too.
class ResourceReaderWriterBase : public ResourceReader, public ResourceWriter {
public:
    bool has_errors() const { return ResourceReader::has_errors(); }
    const std::vector<std::u16string>& get_errors() const { return ResourceReader::get_errors(); }
    void add_error(const std::u16string& text) { ResourceReader::add_error(text); }
};

}  // namespace liba
