// Where infrared peers register (inside the Linux back end only). Each peer in range has a
// folder <device>/run/irda/<8 hex digits of its id> holding:
//   name           its name as raw bytes; the running peer keeps an exclusive lock on it,
//                  so a folder whose name file is not locked is left over from a peer that
//                  ended without cleaning up, and is not in range
//   ias            one line per IAS attribute: class, tab, attribute, tab, decimal integer
//   LSAP-SEL<n>    a listening Unix-domain stream socket per service
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform::detail {

using InfraredDeviceId = std::array<std::uint8_t, 4>;

inline constexpr char infrared_name_file[] = "name";
inline constexpr char infrared_ias_file[] = "ias";
inline constexpr char lsap_attribute[] = "IrDA:TinyTP:LsapSel";

std::string infrared_run_folder();
std::string infrared_device_folder(const InfraredDeviceId& id);
std::string lsap_service_name(int selector);

struct InfraredDeviceEntry {
    InfraredDeviceId id;
    std::string name;  // the raw bytes of the name file
};

// The peers in range, ordered by id.
std::vector<InfraredDeviceEntry> list_infrared_devices();

enum class IasResult { found, no_class, no_attribute, no_device };
IasResult query_infrared_ias(const InfraredDeviceId& id, const std::string& class_name,
                             const std::string& attribute, long& value);

// A new host stream socket connected to the device's service (an "LSAP-SEL<n>" name or an
// IAS class name); -1 with errno set when there is no such service listening.
int connect_infrared_service(const InfraredDeviceId& id, const std::string& service_name);

// Unix-domain stream sockets by host path, also for paths longer than a socket address
// holds. -1 with errno set on failure.
int connect_unix_socket(const std::string& path);
int listen_unix_socket(const std::string& path);

}  // namespace platform::detail
