// The platform's file status and file search, on a fresh folder of files.

#include "ap/platform.h"
#include "rx/utf8.h"

#include "../module/tempfolder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

namespace {

using Found = std::vector<std::pair<std::wstring, DWORD>>;
constexpr DWORD kDir = FILE_ATTRIBUTE_DIRECTORY, kFile = FILE_ATTRIBUTE_NORMAL;

std::wstring wide(const std::filesystem::path& p) { return hostrx::utf8ToWide(p.string()); }

void writeFile(const std::filesystem::path& path, const std::string& bytes) { std::ofstream(path) << bytes; }

// Everything a search answers, the handle closed after.
Found search(const std::wstring& pattern) {
    WIN32_FIND_DATAW data{};
    HANDLE h = FindFirstFileW(pattern.c_str(), &data);
    Found found;
    if (h == INVALID_HANDLE_VALUE) return found;
    do found.emplace_back(data.cFileName, data.dwFileAttributes);
    while (FindNextFileW(h, &data));
    EXPECT_FALSE(FindNextFileW(h, &data)) << "stays at its end";
    EXPECT_TRUE(FindClose(h));
    return found;
}

class FileSearch : public testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"a.dwg", "abc.dwg", "axc.dwg", "abcd.dwg", "ABC.dwg", "b.txt", "caf\xC3\xA9.dwg"})
            writeFile(folder.path() / name, "x");
        std::filesystem::create_directory(folder.path() / "sub");
        writeFile(folder.path() / "sub" / "inner.dwg", "x");
    }
    std::wstring at(const std::wstring& rest) const { return wide(folder.path()) + L"/" + rest; }

    FreshFolder folder;
};

TEST_F(FileSearch, AnswersTheNamesAPatternTakes) {
    const struct {
        const wchar_t* pattern;
        Found found;
    } cases[] = {
        {L"abc.dwg", {{L"abc.dwg", kFile}}},
        {L"sub", {{L"sub", kDir}}},
        {L"sub/inner.dwg", {{L"inner.dwg", kFile}}},
        {L"*.dwg",
         {{L"ABC.dwg", kFile}, {L"a.dwg", kFile}, {L"abc.dwg", kFile}, {L"abcd.dwg", kFile}, {L"axc.dwg", kFile},
          {L"caf\u00E9.dwg", kFile}}},
        {L"a?c.dwg", {{L"abc.dwg", kFile}, {L"axc.dwg", kFile}}},
        {L"*c*", {{L"abc.dwg", kFile}, {L"abcd.dwg", kFile}, {L"axc.dwg", kFile}, {L"caf\u00E9.dwg", kFile}}},
        {L"s*", {{L"sub", kDir}}},
        {L"*.txt", {{L"b.txt", kFile}}},
        {L"*.*",
         {{L"ABC.dwg", kFile}, {L"a.dwg", kFile}, {L"abc.dwg", kFile}, {L"abcd.dwg", kFile}, {L"axc.dwg", kFile},
          {L"b.txt", kFile}, {L"caf\u00E9.dwg", kFile}, {L"sub", kDir}}},
        {L"*.DWG", {}},  // names match with their letter case
        {L"ABC.DWG", {}},
        {L"*.pdf", {}},
        {L"a??.dwg", {{L"abc.dwg", kFile}, {L"axc.dwg", kFile}}},
        {L"nothing.dwg", {}},
        {L"missing/*.dwg", {}},
        {L"missing/a.dwg", {}},
        {L"sub/", {}},
        {L"", {}},
        {L"sub/.", {}},
        {L"sub/..", {}},
        {L"s*/inner.dwg", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.pattern)));
        EXPECT_EQ(search(at(c.pattern)), c.found);
    }
}

TEST_F(FileSearch, RefusesNullsAndHandlesItDoesNotOwn) {
    WIN32_FIND_DATAW data{};
    EXPECT_EQ(FindFirstFileW(nullptr, &data), INVALID_HANDLE_VALUE);
    EXPECT_EQ(FindFirstFileW(at(L"*").c_str(), nullptr), INVALID_HANDLE_VALUE);
    EXPECT_FALSE(FindNextFileW(INVALID_HANDLE_VALUE, &data));
    EXPECT_FALSE(FindClose(INVALID_HANDLE_VALUE));
    EXPECT_FALSE(FindClose(nullptr));
}

TEST_F(FileSearch, ASearchClosedEarlyFreesWhatItFound) {
    WIN32_FIND_DATAW data{};
    HANDLE h = FindFirstFileW(at(L"*.dwg").c_str(), &data);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(FindClose(h));  // the sanitizer build checks that nothing leaks
}

void setModified(const std::filesystem::path& path, std::int64_t seconds, long nanoseconds) {
    timespec times[2] = {{static_cast<time_t>(seconds), nanoseconds}, {static_cast<time_t>(seconds), nanoseconds}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

TEST_F(FileSearch, StatusTellsTheLastWriteInSecondsSince1970) {
    const struct {
        const char* name;
        std::int64_t seconds;
        long nanoseconds;
        std::int64_t expected;
    } cases[] = {
        {"2023", 1700000000, 0, 1700000000},
        {"a part second", 1700000000, 999999999, 1700000000},
        {"the epoch", 0, 0, 0},
        {"1969", -31536000, 0, -31536000},
        {"a part second before 1970 counts down", -2, 500000000, -2},
    };
    const auto file = folder.path() / "caf\xC3\xA9.dwg";
    writeFile(file, "12345");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        setModified(file, c.seconds, c.nanoseconds);
        struct _stat64 st {};
        ASSERT_EQ(_wstat64(wide(file).c_str(), &st), 0);
        EXPECT_EQ(st.st_mtime, c.expected);
        EXPECT_EQ(st.st_size, 5);
        EXPECT_EQ(st.st_mode & _S_IFMT, _S_IFREG);
    }
}

TEST_F(FileSearch, StatusOfAFolderAndOfNothing) {
    struct _stat64 st {};
    ASSERT_EQ(_wstat64(at(L"sub").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & _S_IFMT, _S_IFDIR);
    EXPECT_EQ(st.st_size, 0);
    EXPECT_EQ(_wstat64(at(L"missing.dwg").c_str(), &st), -1);
    EXPECT_EQ(_wstat64(at(L"abc.dwg/").c_str(), &st), -1);
    EXPECT_EQ(_wstat64(L"", &st), -1);
    EXPECT_EQ(_wstat64(nullptr, &st), -1);
    EXPECT_EQ(_wstat64(at(L"abc.dwg").c_str(), nullptr), -1);
}

}  // namespace
