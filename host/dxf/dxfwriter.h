#pragma once

#include <string>

class AcDbDatabase;

namespace hostdxf {

// The drawing as the text of an ASCII drawing file of release 2018 (AC1032).
std::string writeDrawing(const AcDbDatabase& db);

}  // namespace hostdxf
