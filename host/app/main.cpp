// marvolt-host: the stand-in host. This first form opens a drawing, lists its blocks
// and layers, runs a script of commands (none are known yet) and saves.

#include "db/blocktable.h"
#include "db/database.h"
#include "db/layertable.h"
#include "dxf/textcodec.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

namespace {

struct Options {
    std::optional<std::string> open, script, save, module;
};

void usage() {
    std::cerr << "usage: marvolt-host [--open DRAWING] [--script FILE|-] [--save PATH] [--module PATH]\n";
}

bool parse(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&](std::optional<std::string>& out) {
            if (i + 1 >= argc) return false;
            out = argv[++i];
            return true;
        };
        bool ok = false;
        if (a == "--open") ok = value(o.open);
        else if (a == "--script") ok = value(o.script);
        else if (a == "--save") ok = value(o.save);
        else if (a == "--module") ok = value(o.module);
        if (!ok) {
            std::cerr << "marvolt-host: unknown or incomplete option \"" << a << "\"\n";
            return false;
        }
    }
    return true;
}

void listSymbols(AcDbDatabase& db) {
    using hostdxf::wideToUtf8;
    AcDbBlockTable* blocks = nullptr;
    if (acdbOpenObject(blocks, db.blockTableId(), AcDb::kForRead) == Acad::eOk) {
        std::cout << "Blocks:\n";
        for (AcDbObjectId id : blocks->recordIds()) {
            const auto* rec = AcDbBlockTableRecord::cast(id.slot()->object);
            if (!rec || rec->isErased() || rec->isLayout() || rec->isAnonymous()) continue;
            std::cout << "  " << wideToUtf8(rec->name()) << " (" << rec->entityIds().size() << " entities"
                      << (rec->hasPreviewIcon() ? ", icon" : "") << ")\n";
        }
        blocks->close();
    }
    AcDbLayerTable* layers = nullptr;
    if (acdbOpenObject(layers, db.layerTableId(), AcDb::kForRead) == Acad::eOk) {
        std::cout << "Layers:\n";
        for (AcDbObjectId id : layers->recordIds()) {
            const auto* rec = AcDbLayerTableRecord::cast(id.slot()->object);
            if (!rec || rec->isErased()) continue;
            std::cout << "  " << wideToUtf8(rec->name()) << (rec->isLocked() ? " (locked)" : "") << "\n";
        }
        layers->close();
    }
}

int runScript(const std::string& path) {
    std::ifstream file;
    std::istream* in = &std::cin;
    if (path != "-") {
        file.open(path);
        if (!file) {
            std::cerr << "marvolt-host: cannot read script " << path << "\n";
            return 2;
        }
        in = &file;
    }
    std::string line;
    for (int number = 1; std::getline(*in, line); ++number) {
        if (line.empty() || line.starts_with(";")) continue;
        std::cerr << "marvolt-host: " << path << ":" << number << ": unknown command \"" << line << "\"\n";
        return 2;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    if (!parse(argc, argv, o)) {
        usage();
        return 2;
    }
    try {
        AcDbDatabase db(!o.open.has_value(), false);
        acdbHostApplicationServices()->setWorkingDatabase(&db);
        if (o.open) {
            const std::wstring path = hostdxf::utf8ToWide(*o.open);
            if (const auto es = db.readDwgFile(path.c_str(), _SH_DENYWR); es != Acad::eOk) {
                std::cerr << "marvolt-host: " << hostdxf::wideToUtf8(db.readReport().message) << " ["
                          << hostdxf::wideToUtf8(acadErrorStatusText(es)) << "]\n";
                return 1;
            }
            for (const auto& r : db.readReport().repairs) std::cout << "Repaired: " << hostdxf::wideToUtf8(r) << "\n";
            std::cout << "Opened " << *o.open << "\n";
            listSymbols(db);
        }
        if (o.script)
            if (const int rc = runScript(*o.script); rc != 0) return rc;
        if (o.save) {
            const std::wstring path = hostdxf::utf8ToWide(*o.save);
            if (const auto es = db.saveAs(path.c_str()); es != Acad::eOk) {
                std::cerr << "marvolt-host: could not save " << *o.save << " ["
                          << hostdxf::wideToUtf8(acadErrorStatusText(es)) << "]\n";
                return 1;
            }
            std::cout << "Saved " << *o.save << "\n";
        }
        acdbHostApplicationServices()->setWorkingDatabase(nullptr);
    } catch (const std::exception& e) {
        std::cerr << "marvolt-host: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
