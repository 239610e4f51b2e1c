// Distances and angles written and read as a CAD user sees and types them.

#include "db/database.h"
#include "ed/unitformat.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <numbers>
#include <string>

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kNoValue = -12345.0;

double rad(double degrees) { return degrees * kPi / 180.0; }

std::wstring distanceText(double value, int unit, int prec) {
    ACHAR buf[64];
    return acdbRToS(value, unit, prec, buf) == RTNORM ? buf : L"<error>";
}

std::wstring angleText(double value, int unit, int prec) {
    ACHAR buf[64];
    return acdbAngToS(value, unit, prec, buf) == RTNORM ? buf : L"<error>";
}

// A working drawing for the test, and none again after it.
class WithWorkingDrawing {
public:
    explicit WithWorkingDrawing(AcDbDatabase& db) { acdbHostApplicationServices()->setWorkingDatabase(&db); }
    ~WithWorkingDrawing() { acdbHostApplicationServices()->setWorkingDatabase(nullptr); }
    WithWorkingDrawing(const WithWorkingDrawing&) = delete;
    WithWorkingDrawing& operator=(const WithWorkingDrawing&) = delete;
};

TEST(DistanceText, WritesEachLinearUnit) {
    const struct {
        double value;
        int unit, prec;
        const wchar_t* text;
    } cases[] = {
        {15.5, 1, 4, L"1.5500E+01"},
        {15.5, 2, 4, L"15.5000"},
        {15.5, 3, 4, L"1'-3.5000\""},
        {15.5, 4, 4, L"1'-3 1/2\""},
        {15.5, 5, 4, L"15 1/2"},
        {1.0, 2, 4, L"1.0000"},
        {1234.5, 1, 2, L"1.23E+03"},
        {0.00015, 1, 1, L"1.5E-04"},
        {0.0, 1, 2, L"0.00E+00"},
        {0.5, 2, 0, L"1"},
        {0.125, 2, 2, L"0.13"},  // a tie goes away from zero
        {0.99999, 2, 2, L"1.00"},
        {3.0, 3, 2, L"0'-3.00\""},
        {36.0, 3, 0, L"3'-0\""},
        {11.9999, 3, 2, L"1'-0.00\""},
        {3.0, 4, 4, L"0'-3\""},
        {11.999, 4, 4, L"1'-0\""},
        {0.5, 4, 3, L"0'-0 1/2\""},
        {12.0 + 3.0 / 16.0, 4, 4, L"1'-0 3/16\""},
        {15.5, 4, 0, L"1'-4\""},
        {0.5, 5, 3, L"1/2"},
        {0.375, 5, 2, L"1/2"},
        {16.0, 5, 2, L"16"},
        {0.3, 5, 0, L"0"},
        {0.999, 5, 3, L"1"},
        {1e20, 2, 2, L"100000000000000000000.00"},
        {-2.0, 2, 0, L"-2"},
        {-15.5, 4, 1, L"-1'-3 1/2\""},
        {-15.5, 3, 1, L"-1'-3.5\""},
        {-1.5, 5, 1, L"-1 1/2"},
        {-0.25, 5, 2, L"-1/4"},
        {-1550.0, 1, 2, L"-1.55E+03"},
        {-0.0, 2, 2, L"0.00"},
        {-0.001, 2, 2, L"0.00"},
        {-0.01, 5, 2, L"0"},
        {-0.001, 4, 2, L"0'-0\""},
        {-0.0, 1, 1, L"0.0E+00"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.value << " unit " << c.unit << " prec " << c.prec);
        EXPECT_EQ(distanceText(c.value, c.unit, c.prec), c.text);
    }
}

