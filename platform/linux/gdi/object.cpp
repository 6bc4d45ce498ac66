#include "platform/linux/gdi/object.h"

#include <memory>

#include "platform/linux/kernel/handles.h"

namespace platform::gdi {
namespace {

std::recursive_mutex drawing_mutex;

}  // namespace

Object::Object(Kind kind) : kind_(kind) {}
Object::~Object() = default;

std::unique_lock<std::recursive_mutex> lock_drawing() {
    return std::unique_lock<std::recursive_mutex>(drawing_mutex);
}

Object* find_any_object(void const* handle) {
    // The table does not own drawing objects (destroy() does), so the pointer stays valid
    // while the drawing lock is held.
    return static_cast<Object*>(detail::find_typed_handle(handle, detail::HandleKind::drawing_object).get());
}

Object* find_object(void const* handle, Kind kind) {
    Object* object = find_any_object(handle);
    return object != nullptr && object->kind() == kind ? object : nullptr;
}

void* adopt_object(Object* object) {
    std::shared_ptr<void> unowned(object, [](void*) {});
    object->set_handle(reinterpret_cast<void*>(detail::add_typed_handle(detail::HandleKind::drawing_object, unowned)));
    return object->handle();
}

void destroy(Object* object) {
    detail::remove_typed_handle(object->handle(), detail::HandleKind::drawing_object);
    delete object;
}

}  // namespace platform::gdi
