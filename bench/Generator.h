#pragma once

#include <QString>

class QTextStream;

namespace Bench {

struct Sizes {
    int customers;
    int entries; // ledger entries (TABDIVIDAS)
    int sales;   // purchase lines (TABDESC_COMPRAS), one per sale
};

inline constexpr Sizes FullSizes{50'000, 1'000'000, 600'000};
inline constexpr Sizes SmallSizes{300, 1'000, 600};

// Creates a database at path (which must not exist) and fills it with a shop's five years of credit sales,
// ending today. The same sizes on the same day give the same rows. Reports each step and its time on out.
void generate(const QString& path, const Sizes& sizes, QTextStream& out);

} // namespace Bench
