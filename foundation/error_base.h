#pragma once

#include <string>
#include <vector>

namespace liba {

// The error texts that a reader or writer collects instead of throwing. An object is in
// error once the list is not empty; nothing removes an entry.
class ErrorBase {
public:
    virtual void add_error(const std::u16string& text) { errors_.push_back(text); }
    virtual ~ErrorBase() = default;

    bool has_errors() const { return !errors_.empty(); }
    const std::vector<std::u16string>& get_errors() const { return errors_; }

protected:
    ErrorBase() = default;
    ErrorBase(const ErrorBase&) = default;
    ErrorBase& operator=(const ErrorBase&) = default;

private:
    std::vector<std::u16string> errors_;
};

}  // namespace liba
