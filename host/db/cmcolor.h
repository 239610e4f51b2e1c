#pragma once

#include <cstdint>

// An entity or layer colour: an index of the 256-colour palette (0 by block, 256 by
// layer, 1 to 255), optionally with a true colour that overrides the index on screen.
class AcCmColor {
public:
    static constexpr std::int16_t kByBlock = 0;
    static constexpr std::int16_t kByLayer = 256;

    AcCmColor() = default;
    static AcCmColor fromIndex(std::int16_t index) {
        AcCmColor c;
        c.setColorIndex(index);
        return c;
    }

    std::int16_t colorIndex() const { return m_index; }
    void setColorIndex(std::int16_t index) {
        m_index = index;
        m_hasRgb = false;
    }
    bool isByLayer() const { return m_index == kByLayer; }
    bool isByBlock() const { return m_index == kByBlock; }
    bool hasTrueColor() const { return m_hasRgb; }
    std::uint32_t rgb() const { return m_rgb; }  // 0x00RRGGBB
    void setRGB(std::uint32_t rgb) {
        m_rgb = rgb & 0xFFFFFFu;
        m_hasRgb = true;
    }
    bool operator==(const AcCmColor&) const = default;

private:
    std::int16_t m_index = kByLayer;
    bool m_hasRgb = false;
    std::uint32_t m_rgb = 0;
};
