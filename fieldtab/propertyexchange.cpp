#include "fieldtab/propertyexchange.h"

#include "fieldtab/fieldmessagebox.h"
#include "frame/documentlock.h"

#include <memory>
#include <string>

namespace {

constexpr const wchar_t* kOverwrite = L"Warning! This will overwrite existing data\nDo you want to continue?";
constexpr const wchar_t* kEraseThis = L"Warning! This will Erase existing data\nDo you want to continue?";
constexpr const wchar_t* kEraseOther = L"Warning! This will erase existing data\nDo you want to continue?";

using SummaryInfo = std::unique_ptr<AcDbDatabaseSummaryInfo>;

// The database's summary as a copy this side owns; null when the host has none to give.
SummaryInfo fetchSummary(AcDbDatabase* db) {
    AcDbDatabaseSummaryInfo* info = nullptr;
    if (db) acdbGetSummaryInfo(db, info);
    return SummaryInfo(info);
}

// A text the host copied out for the caller to free.
class HostText {
public:
    HostText() = default;
    ~HostText() { acutDelString(m_text); }
    HostText(const HostText&) = delete;
    HostText& operator=(const HostText&) = delete;
    ACHAR*& out() { return m_text; }
    std::wstring str() const { return m_text ? m_text : L""; }

private:
    ACHAR* m_text = nullptr;
};

bool confirmed(CWnd* parent, const wchar_t* text) { return fieldMessageBox(parent, text, MB_YESNO) == IDYES; }

std::optional<std::wstring> chooseDrawingFile() {
    resbuf* result = acutNewRb(RTSTR);
    std::optional<std::wstring> path;
    if (acedGetFileD(L"Select DWG file", nullptr, L"DWG", 2, result) == RTNORM && result->restype == RTSTR &&
        result->resval.rstring)
        path = result->resval.rstring;
    acutRelRb(result);
    return path;
}

// A command waiting for input holds the drawing; the user is told why nothing happened.
bool lockedOrTold(CWnd* parent, const DocumentLock& lock) {
    if (!lock.locked())
        fieldMessageBox(parent, L"The drawing is busy with a command.\nFinish or cancel the command, then try again.");
    return lock.locked();
}

// The side database is the working database while this lives; the one before comes back.
class WorkingDatabaseSwap {
public:
    explicit WorkingDatabaseSwap(AcDbDatabase* side) : m_previous(acdbHostApplicationServices()->workingDatabase()) {
        acdbHostApplicationServices()->setWorkingDatabase(side);
    }
    ~WorkingDatabaseSwap() { acdbHostApplicationServices()->setWorkingDatabase(m_previous); }
    WorkingDatabaseSwap(const WorkingDatabaseSwap&) = delete;
    WorkingDatabaseSwap& operator=(const WorkingDatabaseSwap&) = delete;

private:
    AcDbDatabase* m_previous;
};

std::wstring reasonOf(const AcDbDatabase& db, Acad::ErrorStatus es) {
    const std::wstring& message = db.readReport().message;
    return message.empty() ? std::wstring(acadErrorStatusText(es)) : message;
}

// A drawing file read into a side database of its own, or null after telling the user
// why it could not be: such a file is neither merged from nor saved over. A damaged
// file that the host could only recover counts as unreadable here, as the drawing
// recovered from it is not the file's own.
std::unique_ptr<AcDbDatabase> readSideDatabase(CWnd* parent, const std::wstring& path, int shareMode) {
    auto side = std::make_unique<AcDbDatabase>(false, true);
    Acad::ErrorStatus es = side->readDwgFile(path.c_str(), shareMode, false, nullptr);
    if (es == Acad::eOk && side->readReport().recovered()) es = Acad::eDwgCorrupt;
    if (es == Acad::eOk) return side;
    fieldMessageBox(parent, L"Error: Can't read the drawing " + path + L"\n" + reasonOf(*side, es));
    return nullptr;
}

void saveSideDatabase(CWnd* parent, AcDbDatabase& side, const std::wstring& path) {
    const Acad::ErrorStatus es = side.saveAs(path.c_str(), nullptr);
    if (es != Acad::eOk)
        fieldMessageBox(parent, L"Error: Can't save the drawing " + path + L"\n" + acadErrorStatusText(es));
}

// Reads the chosen file, lets change() work on it as the working database and saves it
// back over the file it came from.
template <class Change>
void changeOtherDrawing(CWnd* parent, const std::wstring& path, Change change) {
    const std::unique_ptr<AcDbDatabase> side = readSideDatabase(parent, path, _SH_DENYRW);
    if (!side) return;
    {
        WorkingDatabaseSwap swap(side.get());
        change(side.get());
    }
    saveSideDatabase(parent, *side, path);
}

}  // namespace

