#include "errorstatus.h"

const wchar_t* acadErrorStatusText(Acad::ErrorStatus es) {
    using namespace Acad;
    switch (es) {
#define NAME(x) \
    case x:     \
        return L## #x;
        NAME(eOk)
        NAME(eNotImplementedYet)
        NAME(eNotApplicable)
        NAME(eInvalidInput)
        NAME(eAmbiguousInput)
        NAME(eOutOfMemory)
        NAME(eInvalidOpenState)
        NAME(eNullObjectId)
        NAME(eNullHandle)
        NAME(eNullPtr)
        NAME(eNotInDatabase)
        NAME(eAlreadyInDb)
        NAME(eDuplicateKey)
        NAME(eKeyNotFound)
        NAME(eInvalidKey)
        NAME(eInvalidIndex)
        NAME(eWasErased)
        NAME(eWasOpenForRead)
        NAME(eWasOpenForWrite)
        NAME(eLockViolation)
        NAME(eWasNotOpenForWrite)
        NAME(eNotOpenForWrite)
        NAME(eWrongObjectType)
        NAME(eWrongDatabase)
        NAME(eInvalidBlockName)
        NAME(eDuplicateRecordName)
        NAME(eSelfReference)
        NAME(eCannotExplodeEntity)
        NAME(eOnLockedLayer)
        NAME(eInvalidExtents)
        NAME(eFileNotFound)
        NAME(eFileAccessErr)
        NAME(eFileSharingViolation)
        NAME(eNotADrawingFile)
        NAME(eDwgCorrupt)
        NAME(eBadDxfSequence)
        NAME(eInvalidDxfCode)
        NAME(eWriteError)
        NAME(eIsAFolder)
        NAME(eRecoveredFromFile)
        NAME(eNoDatabase)
        NAME(eInvalidFieldCode)
        NAME(eBlockNotFound)
#undef NAME
    }
    return L"Unknown";
}
