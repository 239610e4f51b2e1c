// The drawing filer of the host: DXF files read and written for the database.

#include "dxfreader.h"
#include "dxfwriter.h"
#include "textcodec.h"

#include "../db/database.h"
#include "../db/drawingfiler.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace hostdxf {
namespace {

namespace fs = std::filesystem;

// Owns a file descriptor for the length of a read.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor() {
        if (m_fd >= 0) ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

// The whole file in one buffer, sized once from the file's length: a library drawing
// runs to tens of megabytes, and growing a string as it is read would copy it over and
// over and hold twice its size at the peak.
bool readWholeFile(const fs::path& path, std::string& data) {
    const FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat st {};
    if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0 || st.st_size < 0) return false;
    data.resize(static_cast<std::size_t>(st.st_size));
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::read(fd.get(), data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) break;  // the file shrank while being read
        done += static_cast<std::size_t>(n);
    }
    data.resize(done);
    return true;
}

class DxfFiler : public hostdb::DrawingFiler {
public:
    Acad::ErrorStatus read(AcDbDatabase& db, const std::wstring& path) override {
        auto& report = db.readReport();
        const fs::path p(path);
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
        std::string data;
        if (!readWholeFile(p, data)) {
            report.message = L"The drawing " + path + L" cannot be read.";
            return Acad::eFileAccessErr;
        }
        return readDrawingBytes(db, data, path);
    }

    Acad::ErrorStatus write(const AcDbDatabase& db, const std::wstring& path) override {
        const std::string text = writeDrawing(db);
        const fs::path target(path);
        std::error_code ec;
        if (fs::is_directory(target, ec)) return Acad::eIsAFolder;
        // Write beside the target and rename over it: the old file survives any failure.
        fs::path temp = target;
        temp += ".marvolt-save-" + std::to_string(::getpid());
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
}  // namespace hostdxf

hostdb::DrawingFiler& hostdb::drawingFiler() {
    static hostdxf::DxfFiler filer;
    return filer;
}
