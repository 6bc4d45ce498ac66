// How many application buttons the device has, as the shell lists them in the registry.
#pragma once

// The number of subkeys of "HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Shell\Keys": one per
// hardware key, in the device's key order.
int count_hardware_keys();
