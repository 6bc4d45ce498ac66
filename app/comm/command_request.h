// The request texts of the command channel as the program's handlers read them. A request
// holds the fields of its command separated by ",": a path of at most 200 characters, a
// number of at most 20 and the activate flag of 1 ("y" shows the main form first). The path
// is the only field that may hold a comma, so the fixed fields are read from the right,
// each behind the last comma left, and the path is all that is in front of them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class RequestField { path, number, flag };

inline constexpr std::size_t longest_request_path = 200;
inline constexpr std::size_t longest_request_number = 20;
inline constexpr std::size_t longest_request_flag = 1;

struct CommandRequest {
    std::u16string path;
    std::int32_t number = 0;
    bool activate = false;
    // False when the text is not what the command's sender writes: a comma is missing, a
    // field is longer than its longest (a path of more than 200 characters would be cut and
    // name another file), a number field is no decimal number of 32 bits (it then reads 0),
    // or a command that records into a named file (2, 3, 4) names none. A handler answers
    // false to such a request and runs nothing.
    bool well_formed = true;
};

// The fields of the text in the given kinds, each read from the left up to its next comma
// or its longest; a field the text does not reach is empty. rest_left tells whether text is
// left after the last field. (How a text is cut when read naively; the handlers do not.)
std::vector<std::u16string> split_request(std::u16string_view text, const std::vector<RequestField>& kinds,
                                          bool& rest_left);

// The fields of a text command's request: commands 0, 2 and 3 carry a path and the flag,
// 1 and 4 a path, a number (the format, the position) and the flag, 5 and 6 the flag,
// 8 a number (the step) and the flag. Any other command id takes no text: not well formed.
CommandRequest parse_command_request(std::int32_t command_id, std::u16string_view text);

// Pops the request text of a text command from the process's stack and reads it. Nothing
// when the pop fails: the handler then answers 0 and pushes nothing.
std::optional<CommandRequest> pop_command_request(std::int32_t command_id);

// Pushes a command's Bool reply onto the process's stack: 1 when it was pushed, else 0,
// the answer the handler returns.
std::uint32_t push_command_reply(bool value);
