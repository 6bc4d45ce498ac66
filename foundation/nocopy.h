#pragma once

namespace liba {

// Base of objects that must not be copied (forms, controls, threads, files).
class Nocopy {
protected:
    Nocopy() = default;
    ~Nocopy() = default;

public:
    Nocopy(const Nocopy&) = delete;
    Nocopy& operator=(const Nocopy&) = delete;
};

}  // namespace liba
