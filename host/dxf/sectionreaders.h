#pragma once

// Private to the drawing-file reader: the readers of the sections of a file, each
// called after the section's name and reading up to its ENDSEC.

#include "readercontext.h"

namespace hostdxf::reading {

// ---- headerreader.cpp ----
// Reads the release, the code page and the handle seed before anything else: they
// decide how all text is decoded.
void prescanHeader(ReaderContext& ctx);
bool readHeader(ReaderContext& ctx);
// Recovering: "9 $NAME" groups met between sections, from `first` up to the next 0 group,
// taken into the header as if written before its ENDSEC (one writer's habit).
bool readStrayHeaderVariables(ReaderContext& ctx, const Tag& first);
// Sets the header variables that name symbols, once the tables are read.
void setHeaderSymbols(ReaderContext& ctx);

// ---- tablereader.cpp ----
bool readTables(ReaderContext& ctx);

// ---- blockreader.cpp ----
bool readBlocks(ReaderContext& ctx);

// ---- entityreader.cpp ----
bool readEntities(ReaderContext& ctx);
// Reads entity records into a block (null: model or paper space, as each says) until
// endType (ENDBLK or ENDSEC), whose record goes to endRecord; without endType, to the
// end of the data (the part of a file that holds a deferred block's records).
bool readEntityRecords(ReaderContext& ctx, AcDbObjectId blockId, const char* endType, Record* endRecord);

// ---- objectreader.cpp ----
bool readObjects(ReaderContext& ctx);

}  // namespace hostdxf::reading
