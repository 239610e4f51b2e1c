#pragma once

#include "rx/errorstatus.h"
#include "filebytes.h"

#include <memory>
#include <string>
#include <string_view>

class AcDbDatabase;

namespace hostdxf {

// Fills an empty database from the text of an ASCII drawing file (any release from
// R12 to 2018), strictly: the first fault refuses the file. On failure the database's read report holds the reason, naming the
// line where the file went wrong. The contents of blocks are made from the bytes when
// first looked at, so the database keeps them until then.
Acad::ErrorStatus readDrawing(AcDbDatabase& db, std::shared_ptr<const FileBytes> bytes);

// Whether a file that a strict read refuses is read again, repairing what it can.
enum class Recovery { refuse, repair };

// What a file that is not ASCII DXF is, for the refusal message; empty for text.
std::wstring binaryFileKind(std::string_view data);

// Fills an empty database from the bytes of the drawing file `path`: refuses an empty
// or binary file, then reads the text strictly. Where that fails, and recovery is to
// repair, reads it again repairing what it can: the drawing is then accepted with
// the report's recoveredFrom set to path, its repairs listed, and its message saying
// why the strict read refused the file. A file without a readable section, and any
// binary file, stay refused. The file layer reads through it, and so does the reader's
// fuzzer, so that both run the same code. The report names the path.
Acad::ErrorStatus readDrawingBytes(AcDbDatabase& db, std::shared_ptr<const FileBytes> bytes, const std::wstring& path,
                                   Recovery recovery = Recovery::repair);
// The same on a copy of the bytes.
Acad::ErrorStatus readDrawingBytes(AcDbDatabase& db, std::string_view bytes, const std::wstring& path,
                                   Recovery recovery = Recovery::repair);

}  // namespace hostdxf
