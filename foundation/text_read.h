// Reading a whole text from a stream, from its current position: UTF-16LE when it starts
// with the byte-order mark FF FE (a stray odd last byte is left out), otherwise text in the
// system code page. No other encoding is recognised (a UTF-8 mark EF BB BF stays part of the text).
#pragma once

#include <cstdint>
#include <string>

#include "foundation/streams.h"

namespace liba {

// limit: the most bytes to read (0x7FFFFFFF for a whole file, 100 to sniff a header).
// A read that delivers fewer bytes than the stream promised gives the empty text.
std::u16string read_text(StreamReader& reader, std::uint32_t limit);
std::string read_text_narrow(StreamReader& reader, std::uint32_t limit);

}  // namespace liba
