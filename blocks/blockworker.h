#pragma once

#include "storage/blockinfo.h"
#include "frame/hostapi.h"

#include <string>

// One request to the block engine: a library drawing, the drawing that receives
// insertions and the insertion options. Built field by field by its caller for one
// operation. Every step reports its own failures on the command line.
class BlockWorker {
public:
    std::wstring dwgPath;              // the library drawing
    AcDbDatabase* targetDb = nullptr;  // not owned; the current document's drawing
    std::wstring layerName;            // layer of a new reference; empty: none set
    bool rotate = false;               // turn the placed reference with a second jig
    bool explode = false;              // replace the placed reference by its parts
    bool prompt = false;               // ask for attribute values
    bool promptCancelled = false;      // set once an attribute prompt was cancelled

    // Appends the named, insertable blocks of dwgPath to blocks.
    Acad::ErrorStatus getBlockInfoFromdDb(BlockInfoArray& blocks);

    // Inserts and places the whole library drawing as a block named after its file.
    void doInsertBlock(double scale, double rotation);
    // Inserts and places block blockName of the library drawing.
    void doInsertSubBlock(double scale, double rotation, const std::wstring& blockName);

    Acad::ErrorStatus insertBlockDef();
    Acad::ErrorStatus CloneBlockDef(const std::wstring& blockName);
    Acad::ErrorStatus CopyPreviewIcon(AcDbObjectId sourceId, AcDbObjectId targetId);
    Acad::ErrorStatus blockActions(double scale, double rotation, const std::wstring& blockName);
    Acad::ErrorStatus CopyFields(const AcDbAttributeDefinition* definition, AcDbAttribute* attribute);

private:
    void appendAttributes(const AcDbBlockTableRecord& record, AcDbBlockReference& reference);
    void setAttributeText(const AcDbAttributeDefinition& definition, AcDbAttribute& attribute);
    Acad::ErrorStatus explodePlaced(AcDbObjectId referenceId);
    Acad::ErrorStatus copyField(const AcDbField& source, const ACHAR* key, AcDbAttribute& attribute);
};

// The file-name part of a path: no folder, no extension.
std::wstring drawingBlockName(const std::wstring& path);
