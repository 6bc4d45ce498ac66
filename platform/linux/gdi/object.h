// The drawing objects behind the handles. Their handles come from the process's handle
// table, so a deleted object's handle never names a later one, and a handle of another
// kind (an event, a registry key) names no drawing object.
#pragma once

#include <mutex>

#include "platform/gdi.h"

namespace platform::gdi {

enum class Kind { bitmap, brush, pen, font, region, dc };

class Object {
public:
    explicit Object(Kind kind);
    virtual ~Object();
    Object(Object const&) = delete;
    Object& operator=(Object const&) = delete;

    Kind kind() const { return kind_; }
    bool is_stock() const { return stock_; }
    void make_stock() { stock_ = true; }
    // How many device contexts have it selected; a selected object cannot be deleted.
    int selections() const { return selections_; }
    void add_selection() { ++selections_; }
    void drop_selection() { --selections_; }
    void* handle() const { return handle_; }
    void set_handle(void* handle) { handle_ = handle; }

private:
    Kind kind_;
    bool stock_ = false;
    int selections_ = 0;
    void* handle_ = nullptr;
};

// Every drawing call holds this lock: objects are shared between threads.
std::unique_lock<std::recursive_mutex> lock_drawing();

// The live object of that kind behind the handle, or null.
Object* find_object(void const* handle, Kind kind);
// The live object behind the handle whatever its kind, or null.
Object* find_any_object(void const* handle);

template <class T>
T* find(void const* handle) {
    return static_cast<T*>(find_object(handle, T::object_kind));
}

// Adds a new object to the table and returns its handle.
void* adopt_object(Object* object);

template <class Handle>
Handle adopt(Object* object) {
    return static_cast<Handle>(adopt_object(object));
}

// Removes the object from the table and deletes it.
void destroy(Object* object);

}  // namespace platform::gdi
