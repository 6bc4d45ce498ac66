// Sets or removes one environment variable for a scope and restores it afterwards.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>

namespace testing_support {

class ScopedEnvironment {
public:
    // A null value removes the variable for the scope.
    ScopedEnvironment(std::string name, const char* value) : name_(std::move(name)) {
        if (char const* previous = std::getenv(name_.c_str())) previous_ = previous;
        if (value) setenv(name_.c_str(), value, 1);
        else unsetenv(name_.c_str());
    }
    ~ScopedEnvironment() {
        if (previous_) setenv(name_.c_str(), previous_->c_str(), 1);
        else unsetenv(name_.c_str());
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    std::string name_;
    std::optional<std::string> previous_;
};

}  // namespace testing_support
