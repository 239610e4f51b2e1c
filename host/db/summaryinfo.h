#pragma once

#include "database.h"

#include <string>
#include <utility>
#include <vector>

// A copy of a drawing's summary information, handed out by acdbGetSummaryInfo and
// taken back by acdbPutSummaryInfo; the caller owns and deletes it.
class AcDbDatabaseSummaryInfo {
public:
    explicit AcDbDatabaseSummaryInfo(const AcDbDatabase& db);
    // Defined in the host, so that its virtual table is the host's alone.
    virtual ~AcDbDatabaseSummaryInfo();

    int numCustomInfo() const { return static_cast<int>(m_custom.size()); }
    // Entry by position; key and value are copies for acutDelString.
    Acad::ErrorStatus getCustomSummaryInfo(int index, ACHAR*& key, ACHAR*& value) const;
    // Value by key: eKeyNotFound when no entry has that key.
    Acad::ErrorStatus getCustomSummaryInfo(const ACHAR* key, ACHAR*& value) const;
    Acad::ErrorStatus setCustomSummaryInfo(const ACHAR* key, const ACHAR* value);
    // eDuplicateKey when the key exists already.
    Acad::ErrorStatus addCustomSummaryInfo(const ACHAR* key, const ACHAR* value);
    Acad::ErrorStatus deleteCustomSummaryInfo(int index);
    Acad::ErrorStatus deleteCustomSummaryInfo(const ACHAR* key);

    AcDbDatabase* database() const { return m_db; }
    const AcDbDatabase::CustomProperties& customProperties() const { return m_custom; }

private:
    AcDbDatabase* m_db;
    AcDbDatabase::CustomProperties m_custom;
};

Acad::ErrorStatus acdbGetSummaryInfo(AcDbDatabase* db, AcDbDatabaseSummaryInfo*& info);
Acad::ErrorStatus acdbPutSummaryInfo(const AcDbDatabaseSummaryInfo* info, AcDbDatabase* db);
Acad::ErrorStatus acdbPutSummaryInfo(const AcDbDatabaseSummaryInfo* info);
