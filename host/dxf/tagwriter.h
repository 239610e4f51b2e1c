#pragma once

#include "../db/foreigndata.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace hostdxf {

// Writes the groups of an ASCII drawing file (UTF-8) into a string.
class TagWriter {
public:
    void text(int code, std::string_view value);
    void text(int code, std::wstring_view value);
    void real(int code, double value);
    void integer(int code, long long value);
    void handle(int code, std::uint64_t handle);
    void point(int code, double x, double y, double z);
    void point2(int code, double x, double y);
    // Bytes as hexadecimal in groups of at most 127 bytes per line.
    void binary(int code, const std::vector<std::uint8_t>& bytes);
    void items(const hostdb::FilerItems& items);

    const std::string& data() const { return m_out; }
    std::string& data() { return m_out; }

private:
    void code(int code);
    std::string m_out;
};

std::string formatReal(double value);

}  // namespace hostdxf
