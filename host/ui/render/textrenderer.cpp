// Single-line text, attributes and multi-line text as text runs.

#include "db/database.h"
#include "db/mtext.h"
#include "db/text.h"
#include "db/textstyletable.h"
#include "ui/render/renderercontext.h"
#include "ui/render/textformat.h"
#include "ui/render/textmetrics.h"

#include <cmath>
#include <numbers>

namespace hostui::render {

namespace {

struct StyleLook {
    QString family;
    double widthFactor = 1.0;
    double oblique = 0.0;
    double height = 0.0;
};

StyleLook styleLook(AcDbObjectId styleId) {
    StyleLook look{QStringLiteral("DejaVu Sans")};
    ReadAccess access(styleId);
    if (const auto* style = AcDbTextStyleTableRecord::cast(access.get())) {
        look.family = familyForFontFile(QString::fromStdWString(style->fileName()));
        look.widthFactor = style->xScale() > 0 ? style->xScale() : 1.0;
        look.oblique = style->obliquingAngle();
        look.height = style->textSize();
    }
    return look;
}

// A frame in the text's plane carried into world XY: where the text starts, which way
// its baseline runs and how lengths along and across it scale.
struct PlacedFrame {
    QPointF origin;
    QPointF along;  // world offset of one unit along the baseline
    QPointF up;     // world offset of one unit up the glyphs
    double rotation() const { return std::atan2(along.y(), along.x()); }
    double alongScale() const { return std::hypot(along.x(), along.y()); }
    double upScale() const { return std::hypot(up.x(), up.y()); }
    bool mirrored() const { return along.x() * up.y() - along.y() * up.x() < 0; }
    QPointF at(double x, double y) const { return origin + along * x + up * y; }
};

PlacedFrame placeFrame(const RenderContext& rc, const Placement& at, const AcGePoint3d& origin,
                       const AcGeVector3d& direction, const AcGeVector3d& upDirection) {
    const QPointF o = rc.map(at, origin);
    return {o, rc.map(at, origin + direction) - o, rc.map(at, origin + upDirection) - o};
}

TextRun::VAlign verticalOf(AcDb::TextVertMode mode) {
    switch (mode) {
        case AcDb::kTextBottom: return TextRun::VAlign::Bottom;
        case AcDb::kTextVertMid: return TextRun::VAlign::Middle;
        case AcDb::kTextTop: return TextRun::VAlign::Top;
        default: return TextRun::VAlign::Baseline;
    }
}

}  // namespace

void RenderContext::drawText(const AcDbText& t, const Placement& at, QRgb color, const wchar_t* shown) {
    const std::vector<FormattedRun> runs = parseSingleLineText(shown ? std::wstring(shown) : t.displayText());
    std::wstring plain;
    for (const auto& r : runs) plain += r.text;
    m_texts.push_back(plain);
    if (plain.empty()) return;

    const StyleLook style = styleLook(t.textStyle());
    double height = t.height() > 0 ? t.height() : (style.height > 0 ? style.height : (m_db ? m_db->textsize() : 2.5));
    double widthFactor = t.widthFactor() > 0 ? t.widthFactor() : 1.0;
    const auto frame = AcGePlaneFrame::fromNormal(t.normal());
    double rotation = t.rotation();
    AcGePoint3d anchor = t.position();
    TextRun::HAlign h = TextRun::HAlign::Left;
    TextRun::VAlign v = verticalOf(t.verticalMode());

    const QString qplain = QString::fromStdWString(plain);
    const double natural = textAdvance(style.family, qplain) * height * widthFactor;
    switch (t.horizontalMode()) {
        case AcDb::kTextCenter: h = TextRun::HAlign::Center; anchor = t.alignmentPoint(); break;
        case AcDb::kTextRight: h = TextRun::HAlign::Right; anchor = t.alignmentPoint(); break;
        case AcDb::kTextMid:
            h = TextRun::HAlign::Center;
            v = TextRun::VAlign::Middle;
            anchor = t.alignmentPoint();
            break;
        case AcDb::kTextAlign:
        case AcDb::kTextFit: {
            // The text fills the baseline from the position to the alignment point:
            // aligned text by its height, fitted text by its width.
            const AcGeVector3d span = t.alignmentPoint() - t.position();
            const double length = span.length();
            if (length > 0 && natural > 0) {
                rotation = frame.angleOf(span);
                if (t.horizontalMode() == AcDb::kTextAlign) height *= length / natural;
                else widthFactor *= length / natural;
            }
            v = TextRun::VAlign::Baseline;
            break;
        }
        default:
            if (!t.isDefaultAlignment()) anchor = t.alignmentPoint();
            break;
    }

    const PlacedFrame placed = placeFrame(*this, at, anchor, frame.direction(rotation),
                                          frame.direction(rotation + std::numbers::pi / 2));
    const double up = placed.upScale();
    const double stretch = up > 0 ? placed.alongScale() / up : 1.0;
    TextRun run;
    run.family = style.family;
    run.height = height * up;
    run.widthFactor = widthFactor * stretch;
    run.rotation = placed.rotation();
    run.oblique = t.oblique();
    run.vAlign = v;
    run.mirrored = placed.mirrored() != t.isMirroredInX();
    run.color = color;
    if (runs.size() == 1) {
        run.text = qplain;
        run.anchor = placed.origin;
        run.hAlign = h;
        run.underline = runs[0].underline;
        m_sink.text(run);
        return;
    }
    // Several looks (%%u switched underlining): laid out one after another from the
    // start that the alignment gives the whole line.
    const double shift = h == TextRun::HAlign::Left ? 0.0 : (h == TextRun::HAlign::Center ? natural / 2 : natural);
    double x = -shift;
    for (const auto& r : runs) {
        run.text = QString::fromStdWString(r.text);
        run.anchor = placed.at(x, 0);
        run.hAlign = TextRun::HAlign::Left;
        run.underline = r.underline;
        m_sink.text(run);
        x += textAdvance(style.family, run.text) * height * widthFactor * (placed.mirrored() ? -1 : 1);
    }
}

namespace {

// One run placed on a line of an MText, in the text's own units.
struct PlacedRun {
    QString text;
    QString family;
    double x = 0;
    double height = 0;
    double widthFactor = 1;
    double oblique = 0;
    bool underline = false;
    bool bold = false;
    bool italic = false;
    std::optional<int> colorIndex;
    std::optional<unsigned> rgb;
};

struct Line {
    std::vector<PlacedRun> runs;
    double width = 0;
    double height = 0;  // the tallest run's
};

}  // namespace

void RenderContext::drawMText(const AcDbMText& t, const Placement& at, QRgb color) {
    const std::vector<FormattedParagraph> paragraphs = parseMText(t.displayText());
    std::wstring plain;
    for (std::size_t i = 0; i < paragraphs.size(); ++i) {
        if (i) plain += L'\n';
        plain += paragraphs[i].plainText();
    }
    m_texts.push_back(plain);

    const StyleLook style = styleLook(t.textStyle());
    const double baseHeight = t.textHeight() > 0 ? t.textHeight() : 2.5;
    const double wrapWidth = t.width();

    std::vector<Line> lines;
    for (const auto& paragraph : paragraphs) {
        lines.emplace_back();
        for (const auto& r : paragraph.runs) {
            PlacedRun look;
            look.family = r.family ? familyForFontFile(QString::fromStdWString(*r.family)) : style.family;
            look.height = (r.height ? *r.height : baseHeight) * r.heightFactor;
            look.widthFactor = style.widthFactor * r.widthFactor;
            look.oblique = style.oblique + r.oblique;
            look.underline = r.underline;
            look.bold = r.bold;
            look.italic = r.italic;
            look.colorIndex = r.colorIndex;
            look.rgb = r.rgb;
            // Words go one by one so that a line breaks where the width runs out.
            const QString text = QString::fromStdWString(r.text);
            qsizetype from = 0;
            while (from < text.size()) {
                qsizetype end = text.indexOf(QLatin1Char(' '), from);
                end = end < 0 ? text.size() : end + 1;
                const QString word = text.mid(from, end - from);
                const double advance = textAdvance(look.family, word) * look.height * look.widthFactor;
                Line* line = &lines.back();
                if (wrapWidth > 0 && line->width > 0 && line->width + advance > wrapWidth * 1.001 &&
                    word.trimmed().size() > 0) {
                    lines.emplace_back();
                    line = &lines.back();
                }
                if (!line->runs.empty() && line->runs.back().family == look.family &&
                    line->runs.back().height == look.height && line->runs.back().underline == look.underline &&
                    line->runs.back().bold == look.bold && line->runs.back().italic == look.italic &&
                    line->runs.back().colorIndex == look.colorIndex && line->runs.back().rgb == look.rgb &&
                    line->runs.back().widthFactor == look.widthFactor && line->runs.back().oblique == look.oblique) {
                    line->runs.back().text += word;
                } else {
                    PlacedRun placed = look;
                    placed.text = word;
                    placed.x = line->width;
                    line->runs.push_back(placed);
                }
                line->width += advance;
                line->height = std::max(line->height, look.height);
                from = end;
            }
        }
    }
    if (lines.empty()) return;

    const double spacing = 5.0 / 3.0 * t.lineSpacingFactor();
    const int attachment = static_cast<int>(t.attachment()) - 1;
    const int column = attachment % 3, row = attachment / 3;
    double total = 0;  // from the top of the first line to the baseline of the last
    std::vector<double> baselines;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const double h = lines[i].height > 0 ? lines[i].height : baseHeight;
        total += i == 0 ? h : h * spacing;
        baselines.push_back(-total);
    }
    const double lift = row == 0 ? 0.0 : (row == 1 ? total / 2 : total);

