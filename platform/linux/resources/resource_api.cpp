// Finding and loading the program's resources by id.
#include <cstdlib>
#include <deque>
#include <mutex>

#include "platform/errors.h"
#include "platform/linux/resources/icons.h"
#include "platform/linux/resources/resource_index.h"
#include "platform/linux/resources/resource_pictures.h"
#include "platform/resources.h"

// A found raw resource: its bytes, kept to the end of the process.
struct HRSRC__ {
    std::string path;
    std::vector<std::uint8_t> bytes;
};

namespace {

using platform::resources::ResourceKind;

constexpr std::size_t largest_raw_resource = 256 * 1024;

struct LoadedResources {
    std::mutex lock;
    std::deque<HRSRC__> loaded;
};

LoadedResources& loaded_resources() {
    static LoadedResources* the_list = new LoadedResources;
    return *the_list;
}

// The same bytes of the same file give the same handle, so finding again costs nothing.
HRSRC keep(std::string path, std::vector<std::uint8_t> bytes) {
    auto& list = loaded_resources();
    std::lock_guard guard(list.lock);
    for (auto& resource : list.loaded) {
        if (resource.path == path && resource.bytes == bytes) return &resource;
    }
    list.loaded.push_back(HRSRC__{std::move(path), std::move(bytes)});
    return &list.loaded.back();
}

bool is_kept(HRSRC resource) {
    auto& list = loaded_resources();
    std::lock_guard guard(list.lock);
    for (auto& kept : list.loaded) {
        if (&kept == resource) return true;
    }
    return false;
}

std::optional<ResourceKind> kind_of_type(LPCWSTR type) {
    if (type == RT_BITMAP) return ResourceKind::bitmap;
    if (type == RT_ICON || type == RT_GROUP_ICON) return ResourceKind::icon;
    if (type == RT_RCDATA) return ResourceKind::rcdata;
    return std::nullopt;
}

std::optional<WORD> id_of_name(LPCWSTR name) {
    if (!IS_INTRESOURCE(name) || !name) return std::nullopt;
    return static_cast<WORD>(reinterpret_cast<std::uintptr_t>(name));
}

std::optional<platform::resources::Picture> load_resource_picture(ResourceKind kind, LPCWSTR name, int wanted_side) {
    auto const id = id_of_name(name);
    if (!id) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return std::nullopt;
    }
    auto const entry = platform::resources::find_resource(kind, *id);
    if (!entry) return std::nullopt;
    // The size nearest the one wanted (the first when any will do).
    std::optional<platform::resources::Picture> best;
    for (auto const& stem : entry->files) {
        auto picture = platform::resources::load_picture(stem);
        if (!picture) {
            SetLastError(ERROR_INVALID_DATA);
            return std::nullopt;
        }
        if (!best || (wanted_side > 0 && std::abs(picture->width - wanted_side) < std::abs(best->width - wanted_side)))
            best = std::move(picture);
        if (wanted_side <= 0) break;
    }
    return best;
}

HICON load_icon(LPCWSTR name, int width, int height) {
    int const side = platform::resources::icon_side(false);
    width = width > 0 ? width : side;
    height = height > 0 ? height : side;
    auto const picture = load_resource_picture(ResourceKind::icon, name, width);
    if (!picture) return nullptr;
    return platform::resources::make_icon(platform::resources::scaled(*picture, width, height));
}

}  // namespace

HRSRC FindResourceW(HMODULE, LPCWSTR name, LPCWSTR type) {
    auto const kind = kind_of_type(type);
    auto const id = id_of_name(name);
    if (!kind || !id) {
        SetLastError(kind ? ERROR_RESOURCE_NAME_NOT_FOUND : ERROR_RESOURCE_TYPE_NOT_FOUND);
        return nullptr;
    }
    auto const entry = platform::resources::find_resource(*kind, *id);
    if (!entry) return nullptr;
    auto bytes = platform::resources::read_resource_file(entry->files.front(), largest_raw_resource);
    if (!bytes) {
        platform::resources::report_resource_problem(entry->files.front() + " cannot be read (or is larger than 256 KiB)");
        SetLastError(ERROR_INVALID_DATA);
        return nullptr;
    }
    return keep(entry->files.front(), std::move(*bytes));
}

HGLOBAL LoadResource(HMODULE, HRSRC resource) {
    if (!resource || !is_kept(resource)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return resource;
}

LPVOID LockResource(HGLOBAL loaded) {
    auto* const resource = static_cast<HRSRC>(loaded);
    if (!resource || !is_kept(resource)) return nullptr;
    return resource->bytes.data();
}

DWORD SizeofResource(HMODULE, HRSRC resource) {
    if (!resource || !is_kept(resource)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    return static_cast<DWORD>(resource->bytes.size());
}

HBITMAP LoadBitmapW(HINSTANCE, LPCWSTR name) {
    auto const picture = load_resource_picture(ResourceKind::bitmap, name, 0);
    return picture ? platform::resources::bitmap_of(*picture) : nullptr;
}

HICON LoadIconW(HINSTANCE, LPCWSTR name) { return load_icon(name, 0, 0); }

HANDLE LoadImageW(HINSTANCE instance, LPCWSTR name, UINT type, int width, int height, UINT) {
    if (type == IMAGE_BITMAP) return LoadBitmapW(instance, name);
    if (type == IMAGE_ICON) return load_icon(name, width, height);
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
}
