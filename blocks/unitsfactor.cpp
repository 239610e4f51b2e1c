#include "blocks/unitsfactor.h"

#include <array>

namespace {

constexpr int kLastUnit = AcDb::kUnitsParsecs;

// Target units in one source unit for the sources inches to metres; columns are the
// targets inches (1) to parsecs (20). Ratios of the units' lengths in metres, kept as
// the decimal constants drawings have always been scaled with: micro-inches from
// miles and the metric units are 1, and from inches a hair over a million.
constexpr std::array<std::array<double, kLastUnit>, 6> kFromInchesToMetres = {{
    // from inches
    {1, 0.0833333333, 1.57828282828e-05, 25.4, 2.54,
     0.0254, 2.54e-05, 1000000.00101, 1000, 0.0277777777778,
     254000000, 25400000, 25400, 0.254, 0.00254,
     0.000254, 2.54e-11, 1.69786096257e-13, 2.68483946278e-18, 8.23144152439e-19},
    // from feet
    {12, 1, 0.000189393939394, 304.8, 30.48,
     0.3048, 0.0003048, 12000000, 12000, 0.333333333,
     3048000000, 304800000, 304800, 3.048, 0.03048,
     0.003048, 3.048e-10, 2.03743315508e-12, 3.22180735534e-17, 9.87772982927e-18},
    // from miles
    {63360, 5280, 1, 1609344, 160934.4,
     1609.344, 1.609344, 1, 63360000, 1760,
     1.609344e+13, 1.609344e+12, 1609344000, 16093.44, 160.9344,
     16.09344, 1.609344e-06, 1.07576470588e-08, 1.70111428362e-13, 5.21544134985e-14},
    // from millimetres
    {0.0393700787402, 0.00328083989501, 6.21371192237e-07, 1, 0.1,
     0.001, 1e-06, 1, 39.3700787402, 0.00109361329834,
     10000000, 1000000, 1000, 0.01, 0.0001,
     1e-05, 1e-12, 6.68449197861e-15, 1.05702341054e-19, 3.2407250096e-20},
    // from centimetres
    {0.393700787402, 0.0328083989501, 6.21371192237e-06, 10, 1,
     0.01, 1e-05, 1, 393.700787402, 0.0109361329834,
     100000000, 10000000, 10000, 0.1, 0.001,
     0.0001, 1e-11, 6.68449197861e-14, 1.05702341055e-18, 3.2407250096e-19},
    // from metres
    {39.3700787402, 3.28083989501, 0.000621371192237, 1000, 100,
     1, 0.001, 1, 39370.0787402, 1.09361329834,
     10000000000, 1000000000, 1000000, 10, 0.1,
     0.01, 1e-09, 6.68449197861e-12, 1.05702341055e-16, 3.2407250096e-17},
}};

// From kilometres only inches, feet and miles have entries.
double fromKilometres(int target) {
    switch (target) {
        case AcDb::kUnitsInches: return 39370.1;
        case AcDb::kUnitsFeet: return 3280.84;
        case AcDb::kUnitsMiles: return 0.621371;
        default: return 1.0;
    }
}

}  // namespace

double insertUnitsFactor(AcDb::UnitsValue target, AcDb::UnitsValue source) {
    const int s = source, t = target;
    if (s <= 0 || s > kLastUnit || t <= 0 || t > kLastUnit || s == t) return 1.0;
    if (s <= AcDb::kUnitsMeters) return kFromInchesToMetres[static_cast<std::size_t>(s - 1)][static_cast<std::size_t>(t - 1)];
    if (s == AcDb::kUnitsKilometers) return fromKilometres(t);
    return 1.0;
}
