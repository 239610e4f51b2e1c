#pragma once

#include "textcodec.h"

#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>
#include <cstdint>

namespace hostdxf {

class FileBytes;

// One group of a drawing file: a code and its value, decoded to UTF-8. A number's value
// comes parsed as well (real for real codes, integer for integer codes), so that it is
// parsed once.
struct Tag {
    int code = 0;
    std::string_view value;
    double real = 0.0;
    long long integer = 0;
};

enum class ValueKind { Text, Real, Integer, Handle, Binary };
// The kind of value a group code carries, as the drawing format assigns code ranges.
ValueKind valueKind(int code);

// Reads the groups of an ASCII drawing file from memory, one at a time. Values are
// views into the buffer or into the reader's own storage for decoded text; they stay
// valid until clearStorage() is called.
class TagReader {
public:
    // firstLine numbers the first line of data, for a reader of part of a file.
    explicit TagReader(std::string_view data, std::size_t firstLine = 1);

    // False at the end of the data or at a malformed group (error() tells which).
    bool next(Tag& tag);
    // Makes the next call of next() return this tag again.
    void pushBack(const Tag& tag);
    // Line number (from 1) of the last group's code line.
    std::size_t line() const { return m_tagLine; }
    // Offset in the data of the last group's code line.
    std::size_t offset() const { return m_tagOffset; }
    const std::string& error() const { return m_error; }
    bool atEnd() const { return m_pos >= m_data.size() && !m_pushed; }
    // The data not yet read (a pushed-back group aside).
    std::string_view rest() const { return m_data.substr(m_pos); }

    // Text after this call is decoded from the code page (older files).
    void setCodePage(std::string_view dwgCodePage, bool decodeEscapes);
    // Whether any text was not valid in its encoding (it was replaced).
    bool hadInvalidText() const { return m_invalidText; }
    void clearStorage() { m_storage.clear(); }

    // The data is all of these bytes: what has been read of them is handed back to the
    // system as the reader goes on (FileBytes::release), a good way behind it, so that a
    // record being read is not given back under the reader's feet. Values read before
    // stay valid all the same.
    void releaseBehind(const FileBytes& bytes);

private:
    bool readLine(std::string_view& line);
    bool quickCodeLine(int& code);
    std::string_view decodeText(std::string_view raw);

    std::string_view m_data;
    std::size_t m_pos = 0;
    std::size_t m_line = 0;
    std::size_t m_tagLine = 0;
    std::size_t m_tagOffset = 0;
    std::string m_error;
    struct Pushed {
        Tag tag;
        std::size_t line, offset;
    };
    std::optional<Pushed> m_pushed;
    std::unique_ptr<CodePageDecoder> m_decoder;
    bool m_decodeEscapes = false;
    bool m_invalidText = false;
    std::deque<std::string> m_storage;
    const FileBytes* m_releasing = nullptr;
    std::size_t m_released = 0;
    std::size_t m_nextRelease = static_cast<std::size_t>(-1);
    void releaseRead();
};

bool parseReal(std::string_view text, double& value);
bool parseInteger(std::string_view text, long long& value);
// Appends the bytes of a binary group's hexadecimal text; false (and nothing appended
// for the bad pair onwards) at a character that is not a hexadecimal digit.
bool appendHexBytes(std::string_view hex, std::vector<std::uint8_t>& bytes);

}  // namespace hostdxf
