#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

// Points $TMPDIR at a value for the life of the object, where the module finds the
// user's temporary directory and so its data files.
class TempDirOverride {
public:
    explicit TempDirOverride(const std::string& value) {
        if (const char* old = std::getenv("TMPDIR")) m_old = old;
        ::setenv("TMPDIR", value.c_str(), 1);
    }
    ~TempDirOverride() {
        if (m_old.empty()) ::unsetenv("TMPDIR");
        else ::setenv("TMPDIR", m_old.c_str(), 1);
    }
    TempDirOverride(const TempDirOverride&) = delete;
    TempDirOverride& operator=(const TempDirOverride&) = delete;

private:
    std::string m_old;
};

// A folder of its own for one test under the temporary directory, removed with
// everything in it afterwards. Unique per process, so tests may run side by side.
class FreshFolder {
public:
    FreshFolder() {
        std::string name = (std::filesystem::temp_directory_path() / "marvolt-test-XXXXXX").string();
        if (!::mkdtemp(name.data())) std::abort();
        m_path = name;
    }
    ~FreshFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    FreshFolder(const FreshFolder&) = delete;
    FreshFolder& operator=(const FreshFolder&) = delete;

    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
};
