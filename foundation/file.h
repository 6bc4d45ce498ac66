#pragma once

#include <cstdint>
#include <string>

#include "foundation/inplace_impl.h"
#include "foundation/nocopy.h"
#include "foundation/streams.h"

namespace os {

struct FileImpl;

// A file on the device, open from construction to destruction, read and written through
// the stream interfaces. Positions and sizes are 32-bit: files end below 4 GB.
//
// A failed open adds "can't open file" to the error list; from then on, as after any
// error, every operation does nothing and returns 0 (false).
class File : public liba::InplaceImpl<FileImpl, 16>, liba::Nocopy, public liba::ResourceReaderWriterBase {
public:
    // The path may begin with a path macro. Modes:
    //   0  read an existing file
    //   1  write a new or emptied file
    //   2  write at the end of a new or existing file
    //   other (3)  read and write a new or existing file from its start
    File(const std::u16string& path, int mode);
    ~File() override;

    std::uint32_t read(void* buffer, std::uint32_t count) override;
    std::uint32_t write(const void* buffer, std::uint32_t count) override;
    // Moves by count from the current position; the distance moved (negative as its
    // unsigned 32-bit value), 0 when the move fails.
    std::uint32_t skip(std::int32_t count) override;
    std::uint32_t get_size() override;
    bool seek(std::uint32_t position) override;
    std::uint32_t get_position() override;

    // Ends the file at the position.
    bool truncate(std::uint32_t position);
    bool flush();
};

}  // namespace os
