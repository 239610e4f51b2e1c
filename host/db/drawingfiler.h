#pragma once

#include "../rx/errorstatus.h"

#include <string>

class AcDbDatabase;

namespace hostdb {

// Reads and writes drawing files for the database. The database knows nothing of the
// file format: the program hands it the file layer's filer at start-up
// (setDrawingFiler), so that the database never reaches up to the layer above it.
class DrawingFiler {
public:
    virtual ~DrawingFiler() = default;
    // Fills an empty database from a file; on failure the report says why.
    virtual Acad::ErrorStatus read(AcDbDatabase& db, const std::wstring& path) = 0;
    // Writes the database to the file, replacing it only once the new file is complete.
    virtual Acad::ErrorStatus write(const AcDbDatabase& db, const std::wstring& path) = 0;
};

// Gives the database the filer it reads and saves through; null takes it away. Not
// owned: it must outlive every read and save. Until a program gives one, reading
// and saving answer eNotImplementedYet.
void setDrawingFiler(DrawingFiler* filer);
DrawingFiler* drawingFiler();

// File-sharing bookkeeping between the databases of this process.
Acad::ErrorStatus acquireFile(const std::wstring& path, int shareMode, const void* holder);
void releaseFile(const std::wstring& path, const void* holder);
// True when a database other than holder reads the file with deny-read-write.
bool isFileLockedByOther(const std::wstring& path, const void* holder);
// Whether two paths name one file (after resolving links and relative parts).
bool sameFile(const std::wstring& a, const std::wstring& b);

}  // namespace hostdb
