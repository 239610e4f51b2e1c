#include "dxffiler.h"

#include "dxfreader.h"
#include "filebytes.h"
#include "dxfwriter.h"
#include "textcodec.h"

#include "../db/database.h"

#include <cstdio>
#include <filesystem>
#include <system_error>
#include <unistd.h>

namespace hostdxf {
namespace {

namespace fs = std::filesystem;

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
        auto bytes = FileBytes::open(p);
        if (!bytes) {
            report.message = L"The drawing " + path + L" cannot be read.";
            return Acad::eFileAccessErr;
        }
        return readDrawingBytes(db, std::move(bytes), path);
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

hostdb::DrawingFiler& dxfFiler() {
    static DxfFiler filer;
    return filer;
}

}  // namespace hostdxf
