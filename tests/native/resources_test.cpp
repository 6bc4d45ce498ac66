// The program's resources read from a resource folder, whole, missing or damaged, the
// menu-bar resource's text, and the shell's system icons.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "native/menu_bar_resource.h"
#include "platform/errors.h"
#include "platform/gdi.h"
#include "platform/menu_bar.h"
#include "platform/registry.h"
#include "platform/resources.h"
#include "tests/support/scoped_environment.h"
#include "tests/support/test_device.h"

namespace {

using testing_support::write_host_file;

// A 2 x 1 PNG (a red and a green pixel), and grey alpha companions of 1 x 1 and 2 x 1.
const std::string two_pixels_png("\x89\x50\x4e\x47\x0d\x0a\x1a\x0a\x00\x00\x00\x0d\x49\x48\x44\x52\x00\x00\x00\x02\x00\x00\x00\x01\x08\x02\x00\x00\x00\x7b\x40\xe8\xdd\x00\x00\x00\x0f\x49\x44\x41\x54\x78\x9c\x63\xf8\xcf\xc0\xc0\xf0\x9f\x01\x00\x07\xff\x01\xff\x01\x7f\x89\xa7\x00\x00\x00\x00\x49\x45\x4e\x44\xae\x42\x60\x82", 72);
const std::string one_grey_png("\x89\x50\x4e\x47\x0d\x0a\x1a\x0a\x00\x00\x00\x0d\x49\x48\x44\x52\x00\x00\x00\x01\x00\x00\x00\x01\x08\x00\x00\x00\x00\x3a\x7e\x9b\x55\x00\x00\x00\x0a\x49\x44\x41\x54\x78\x9c\x63\x68\x00\x00\x00\x82\x00\x81\x77\xcd\x72\xb6\x00\x00\x00\x00\x49\x45\x4e\x44\xae\x42\x60\x82", 67);
const std::string two_greys_png("\x89\x50\x4e\x47\x0d\x0a\x1a\x0a\x00\x00\x00\x0d\x49\x48\x44\x52\x00\x00\x00\x02\x00\x00\x00\x01\x08\x00\x00\x00\x00\xd1\x49\x20\x56\x00\x00\x00\x0b\x49\x44\x41\x54\x78\x9c\x63\x68\x60\x00\x00\x01\x03\x00\x81\x3e\x4c\xc5\x93\x00\x00\x00\x00\x49\x45\x4e\x44\xae\x42\x60\x82", 68);

class ResourceFolderTest : public testing_support::DeviceTest {
public:
    std::string folder() { return device.folder() + "/resources"; }
    void write(const std::string& name, const std::string& bytes) { write_host_file(folder() + "/" + name, bytes); }
    testing_support::ScopedEnvironment chosen_{"SONBRIX_RESOURCE_DIR", nullptr};
    void choose() { setenv("SONBRIX_RESOURCE_DIR", folder().c_str(), 1); }
};

TEST_F(ResourceFolderTest, MissingAndDamagedResourcesFailWithTheirErrors) {
    struct Case {
        const char* name;
        std::function<void(ResourceFolderTest&)> make;
        std::function<bool()> load;
        DWORD error;
    };
    auto const bitmap_7 = [] { return LoadBitmapW(nullptr, MAKEINTRESOURCEW(7)) != nullptr; };
    auto const bar_9 = [] {
        HWND const owner = CreateWindowExW(0, u"STATIC_OWNER", u"", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        SHMENUBARINFO info{36, owner, 0, 9, nullptr, 0, 0, nullptr, 0};
        BOOL const made = SHCreateMenuBar(&info);
        DWORD const error = GetLastError();
        EXPECT_EQ(made != FALSE, info.hwndMB != nullptr);
        DestroyWindow(owner);
        SetLastError(error);
        return made != FALSE;
    };
    std::vector<Case> const cases = {
        {"no index", [](ResourceFolderTest& t) { t.write("other.txt", ""); }, bitmap_7, ERROR_RESOURCE_DATA_NOT_FOUND},
        {"no such id", [](ResourceFolderTest& t) { t.write("resources.txt", "bitmap 8 a\n"); }, bitmap_7, ERROR_RESOURCE_NAME_NOT_FOUND},
        {"the picture file is missing", [](ResourceFolderTest& t) { t.write("resources.txt", "bitmap 7 a\n"); }, bitmap_7, ERROR_INVALID_DATA},
        {"the picture is not a PNG",
         [](ResourceFolderTest& t) { t.write("resources.txt", "bitmap 7 a\n"); t.write("a.png", "GIF89a......"); }, bitmap_7, ERROR_INVALID_DATA},
        {"the picture is cut short",
         [](ResourceFolderTest& t) { t.write("resources.txt", "bitmap 7 a\n"); t.write("a.png", two_pixels_png.substr(0, 40)); }, bitmap_7,
         ERROR_INVALID_DATA},
        {"the alpha companion has another size",
         [](ResourceFolderTest& t) {
             t.write("resources.txt", "bitmap 7 a\n");
             t.write("a.png", two_pixels_png);
             t.write("a_8.png", one_grey_png);
         },
         bitmap_7, ERROR_INVALID_DATA},
        {"a file outside the folder is never read",
         [](ResourceFolderTest& t) { t.write("resources.txt", "bitmap 7 ../a\n"); t.write("../a.png", two_pixels_png); }, bitmap_7,
         ERROR_RESOURCE_NAME_NOT_FOUND},
        {"no menu-bar resource", [](ResourceFolderTest& t) { t.write("resources.txt", "rcdata 8 bar.txt\n"); }, bar_9, ERROR_RESOURCE_NAME_NOT_FOUND},
        {"a damaged menu-bar resource",
         [](ResourceFolderTest& t) { t.write("resources.txt", "rcdata 9 bar.txt\n"); t.write("bar.txt", "button 1 plain - A\nbutton x\n"); }, bar_9,
         ERROR_INVALID_DATA},
    };
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = DefWindowProcW;
    window_class.lpszClassName = u"STATIC_OWNER";
    RegisterClassW(&window_class);
    choose();
    for (auto const& c : cases) {
        std::filesystem::remove_all(folder());
        c.make(*this);
        SetLastError(0);
        EXPECT_FALSE(c.load()) << c.name;
        EXPECT_EQ(GetLastError(), c.error) << c.name;
    }
    UnregisterClassW(u"STATIC_OWNER", nullptr);
}

TEST_F(ResourceFolderTest, APictureIsItsColourWithTheAlphaOfItsCompanion) {
    choose();
    write("resources.txt", "# comment\nnonsense line\nbitmap 7 a\nicon 8 a\nrcdata 9 raw.bin\n");
    write("a.png", two_pixels_png);
    write("a_8.png", two_greys_png);
    HBITMAP const bitmap = LoadBitmapW(nullptr, MAKEINTRESOURCEW(7));
    ASSERT_NE(bitmap, nullptr) << "the bad line is left out, the rest kept";
    DIBSECTION section{};
    ASSERT_EQ(GetObjectW(bitmap, sizeof section, &section), static_cast<int>(sizeof section));
    auto const* pixels = static_cast<const std::uint32_t*>(section.dsBm.bmBits);
    EXPECT_EQ(pixels[0], 0x80FF0000u);
    EXPECT_EQ(pixels[1], 0x0000FF00u);
    DeleteObject(bitmap);

    HICON const icon = static_cast<HICON>(LoadImageW(nullptr, MAKEINTRESOURCEW(8), IMAGE_ICON, 4, 2, 0));
    ASSERT_NE(icon, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP size{};
    GetObjectW(info.hbmColor, sizeof size, &size);
    EXPECT_EQ(size.bmWidth, 4);
    EXPECT_EQ(size.bmHeight, 2);
    DeleteObject(info.hbmColor);
    EXPECT_TRUE(DestroyIcon(icon));
    EXPECT_FALSE(DestroyIcon(icon));

    write("raw.bin", "abc");
    HRSRC const raw = FindResourceW(nullptr, MAKEINTRESOURCEW(9), RT_RCDATA);
    ASSERT_NE(raw, nullptr);
    EXPECT_EQ(SizeofResource(nullptr, raw), 3u);
    EXPECT_EQ(std::string(static_cast<const char*>(LockResource(LoadResource(nullptr, raw))), 3), "abc");
}

TEST_F(ResourceFolderTest, TheProgramsIconIsDrawnBlended) {
    HICON const icon = LoadIconW(nullptr, MAKEINTRESOURCEW(116));
    ASSERT_NE(icon, nullptr);
    HDC const dc = CreateCompatibleDC(nullptr);
    HBITMAP const target = CreateCompatibleBitmap(dc, 40, 40);
    HGDIOBJ const old = SelectObject(dc, target);
    RECT const all{0, 0, 40, 40};
    HBRUSH const white = CreateSolidBrush(RGB(255, 255, 255));
    FillRect(dc, &all, white);
    EXPECT_TRUE(DrawIconEx(dc, 4, 4, icon, 0, 0, 0, nullptr, DI_NORMAL));
    EXPECT_EQ(GetPixel(dc, 2, 2) & 0xFFFFFF, RGB(255, 255, 255)) << "outside the icon";
    EXPECT_EQ(GetPixel(dc, 4, 4) & 0xFFFFFF, RGB(255, 255, 255)) << "the icon's transparent corner";
    EXPECT_NE(GetPixel(dc, 20, 20) & 0xFFFFFF, RGB(255, 255, 255)) << "the icon's middle";
    SelectObject(dc, old);
    DeleteObject(target);
    DeleteObject(white);
    DeleteDC(dc);
    DestroyIcon(icon);
}

TEST_F(ResourceFolderTest, SystemIconsFollowThePathOrTheLibraryIndex) {
    write_host_file(device.host_path("My Documents/take.wav"), "RIFF");
    write_host_file(device.host_path("notes.txt"), "x");
    struct Case {
        const char16_t* path;
        int index;
    };
    std::vector<Case> const cases = {
        {u"\\Windows\\sysicons.dll", SYSTEM_ICON_UNKNOWN},
        {u"\\Windows\\sysicons.dll,7", 7},
        {u"\\WINDOWS\\SysIcons.dll,-1", SYSTEM_ICON_COUNT - 1},
        {u"\\Windows\\sysicons.dll,99", SYSTEM_ICON_UNKNOWN},
        {u"\\Windows\\sysicons.dll,x", SYSTEM_ICON_UNKNOWN},
        {u"\\My Documents", SYSTEM_ICON_FOLDER},
        {u"\\My Documents\\take.wav", SYSTEM_ICON_SOUND},
        {u"\\notes.txt", SYSTEM_ICON_DOCUMENT},
        {u"\\no\\such.exe", SYSTEM_ICON_UNKNOWN},
    };
    HDC const screen = GetDC(nullptr);
    int const small_side = GetDeviceCaps(screen, LOGPIXELSX) >= 192 ? 32 : 16;
    ReleaseDC(nullptr, screen);
    for (auto const& c : cases) {
        SHFILEINFO info{};
        EXPECT_NE(SHGetFileInfo(c.path, 0, &info, 692, SHGFI_SYSICONINDEX | SHGFI_ICON | SHGFI_SMALLICON), 0u);
        EXPECT_EQ(info.iIcon, c.index) << std::string(c.path, c.path + std::char_traits<char16_t>::length(c.path));
        ICONINFO icon{};
        ASSERT_TRUE(GetIconInfo(info.hIcon, &icon));
        BITMAP size{};
        GetObjectW(icon.hbmColor, sizeof size, &size);
        EXPECT_EQ(size.bmWidth, small_side) << "a small icon";
        DeleteObject(icon.hbmColor);
        DestroyIcon(info.hIcon);
    }
    SHFILEINFO info{};
    EXPECT_EQ(SHGetFileInfo(u"\\x", 0, &info, 4, SHGFI_SYSICONINDEX), 0u) << "a short record";
}

// As the hardware-key list does: the "Icon" value cut at its last comma first, then whole
// when that gives the unknown icon.
TEST_F(ResourceFolderTest, EveryHardwareButtonOfANewDeviceHasItsOwnIcon) {
    std::vector<int> indexes;
    for (auto const* name : {u"40C1", u"40C2", u"40C3", u"40C4", u"40C5", u"40C6"}) {
        HKEY key = nullptr;
        ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, (std::u16string(u"SOFTWARE\\Microsoft\\Shell\\Keys\\") + name).c_str(), 0, 0, &key),
                  ERROR_SUCCESS);
        WCHAR value[MAX_PATH] = {};
        DWORD size = sizeof value;
        DWORD type = 0;
        ASSERT_EQ(RegQueryValueExW(key, u"Icon", nullptr, &type, reinterpret_cast<LPBYTE>(value), &size), ERROR_SUCCESS);
        RegCloseKey(key);
        std::u16string const whole = value;
        SHFILEINFO info{};
        SHGetFileInfo(whole.substr(0, whole.rfind(u',')).c_str(), 0, &info, 692, SHGFI_SYSICONINDEX | SHGFI_SMALLICON);
        EXPECT_EQ(info.iIcon, SYSTEM_ICON_UNKNOWN);
        SHGetFileInfo(whole.c_str(), 0, &info, 692, SHGFI_SYSICONINDEX | SHGFI_SMALLICON);
        indexes.push_back(info.iIcon);
    }
    EXPECT_EQ(indexes, (std::vector<int>{6, 7, 8, 9, 10, 11}));
}

TEST(MenuBarResource, ButtonsAreReadAndDamageIsRefused) {
    std::string problem;
    auto const layout = native::parse_menu_bar_resource("# bar\n\nbutton 40000 dropdown - \r\nbutton 7 plain 3 Play  it\nbutton 8 separator -\n", problem);
    ASSERT_TRUE(layout) << problem;
    ASSERT_EQ(layout->buttons.size(), 3u);
    EXPECT_EQ(layout->buttons[0].command, 40000);
    EXPECT_EQ(layout->buttons[0].style, TBSTYLE_DROPDOWN);
    EXPECT_EQ(layout->buttons[0].text, u"");
    EXPECT_EQ(layout->buttons[1].image, 3);
    EXPECT_EQ(layout->buttons[1].text, u"Play  it");
    EXPECT_EQ(layout->buttons[2].style, TBSTYLE_SEP);

    std::string many;
    for (int index = 0; index < 33; ++index) many += "button 1 plain -\n";
    for (std::string const& damaged : {std::string("button 0 plain -"), std::string("button 70000 plain -"), std::string("button 1 round -"),
                                      std::string("button 1 plain x"), std::string("button 1 plain"), std::string("knob 1 plain -"),
                                      std::string("button 1 plain - \xC3"), std::string("button 1 plain - \xC0\xAF"),
                                      std::string("button 1 plain - a\x01"), std::string("button 1 plain - ") + std::string(65, 'a'),
                                      std::string("button 1 plain -\0", 17), many, std::string(17000, '#')}) {
        problem.clear();
        EXPECT_FALSE(native::parse_menu_bar_resource(damaged, problem)) << damaged.substr(0, 40);
        EXPECT_FALSE(problem.empty());
    }
}

}  // namespace
