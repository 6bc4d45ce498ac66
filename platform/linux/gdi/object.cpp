#include "platform/linux/gdi/object.h"

#include <unordered_set>

namespace platform::gdi {
namespace {

std::recursive_mutex drawing_mutex;

std::unordered_set<void const*>& live_objects() {
    static auto* objects = new std::unordered_set<void const*>;
    return *objects;
}

}  // namespace

Object::Object(Kind kind) : kind_(kind) {}
Object::~Object() = default;

std::unique_lock<std::recursive_mutex> lock_drawing() {
    return std::unique_lock<std::recursive_mutex>(drawing_mutex);
}

Object* find_any_object(void const* handle) {
    if (handle == nullptr || !live_objects().contains(handle)) return nullptr;
    return static_cast<Object*>(const_cast<void*>(handle));
}

Object* find_object(void const* handle, Kind kind) {
    Object* object = find_any_object(handle);
    return object != nullptr && object->kind() == kind ? object : nullptr;
}

void* adopt_object(Object* object) {
    live_objects().insert(object);
    return object;
}

void destroy(Object* object) {
    live_objects().erase(object);
    delete object;
}

}  // namespace platform::gdi
