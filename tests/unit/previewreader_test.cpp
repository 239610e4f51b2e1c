// The drawing preview read from a file's tail: small files written into a fresh
// folder, the whole-text search beside it, and files large enough that the preview's
// section header falls across where the first look at the tail begins.

#include "db/database.h"
#include "dxf/previewmaker.h"
#include "dxf/previewreader.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

class TempFolder {
public:
    TempFolder() {
        std::string pattern = (fs::temp_directory_path() / "marvolt-preview-XXXXXX").string();
        if (::mkdtemp(pattern.data())) m_path = pattern;
    }
    ~TempFolder() {
        std::error_code ec;
        if (!m_path.empty()) fs::remove_all(m_path, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    fs::path write(const std::string& name, const std::string& text) const {
        const fs::path p = m_path / name;
        std::ofstream(p, std::ios::binary) << text;
        return p;
    }
    const fs::path& path() const { return m_path; }

private:
    fs::path m_path;
};

const std::string kObjects = "  0\nSECTION\n  2\nOBJECTS\n  0\nDICTIONARY\n  5\nC\n  0\nENDSEC\n";

std::string previewSection(const std::string& groups) {
    return "  0\nSECTION\n  2\nTHUMBNAILIMAGE\n" + groups + "  0\nENDSEC\n";
}

std::string drawing(const std::string& tail) {
    return "  0\nSECTION\n  2\nENTITIES\n  0\nTEXT\n  8\n0\n  1\nTHUMBNAILIMAGE\n  0\nENDSEC\n" + kObjects + tail +
           "  0\nEOF\n";
}

std::string withCrLf(const std::string& text) {
    std::string out;
    for (char c : text) out += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return out;
}

std::string hex(const Bytes& bytes) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (auto b : bytes) out += {digits[b >> 4], digits[b & 15]};
    return out;
}

// 310 groups of at most 127 bytes each, as the writer puts them.
std::string dataGroups(const Bytes& bytes) {
    const std::string digits = hex(bytes);
    std::string out;
    for (std::size_t at = 0; at < digits.size(); at += 254) out += "310\n" + digits.substr(at, 254) + "\n";
    return out;
}

Bytes pattern(std::size_t n) {
    Bytes b(n);
    for (std::size_t i = 0; i < n; ++i) b[i] = static_cast<std::uint8_t>(i * 7 + 3);
    return b;
}

const Bytes kFive{0x28, 0x00, 0xAB, 0xcd, 0xFF};

TEST(DrawingPreviewFile, ReadsTheSectionOrAnswersNone) {
    const Bytes big = pattern(1000);
    const struct {
        const char* name;
        std::string text;
        Bytes want;
    } cases[] = {
        {"present", drawing(previewSection(" 90\n5\n310\n2800ABcdFF\n")), kFive},
        {"over several lines", drawing(previewSection(" 90\n1000\n" + dataGroups(big))), big},
        {"CRLF line ends", withCrLf(drawing(previewSection(" 90\n5\n310\n2800ABcdFF\n"))), kFive},
        {"codes unpadded, values with blanks",
         drawing("0\nSECTION\n2\n THUMBNAILIMAGE \n90\n 5\n310\n2800AB\n310\ncdFF \n0\nENDSEC\n"), kFive},
        {"other groups in the section", drawing(previewSection(" 90\n5\n999\nnote\n310\n2800ABcdFF\n")), kFive},
        {"absent", drawing(""), {}},
        {"no OBJECTS section and none", "  0\nSECTION\n  2\nENTITIES\n  0\nENDSEC\n  0\nEOF\n", {}},
        {"a text that reads THUMBNAILIMAGE", drawing("  0\nSECTION\n  2\nX\n  1\nTHUMBNAILIMAGE\n  0\nENDSEC\n"), {}},
        {"count larger than the data", drawing(previewSection(" 90\n6\n310\n2800ABcdFF\n")), {}},
        {"count smaller than the data", drawing(previewSection(" 90\n4\n310\n2800ABcdFF\n")), {}},
        {"count beyond the file's size", drawing(previewSection(" 90\n4000000000000\n310\n2800ABcdFF\n")), {}},
        {"count zero", drawing(previewSection(" 90\n0\n")), {}},
        {"count negative", drawing(previewSection(" 90\n-5\n310\n2800ABcdFF\n")), {}},
        {"count missing", drawing(previewSection("310\n2800ABcdFF\n")), {}},
        {"odd hexadecimal", drawing(previewSection(" 90\n5\n310\n2800ABcdF\n310\nF\n")), {}},
        {"not hexadecimal", drawing(previewSection(" 90\n5\n310\n2800ABcdFG\n")), {}},
        {"truncated in the section", "  0\nSECTION\n  2\nTHUMBNAILIMAGE\n 90\n5\n310\n2800AB", {}},
        {"truncated before ENDSEC", "  0\nSECTION\n  2\nTHUMBNAILIMAGE\n 90\n5\n310\n2800ABcdFF\n", {}},
        {"binary drawing", std::string("AC1032\0\0\x01\x02THUMBNAILIMAGE\0\xFF", 24), {}},
        {"empty file", "", {}},
    };
    TempFolder folder;
    ASSERT_FALSE(folder.path().empty());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path file = folder.write("drawing.dwg", c.text);
        EXPECT_EQ(hostdxf::readDrawingPreview(file.wstring()), c.want);
        EXPECT_EQ(hostdxf::findDrawingPreview(c.text), c.want);
    }
}

