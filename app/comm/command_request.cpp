#include "app/comm/command_request.h"

#include <limits>

#include "app/comm/comm_clipboard.h"
#include "app/comm/serializable.h"

namespace {

std::size_t longest(RequestField kind) {
    switch (kind) {
        case RequestField::path: return longest_request_path;
        case RequestField::number: return longest_request_number;
        case RequestField::flag: return longest_request_flag;
    }
    return 0;
}

// The whole field as a signed decimal number of 32 bits.
std::optional<std::int32_t> decimal(std::u16string_view field) {
    std::size_t at = 0;
    bool const negative = !field.empty() && field[0] == u'-';
    if (!field.empty() && (field[0] == u'-' || field[0] == u'+')) at = 1;
    if (at == field.size()) return std::nullopt;
    std::int64_t value = 0;
    for (; at < field.size(); ++at) {
        if (field[at] < u'0' || field[at] > u'9') return std::nullopt;
        value = value * 10 + (field[at] - u'0');
        if (value > std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1) return std::nullopt;
    }
    if (negative) value = -value;
    if (value > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
    return static_cast<std::int32_t>(value);
}

std::vector<RequestField> fields_of(std::int32_t command_id) {
    switch (command_id) {
        case 0: case 2: case 3: return {RequestField::path, RequestField::flag};
        case 1: case 4: return {RequestField::path, RequestField::number, RequestField::flag};
        case 5: case 6: return {RequestField::flag};
        case 8: return {RequestField::number, RequestField::flag};
        default: return {};
    }
}

}  // namespace

std::vector<std::u16string> split_request(std::u16string_view text, const std::vector<RequestField>& kinds,
                                          bool& rest_left) {
    std::vector<std::u16string> fields;
    std::size_t at = 0;
    for (RequestField const kind : kinds) {
        std::size_t const limit = std::min(text.size(), at + longest(kind));
        std::size_t end = at;
        while (end < limit && text[end] != u',') ++end;
        fields.emplace_back(text.substr(at, end - at));
        at = end < text.size() && text[end] == u',' ? end + 1 : end;
    }
    rest_left = at < text.size();
    return fields;
}

namespace {

// The commands that record into a named file.
bool needs_path(std::int32_t command_id) { return command_id == 2 || command_id == 3 || command_id == 4; }

}  // namespace

CommandRequest parse_command_request(std::int32_t command_id, std::u16string_view text) {
    CommandRequest request;
    std::vector<RequestField> const kinds = fields_of(command_id);
    if (kinds.empty()) {
        request.well_formed = false;
        return request;
    }
    // The fixed fields are read from the right, each behind its own comma; whatever is left
    // in front of them is the path, commas and all.
    std::u16string_view rest = text;
    for (std::size_t i = kinds.size(); i-- > 0;) {
        RequestField const kind = kinds[i];
        std::u16string_view field = rest;
        if (kind != RequestField::path) {
            std::size_t const comma = i == 0 ? std::u16string_view::npos : rest.rfind(u',');
            if (i > 0 && comma == std::u16string_view::npos) {
                request.well_formed = false;
                return request;
            }
            field = i == 0 ? rest : rest.substr(comma + 1);
            rest = i == 0 ? std::u16string_view{} : rest.substr(0, comma);
        }
        if (field.size() > longest(kind)) {
            request.well_formed = false;
            field = field.substr(0, longest(kind));
        }
        switch (kind) {
            case RequestField::path: request.path = field; break;
            case RequestField::flag: request.activate = field == u"y"; break;
            case RequestField::number:
                if (auto const number = decimal(field)) request.number = *number;
                else request.well_formed = false;
                break;
        }
    }
    if (needs_path(command_id) && request.path.empty()) request.well_formed = false;
    return request;
}

std::optional<CommandRequest> pop_command_request(std::int32_t command_id) {
    CSerializableString text;
    if (!CCommClipboard::read_object(CCommClipboard::instance(), &text)) return std::nullopt;
    return parse_command_request(command_id, text.get_text());
}

std::uint32_t push_command_reply(bool value) {
    CSerializableBool const reply(value);
    return CCommClipboard::write_object(CCommClipboard::instance(), &reply) ? 1 : 0;
}
