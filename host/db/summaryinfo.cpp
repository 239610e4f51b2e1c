#include "summaryinfo.h"

#include "entity.h"

AcDbDatabaseSummaryInfo::AcDbDatabaseSummaryInfo(const AcDbDatabase& db)
    : m_db(const_cast<AcDbDatabase*>(&db)), m_custom(db.customProperties()) {}

AcDbDatabaseSummaryInfo::~AcDbDatabaseSummaryInfo() = default;

Acad::ErrorStatus AcDbDatabaseSummaryInfo::getCustomSummaryInfo(int index, ACHAR*& key, ACHAR*& value) const {
    key = value = nullptr;
    if (index < 0 || index >= numCustomInfo()) return Acad::eInvalidIndex;
    key = hostdbDuplicateString(m_custom[static_cast<std::size_t>(index)].first);
    value = hostdbDuplicateString(m_custom[static_cast<std::size_t>(index)].second);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbDatabaseSummaryInfo::getCustomSummaryInfo(const ACHAR* key, ACHAR*& value) const {
    value = nullptr;
    if (!key) return Acad::eInvalidKey;
    for (const auto& [k, v] : m_custom)
        if (k == key) {
            value = hostdbDuplicateString(v);
            return Acad::eOk;
        }
    return Acad::eKeyNotFound;
}

Acad::ErrorStatus AcDbDatabaseSummaryInfo::setCustomSummaryInfo(const ACHAR* key, const ACHAR* value) {
    if (!key || !value) return Acad::eInvalidInput;
    for (auto& [k, v] : m_custom)
        if (k == key) {
            v = value;
            return Acad::eOk;
        }
    return Acad::eKeyNotFound;
}

Acad::ErrorStatus AcDbDatabaseSummaryInfo::addCustomSummaryInfo(const ACHAR* key, const ACHAR* value) {
    if (!key || !*key || !value) return Acad::eInvalidInput;
    for (const auto& entry : m_custom)
        if (entry.first == key) return Acad::eDuplicateKey;
    m_custom.emplace_back(key, value);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbDatabaseSummaryInfo::deleteCustomSummaryInfo(int index) {
    if (index < 0 || index >= numCustomInfo()) return Acad::eInvalidIndex;
    m_custom.erase(m_custom.begin() + index);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbDatabaseSummaryInfo::deleteCustomSummaryInfo(const ACHAR* key) {
    for (auto it = m_custom.begin(); it != m_custom.end(); ++it)
        if (key && it->first == key) {
            m_custom.erase(it);
            return Acad::eOk;
        }
    return Acad::eKeyNotFound;
}

Acad::ErrorStatus acdbGetSummaryInfo(AcDbDatabase* db, AcDbDatabaseSummaryInfo*& info) {
    info = nullptr;
    if (!db) return Acad::eNoDatabase;
    info = new AcDbDatabaseSummaryInfo(*db);
    return Acad::eOk;
}

Acad::ErrorStatus acdbPutSummaryInfo(const AcDbDatabaseSummaryInfo* info, AcDbDatabase* db) {
    if (!info) return Acad::eNullPtr;
    if (!db) return Acad::eNoDatabase;
    db->setCustomProperties(info->customProperties());
    return Acad::eOk;
}

Acad::ErrorStatus acdbPutSummaryInfo(const AcDbDatabaseSummaryInfo* info) {
    return acdbPutSummaryInfo(info, info ? info->database() : nullptr);
}
