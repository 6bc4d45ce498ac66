#include "skin/hardware_keys.h"

#include "foundation/registry.h"

namespace skinner {

int HardwareKeys::count_keys() {
    return static_cast<int>(os::enum_registry_subkeys(u"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shell\\Keys").size());
}

}  // namespace skinner
