// install-package: the device's package installer.
//   install-package install <manifest.xml> [<source folder>]
//   install-package uninstall <package name>
// The device is the one SONBRIX_DEVICE names (README.md, "The device folder"). Sources in the
// manifest are relative to the source folder, by default the manifest's own folder.
#include <filesystem>
#include <iostream>
#include <string>

#include "platform/unicode.h"
#include "tools/package_installer/package_installer.h"

namespace {

int usage() {
    std::cerr << "usage: install-package install <manifest.xml> [<source folder>]\n"
                 "       install-package uninstall <package name>\n";
    return 2;
}

int fail(const std::string& error) {
    std::cerr << "install-package: " << error << "\n";
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    std::string const command = argc > 1 ? argv[1] : "";
    std::string error;
    if (command == "install" && (argc == 3 || argc == 4)) {
        std::string const source_folder =
            argc == 4 ? argv[3] : std::filesystem::path(argv[2]).parent_path().string();
        auto const manifest = installer::read_manifest(argv[2], source_folder, error);
        if (!manifest || !installer::install_package(*manifest, error)) return fail(error);
        std::cout << "installed " << platform::utf16_to_utf8(manifest->name) << " in "
                  << platform::utf16_to_utf8(manifest->install_folder) << "\n";
        return 0;
    }
    if (command == "uninstall" && argc == 3) {
        if (!installer::uninstall_package(platform::utf8_to_utf16(argv[2]), error)) return fail(error);
        std::cout << "removed " << argv[2] << "\n";
        return 0;
    }
    return usage();
}
