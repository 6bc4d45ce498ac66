#pragma once

namespace skinner {

// The device's hardware keys, as the shell lists them in the registry.
class HardwareKeys {
public:
    // The subkeys under "HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Shell\Keys": one per key.
    static int count_keys();
};

}  // namespace skinner
