#pragma once

// Tolerances for geometric comparisons. Points are equal when they lie within
// equalPoint of each other; vectors are parallel or equal within equalVector.
struct AcGeTol {
    double equalPoint = 1e-10;
    double equalVector = 1e-10;
};

namespace AcGeContext {
// The host-wide default tolerance: every comparison that takes no tolerance uses it.
inline const AcGeTol gTol{};
}
