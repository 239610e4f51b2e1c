#pragma once

// Status of every host database operation. 0 is success; the other numbers are the
// host's own, except those that module code relies on by value (3, 15, 22, 47, 137),
// which must never move.
namespace Acad {
enum ErrorStatus : int {
    eOk = 0,
    eNotImplementedYet = 1,
    eNotApplicable = 2,
    eInvalidInput = 3,           // also: a reference that was not placed
    eAmbiguousInput = 4,
    eOutOfMemory = 6,
    eInvalidOpenState = 8,
    eNullObjectId = 12,
    eNullHandle = 14,
    eNullPtr = 15,               // also: an object that could not be created
    eNotInDatabase = 17,
    eAlreadyInDb = 18,
    eDuplicateKey = 21,
    eKeyNotFound = 22,
    eInvalidKey = 23,
    eInvalidIndex = 24,
    eWasErased = 30,
    eWasOpenForRead = 31,
    eWasOpenForWrite = 32,
    eWasNotOpenForWrite = 33,
    eNotOpenForWrite = 34,
    eWrongObjectType = 35,
    eWrongDatabase = 36,
    eInvalidBlockName = 47,      // also: an empty block or file name
    eDuplicateRecordName = 48,
    eSelfReference = 50,
    eCannotExplodeEntity = 55,
    eOnLockedLayer = 60,
    eInvalidExtents = 64,
    eFileNotFound = 80,
    eFileAccessErr = 81,
    eFileSharingViolation = 82,
    eNotADrawingFile = 83,       // a file this host cannot read, e.g. a binary drawing
    eDwgCorrupt = 84,            // a drawing file that is damaged or truncated
    eBadDxfSequence = 85,
    eInvalidDxfCode = 86,
    eWriteError = 87,
    eIsAFolder = 88,
    eRecoveredFromFile = 89,     // saving a recovered drawing over the damaged file it came from
    eNoDatabase = 90,
    eLockViolation = 91,         // a document lock refused, e.g. while a command waits for input
    eInvalidFieldCode = 100,
    eBlockNotFound = 137,        // a block missing from a block table
};
}  // namespace Acad

// The name of a status ("eOk", "eKeyNotFound", ...), for messages; "Unknown" for a
// value without a name.
const wchar_t* acadErrorStatusText(Acad::ErrorStatus es);
