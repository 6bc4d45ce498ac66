#include "app/hardware_key_count.h"

#include "foundation/registry.h"

int count_hardware_keys() {
    return static_cast<int>(os::enum_registry_subkeys(u"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shell\\Keys").size());
}
