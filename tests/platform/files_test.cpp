#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>

#include "platform/errors.h"
#include "platform/file_ops.h"
#include "platform/files.h"
#include "platform/handles.h"
#include "tests/support/test_device.h"

namespace {

using testing_support::DeviceTest;
using testing_support::host_file_exists;
using testing_support::read_host_file;
using testing_support::write_host_file;

constexpr DWORD read_write = GENERIC_READ | GENERIC_WRITE;
constexpr DWORD stale_error = 12345;

// Closes the handle at the end of the test.
class OpenFile {
public:
    OpenFile(const std::u16string& path, DWORD access, DWORD creation)
        : handle_(CreateFileW(path.c_str(), access, FILE_SHARE_READ, nullptr, creation, FILE_ATTRIBUTE_NORMAL,
                              nullptr)) {}
    ~OpenFile() {
        if (is_open()) CloseHandle(handle_);
    }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;

    HANDLE handle() const { return handle_; }
    bool is_open() const { return handle_ != INVALID_HANDLE_VALUE; }

    std::string read(DWORD count) const {
        std::string bytes(count, '\0');
        DWORD done = 0;
        EXPECT_TRUE(ReadFile(handle_, bytes.data(), count, &done, nullptr));
        bytes.resize(done);
        return bytes;
    }
    void write(const std::string& bytes) const {
        DWORD done = 0;
        EXPECT_TRUE(WriteFile(handle_, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr));
        EXPECT_EQ(done, bytes.size());
    }
    DWORD position() const { return SetFilePointer(handle_, 0, nullptr, FILE_CURRENT); }

private:
    HANDLE handle_;
};

class Files : public DeviceTest {};

TEST_F(Files, CreationDispositionsOnAMissingAndAnExistingFile) {
    struct Case {
        const char* name;
        DWORD creation;
        bool opens_missing;
        DWORD missing_error;
        bool opens_existing;
        DWORD existing_error;
        const char* existing_content_after;
    };
    Case const cases[] = {
        {"create_new", CREATE_NEW, true, ERROR_SUCCESS, false, ERROR_FILE_EXISTS, "old"},
        {"create_always", CREATE_ALWAYS, true, ERROR_SUCCESS, true, ERROR_ALREADY_EXISTS, ""},
        {"open_existing", OPEN_EXISTING, false, ERROR_FILE_NOT_FOUND, true, ERROR_SUCCESS, "old"},
        {"open_always", OPEN_ALWAYS, true, ERROR_SUCCESS, true, ERROR_ALREADY_EXISTS, "old"},
        {"truncate_existing", TRUNCATE_EXISTING, false, ERROR_FILE_NOT_FOUND, true, ERROR_SUCCESS, ""},
    };
    for (auto const& c : cases) {
        SCOPED_TRACE(c.name);
        std::u16string const name = u"\\My Documents\\" + std::u16string(c.name, c.name + strlen(c.name));
        std::string const missing = device.host_path("My Documents/") + c.name;
        SetLastError(stale_error);
        {
            OpenFile const file(name, read_write, c.creation);
            EXPECT_EQ(file.is_open(), c.opens_missing);
            EXPECT_EQ(GetLastError(), c.missing_error);
        }
        EXPECT_EQ(host_file_exists(missing), c.opens_missing);

        write_host_file(missing, "old");
        SetLastError(stale_error);
        {
            OpenFile const file(name, read_write, c.creation);
            EXPECT_EQ(file.is_open(), c.opens_existing);
            EXPECT_EQ(GetLastError(), c.existing_error);
        }
        EXPECT_EQ(read_host_file(missing), c.existing_content_after);
    }
}

TEST_F(Files, RefusesWhatCannotBeOpenedAsAFile) {
    write_host_file(device.host_path("My Documents/a.txt"), "a");
    struct Case {
        std::u16string path;
        DWORD access;
        DWORD creation;
        DWORD error;
    };
    Case const cases[] = {
        {u"\\No Such Folder\\a.txt", read_write, OPEN_ALWAYS, ERROR_PATH_NOT_FOUND},
        {u"\\No Such Folder\\a.txt", GENERIC_READ, OPEN_EXISTING, ERROR_PATH_NOT_FOUND},
        {u"\\My Documents\\a.txt\\b", read_write, OPEN_ALWAYS, ERROR_PATH_NOT_FOUND},
        {u"\\My Documents", GENERIC_READ, OPEN_EXISTING, ERROR_ACCESS_DENIED},
        {u"\\My Documents", read_write, OPEN_ALWAYS, ERROR_ACCESS_DENIED},
        {u"\\My Documents\\new\\", read_write, CREATE_ALWAYS, ERROR_INVALID_NAME},
        {u"\\My Documents\\*.wav", read_write, CREATE_ALWAYS, ERROR_INVALID_NAME},
        {u"\\..\\outside.txt", read_write, CREATE_ALWAYS, ERROR_ACCESS_DENIED},
        {u"\\My Documents\\a.txt", GENERIC_READ, TRUNCATE_EXISTING, ERROR_INVALID_PARAMETER},
        {u"\\My Documents\\a.txt", GENERIC_READ, 0, ERROR_INVALID_PARAMETER},
        {u"\\My Documents\\a.txt", GENERIC_READ, 6, ERROR_INVALID_PARAMETER},
    };
    for (auto const& c : cases) {
        OpenFile const file(c.path, c.access, c.creation);
        EXPECT_FALSE(file.is_open()) << c.creation;
        EXPECT_EQ(GetLastError(), c.error) << c.creation;
    }
    EXPECT_EQ(read_host_file(device.host_path("My Documents/a.txt")), "a");
    EXPECT_FALSE(host_file_exists(device.host_path("My Documents/new")));
    EXPECT_FALSE(host_file_exists(device.host_path("My Documents/*.wav")));
    EXPECT_FALSE(host_file_exists(device.folder() + "/outside.txt"));
}

TEST_F(Files, NamesDifferingOnlyInCaseNameOneFile) {
    {
        OpenFile const file(u"\\My Documents\\Note.txt", GENERIC_WRITE, CREATE_NEW);
        ASSERT_TRUE(file.is_open());
        file.write("first");
    }
    EXPECT_EQ(OpenFile(u"\\MY DOCUMENTS\\note.TXT", GENERIC_READ, OPEN_EXISTING).read(10), "first");
    EXPECT_FALSE(OpenFile(u"\\my documents\\NOTE.txt", GENERIC_WRITE, CREATE_NEW).is_open());
    EXPECT_EQ(GetLastError(), ERROR_FILE_EXISTS);
    OpenFile(u"\\my documents\\NOTE.TXT", GENERIC_WRITE, CREATE_ALWAYS).write("second");
    EXPECT_EQ(read_host_file(device.host_path("My Documents/Note.txt")), "second");
    EXPECT_FALSE(host_file_exists(device.host_path("My Documents/NOTE.TXT")));
}

TEST_F(Files, TwoHandlesReadOneFileEachAtItsOwnPosition) {
    write_host_file(device.host_path("My Documents/digits"), "0123456789");
    OpenFile const first(u"\\My Documents\\digits", GENERIC_READ, OPEN_EXISTING);
    OpenFile const second(u"\\My Documents\\digits", GENERIC_READ, OPEN_EXISTING);
    ASSERT_TRUE(first.is_open());
    ASSERT_TRUE(second.is_open());
    EXPECT_EQ(first.read(4), "0123");
    EXPECT_EQ(second.read(3), "012");
    EXPECT_EQ(first.read(4), "4567");
    EXPECT_EQ(second.read(20), "3456789");
}

TEST_F(Files, AReaderSeesWhatAnOpenWriterWrote) {
    OpenFile const writer(u"\\My Documents\\log.txt", GENERIC_WRITE, CREATE_ALWAYS);
    writer.write("abc");
    OpenFile const reader(u"\\My Documents\\log.txt", GENERIC_READ, OPEN_EXISTING);
    ASSERT_TRUE(reader.is_open());
    EXPECT_EQ(reader.read(10), "abc");
    writer.write("de");
    EXPECT_EQ(reader.read(10), "de");
}

TEST_F(Files, ReadingAtTheEndSucceedsWithNothing) {
    OpenFile const file(u"\\My Documents\\f", read_write, CREATE_ALWAYS);
    file.write("xy");
    DWORD done = 99;
    char buffer[4];
    EXPECT_TRUE(ReadFile(file.handle(), buffer, sizeof buffer, &done, nullptr));
    EXPECT_EQ(done, 0u);
}

TEST_F(Files, EachTransferNeedsItsAccessRight) {
    write_host_file(device.host_path("My Documents/f"), "data");
    OpenFile const reader(u"\\My Documents\\f", GENERIC_READ, OPEN_EXISTING);
    OpenFile const writer(u"\\My Documents\\f", GENERIC_WRITE, OPEN_EXISTING);
    char buffer[4] = {};
    DWORD done = 99;
    EXPECT_FALSE(ReadFile(writer.handle(), buffer, sizeof buffer, &done, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_EQ(done, 0u);
    EXPECT_FALSE(WriteFile(reader.handle(), buffer, sizeof buffer, &done, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_FALSE(SetEndOfFile(reader.handle()));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_EQ(read_host_file(device.host_path("My Documents/f")), "data");
}

TEST_F(Files, AReadOnlyFileOpensOnlyForReading) {
    std::string const host = device.host_path("My Documents/locked.mp3");
    write_host_file(host, "kept");
    ASSERT_TRUE(SetFileAttributesW(u"\\My Documents\\locked.mp3", FILE_ATTRIBUTE_READONLY));
    struct Case {
        DWORD access;
        DWORD creation;
    };
    // Refused also when the tests run as the host's superuser, and never emptied first.
    Case const refused[] = {{GENERIC_WRITE, OPEN_EXISTING},  {read_write, OPEN_ALWAYS},
                            {GENERIC_WRITE, CREATE_ALWAYS},  {read_write, TRUNCATE_EXISTING},
                            {GENERIC_WRITE, OPEN_ALWAYS}};
    for (auto const& c : refused) {
        SetLastError(stale_error);
        OpenFile const file(u"\\My Documents\\locked.mp3", c.access, c.creation);
        EXPECT_FALSE(file.is_open()) << c.access << " " << c.creation;
        EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED) << c.access << " " << c.creation;
        EXPECT_EQ(read_host_file(host), "kept") << c.access << " " << c.creation;
    }
    OpenFile const reader(u"\\My Documents\\locked.mp3", GENERIC_READ, OPEN_EXISTING);
    ASSERT_TRUE(reader.is_open());
    EXPECT_EQ(reader.read(4), "kept");
}

TEST_F(Files, MovesTheFilePointerFromEachOrigin) {
    write_host_file(device.host_path("My Documents/ten"), "0123456789");
    OpenFile const file(u"\\My Documents\\ten", GENERIC_READ, OPEN_EXISTING);
    struct Case {
        LONG distance;
        DWORD method;
        std::optional<DWORD> position;  // none: refused, the pointer stays at 4
        DWORD error;
    };
    Case const cases[] = {
        {3, FILE_BEGIN, 3, ERROR_SUCCESS},
        {-2, FILE_CURRENT, 2, ERROR_SUCCESS},
        {-1, FILE_END, 9, ERROR_SUCCESS},
        {5, FILE_END, 15, ERROR_SUCCESS},
        {-5, FILE_CURRENT, std::nullopt, ERROR_NEGATIVE_SEEK},
        {-11, FILE_END, std::nullopt, ERROR_NEGATIVE_SEEK},
        {-1, FILE_BEGIN, std::nullopt, ERROR_NEGATIVE_SEEK},
        {0, 3, std::nullopt, ERROR_INVALID_PARAMETER},
    };
    for (auto const& c : cases) {
        ASSERT_EQ(SetFilePointer(file.handle(), 4, nullptr, FILE_BEGIN), 4u);
        SetLastError(stale_error);
        DWORD const result = SetFilePointer(file.handle(), c.distance, nullptr, c.method);
        EXPECT_EQ(result, c.position.value_or(INVALID_SET_FILE_POINTER)) << c.distance << " " << c.method;
        EXPECT_EQ(GetLastError(), c.error) << c.distance << " " << c.method;
        EXPECT_EQ(file.position(), c.position.value_or(4)) << c.distance << " " << c.method;
    }
}

TEST_F(Files, PositionsBeyond32BitsNeedTheHighPart) {
    OpenFile const file(u"\\My Documents\\f", read_write, CREATE_ALWAYS);
    LONG high = 1;
    EXPECT_EQ(SetFilePointer(file.handle(), 16, &high, FILE_BEGIN), 16u);
    EXPECT_EQ(high, 1);
    EXPECT_EQ(SetFilePointer(file.handle(), 0, nullptr, FILE_CURRENT), INVALID_SET_FILE_POINTER);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    high = -1;
    EXPECT_EQ(SetFilePointer(file.handle(), -16, &high, FILE_CURRENT), 0u);
    EXPECT_EQ(high, 1);
    // Without a high part a position up to 4 GB - 1 is still a valid 32-bit position.
    EXPECT_EQ(SetFilePointer(file.handle(), 0x7FFFFFFF, nullptr, FILE_BEGIN), 0x7FFFFFFFu);
    EXPECT_EQ(SetFilePointer(file.handle(), 0x7FFFFFFF, nullptr, FILE_CURRENT), 0xFFFFFFFEu);
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
}

TEST_F(Files, SizeFollowsWritesAndTheEndOfFile) {
    OpenFile const file(u"\\My Documents\\f", read_write, CREATE_ALWAYS);
    file.write("0123456789");
    DWORD high = 99;
    EXPECT_EQ(GetFileSize(file.handle(), &high), 10u);
    EXPECT_EQ(high, 0u);
    SetFilePointer(file.handle(), 4, nullptr, FILE_BEGIN);
    EXPECT_TRUE(SetEndOfFile(file.handle()));
    EXPECT_EQ(GetFileSize(file.handle(), nullptr), 4u);
    EXPECT_EQ(file.position(), 4u);
    SetFilePointer(file.handle(), 6, nullptr, FILE_BEGIN);
    EXPECT_TRUE(SetEndOfFile(file.handle()));
    EXPECT_TRUE(FlushFileBuffers(file.handle()));
    EXPECT_EQ(read_host_file(device.host_path("My Documents/f")), std::string("0123\0\0", 6));
}

TEST_F(Files, CallsOnAHandleThatIsNoOpenFileFail) {
    HANDLE const closed = CreateFileW(u"\\My Documents\\f", read_write, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(closed, INVALID_HANDLE_VALUE);
    ASSERT_TRUE(CloseHandle(closed));
    char buffer[4];
    DWORD done;
    for (HANDLE const handle : {closed, INVALID_HANDLE_VALUE, HANDLE{}}) {
        SetLastError(ERROR_SUCCESS);
        EXPECT_FALSE(ReadFile(handle, buffer, sizeof buffer, &done, nullptr));
        EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
        EXPECT_FALSE(WriteFile(handle, buffer, sizeof buffer, &done, nullptr));
        EXPECT_EQ(SetFilePointer(handle, 0, nullptr, FILE_BEGIN), INVALID_SET_FILE_POINTER);
        EXPECT_EQ(GetFileSize(handle, nullptr), INVALID_FILE_SIZE);
        EXPECT_FALSE(SetEndOfFile(handle));
        EXPECT_FALSE(FlushFileBuffers(handle));
        EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    }
}

}  // namespace