void readCustomProperties(AcDbDatabase* db, PropertyMap& map) {
    const SummaryInfo info = fetchSummary(db);
    if (!info) return;
    for (int i = 0; i < info->numCustomInfo(); ++i) {
        HostText key, value;
        if (info->getCustomSummaryInfo(i, key.out(), value.out()) == Acad::eOk) map[key.str()] = value.str();
    }
}

void writeCustomProperties(AcDbDatabase* db, const PropertyMap& map) {
    const SummaryInfo info = fetchSummary(db);
    if (!info) return;
    for (const auto& [key, value] : map) {
        HostText existing;
        const Acad::ErrorStatus es = info->getCustomSummaryInfo(key.c_str(), existing.out());
        if (es == Acad::eOk) info->setCustomSummaryInfo(key.c_str(), value.c_str());
        else if (es == Acad::eKeyNotFound) info->addCustomSummaryInfo(key.c_str(), value.c_str());
    }
    acdbPutSummaryInfo(info.get(), db);
}

void clearCustomProperties(AcDbDatabase* db) {
    const SummaryInfo info = fetchSummary(db);
    if (!info) return;
    for (int i = info->numCustomInfo() - 1; i >= 0; --i) info->deleteCustomSummaryInfo(i);
    acdbPutSummaryInfo(info.get(), db);
}

std::optional<PropertyMap> getFromThisDrawing() {
    AcApDocument* document = acDocManager->curDocument();
    if (!document) return std::nullopt;
    const DocumentLock lock(document, L"Get From This Drawing");
    if (!lockedOrTold(nullptr, lock)) return std::nullopt;
    PropertyMap map;
    readCustomProperties(document->database(), map);
    return map;
}

void saveToThisDrawing(CWnd* parent, const PropertyMap& list) {
    AcApDocument* document = acDocManager->curDocument();
    if (!document || !confirmed(parent, kOverwrite)) return;
    const DocumentLock lock(document, L"Save To This Drawing");
    if (lockedOrTold(parent, lock)) writeCustomProperties(acdbHostApplicationServices()->workingDatabase(), list);
}

std::optional<PropertyMap> getFromOtherDrawing(CWnd* parent) {
    const std::optional<std::wstring> path = chooseDrawingFile();
    if (!path) return std::nullopt;
    const std::unique_ptr<AcDbDatabase> side = readSideDatabase(parent, *path, _SH_DENYNO);
    if (!side) return std::nullopt;
    PropertyMap map;
    readCustomProperties(side.get(), map);
    return map;
}

void saveToOtherDrawing(CWnd* parent, const PropertyMap& list) {
    const std::optional<std::wstring> path = chooseDrawingFile();
    if (!path || !confirmed(parent, kOverwrite)) return;
    changeOtherDrawing(parent, *path, [&list](AcDbDatabase* side) { writeCustomProperties(side, list); });
}

// Without a current document the working database is cleared as it stands; with one, the
// document is locked first, as every other change of it from the palette is.
void clearThisDrawing(CWnd* parent) {
    if (!confirmed(parent, kEraseThis)) return;
    AcApDocument* document = acDocManager->curDocument();
    const DocumentLock lock(document, L"Clear this Drawing");
    if (document && !lockedOrTold(parent, lock)) return;
    clearCustomProperties(acdbHostApplicationServices()->workingDatabase());
}

void clearOtherDrawing(CWnd* parent) {
    const std::optional<std::wstring> path = chooseDrawingFile();
    if (!path || !confirmed(parent, kEraseOther)) return;
    changeOtherDrawing(parent, *path, [](AcDbDatabase* side) { clearCustomProperties(side); });
}
