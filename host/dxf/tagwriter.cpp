#include "tagwriter.h"

#include "../rx/numbertext.h"
#include "../rx/utf8.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace hostdxf {

std::string formatReal(double value) {
    if (!std::isfinite(value)) value = 0.0;  // a drawing file has no spelling for these
    return hostrx::formatNumber(value);
}

void TagWriter::code(int c) {
    char buf[16];
    const int n = std::snprintf(buf, sizeof buf, "%3d\n", c);
    m_out.append(buf, static_cast<std::size_t>(n));
}

void TagWriter::text(int c, std::string_view value) {
    code(c);
    // A line break inside a value would end the group early.
    for (char ch : value) m_out += (ch == '\n' || ch == '\r') ? ' ' : ch;
    m_out += '\n';
}

void TagWriter::text(int c, std::wstring_view value) { text(c, hostrx::wideToUtf8(value)); }

void TagWriter::real(int c, double value) {
    code(c);
    m_out += formatReal(value);
    m_out += '\n';
}

void TagWriter::integer(int c, long long value) {
    code(c);
    m_out += std::to_string(value);
    m_out += '\n';
}

void TagWriter::handle(int c, std::uint64_t h) {
    char buf[24];
    std::snprintf(buf, sizeof buf, "%llX", static_cast<unsigned long long>(h));
    text(c, buf);
}

void TagWriter::point(int c, double x, double y, double z) {
    real(c, x);
    real(c + 10, y);
    real(c + 20, z);
}

void TagWriter::point2(int c, double x, double y) {
    real(c, x);
    real(c + 10, y);
}

void TagWriter::binary(int c, const std::vector<std::uint8_t>& bytes) {
    static const char* hex = "0123456789ABCDEF";
    for (std::size_t i = 0; i < bytes.size(); i += 127) {
        code(c);
        const std::size_t end = std::min(bytes.size(), i + 127);
        for (std::size_t k = i; k < end; ++k) {
            m_out += hex[bytes[k] >> 4];
            m_out += hex[bytes[k] & 15];
        }
        m_out += '\n';
    }
}

void TagWriter::items(const hostdb::FilerItems& items) {
    for (const auto& item : items) text(item.code, item.value);
}

}  // namespace hostdxf
