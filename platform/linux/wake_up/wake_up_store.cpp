#include "platform/linux/wake_up/wake_up_store.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <dirent.h>
#include <fstream>
#include <sstream>

#include "platform/datetime.h"
#include "platform/linux/kernel/run_folder.h"
#include "platform/unicode.h"

namespace platform::detail {
namespace {

constexpr const char* registration_extension = ".wake";

bool ends_with(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

std::optional<WakeUpRegistration> read_registration(const std::string& file) {
    std::ifstream in(file);
    std::string application, program, time_line;
    if (!std::getline(in, application) || !std::getline(in, program) || !std::getline(in, time_line)) {
        return std::nullopt;
    }
    WakeUpRegistration registration;
    registration.file = file;
    registration.application = utf8_to_utf16(application);
    registration.host_program = program;
    std::istringstream fields(time_line);
    unsigned values[7];
    for (unsigned& value : values) {
        if (!(fields >> value)) return std::nullopt;
    }
    SYSTEMTIME& t = registration.time;
    t.wYear = static_cast<WORD>(values[0]);
    t.wMonth = static_cast<WORD>(values[1]);
    t.wDay = static_cast<WORD>(values[2]);
    t.wHour = static_cast<WORD>(values[3]);
    t.wMinute = static_cast<WORD>(values[4]);
    t.wSecond = static_cast<WORD>(values[5]);
    t.wMilliseconds = static_cast<WORD>(values[6]);
    return registration;
}

}  // namespace

std::string wake_up_folder(const std::string& device_folder) {
    mkdir(device_folder.c_str(), 0777);
    std::string const folder = device_folder + "/wakeup";
    mkdir(folder.c_str(), 0777);
    return folder;
}

WakeUpLock::WakeUpLock(const std::string& path, bool wait) {
    fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd_ < 0) return;
    int result;
    while ((result = ::flock(fd_, LOCK_EX | (wait ? 0 : LOCK_NB))) != 0 && errno == EINTR) {
    }
    held_ = result == 0;
}

WakeUpLock::~WakeUpLock() {
    if (fd_ >= 0) ::close(fd_);
}

std::string state_lock_path(const std::string& folder) { return folder + "/state.lock"; }
std::string agent_lock_path(const std::string& folder) { return folder + "/agent.lock"; }

std::string registration_file(const std::string& folder, std::u16string_view application) {
    std::u16string lower(application);
    for (char16_t& c : lower) c = to_lower(c);
    return folder + "/" + run_file_name(lower) + registration_extension;
}

bool write_registration(const WakeUpRegistration& registration) {
    std::string const temporary = registration.file + ".new";
    {
        std::ofstream out(temporary, std::ios::trunc);
        SYSTEMTIME const& t = registration.time;
        out << utf16_to_utf8(registration.application) << '\n'
            << registration.host_program << '\n'
            << t.wYear << ' ' << t.wMonth << ' ' << t.wDay << ' ' << t.wHour << ' ' << t.wMinute << ' '
            << t.wSecond << ' ' << t.wMilliseconds << '\n';
        out.flush();
        if (!out) {
            ::unlink(temporary.c_str());
            return false;
        }
    }
    return ::rename(temporary.c_str(), registration.file.c_str()) == 0;
}

std::vector<WakeUpRegistration> read_registrations(const std::string& folder) {
    std::vector<WakeUpRegistration> registrations;
    DIR* const dir = opendir(folder.c_str());
    if (!dir) return registrations;
    while (dirent const* entry = readdir(dir)) {
        std::string const name = entry->d_name;
        if (!ends_with(name, registration_extension)) continue;
        if (auto registration = read_registration(folder + "/" + name)) registrations.push_back(*registration);
    }
    closedir(dir);
    return registrations;
}

std::int64_t time_key(const SYSTEMTIME& t) {
    std::int64_t key = t.wYear;
    key = key * 13 + t.wMonth;
    key = key * 32 + t.wDay;
    key = key * 24 + t.wHour;
    key = key * 60 + t.wMinute;
    key = key * 60 + t.wSecond;
    return key * 1000 + t.wMilliseconds;
}

SYSTEMTIME local_time_now() {
    SYSTEMTIME t{};
    GetLocalTime(&t);
    return t;
}

}  // namespace platform::detail
