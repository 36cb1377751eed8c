#include "trading/contract_terms.h"

#include <array>

namespace pellucar {

const ContractTerms& contractTerms(Market m) {
    static const std::array<ContractTerms, kMarketCount> table{{
        {Market::Oil, 1000, 2025, 200, 400, 200, "0.00", "0.00", false},
        {Market::Gold, 100, 1013, 400, 800, 400, "0.00", "0.00", false},
        {Market::TBond, 1000, 2430, 100, 200, 100, "#,##0.#####", "#,###.0##", true},
        {Market::SP500, 500, 20800, 25, 50, 25, "0.00", "0.00", false},
        {Market::Cattle, 400, 540, 500, 1000, 500, "0.00", "0.00", false},
        {Market::Soybean, 5000, 1485, 250, 500, 250, "#,##0.#####", "#,##0.#####", false},
    }};
    return table[static_cast<size_t>(index(m))];
}

} // namespace pellucar
