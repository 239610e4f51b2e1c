#pragma once

#include "../db/errorstatus.h"

#include <string>
#include <string_view>

class AcDbDatabase;

namespace hostdxf {

// Fills an empty database from the text of an ASCII drawing file (any release from
// R12 to 2018). On failure the database's read report holds the reason, naming the
// line where the file went wrong.
Acad::ErrorStatus readDrawing(AcDbDatabase& db, std::string_view data);

// What a file that is not ASCII DXF is, for the refusal message; empty for text.
std::wstring binaryFileKind(std::string_view data);

}  // namespace hostdxf
