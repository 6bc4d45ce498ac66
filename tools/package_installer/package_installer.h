// The device's package installer: installs a package from its manifest, calling the
// package's setup hooks around the copying, and removes an installed package by its log.
// Only what the manifest lists is written and only what the log lists is removed, so the
// user's own files (settings, recordings) and registry choices stay as they are across
// reinstalling and removing.
#pragma once

#include <string>

#include "tools/package_installer/manifest.h"

namespace installer {

// True when the package is installed; otherwise false with the reason in error. A package
// installed already is updated in place: files are replaced whole, and what the old
// installation listed and the new one does not is removed.
bool install_package(const Manifest& manifest, std::string& error);
// True when the package was installed and is now removed.
bool uninstall_package(const std::u16string& package_name, std::string& error);

}  // namespace installer
