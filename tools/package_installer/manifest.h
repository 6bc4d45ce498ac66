// A package's manifest: the files to copy onto the device, the registry values to write and
// the package's setup library. Read from an XML file on the host:
//   <Package Name="Sonbrix" InstallDir="\Program Files\Sonbrix" Setup="setup/setup.dll">
//     <File Source="screens/Sonbrix" Target="%InstallDir%\Sonbrix.exe"/>
//     <Value Key="HKEY_LOCAL_MACHINE\SOFTWARE\APPS\XELO Sonbrix" Name="InstlDir" String="%InstallDir%"/>
//     <File Source="screens/Extra" Target="%InstallDir%\Extra.exe" Optional="yes"/>
//     <Value Key="..." Name="Type" Dword="4"/>
//   </Package>
// Sources are host paths relative to the source folder; targets and texts may name
// "%InstallDir%", and begin with a path macro ("%windows%"). An optional file whose source does
// not exist (a part of the package not built) is left out.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace installer {

struct PackageFile {
    std::string source;     // host path
    std::u16string target;  // device path
};

struct PackageValue {
    std::u16string key;  // "HKEY_LOCAL_MACHINE\..."
    std::u16string name;
    std::optional<std::u16string> text;  // a REG_SZ value, else the number
    std::uint32_t number = 0;
};

struct Manifest {
    std::u16string name;
    std::u16string install_folder;
    std::string setup_library;  // host path
    std::vector<PackageFile> files;
    std::vector<PackageValue> values;
};

// Reads and checks the whole manifest before anything is installed: every source must be a
// readable file, every target a device path and every key under a known root. On failure
// returns nullopt with the reason in error.
std::optional<Manifest> read_manifest(const std::string& manifest_path, const std::string& source_folder,
                                      std::string& error);

}  // namespace installer
