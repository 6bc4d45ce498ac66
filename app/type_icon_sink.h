#pragma once

#include <string>

// What the file-list control offers for registering the icon of a file type: it reads the
// picture property "Icon" + type name from its skin node and shows it beside files with
// that extension.
class TypeIconSink {
public:
    virtual ~TypeIconSink() = default;
    virtual void add_type_icon(const std::u16string& type_name) = 0;
};
