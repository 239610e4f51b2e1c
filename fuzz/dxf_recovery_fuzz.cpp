// libFuzzer target: the bytes of a drawing file through the whole read, strict and then
// recovering. Whatever the bytes, the read must answer a status; a drawing it recovers
// must save as a sound file, one that the strict read accepts without a repair.

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
    if (hostdxf::readDrawingBytes(db, bytes, L"fuzz.dxf") != Acad::eOk) return 0;
    const std::string saved = hostdxf::writeDrawing(db);
    AcDbDatabase back(false, true);
    if (hostdxf::readDrawingBytes(back, saved, L"saved.dxf", hostdxf::Recovery::refuse) != Acad::eOk) {
        std::fprintf(stderr, "the saved recovered drawing is not sound: %ls\n", back.readReport().message.c_str());
        std::abort();
    }
    return 0;
}
