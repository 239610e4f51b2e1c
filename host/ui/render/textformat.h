#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace hostui {

// Text as the drawing stores it, turned into what is drawn: the special sequences of
// single-line text (%%d, %%c, %%p, %%u, ...) and the inline formatting codes of
// multi-line text. Nothing of a code that is not drawn is left in the text.

// One stretch of text in one look. Empty optionals keep the entity's own value.
struct FormattedRun {
    std::wstring text;
    std::optional<std::wstring> family;  // \f / \F: a font by name or file
    std::optional<double> height;        // \H absolute, in drawing units
    double heightFactor = 1.0;           // \H...x, relative to height (or the entity's)
    std::optional<int> colorIndex;       // \C
    std::optional<unsigned> rgb;         // \c, 0xRRGGBB
    double widthFactor = 1.0;            // \W
    double oblique = 0.0;                // \Q, radians
    bool bold = false;                   // \f...|b1;
    bool italic = false;                 // \f...|i1;
    bool underline = false;              // \L, %%u
    bool overline = false;               // \O, %%o
    bool operator==(const FormattedRun&) const = default;
};

struct FormattedParagraph {
    std::vector<FormattedRun> runs;
    std::wstring plainText() const;
};

// Multi-line text contents (codes, \P paragraphs, {} groups, \S stacks shown as a/b).
std::vector<FormattedParagraph> parseMText(std::wstring_view contents);
// Single-line text: %% sequences and \U+XXXX; %%u and %%o switch underline and overline.
std::vector<FormattedRun> parseSingleLineText(std::wstring_view text);

// The text as shown, without its look: paragraphs joined by '\n'.
std::wstring plainMText(std::wstring_view contents);
std::wstring plainSingleLineText(std::wstring_view text);

}  // namespace hostui
