#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "platform/unicode.h"
#include "tests/support/test_device.h"

namespace {

using testing_support::DeviceTest;
using Bytes = std::vector<BYTE>;

Bytes bytes_of(std::u16string_view units) {
    Bytes bytes;
    for (char16_t const unit : units) {
        bytes.push_back(static_cast<BYTE>(unit & 0xFF));
        bytes.push_back(static_cast<BYTE>(unit >> 8));
    }
    return bytes;
}

Bytes dword_bytes(DWORD value) { return {BYTE(value), BYTE(value >> 8), BYTE(value >> 16), BYTE(value >> 24)}; }

// Closes the key at its end.
class Key {
public:
    Key() = default;
    explicit Key(HKEY key) : key_(key) {}
    ~Key() {
        if (key_) RegCloseKey(key_);
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;

    HKEY get() const { return key_; }
    HKEY* receive() { return &key_; }

private:
    HKEY key_ = nullptr;
};

LONG create(HKEY root, const char16_t* path, Key& key, DWORD* disposition = nullptr) {
    return RegCreateKeyExW(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.receive(), disposition);
}

LONG open(HKEY root, const char16_t* path, Key& key) { return RegOpenKeyExW(root, path, 0, KEY_READ, key.receive()); }

LONG set(HKEY key, const char16_t* name, DWORD type, const Bytes& data) {
    return RegSetValueExW(key, name, 0, type, data.data(), static_cast<DWORD>(data.size()));
}

struct Stored {
    DWORD type;
    Bytes data;
    bool operator==(const Stored&) const = default;
};

void PrintTo(const Stored& stored, std::ostream* out) {
    *out << "type " << stored.type << ", bytes";
    for (BYTE const byte : stored.data) *out << ' ' << int(byte);
}

std::optional<Stored> query(HKEY key, const char16_t* name) {
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return std::nullopt;
    Bytes data(size);
    if (RegQueryValueExW(key, name, nullptr, &type, data.data(), &size) != ERROR_SUCCESS) return std::nullopt;
    data.resize(size);
    return Stored{type, data};
}

std::optional<DWORD> query_dword(HKEY root, const char16_t* path, const char16_t* name) {
    Key key;
    if (open(root, path, key) != ERROR_SUCCESS) return std::nullopt;
    auto const stored = query(key.get(), name);
    if (!stored || stored->type != REG_DWORD || stored->data.size() != 4) return std::nullopt;
    return DWORD(stored->data[0] | stored->data[1] << 8 | stored->data[2] << 16 | stored->data[3] << 24);
}

bool set_dword(HKEY root, const char16_t* path, const char16_t* name, DWORD value) {
    Key key;
    return create(root, path, key) == ERROR_SUCCESS && set(key.get(), name, REG_DWORD, dword_bytes(value)) == ERROR_SUCCESS;
}

std::vector<std::u16string> subkeys(HKEY key) {
    std::vector<std::u16string> names;
    for (DWORD index = 0;; ++index) {
        char16_t name[256];
        DWORD length = 256;
        if (RegEnumKeyExW(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        names.emplace_back(name, length);
    }
    return names;
}

std::string hive_file(const testing_support::TestDevice& device, const char* root) {
    return device.folder() + "/registry/" + root + ".hive";
}

// Puts the same content in a new file at the hive's path, so that the next use must parse it.
void replace_with_copy(const std::string& path) {
    std::string const copy = path + ".copy";
    testing_support::write_host_file(copy, testing_support::read_host_file(path));
    ASSERT_EQ(std::rename(copy.c_str(), path.c_str()), 0);
}

// A child process that runs body and ends with exit code 0 when it returned true.
pid_t start_child(const std::function<bool()>& body) {
    pid_t const pid = fork();
    if (pid == 0) _exit(body() ? 0 : 1);
    return pid;
}

int wait_child(pid_t pid) {
    int status = 0;
    if (waitpid(pid, &status, 0) != pid) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// Children wait at the gate until the parent opens it.
class Gate {
public:
    Gate() { EXPECT_EQ(pipe(fds_), 0); }
    ~Gate() {
        close(fds_[0]);
        if (fds_[1] >= 0) close(fds_[1]);
    }
    void open() {
        close(fds_[1]);
        fds_[1] = -1;
    }
    // In a child.
    void wait() {
        close(fds_[1]);
        char ignored;
        while (read(fds_[0], &ignored, 1) > 0) {
        }
    }

private:
    int fds_[2] = {-1, -1};
};

using Registry = DeviceTest;

TEST_F(Registry, ValuesKeepTheirExactBytesInTheStore) {
    struct Case {
        std::u16string name;
        DWORD type;
        Bytes data;
    };
    std::vector<Case> const cases = {
        {u"Text", REG_SZ, bytes_of(std::u16string(u"Hello\0", 6))},
        {u"", REG_SZ, bytes_of(std::u16string(u"default\0", 8))},
        {u"Unterminated", REG_SZ, bytes_of(u"Hi")},
        {u"Odd size", REG_SZ, {'a', 0, 'b'}},
        {u"No data", REG_SZ, {}},
        {u"Only terminator", REG_SZ, {0, 0}},
        {u"Specials", REG_SZ, bytes_of(std::u16string(u"q\"%0041%[]\\\n\r\t\x7f \u00e9\U0001F600\0", 20))},
        {u"Lone surrogates", REG_SZ, bytes_of(std::u16string(u"a\xD800" u"b\xDC00\0", 5))},
        {u"Expand", REG_EXPAND_SZ, bytes_of(std::u16string(u"%windows%\\a\0", 12))},
        {u"Multi", REG_MULTI_SZ, bytes_of(std::u16string(u"a\0b\0\0", 5))},
        {u"Binary", REG_BINARY, {0x00, 0xFF, '\n', '\r', '"', '%', 0x80}},
        {u"Empty binary", REG_BINARY, {}},
        {u"Dword", REG_DWORD, dword_bytes(0xDEADBEEF)},
        {u"Long dword", REG_DWORD, {1, 2, 3, 4, 5, 6, 7, 8}},
        {u"Short dword", REG_DWORD, {1, 2}},
        {u"Unknown type", 99, {9, 8, 7}},
        {u"Name \"quoted\" %20 [x]\nline", REG_BINARY, {1}},
    };
    Key key;
    ASSERT_EQ(create(HKEY_CURRENT_USER, u"Software\\Odd [key] %name%\\\u00e9t\u00e9", key), ERROR_SUCCESS);
    for (auto const& c : cases) ASSERT_EQ(set(key.get(), c.name.c_str(), c.type, c.data), ERROR_SUCCESS);

    replace_with_copy(hive_file(device, "HKEY_CURRENT_USER"));

    for (auto const& c : cases) {
        EXPECT_EQ(query(key.get(), c.name.c_str()), (Stored{c.type, c.data})) << platform::utf16_to_utf8(c.name);
    }
}

TEST_F(Registry, QueryReportsTypeAndSizeAndRefusesASmallBuffer) {
    Key key;
    ASSERT_EQ(create(HKEY_CURRENT_USER, u"Software", key), ERROR_SUCCESS);
    Bytes const text = bytes_of(std::u16string(u"abc\0", 4));
    ASSERT_EQ(set(key.get(), u"Text", REG_SZ, text), ERROR_SUCCESS);

    DWORD type = 0;
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExW(key.get(), u"Text", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(size, 8u);

    BYTE probe[1] = {0x5A};
    type = 0;
    size = sizeof probe;
    EXPECT_EQ(RegQueryValueExW(key.get(), u"Text", nullptr, &type, probe, &size), ERROR_MORE_DATA);
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(size, 8u);
    EXPECT_EQ(probe[0], 0x5A);

    Bytes room(12, 0xEE);
    size = static_cast<DWORD>(room.size());
    EXPECT_EQ(RegQueryValueExW(key.get(), u"Text", nullptr, nullptr, room.data(), &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 8u);
    EXPECT_EQ(Bytes(room.begin(), room.begin() + 8), text);
    EXPECT_EQ(room[8], 0xEE);

    size = 0;
    EXPECT_EQ(RegQueryValueExW(key.get(), u"Missing", nullptr, &type, nullptr, &size), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegQueryValueExW(key.get(), u"Text", nullptr, &type, room.data(), nullptr), ERROR_INVALID_PARAMETER);
}

TEST_F(Registry, NamesIgnoreCaseAndKeepTheCaseTheyWereMadeWith) {
    Key made;
    DWORD disposition = 0;
    ASSERT_EQ(create(HKEY_CURRENT_USER, u"Software\\XeLo", made, &disposition), ERROR_SUCCESS);
    EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
    ASSERT_EQ(set(made.get(), u"Log", REG_DWORD, dword_bytes(1)), ERROR_SUCCESS);

    Key again;
    ASSERT_EQ(create(HKEY_CURRENT_USER, u"SOFTWARE\\xelo", again, &disposition), ERROR_SUCCESS);
    EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
    EXPECT_EQ(query(again.get(), u"LOG"), (Stored{REG_DWORD, dword_bytes(1)}));
    ASSERT_EQ(set(again.get(), u"lOg", REG_DWORD, dword_bytes(2)), ERROR_SUCCESS);
    EXPECT_EQ(query(made.get(), u"Log"), (Stored{REG_DWORD, dword_bytes(2)}));

    Key software;
    ASSERT_EQ(open(HKEY_CURRENT_USER, u"software", software), ERROR_SUCCESS);
    EXPECT_EQ(subkeys(software.get()), std::vector<std::u16string>{u"XeLo"});
    Key root_view;
    ASSERT_EQ(open(HKEY_CURRENT_USER, nullptr, root_view), ERROR_SUCCESS);
    EXPECT_EQ(subkeys(root_view.get()), std::vector<std::u16string>{u"Software"});
}

TEST_F(Registry, CreateMakesEveryMissingKeyOnTheWay) {
    Key deep;
    DWORD disposition = 0;
    ASSERT_EQ(create(HKEY_LOCAL_MACHINE, u"A\\B\\C", deep, &disposition), ERROR_SUCCESS);
    EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
    for (auto const* path : {u"A", u"A\\B", u"A\\B\\C", u"a\\b\\c\\"}) {
        Key key;
        EXPECT_EQ(open(HKEY_LOCAL_MACHINE, path, key), ERROR_SUCCESS) << platform::utf16_to_utf8(path);
    }
    Key missing;
    EXPECT_EQ(open(HKEY_LOCAL_MACHINE, u"A\\X", missing), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(missing.get(), nullptr);

    // A subkey path below an open key, and the key itself through an empty path.
    Key b;
    ASSERT_EQ(open(HKEY_LOCAL_MACHINE, u"A\\B", b), ERROR_SUCCESS);
    Key d;
    ASSERT_EQ(create(b.get(), u"D", d, &disposition), ERROR_SUCCESS);
    EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
    Key same;
    ASSERT_EQ(open(b.get(), u"", same), ERROR_SUCCESS);
    ASSERT_EQ(set(same.get(), u"V", REG_BINARY, {7}), ERROR_SUCCESS);
    EXPECT_EQ(query(b.get(), u"V"), (Stored{REG_BINARY, {7}}));
    EXPECT_EQ(subkeys(b.get()), (std::vector<std::u16string>{u"C", u"D"}));
}

TEST_F(Registry, KeyNamesAreLimitedTo255Characters) {
    std::u16string const longest(255, u'k');
    Key fits;
    EXPECT_EQ(create(HKEY_CURRENT_USER, longest.c_str(), fits), ERROR_SUCCESS);
    Key too_long;
    EXPECT_EQ(create(HKEY_CURRENT_USER, (longest + u"k").c_str(), too_long), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(too_long.get(), nullptr);
}

TEST_F(Registry, EnumerationFollowsCreationOrderAndReportsATooSmallBuffer) {
    Key parent;
    ASSERT_EQ(create(HKEY_CURRENT_USER, u"Keys", parent), ERROR_SUCCESS);
    for (auto const* name : {u"beta", u"Alpha", u"GAMMA"}) {
        Key child;
        ASSERT_EQ(create(parent.get(), name, child), ERROR_SUCCESS);
    }
    EXPECT_EQ(subkeys(parent.get()), (std::vector<std::u16string>{u"beta", u"Alpha", u"GAMMA"}));

    char16_t name[8];
    char16_t key_class[4] = {u'x', u'x', u'x', u'x'};
    DWORD class_length = 4;
    FILETIME written{0, 0};
    DWORD length = 5;  // "Alpha" needs 6 with its terminator
    EXPECT_EQ(RegEnumKeyExW(parent.get(), 1, name, &length, nullptr, nullptr, nullptr, nullptr), ERROR_MORE_DATA);
    EXPECT_EQ(length, 5u);
    length = 6;
    EXPECT_EQ(RegEnumKeyExW(parent.get(), 1, name, &length, nullptr, key_class, &class_length, &written),
              ERROR_SUCCESS);
    EXPECT_EQ(std::u16string(name), u"Alpha");
    EXPECT_EQ(length, 5u);
    EXPECT_EQ(key_class[0], u'\0');
    EXPECT_EQ(class_length, 0u);
    EXPECT_NE(written.dwHighDateTime, 0u);
    length = 8;
    EXPECT_EQ(RegEnumKeyExW(parent.get(), 3, name, &length, nullptr, nullptr, nullptr, nullptr), ERROR_NO_MORE_ITEMS);
}

TEST_F(Registry, DeletingAKeyDeletesEverythingBelowIt) {
    Key c;
    ASSERT_EQ(create(HKEY_CLASSES_ROOT, u"A\\B\\C", c), ERROR_SUCCESS);
    ASSERT_EQ(set(c.get(), u"V", REG_BINARY, {1}), ERROR_SUCCESS);
    Key sibling;
    ASSERT_EQ(create(HKEY_CLASSES_ROOT, u"A2", sibling), ERROR_SUCCESS);

    EXPECT_EQ(RegDeleteKeyW(HKEY_CLASSES_ROOT, u"a"), ERROR_SUCCESS);
    for (auto const* path : {u"A", u"A\\B", u"A\\B\\C"}) {
        Key gone;
        EXPECT_EQ(open(HKEY_CLASSES_ROOT, path, gone), ERROR_FILE_NOT_FOUND) << platform::utf16_to_utf8(path);
    }
    Key kept;
    EXPECT_EQ(open(HKEY_CLASSES_ROOT, u"A2", kept), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKeyW(HKEY_CLASSES_ROOT, u"A"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteKeyW(HKEY_CLASSES_ROOT, u"A\\B"), ERROR_FILE_NOT_FOUND);

    // An empty subkey deletes the open key itself; a root is never deleted.
    EXPECT_EQ(RegDeleteKeyW(kept.get(), u""), ERROR_SUCCESS);
    Key after;
    EXPECT_EQ(open(HKEY_CLASSES_ROOT, u"A2", after), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteKeyW(HKEY_CLASSES_ROOT, u""), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteKeyW(HKEY_CLASSES_ROOT, nullptr), ERROR_INVALID_PARAMETER);
}

TEST_F(Registry, DeletingAValue) {
    Key key;
    ASSERT_EQ(create(HKEY_CURRENT_USER, u"K", key), ERROR_SUCCESS);
    ASSERT_EQ(set(key.get(), u"A", REG_BINARY, {1}), ERROR_SUCCESS);
    ASSERT_EQ(set(key.get(), u"B", REG_BINARY, {2}), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteValueW(key.get(), u"a"), ERROR_SUCCESS);
    EXPECT_EQ(query(key.get(), u"A"), std::nullopt);
    EXPECT_EQ(query(key.get(), u"B"), (Stored{REG_BINARY, {2}}));
    EXPECT_EQ(RegDeleteValueW(key.get(), u"A"), ERROR_FILE_NOT_FOUND);
}

// Every operation through a handle, by the error it gives.
std::vector<std::pair<const char*, LONG>> operations_on(HKEY key) {
    Key opened;
    Key created;
    char16_t name[16];
    DWORD length = 16;
    DWORD size = 0;
    return {
        {"open", open(key, u"", opened)},
        {"create", create(key, u"Sub", created)},
        {"query", RegQueryValueExW(key, u"V", nullptr, nullptr, nullptr, &size)},
        {"set", set(key, u"V", REG_BINARY, {1})},
        {"delete value", RegDeleteValueW(key, u"V")},
        {"enumerate", RegEnumKeyExW(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr)},
        {"delete key", RegDeleteKeyW(key, u"Sub")},
    };
}

TEST_F(Registry, AHandleToADeletedKeyStaysDeletedEvenWhenTheKeyIsMadeAgain) {
    Key item;
    ASSERT_EQ(create(HKEY_LOCAL_MACHINE, u"Items\\Item", item), ERROR_SUCCESS);
    ASSERT_EQ(RegDeleteKeyW(HKEY_LOCAL_MACHINE, u"Items"), ERROR_SUCCESS);
    for (auto const& [operation, result] : operations_on(item.get())) {
        EXPECT_EQ(result, LONG(ERROR_KEY_DELETED)) << operation;
    }

    Key remade;
    ASSERT_EQ(create(HKEY_LOCAL_MACHINE, u"Items\\Item", remade), ERROR_SUCCESS);
    for (auto const& [operation, result] : operations_on(item.get())) {
        EXPECT_EQ(result, LONG(ERROR_KEY_DELETED)) << operation;
    }
    EXPECT_EQ(set(remade.get(), u"V", REG_BINARY, {1}), ERROR_SUCCESS);
}

TEST_F(Registry, UnknownAndClosedHandlesAreRefused) {
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, nullptr, 0, KEY_READ, &key), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    for (HKEY bad : {key, HKEY(nullptr), reinterpret_cast<HKEY>(std::uintptr_t{0x80000004u})}) {
        for (auto const& [operation, result] : operations_on(bad)) {
            EXPECT_EQ(result, LONG(ERROR_INVALID_HANDLE)) << operation;
        }
        EXPECT_EQ(RegCloseKey(bad), ERROR_INVALID_HANDLE);
    }
    EXPECT_EQ(RegCloseKey(HKEY_CURRENT_USER), ERROR_SUCCESS);
}

TEST_F(Registry, EachRootHasItsOwnKeys) {
    HKEY const roots[] = {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS};
    for (DWORD i = 0; i < 4; ++i) ASSERT_TRUE(set_dword(roots[i], u"Same\\Path", u"Root", i));
    for (DWORD i = 0; i < 4; ++i) EXPECT_EQ(query_dword(roots[i], u"Same\\Path", u"Root"), i);
}

TEST_F(Registry, EachDeviceHasItsOwnRegistry) {
    ASSERT_TRUE(set_dword(HKEY_CURRENT_USER, u"Software", u"Device", 1));
    Key first_device_key;
    ASSERT_EQ(open(HKEY_CURRENT_USER, u"Software", first_device_key), ERROR_SUCCESS);
    {
        testing_support::TestDevice other;
        EXPECT_EQ(query_dword(HKEY_CURRENT_USER, u"Software", u"Device"), std::nullopt);
        ASSERT_TRUE(set_dword(HKEY_CURRENT_USER, u"Software", u"Device", 2));
        // A key opened before keeps to the registry it was opened in.
        EXPECT_EQ(query(first_device_key.get(), u"Device"), (Stored{REG_DWORD, dword_bytes(1)}));
    }
    EXPECT_EQ(query_dword(HKEY_CURRENT_USER, u"Software", u"Device"), 1u);
}

TEST_F(Registry, ADamagedStoreReadsAsWhatCanBeReadAndIsKeptAsideByTheNextChange) {
    struct Case {
        const char* what;
        std::string content;
        std::optional<DWORD> kept;  // the DWORD "Kept" under "Software", if it survives
        bool kept_aside = true;     // something could not be read: the next change keeps a copy
    };
    std::string const header = "sonbrix registry 1\n";
    std::string const good = "[Software] 00000000000000aa\n\"Kept\" REG_DWORD dword:00000005\n";
    std::vector<Case> const cases = {
        {"binary noise", std::string("\x00\xff\xfe[\"\n\x01", 7) + std::string(300, '\xC3'), std::nullopt},
        {"empty file", "", std::nullopt, false},
        {"no header", good, std::nullopt},
        {"header only", header, std::nullopt, false},
        {"a byte-order mark before the header", "\xEF\xBB\xBF" + header + good, 5, false},
        {"a blank after the header", "sonbrix registry 1 \n" + good, 5, false},
        {"a zero byte after the header", std::string("sonbrix registry 1\0\n", 20) + good, 5, false},
        {"good lines among broken ones",
         header + "[Software\n\"Lost\" REG_DWORD dword:00000001\n" + good + "\"Bad hex\" REG_BINARY hex:zz\n" +
             "\"Odd hex\" REG_BINARY hex:123\n\"Short\" REG_DWORD dword:12\n\"Type\" 99999999999 hex:00\n" +
             "\"No type\n\"\" REG_SZ \"unterminated\n%%%%\n[]]]\n",
         5},
        {"cut in the middle of a line", header + good + "\"Next\" REG_SZ \"abc", 5},
        {"carriage returns", "sonbrix registry 1\r\n[Software] 00000000000000aa\r\n\"Kept\" REG_DWORD dword:00000005\r\n", 5,
         false},
    };
    std::string const path = hive_file(device, "HKEY_CURRENT_USER");
    for (auto const& c : cases) {
        testing_support::write_host_file(path, c.content);
        EXPECT_EQ(query_dword(HKEY_CURRENT_USER, u"Software", u"Kept"), c.kept) << c.what;
        EXPECT_EQ(query(HKEY_CURRENT_USER, u"Lost"), std::nullopt) << c.what;  // it followed a broken key line

        ASSERT_TRUE(set_dword(HKEY_CURRENT_USER, u"Software", u"After", 9)) << c.what;
        EXPECT_EQ(testing_support::host_file_exists(path + ".bad"), c.kept_aside) << c.what;
        if (c.kept_aside) {
            EXPECT_EQ(testing_support::read_host_file(path + ".bad"), c.content) << c.what;
        }
        std::remove((path + ".bad").c_str());
        replace_with_copy(path);
        EXPECT_EQ(query_dword(HKEY_CURRENT_USER, u"Software", u"After"), 9u) << c.what;
        EXPECT_EQ(query_dword(HKEY_CURRENT_USER, u"Software", u"Kept"), c.kept) << c.what;

        // The next change finds a whole store and keeps nothing aside.
        ASSERT_TRUE(set_dword(HKEY_CURRENT_USER, u"Software", u"Later", 1)) << c.what;
        EXPECT_FALSE(testing_support::host_file_exists(path + ".bad")) << c.what;
    }
}

TEST_F(Registry, AStoreThatCannotBeKeptAsideIsNotReplaced) {
    std::string const path = hive_file(device, "HKEY_CURRENT_USER");
    testing_support::write_host_file(path, "not a registry");
    for (int i = 1; i < 1000; ++i) {
        testing_support::write_host_file(path + ".bad" + (i == 1 ? std::string() : std::to_string(i)), "earlier");
    }
    EXPECT_FALSE(set_dword(HKEY_CURRENT_USER, u"Software", u"After", 9));
    EXPECT_EQ(testing_support::read_host_file(path), "not a registry");
}

TEST_F(Registry, KeysDeeperThan512AreRefusedAndDeepTreesAreStored) {
    std::u16string path;
    for (int depth = 1; depth <= 512; ++depth) path += (depth == 1 ? u"k" : u"\\k");
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, 0, nullptr, &key, nullptr), ERROR_SUCCESS);
    HKEY deeper = nullptr;
    EXPECT_EQ(RegCreateKeyExW(key, u"one more", 0, nullptr, 0, 0, nullptr, &deeper, nullptr), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, (path + u"\\x").c_str(), 0, nullptr, 0, 0, nullptr, &deeper, nullptr),
              ERROR_INVALID_PARAMETER);
    DWORD const value = 7;
    EXPECT_EQ(RegSetValueExW(key, u"Deep", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), 4), ERROR_SUCCESS);
    RegCloseKey(key);
    replace_with_copy(hive_file(device, "HKEY_CURRENT_USER"));
    EXPECT_EQ(query_dword(HKEY_CURRENT_USER, path.c_str(), u"Deep"), 7u);

    // A stored key deeper than the limit (written by hand) is not read; the rest is.
    std::string line = "[k";
    for (int depth = 2; depth <= 20000; ++depth) line += "\\k";
    testing_support::write_host_file(hive_file(device, "HKEY_CURRENT_USER"),
                                     "sonbrix registry 1\n[Software]\n\"Kept\" REG_DWORD dword:00000005\n" + line +
                                         "]\n\"Deep\" REG_DWORD dword:00000001\n");
    EXPECT_EQ(query_dword(HKEY_CURRENT_USER, u"Software", u"Kept"), 5u);
    EXPECT_TRUE(set_dword(HKEY_CURRENT_USER, u"Software", u"After", 9));
}

TEST_F(Registry, AnotherProcessSeesWhatThisOneWroteAndTheOtherWayRound) {
    Key key;
    ASSERT_EQ(create(HKEY_CURRENT_USER, u"Software\\XELO", key), ERROR_SUCCESS);
    ASSERT_EQ(set(key.get(), u"FromParent", REG_DWORD, dword_bytes(1)), ERROR_SUCCESS);

    Gate gate;
    pid_t const child = start_child([&] {
        gate.wait();
        bool const saw = query_dword(HKEY_CURRENT_USER, u"Software\\XELO", u"FromParent") == 2u;
        return saw && set_dword(HKEY_CURRENT_USER, u"Software\\XELO", u"FromChild", 7);
    });
    ASSERT_GT(child, 0);
    ASSERT_EQ(set(key.get(), u"FromParent", REG_DWORD, dword_bytes(2)), ERROR_SUCCESS);
    gate.open();
    ASSERT_EQ(wait_child(child), 0);

    EXPECT_EQ(query(key.get(), u"FromChild"), (Stored{REG_DWORD, dword_bytes(7)}));
    EXPECT_EQ(query(key.get(), u"FromParent"), (Stored{REG_DWORD, dword_bytes(2)}));
}

TEST_F(Registry, AKeyDeletedByAnotherProcessIsDeletedForOpenHandles) {
    Key item;
    ASSERT_EQ(create(HKEY_LOCAL_MACHINE, u"Today\\Items\\Sonbrix", item), ERROR_SUCCESS);
    ASSERT_EQ(set(item.get(), u"Enabled", REG_DWORD, dword_bytes(1)), ERROR_SUCCESS);

    pid_t const child = start_child([] {
        return RegDeleteKeyW(HKEY_LOCAL_MACHINE, u"Today\\Items\\Sonbrix") == ERROR_SUCCESS &&
               set_dword(HKEY_LOCAL_MACHINE, u"Today\\Items\\Sonbrix", u"Enabled", 0);
    });
    ASSERT_GT(child, 0);
    ASSERT_EQ(wait_child(child), 0);

    for (auto const& [operation, result] : operations_on(item.get())) {
        EXPECT_EQ(result, LONG(ERROR_KEY_DELETED)) << operation;
    }
    EXPECT_EQ(query_dword(HKEY_LOCAL_MACHINE, u"Today\\Items\\Sonbrix", u"Enabled"), 0u);
}

TEST_F(Registry, ProcessesWritingAtOnceKeepEveryValueAndReadersNeverSeeAPartialStore) {
    constexpr int writers = 6;
    constexpr int values_per_writer = 15;
    constexpr int reads = 300;
    ASSERT_TRUE(set_dword(HKEY_CURRENT_USER, u"Shared", u"Anchor", 42));

    Gate gate;
    std::vector<pid_t> children;
    for (int w = 0; w < writers; ++w) {
        children.push_back(start_child([&, w] {
            gate.wait();
            for (int i = 0; i < values_per_writer; ++i) {
                std::u16string const name = u"w" + platform::utf8_to_utf16(std::to_string(w * 100 + i));
                std::u16string const own = u"Shared\\Writer" + platform::utf8_to_utf16(std::to_string(w));
                if (!set_dword(HKEY_CURRENT_USER, u"Shared", name.c_str(), DWORD(i))) return false;
                if (!set_dword(HKEY_CURRENT_USER, own.c_str(), name.c_str(), DWORD(i))) return false;
            }
            return true;
        }));
    }
    pid_t const reader = start_child([&] {
        gate.wait();
        for (int i = 0; i < reads; ++i) {
            if (query_dword(HKEY_CURRENT_USER, u"Shared", u"Anchor") != 42u) return false;
        }
        return true;
    });
    gate.open();
    for (pid_t const child : children) EXPECT_EQ(wait_child(child), 0);
    EXPECT_EQ(wait_child(reader), 0);

    replace_with_copy(hive_file(device, "HKEY_CURRENT_USER"));
    Key shared;
    ASSERT_EQ(open(HKEY_CURRENT_USER, u"Shared", shared), ERROR_SUCCESS);
    EXPECT_EQ(subkeys(shared.get()).size(), std::size_t{writers});
    for (int w = 0; w < writers; ++w) {
        std::u16string const own = u"Shared\\Writer" + platform::utf8_to_utf16(std::to_string(w));
        for (int i = 0; i < values_per_writer; ++i) {
            std::u16string const name = u"w" + platform::utf8_to_utf16(std::to_string(w * 100 + i));
            EXPECT_EQ(query_dword(HKEY_CURRENT_USER, u"Shared", name.c_str()), DWORD(i));
            EXPECT_EQ(query_dword(HKEY_CURRENT_USER, own.c_str(), name.c_str()), DWORD(i));
        }
    }
}

}  // namespace

namespace {

TEST_F(Registry, ANewDeviceComesWithSixApplicationButtons) {
    std::vector<std::u16string> const buttons = {u"40C1", u"40C2", u"40C3", u"40C4", u"40C5", u"40C6"};
    auto button_names = [] {
        std::vector<std::u16string> names;
        Key keys;
        if (open(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Microsoft\\Shell\\Keys", keys) != ERROR_SUCCESS) return names;
        for (auto const& name : subkeys(keys.get())) {
            Key button;
            if (open(keys.get(), name.c_str(), button) != ERROR_SUCCESS) continue;
            auto const stored = query(button.get(), u"Name");
            if (stored && stored->type == REG_SZ) names.push_back(name);
        }
        return names;
    };
    EXPECT_EQ(button_names(), buttons);
    Key first;
    ASSERT_EQ(open(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Microsoft\\Shell\\Keys\\40C1", first), ERROR_SUCCESS);
    EXPECT_EQ(query(first.get(), u"Name"), (Stored{REG_SZ, bytes_of(std::u16string(u"Button 1") + u'\0')}));

    // The first change stores them with it, and a removed button stays removed.
    ASSERT_TRUE(set_dword(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Other", u"Value", 1));
    EXPECT_EQ(button_names(), buttons);
    ASSERT_EQ(RegDeleteKeyW(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Microsoft\\Shell\\Keys\\40C6"), ERROR_SUCCESS);
    replace_with_copy(hive_file(device, "HKEY_LOCAL_MACHINE"));
    EXPECT_EQ(button_names(), std::vector<std::u16string>(buttons.begin(), buttons.end() - 1));

    // Only the machine root has them.
    Key other;
    EXPECT_EQ(open(HKEY_CURRENT_USER, u"SOFTWARE\\Microsoft\\Shell\\Keys", other), ERROR_FILE_NOT_FOUND);
}

}  // namespace
