#include "platform/linux/resources/resource_index.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/errors.h"
#include "platform/resources.h"

namespace platform::resources {
namespace {

constexpr std::size_t largest_index = 64 * 1024;
constexpr std::size_t most_files_per_entry = 4;
constexpr char index_name[] = "resources.txt";

std::string executable_folder() {
    std::error_code error;
    auto const self = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : self.parent_path().string();
}

bool is_folder(const std::string& path) {
    std::error_code error;
    return !path.empty() && std::filesystem::is_directory(path, error);
}

std::optional<ResourceKind> kind_of(const std::string& word) {
    if (word == "bitmap") return ResourceKind::bitmap;
    if (word == "icon") return ResourceKind::icon;
    if (word == "rcdata") return ResourceKind::rcdata;
    return std::nullopt;
}

std::optional<WORD> id_of(const std::string& word) {
    if (word.empty() || word.size() > 5 || word.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
    unsigned long const value = std::strtoul(word.c_str(), nullptr, 10);
    if (value == 0 || value > 0xFFFF) return std::nullopt;
    return static_cast<WORD>(value);
}

// A file name of the folder itself: no separators, no "..", printable ASCII.
bool is_plain_file_name(const std::string& name) {
    if (name.empty() || name.size() > 64 || name == "." || name == "..") return false;
    for (char const c : name) {
        if (c == '/' || c == '\\' || c < 0x21 || c > 0x7E) return false;
    }
    return true;
}

}  // namespace

void report_resource_problem(const std::string& what) { std::fprintf(stderr, "sonbrix: resources: %s\n", what.c_str()); }

std::string resource_folder() {
    if (char const* chosen = std::getenv("SONBRIX_RESOURCE_DIR")) return chosen;
    std::vector<std::string> candidates;
    if (std::string const beside = executable_folder(); !beside.empty()) candidates.push_back(beside + "/resources");
#ifdef SONBRIX_RESOURCE_BUILD_DIR
    candidates.push_back(SONBRIX_RESOURCE_BUILD_DIR);
#endif
#ifdef SONBRIX_RESOURCE_INSTALL_DIR
    candidates.push_back(SONBRIX_RESOURCE_INSTALL_DIR);
#endif
    for (auto const& folder : candidates) {
        if (is_folder(folder)) return folder;
    }
    return {};
}

std::optional<std::vector<std::uint8_t>> read_resource_file(const std::string& path, std::size_t limit) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return std::nullopt;
    std::vector<std::uint8_t> bytes;
    char block[4096];
    while (file.read(block, sizeof block) || file.gcount() > 0) {
        bytes.insert(bytes.end(), block, block + file.gcount());
        if (bytes.size() > limit) return std::nullopt;
    }
    if (file.bad()) return std::nullopt;
    return bytes;
}

std::vector<ResourceEntry> parse_index(const std::string& text, const std::string& folder,
                                       void (*report)(const std::string& line)) {
    std::vector<ResourceEntry> entries;
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    while (std::getline(lines, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::istringstream words(line);
        std::string kind_word, id_word;
        if (!(words >> kind_word) || kind_word[0] == '#') continue;
        words >> id_word;
        auto const kind = kind_of(kind_word);
        auto const id = id_of(id_word);
        ResourceEntry entry;
        std::string file;
        bool good = kind && id;
        while (good && words >> file) {
            good = is_plain_file_name(file) && entry.files.size() < most_files_per_entry;
            entry.files.push_back(folder + "/" + file);
        }
        good = good && !entry.files.empty() && (*kind != ResourceKind::rcdata || entry.files.size() == 1);
        if (!good) {
            report(std::string(index_name) + " line " + std::to_string(number) + " is not \"bitmap|icon|rcdata ID FILE...\"; left out");
            continue;
        }
        entry.kind = *kind;
        entry.id = *id;
        entries.push_back(std::move(entry));
    }
    return entries;
}

std::optional<ResourceEntry> find_resource(ResourceKind kind, WORD id) {
    std::string const folder = resource_folder();
    auto const text = folder.empty() ? std::nullopt : read_resource_file(folder + "/" + index_name, largest_index);
    if (!text) {
        report_resource_problem(folder.empty() ? std::string("no resource folder") : "no readable " + folder + "/" + index_name);
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return std::nullopt;
    }
    auto const entries = parse_index(std::string(text->begin(), text->end()), folder,
                                     [](const std::string& line) { report_resource_problem(line); });
    for (auto const& entry : entries) {
        if (entry.kind == kind && entry.id == id) return entry;
    }
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return std::nullopt;
}

}  // namespace platform::resources
