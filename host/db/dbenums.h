#pragma once

namespace AcDb {
enum OpenMode { kForRead = 0, kForWrite = 1, kForNotify = 2 };

enum UnitsValue {
    kUnitsUndefined = 0, kUnitsInches, kUnitsFeet, kUnitsMiles, kUnitsMillimeters, kUnitsCentimeters,
    kUnitsMeters, kUnitsKilometers, kUnitsMicroinches, kUnitsMils, kUnitsYards, kUnitsAngstroms,
    kUnitsNanometers, kUnitsMicrons, kUnitsDecimeters, kUnitsDekameters, kUnitsHectometers,
    kUnitsGigameters, kUnitsAstronomical, kUnitsLightYears, kUnitsParsecs, kUnitsMax = kUnitsParsecs
};

enum LineWeight : short { kLnWtByLayer = -1, kLnWtByBlock = -2, kLnWtByLwDefault = -3, kLnWt000 = 0 };

enum TextHorzMode { kTextLeft = 0, kTextCenter = 1, kTextRight = 2, kTextAlign = 3, kTextMid = 4, kTextFit = 5 };
enum TextVertMode { kTextBase = 0, kTextBottom = 1, kTextVertMid = 2, kTextTop = 3 };

enum Visibility { kVisible = 0, kInvisible = 1 };
}  // namespace AcDb

// Sharing modes of readDwgFile, as the platform numbers them.
constexpr int _SH_DENYRW = 0x10;
constexpr int _SH_DENYWR = 0x20;
constexpr int _SH_DENYRD = 0x30;
constexpr int _SH_DENYNO = 0x40;
