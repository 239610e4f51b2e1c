#include "dxffiler.h"

#include "dxfreader.h"
#include "filebytes.h"
#include "dxfwriter.h"
#include "textcodec.h"

#include "../db/database.h"
#include "../rx/utf8.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string_view>
#include <system_error>
#include <unistd.h>

namespace hostdxf {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kSaveMark = ".marvolt-save-";

// The process id a temporary file of target's saves carries, or none for any other name.
std::optional<pid_t> saverOf(const fs::path& entry, const fs::path& target) {
    const std::string name = entry.filename().string();
    const std::string prefix = target.filename().string() + std::string(kSaveMark);
    if (!name.starts_with(prefix) || name.size() == prefix.size() || name.size() - prefix.size() > 9) return std::nullopt;
    pid_t pid = 0;
    for (const char c : std::string_view(name).substr(prefix.size())) {
        if (c < '0' || c > '9') return std::nullopt;
        pid = pid * 10 + (c - '0');
    }
    return pid > 0 ? std::optional(pid) : std::nullopt;
}

// A process that runs, even one this user may not signal, keeps its file.
bool runs(pid_t pid) { return ::kill(pid, 0) == 0 || errno != ESRCH; }

// A save killed while writing (power loss, a crash, kill -9) leaves its partial file
// beside the drawing; the next save of the drawing takes those whose process has gone.
// Another process's save in progress is left alone, and so is anything not ours to judge.
void removeStaleSaves(const fs::path& target) {
    std::error_code ec;
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const auto pid = saverOf(it->path(), target);
        if (!pid || *pid == ::getpid() || runs(*pid)) continue;
        std::error_code ignored;
        if (it->is_regular_file(ignored) && !it->is_symlink(ignored)) fs::remove(it->path(), ignored);
    }
}

class DxfFiler : public hostdb::DrawingFiler {
public:
    Acad::ErrorStatus read(AcDbDatabase& db, const std::wstring& path) override {
        auto& report = db.readReport();
        const fs::path p = hostrx::widePath(path);
        std::error_code ec;
        const auto status = fs::status(p, ec);
        if (ec || !fs::exists(status)) {
            report.message = L"The drawing " + path + L" does not exist.";
            return Acad::eFileNotFound;
        }
        if (fs::is_directory(status)) {
            report.message = path + L" is a folder, not a drawing.";
            return Acad::eIsAFolder;
        }
        auto bytes = FileBytes::open(p);
        if (!bytes) {
            report.message = L"The drawing " + path + L" cannot be read.";
            return Acad::eFileAccessErr;
        }
        return readDrawingBytes(db, std::move(bytes), path);
    }

    Acad::ErrorStatus write(const AcDbDatabase& db, const std::wstring& path) override {
        const std::string text = writeDrawing(db);
        const fs::path target = hostrx::widePath(path);
        std::error_code ec;
        if (fs::is_directory(target, ec)) return Acad::eIsAFolder;
        removeStaleSaves(target);
        // Write beside the target and rename over it: the old file survives any failure.
        fs::path temp = target;
        temp += std::string(kSaveMark) + std::to_string(::getpid());
        {
            std::FILE* f = std::fopen(temp.c_str(), "wb");
            if (!f) return Acad::eFileAccessErr;
            const bool written = std::fwrite(text.data(), 1, text.size(), f) == text.size();
            const bool flushed = std::fflush(f) == 0 && ::fsync(::fileno(f)) == 0;
            const bool closed = std::fclose(f) == 0;
            if (!written || !flushed || !closed) {
                fs::remove(temp, ec);
                return Acad::eWriteError;
            }
        }
        fs::rename(temp, target, ec);
        if (ec) {
            fs::remove(temp, ec);
            return Acad::eWriteError;
        }
        return Acad::eOk;
    }
};

}  // namespace

hostdb::DrawingFiler& dxfFiler() {
    static DxfFiler filer;
    return filer;
}

}  // namespace hostdxf
