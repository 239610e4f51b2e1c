// Writing and reading one drawing's icon cache (10,000 blocks with 2088-byte icons)
// through SQliteUtils, each beside a plain SQLite C loop that does the same statements
// on the same kind of file with nothing in between: the physical limit here. The plain
// loop gets its names already in UTF-16 and binds without copying.

#include "storage/sqliteutils.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr int kRecords = 10000;
constexpr int kIconBytes = 2088;
constexpr const wchar_t* kKey = L"/library/mechanical/valves and fittings.dwg";
constexpr const char16_t* kTable = u"'/library/mechanical/valvesandfittingsdwg'";

struct Library {
    std::vector<BlockInfo> records;
    std::vector<std::u16string> names16;
};

const Library& library() {
    static const Library lib = [] {
        Library l;
        for (int i = 0; i < kRecords; ++i) {
            const std::string number = std::to_string(i);
            BlockInfo info{L"VALVE-DN" + std::wstring(number.begin(), number.end()), {}};
            for (int b = 0; b < kIconBytes; ++b) info.previewIcon.append(static_cast<Adesk::UInt8>((b * 31 + i) % 251));
            l.names16.push_back(u"VALVE-DN" + std::u16string(number.begin(), number.end()));
            l.records.push_back(std::move(info));
        }
        return l;
    }();
    return lib;
}

std::u16string plainPath() {
    const std::string path = (fs::path(std::getenv("TMPDIR")) / "plain.db").string();
    return std::u16string(path.begin(), path.end());
}

void exec16(sqlite3* db, const std::u16string& sql) {
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare16_v2(db, sql.c_str(), -1, &statement, nullptr);
    sqlite3_step(statement);
    sqlite3_finalize(statement);
}

void plainSet(const Library& lib) {
    sqlite3* db = nullptr;
    sqlite3_open16(plainPath().c_str(), &db);
    sqlite3_busy_timeout(db, 60000);
    exec16(db, u"CREATE TABLE IF NOT EXISTS 'CacheDateStamp' (name TEXT unique,cachedate TEXT);");
    exec16(db, u"DROP TABLE IF EXISTS " + std::u16string(kTable) + u";");
    exec16(db, u"CREATE TABLE " + std::u16string(kTable) + u" (key INTEGER PRIMARY KEY AUTOINCREMENT,name TEXT,icon BLOB);");
    exec16(db, u"begin transaction;");
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare16_v2(db, (u"insert into " + std::u16string(kTable) + u" values (?, ?, ?);").c_str(), -1, &insert, nullptr);
    for (std::size_t i = 0; i < lib.records.size(); ++i) {
        sqlite3_bind_text16(insert, 2, lib.names16[i].c_str(), -1, SQLITE_STATIC);
        const AcArray<Adesk::UInt8>& icon = lib.records[i].previewIcon;
        sqlite3_bind_blob(insert, 3, icon.asArrayPtr(), icon.length(), SQLITE_STATIC);
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    exec16(db, u"commit transaction;");
    sqlite3_finalize(insert);
    sqlite3_close(db);
}

struct PlainRecord {
    std::u16string name;
    std::vector<unsigned char> icon;
};

std::vector<PlainRecord> plainGet() {
    std::vector<PlainRecord> records;
    sqlite3* db = nullptr;
    sqlite3_open16(plainPath().c_str(), &db);
    sqlite3_busy_timeout(db, 60000);
    sqlite3_stmt* query = nullptr;
    sqlite3_prepare16_v2(db, u"select count(*) from sqlite_master where type='table' and name=? collate nocase", -1, &query,
                         nullptr);
    sqlite3_bind_text16(query, 1, u"/library/mechanical/valvesandfittingsdwg", -1, SQLITE_STATIC);
    sqlite3_step(query);
    sqlite3_finalize(query);
    sqlite3_prepare16_v2(db, (u"SELECT name, icon FROM " + std::u16string(kTable) + u";").c_str(), -1, &query, nullptr);
    while (sqlite3_step(query) == SQLITE_ROW) {
        const auto* name = static_cast<const char16_t*>(sqlite3_column_text16(query, 0));
        const auto nameUnits = static_cast<std::size_t>(sqlite3_column_bytes16(query, 0)) / 2;
        const auto iconBytes = static_cast<std::size_t>(sqlite3_column_bytes(query, 1));
        const auto* icon = static_cast<const unsigned char*>(sqlite3_column_blob(query, 1));
        records.push_back({std::u16string(name, nameUnits), std::vector<unsigned char>(icon, icon + iconBytes)});
    }
    sqlite3_finalize(query);
    sqlite3_close(db);
    return records;
}

void countBytes(benchmark::State& state) {
    state.SetBytesProcessed(state.iterations() * std::int64_t{kRecords} * kIconBytes);
    state.SetItemsProcessed(state.iterations() * std::int64_t{kRecords});
}

void BM_SetIconCacheRecords(benchmark::State& state) {
    const Library& lib = library();
    for (auto _ : state) {
        if (!SQliteUtils::setIconCacheRecords(lib.records, kKey)) state.SkipWithError("setIconCacheRecords failed");
    }
    countBytes(state);
}

void BM_SetPlainSqliteLoop(benchmark::State& state) {
    const Library& lib = library();
    for (auto _ : state) plainSet(lib);
    countBytes(state);
}

void BM_GetIconCacheRecords(benchmark::State& state) {
    SQliteUtils::setIconCacheRecords(library().records, kKey);
    for (auto _ : state) {
        std::vector<BlockInfo> records;
        if (!SQliteUtils::getIconCacheRecords(records, kKey) || records.size() != kRecords)
            state.SkipWithError("getIconCacheRecords failed");
        benchmark::DoNotOptimize(records.data());
    }
    countBytes(state);
}

void BM_GetPlainSqliteLoop(benchmark::State& state) {
    plainSet(library());
    for (auto _ : state) {
        std::vector<PlainRecord> records = plainGet();
        if (records.size() != kRecords) state.SkipWithError("plain read failed");
        benchmark::DoNotOptimize(records.data());
    }
    countBytes(state);
}

BENCHMARK(BM_SetIconCacheRecords)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SetPlainSqliteLoop)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_GetIconCacheRecords)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_GetPlainSqliteLoop)->Unit(benchmark::kMillisecond)->UseRealTime();

// The store finds its file through $TMPDIR; a folder of the run's own keeps the
// user's iconcache.db out of it.
class BenchFolder {
public:
    BenchFolder() {
        std::string name = (fs::temp_directory_path() / "marvolt-bench-XXXXXX").string();
        if (!::mkdtemp(name.data())) std::abort();
        m_path = name;
        ::setenv("TMPDIR", name.c_str(), 1);
    }
    ~BenchFolder() {
        std::error_code ignored;
        fs::remove_all(m_path, ignored);
    }
    BenchFolder(const BenchFolder&) = delete;
    BenchFolder& operator=(const BenchFolder&) = delete;

private:
    fs::path m_path;
};

}  // namespace

int main(int argc, char** argv) {
    const BenchFolder folder;
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