    const AcGeVector3d direction = t.direction().isZeroLength() ? AcGeVector3d::kXAxis : t.direction().normal();
    const AcGeVector3d up = t.normal().crossProduct(direction).normal();
    const PlacedFrame placed = placeFrame(*this, at, t.location(), direction, up);
    const double upScale = placed.upScale();
    const double stretch = upScale > 0 ? placed.alongScale() / upScale : 1.0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        Line& line = lines[i];
        while (!line.runs.empty() && line.runs.back().text.endsWith(QLatin1Char(' '))) {
            PlacedRun& last = line.runs.back();
            last.text.chop(1);
            line.width = last.x + textAdvance(last.family, last.text) * last.height * last.widthFactor;
            if (last.text.isEmpty()) line.runs.pop_back();
        }
        const double start = column == 0 ? 0.0 : (column == 1 ? -line.width / 2 : -line.width);
        for (const auto& r : line.runs) {
            TextRun run;
            run.text = r.text;
            run.family = r.family;
            run.anchor = placed.at(start + r.x, baselines[i] + lift);
            run.height = r.height * upScale;
            run.widthFactor = r.widthFactor * stretch;
            run.rotation = placed.rotation();
            run.oblique = r.oblique;
            run.underline = r.underline;
            run.bold = r.bold;
            run.italic = r.italic;
            run.mirrored = placed.mirrored();
            if (r.rgb) run.color = 0xFF000000u | *r.rgb;
            else if (r.colorIndex && *r.colorIndex == 0) run.color = at.byBlock;
            else if (r.colorIndex && *r.colorIndex > 0 && *r.colorIndex < 256) run.color = aci(*r.colorIndex);
            else run.color = color;
            m_sink.text(run);
        }
    }
}

}  // namespace hostui::render
