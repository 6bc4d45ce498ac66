// Reading the stored (uncompressed) entries of a zip archive, such as a skin file with its
// pictures, one entry at a time.
#pragma once

#include <cstdint>
#include <string>

#include "foundation/file.h"
#include "foundation/streams.h"

namespace liba {

// Finds entries by walking the local file headers from the start of the archive (the
// central directory is never read) and then reads the current entry as a stream. The walk
// ends at the first entry that is compressed (its two sizes differ), at a header that is
// damaged or cut short, and at an entry whose data would run past the archive's end.
// An archive that cannot be opened reads as one without entries.
class ZipFile : public ResourceReaderWriterBase {
public:
    explicit ZipFile(const std::u16string& path);
    ~ZipFile() override;

    // Walks from the first entry to the first one whose name names the same path (case,
    // '/' or '\' and one trailing separator do not matter); true when found: it is then
    // the current entry.
    bool open_entry(const std::u16string& name);
    // The next entry of the walk, which becomes the current one; the empty name when the
    // walk ends (the current entry then stays as it was).
    std::u16string next_entry();

    // Reads of the current entry stop at its end; a position past the end reads nothing.
    std::uint32_t read(void* buffer, std::uint32_t count) override;
    // Moves forwards no further than the entry's end, backwards no further than its start;
    // the distance moved (negative as its unsigned 32-bit value).
    std::uint32_t skip(std::int32_t count) override;
    std::uint32_t get_size() override;
    // Any position may be set; one past the entry's end reads nothing.
    bool seek(std::uint32_t position) override;
    std::uint32_t get_position() override;
    // The offset in the archive of the current entry's first byte.
    std::uint32_t get_entry_offset() const { return entry_offset_; }

    // The archive is only read.
    std::uint32_t write(const void* buffer, std::uint32_t count) override;

private:
    std::uint32_t remaining() const { return position_ < entry_size_ ? entry_size_ - position_ : 0; }

    os::File archive_;
    std::uint32_t next_header_offset_ = 0;
    std::uint32_t position_ = 0;
    std::uint32_t entry_offset_ = 0;
    std::uint32_t entry_size_ = 0;
};

}  // namespace liba