TEST(DrawingPreviewFile, MissingFileOrFolderIsNoPreview) {
    TempFolder folder;
    EXPECT_TRUE(hostdxf::readDrawingPreview((folder.path() / "missing.dwg").wstring()).empty());
    EXPECT_TRUE(hostdxf::readDrawingPreview(folder.path().wstring()).empty());
    EXPECT_TRUE(hostdxf::readDrawingPreview(L"").empty());
}

// A long drawing before the preview, and comment groups of growing length inside the
// section, so that the first look at the tail (a quarter of a megabyte) starts inside
// the section's header lines, on each of their characters in turn.
TEST(DrawingPreviewFile, HeaderAcrossTheFirstLookAtTheTail) {
    const Bytes data = pattern(60000);  // 120,000 hexadecimal digits
    const std::string before = "  0\nSECTION\n  2\nENTITIES\n  0\nENDSEC\n999\n" + std::string(300000, 'x') + "\n";
    TempFolder folder;
    const std::size_t kFirstLook = 256 * 1024;
    const std::string groups = " 90\n60000\n" + dataGroups(data);
    for (std::size_t cut = 0; cut < 40; ++cut) {
        // Everything after the header has kFirstLook - cut bytes.
        const std::size_t fixed = groups.size() + std::string("999\n\n  0\nENDSEC\n  0\nEOF\n").size();
        ASSERT_LT(fixed, kFirstLook - 40);
        const std::string comment = "999\n" + std::string(kFirstLook - cut - fixed, 'c') + "\n";
        const std::string text = before + "  0\nSECTION\n  2\nTHUMBNAILIMAGE\n" + comment + groups + "  0\nENDSEC\n  0\nEOF\n";
        SCOPED_TRACE(cut);
        EXPECT_EQ(hostdxf::readDrawingPreview(folder.write("large.dwg", text).wstring()), data);
    }
}

const Bytes kMade{1, 2, 3};
Bytes makeThree(const AcDbDatabase&) { return kMade; }
Bytes makeNone(const AcDbDatabase&) { return {}; }

// A saved drawing's preview: the maker's when a program handed one over, else the one
// the drawing was read with.
TEST(DrawingPreviewOnSave, MakerOrTheStoredPreview) {
    const struct {
        const char* name;
        hostdxf::DrawingPreviewMaker maker;
        Bytes stored, want;
    } cases[] = {
        {"no maker keeps the stored preview", nullptr, kFive, kFive},
        {"no maker and none stored", nullptr, {}, {}},
        {"the maker's preview", &makeThree, kFive, kMade},
        {"a maker that makes none", &makeNone, kFive, {}},
    };
    TempFolder folder;
    const std::wstring path = (folder.path() / "saved.dwg").wstring();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        AcDbDatabase db;
        db.setThumbnailBitmap(c.stored);
        hostdxf::setDrawingPreviewMaker(c.maker);
        const Acad::ErrorStatus saved = db.saveAs(path.c_str());
        hostdxf::setDrawingPreviewMaker(nullptr);
        ASSERT_EQ(saved, Acad::eOk);
        EXPECT_EQ(hostdxf::readDrawingPreview(path), c.want);
    }
}

}  // namespace
