// libFuzzer target: the bytes of a drawing file through the strict read alone, the entry
// point that opening a file uses first. Whatever the bytes, the read must answer a
// status; a drawing that is accepted must also save, and what was saved must read back.

#include "db/database.h"
#include "dxf/dxfreader.h"
#include "dxf/dxfwriter.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    AcDbDatabase db(false, true);
    if (hostdxf::readDrawingBytes(db, bytes, L"fuzz.dxf", hostdxf::Recovery::refuse) != Acad::eOk) return 0;
    const std::string saved = hostdxf::writeDrawing(db);
    AcDbDatabase back(false, true);
    if (hostdxf::readDrawingBytes(back, saved, L"saved.dxf", hostdxf::Recovery::refuse) != Acad::eOk) {
        // Our own output refused by our own reader: a writer or reader fault.
        std::fprintf(stderr, "saved drawing does not read back: %ls\n", back.readReport().message.c_str());
        std::abort();
    }
    return 0;
}
