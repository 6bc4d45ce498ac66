// A command handler registered with the channel. The channel does not own it.
#pragma once

#include <cstdint>

class CCommandDelegate {
public:
    virtual ~CCommandDelegate() = default;
    // The answer the sender sees: non-zero when the command was handled.
    virtual std::uint32_t execute() = 0;
};

// Calls one member function of an object.
template <class T>
class CMethodCommandDelegate : public CCommandDelegate {
public:
    using Method = std::uint32_t (T::*)();

    CMethodCommandDelegate(T& object, Method method) : object_(object), method_(method) {}
    std::uint32_t execute() override { return (object_.*method_)(); }

private:
    T& object_;
    Method const method_;
};
