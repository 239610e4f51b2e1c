#pragma once

#include "rx/errorstatus.h"
#include "filebytes.h"

#include <memory>
#include <string>
#include <string_view>

class AcDbDatabase;

namespace hostdxf {

// Fills an empty database from the text of an ASCII drawing file (any release from
// R12 to 2018). On failure the database's read report holds the reason, naming the
// line where the file went wrong. The contents of blocks are made from the bytes when
// first looked at, so the database keeps them until then.
Acad::ErrorStatus readDrawing(AcDbDatabase& db, std::shared_ptr<const FileBytes> bytes);

// What a file that is not ASCII DXF is, for the refusal message; empty for text.
std::wstring binaryFileKind(std::string_view data);

// Fills an empty database from the bytes of the drawing file `path`: refuses an empty
// or binary file, then reads the text. The file layer reads through it, and so does
// the reader's fuzzer, so that both run the same code. The report names the path.
Acad::ErrorStatus readDrawingBytes(AcDbDatabase& db, std::shared_ptr<const FileBytes> bytes, const std::wstring& path);
// The same on a copy of the bytes.
Acad::ErrorStatus readDrawingBytes(AcDbDatabase& db, std::string_view bytes, const std::wstring& path);

}  // namespace hostdxf