TEST(DistanceText, RefusesWhatItCannotWrite) {
    const struct {
        const char* name;
        double value;
        int unit, prec;
    } cases[] = {
        {"unit 0", 1.0, 0, 2},          {"unit 6", 1.0, 6, 2},        {"precision 9", 1.0, 2, 9},
        {"precision -2", 1.0, 2, -2},   {"nan", std::nan(""), 2, 2},  {"infinity", HUGE_VAL, 1, 2},
        {"huge feet", 1e20, 4, 2},      {"huge fraction", 1e20, 5, 2}, {"huge engineering", -1e20, 3, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ACHAR buf[64] = L"kept?";
        EXPECT_EQ(acdbRToS(c.value, c.unit, c.prec, buf), RTERROR);
        EXPECT_STREQ(buf, L"");
    }
    EXPECT_EQ(acdbRToS(1.0, 2, 2, nullptr, 10), RTERROR);
}

TEST(DistanceText, TextMustFitWithItsTerminator) {
    ACHAR buf[16];
    EXPECT_EQ(acdbRToS(1.0, 2, 4, buf, 6), RTERROR) << "\"1.0000\" needs 7";
    EXPECT_STREQ(buf, L"");
    EXPECT_EQ(acdbRToS(1.0, 2, 4, buf, 7), RTNORM);
    EXPECT_STREQ(buf, L"1.0000");
    EXPECT_EQ(acdbAngToS(kPi / 4, 3, 4, buf, 7), RTERROR) << "\"0.7854r\" needs 8";
    EXPECT_EQ(acdbAngToS(kPi / 4, 3, 4, buf, 8), RTNORM);
    EXPECT_EQ(acdbRToS(1.0, 2, 4, buf, 0), RTERROR);
}

TEST(AngleText, WritesEachAngularUnit) {
    const double dms = rad(45.0 + 30.0 / 60.0 + 15.0 / 3600.0);
    const struct {
        double value;
        int unit, prec;
        const wchar_t* text;
    } cases[] = {
        {0.0, 0, 0, L"0"},
        {kPi / 4, 0, 2, L"45.00"},
        {rad(12.345), 0, 1, L"12.3"},
        {dms, 1, 0, L"46d"},
        {dms, 1, 1, L"45d30'"},
        {dms, 1, 2, L"45d30'"},
        {dms, 1, 3, L"45d30'15\""},
        {dms, 1, 4, L"45d30'15\""},
        {dms, 1, 6, L"45d30'15.00\""},
        {rad(45.0 + 5.0 / 3600.0), 1, 4, L"45d0'5\""},
        {rad(29.0 + 59.0 / 60.0 + 59.9 / 3600.0), 1, 3, L"30d0'0\""},
        {kPi / 4, 2, 1, L"50.0g"},
        {kPi / 4, 3, 4, L"0.7854r"},
        {0.0, 3, 2, L"0.00r"},
        {0.0, 4, 0, L"E"},
        {kPi / 2, 4, 0, L"N"},
        {kPi, 4, 2, L"W"},
        {3 * kPi / 2, 4, 4, L"S"},
        {kPi / 4, 4, 0, L"N45dE"},
        {rad(60.5), 4, 2, L"N29d30'E"},
        {rad(120.0), 4, 2, L"N30d0'W"},
        {rad(200.0), 4, 0, L"S70dW"},
        {rad(300.0), 4, 4, L"S30d0'0\"E"},
        {rad(89.9999), 4, 0, L"N"},
        {rad(359.9999), 4, 0, L"E"},
        // Shown in [0, 2π), as the drawing shows angles.
        {-kPi / 2, 0, 0, L"270"},
        {5 * kPi / 2, 0, 0, L"90"},
        {2 * kPi, 0, 0, L"0"},
        {-0.0, 0, 2, L"0.00"},
        {rad(359.9999), 0, 2, L"0.00"},
        {rad(359.99999), 2, 2, L"0.00g"},
        {rad(-0.5), 1, 2, L"359d30'"},
        {-kPi / 4, 3, 4, L"5.4978r"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.value << " unit " << c.unit << " prec " << c.prec);
        EXPECT_EQ(angleText(c.value, c.unit, c.prec), c.text);
    }
}

TEST(AngleText, RefusesWhatItCannotWrite) {
    const struct {
        const char* name;
        double value;
        int unit, prec;
    } cases[] = {
        {"unit 5", 1.0, 5, 2},  {"unit -2", 1.0, -2, 2},         {"precision 9", 1.0, 0, 9},
        {"precision -3", 1.0, 0, -3}, {"nan", std::nan(""), 0, 2}, {"infinity", -HUGE_VAL, 3, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ACHAR buf[64] = L"kept?";
        EXPECT_EQ(acdbAngToS(c.value, c.unit, c.prec, buf), RTERROR);
        EXPECT_STREQ(buf, L"");
    }
}

TEST(UnitText, MinusOneTakesTheWorkingDrawingsUnits) {
    EXPECT_EQ(distanceText(1.0, -1, -1), L"1.0000") << "the host's defaults without a drawing";
    EXPECT_EQ(angleText(0.0, -1, -1), L"0");
    AcDbDatabase db;
    db.setLunits(4);
    db.setLuprec(2);
    db.setAunits(1);
    db.setAuprec(4);
    WithWorkingDrawing working(db);
    EXPECT_EQ(distanceText(15.5, -1, -1), L"1'-3 1/2\"");
    EXPECT_EQ(distanceText(15.5, 2, -1), L"15.50");
    EXPECT_EQ(distanceText(15.5, -1, 0), L"1'-4\"");
    EXPECT_EQ(angleText(kPi / 4, -1, -1), L"45d0'0\"");
    EXPECT_EQ(angleText(kPi / 4, 0, -1), L"45.0000");
    double v = kNoValue;
    EXPECT_EQ(acdbDisToF(L"1'3\"", -1, &v), RTNORM) << "feet and inches in architectural units";
    EXPECT_EQ(v, 15.0);
    EXPECT_EQ(acdbAngToF(L"90", -1, &v), RTNORM);
    EXPECT_DOUBLE_EQ(v, kPi / 2);
}

TEST(UnitText, MinusOneFollowsGradsAndRadians) {
    AcDbDatabase db;
    WithWorkingDrawing working(db);
    double v = kNoValue;
    db.setAunits(2);
    EXPECT_EQ(acdbAngToF(L"100", -1, &v), RTNORM);
    EXPECT_DOUBLE_EQ(v, kPi / 2);
    db.setAunits(3);
    EXPECT_EQ(acdbAngToF(L"1.5", -1, &v), RTNORM);
    EXPECT_EQ(v, 1.5);
    db.setLunits(2);
    EXPECT_EQ(acdbDisToF(L"1'", -1, &v), RTERROR) << "no feet in decimal units";
}

struct ReadCase {
    const wchar_t* text;
    int unit;
    bool ok;
    double value;
};

void expectReads(int (*read)(const ACHAR*, int, double*), const ReadCase& c) {
    double v = kNoValue;
    EXPECT_EQ(read(c.text, c.unit, &v), c.ok ? RTNORM : RTERROR);
    if (c.ok) EXPECT_NEAR(v, c.value, 1e-12);
    else EXPECT_EQ(v, kNoValue) << "a refused text leaves the value alone";
}

TEST(DistanceReading, ReadsWhatUsersType) {
    const ReadCase cases[] = {
        {L"0", 2, true, 0.0},
        {L"-2", 2, true, -2.0},
        {L"1.5", 2, true, 1.5},
        {L" \t1.5  ", 2, true, 1.5},
        {L"+3", 2, true, 3.0},
        {L".5", 2, true, 0.5},
        {L"1.5E+01", 2, true, 15.0},
        {L"1.5e-1", 1, true, 0.15},
        {L"3/4", 2, true, 0.75},
        {L"1-1/2", 2, true, 1.5},
        {L"1 1/2", 5, true, 1.5},
        {L"-1 1/2", 5, true, -1.5},
        {L"- 3/4", 5, true, -0.75},
        {L"1'3.5\"", 3, true, 15.5},
        {L"1'-3 1/2\"", 4, true, 15.5},
        {L"1' 3", 4, true, 15.0},
        {L"1'", 4, true, 12.0},
        {L"3\"", 4, true, 3.0},
        {L"1/2\"", 4, true, 0.5},
        {L"1.5'", 3, true, 18.0},
        {L"-1'-3\"", 4, true, -15.0},
        {L"15", 4, true, 15.0},
        {L"1 1/2'", 4, true, 18.0},
        {L"1'3\"", 2, false, 0},
        {L"3\"", 5, false, 0},
        {L"", 2, false, 0},
        {L"   ", 2, false, 0},
        {L"abc", 2, false, 0},
        {L"1,5", 2, false, 0},
        {L"1.5x", 2, false, 0},
        {L"--1", 2, false, 0},
        {L"-+1", 2, false, 0},
        {L"3/0", 2, false, 0},
        {L"1/", 2, false, 0},
        {L"/2", 2, false, 0},
        {L"1.5/2", 2, false, 0},
        {L"1 2", 2, false, 0},
        {L"inf", 2, false, 0},
        {L"nan", 2, false, 0},
        {L"1e400", 2, false, 0},
        {L"1'-", 4, false, 0},
        {L"1'3\"x", 4, false, 0},
        {L"'3", 4, false, 0},
        {L"1'2'", 4, false, 0},
        {L"1", 0, false, 0},
        {L"1", 6, false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "\"" << testing::PrintToString(std::wstring(c.text)) << "\" unit "
                                        << c.unit);
        expectReads(acdbDisToF, c);
    }
    double v = kNoValue;
    EXPECT_EQ(acdbDisToF(nullptr, 2, &v), RTERROR);
    EXPECT_EQ(acdbDisToF(L"1", 2, nullptr), RTERROR);
}

TEST(AngleReading, ReadsWhatUsersType) {
    const ReadCase cases[] = {
        {L"450", 0, true, rad(450.0)},
        {L"-90", 0, true, -kPi / 2},
        {L" 45 ", 1, true, kPi / 4},
        {L"50", 2, true, kPi / 4},
        {L"0.5", 3, true, 0.5},
        {L"45", 4, true, kPi / 4},
        {L"4.5E+01", 0, true, kPi / 4},
        {L"45d30'15\"", 0, true, rad(45.0 + 30.0 / 60.0 + 15.0 / 3600.0)},
        {L"45d30'15.5\"", 3, true, rad(45.0 + 30.0 / 60.0 + 15.5 / 3600.0)},
        {L"45d30'", 2, true, rad(45.5)},
        {L"45d15\"", 0, true, rad(45.0 + 15.0 / 3600.0)},
        {L"45D", 3, true, kPi / 4},
        {L"45\u00B0", 0, true, kPi / 4},
        {L"-45d30'", 0, true, -rad(45.5)},
        {L"50g", 0, true, kPi / 4},
        {L"50G", 3, true, kPi / 4},
        {L"0.5r", 0, true, 0.5},
        {L"-1R", 2, true, -1.0},
        {L"N45dE", 0, true, kPi / 4},
        {L"n45de", 3, true, kPi / 4},
        {L"N 30d0' W", 0, true, rad(120.0)},
        {L"S70W", 2, true, rad(200.0)},
        {L"S30d0'0\"E", 0, true, rad(300.0)},
        {L"S0E", 0, true, rad(270.0)},
        {L"N90E", 0, true, 0.0},
        {L"N0E", 0, true, kPi / 2},
        {L"N90W", 0, true, kPi},
        {L"S90E", 0, true, 0.0},
        {L"N", 0, true, kPi / 2},
        {L"E", 3, true, 0.0},
        {L"w", 0, true, kPi},
        {L"S", 0, true, 3 * kPi / 2},
        {L"N91E", 0, false, 0},
        {L"NE", 0, false, 0},
        {L"N45dX", 0, false, 0},
        {L"-N45dE", 0, false, 0},
        {L"45x", 0, false, 0},
        {L"45d30", 0, false, 0},
        {L"45'", 0, false, 0},
        {L"d", 0, false, 0},
        {L"g", 0, false, 0},
        {L"45gr", 0, false, 0},
        {L"", 0, false, 0},
        {L"1,5", 0, false, 0},
        {L"X", 0, false, 0},
        {L"1", 5, false, 0},
        {L"1", -2, false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << testing::PrintToString(std::wstring(c.text)) << " unit " << c.unit);
        expectReads(acdbAngToF, c);
    }
}

// Half the last place shown, in the value's own unit (a hair more for rounding).
double linearStep(double value, int unit, int prec) {
    if (unit == 4 || unit == 5) return 0.5 / std::ldexp(1.0, prec) + 1e-12;
    const double exponent = unit == 1 && value != 0.0 ? std::floor(std::log10(std::fabs(value))) : 0.0;
    return 0.5 * std::pow(10.0, exponent - prec) * (1 + 1e-9) + 1e-12;
}

TEST(UnitText, DistancesReadBackWithinTheirPrecision) {
    const double values[] = {0.0, 0.3, 1.0, 15.5, 123.456, -7.25, 1000.1, 0.0625};
    for (int unit = 1; unit <= 5; ++unit)
        for (int prec = 0; prec <= 8; ++prec)
            for (double x : values) {
                const std::wstring text = distanceText(x, unit, prec);
                SCOPED_TRACE(testing::PrintToString(text));
                double back = kNoValue;
                ASSERT_EQ(acdbDisToF(text.c_str(), unit, &back), RTNORM);
                EXPECT_NEAR(back, x, linearStep(x, unit, prec));
            }
}

// The smallest step a degrees/minutes/seconds text shows, in degrees.
double dmsStep(int prec) {
    if (prec == 0) return 1.0;
    if (prec <= 2) return 1.0 / 60;
    return 1.0 / 3600 / std::pow(10.0, std::max(0, prec - 4));
}

double angularStepDegrees(int unit, int prec) {
    const double tick = unit == 1 || unit == 4 ? dmsStep(prec) : std::pow(10.0, -prec);
    const double degreesPerUnit = unit == 2 ? 0.9 : unit == 3 ? 180.0 / kPi : 1.0;
    return 0.5 * tick * degreesPerUnit + 1e-10;
}

TEST(UnitText, AnglesReadBackWithinTheirPrecision) {
    const double values[] = {0.0, 0.3, kPi / 4, 2.0, kPi, 4.0, 6.2};
    for (int unit = 0; unit <= 4; ++unit)
        for (int prec = 0; prec <= 8; ++prec)
            for (double x : values) {
                const std::wstring text = angleText(x, unit, prec);
                SCOPED_TRACE(testing::PrintToString(text));
                double back = kNoValue;
                ASSERT_EQ(acdbAngToF(text.c_str(), unit, &back), RTNORM);
                EXPECT_NEAR(back, x, rad(angularStepDegrees(unit, prec)));
            }
}

TEST(UnitText, IgnoresACommaDecimalLocale) {
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) GTEST_SKIP() << "the de_DE.UTF-8 locale is not installed";
    EXPECT_EQ(distanceText(1.5, 2, 2), L"1.50");
    EXPECT_EQ(distanceText(1234.5, 1, 2), L"1.23E+03");
    EXPECT_EQ(distanceText(1e20, 2, 1), L"100000000000000000000.0");
    EXPECT_EQ(angleText(kPi / 4, 3, 4), L"0.7854r");
    double v = kNoValue;
    EXPECT_EQ(acdbDisToF(L"1.5", 2, &v), RTNORM);
    EXPECT_EQ(v, 1.5);
    EXPECT_EQ(acdbDisToF(L"1,5", 2, &v), RTERROR);
    EXPECT_EQ(acdbAngToF(L"0.5r", 0, &v), RTNORM);
    EXPECT_EQ(v, 0.5);
    std::setlocale(LC_ALL, saved.c_str());
}

}  // namespace
