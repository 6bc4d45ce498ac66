// A playlist: a header and an ordered list of entries, read from and written to a file in
// one of the formats derived from List.
#pragma once

#include <string>
#include <vector>

#include "app/playlist/entry.h"
#include "foundation/date_time.h"

namespace playlist {

class List {
public:
    // Created now, named "new playlist", header identifier "-1", no entries.
    List();
    explicit List(std::u16string format_extension);
    virtual ~List();

    // Whether the file the list was made from was of the list's format (always true here).
    virtual bool is_loaded() const;
    virtual std::vector<Entry>& get_entries();
    const std::vector<Entry>& get_entries() const { return entries_; }
    // Writes the list in its format; here nothing is written and the result is true.
    virtual bool save(const std::u16string& path);

    // The file type without dot ("m3u", "asx", "mtr", "log"); empty for a bare list.
    const std::u16string& get_format_extension() const { return format_extension_; }

    const os::DateTime& get_creation_time() const { return creation_time_; }
    void set_creation_time(const os::DateTime& time) { creation_time_ = time; }
    const std::u16string& get_name() const { return name_; }
    void set_name(const std::u16string& name) { name_ = name; }
    const std::u16string& get_header_id() const { return header_id_; }
    void set_header_id(const std::u16string& id) { header_id_ = id; }

protected:
    List(const List&) = default;
    List& operator=(const List&) = default;

private:
    os::DateTime creation_time_;
    std::u16string name_ = u"new playlist";
    std::u16string header_id_ = u"-1";
    std::vector<Entry> entries_;
    std::u16string format_extension_;
};

}  // namespace playlist
