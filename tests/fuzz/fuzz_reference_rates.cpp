// Arbitrary bytes as the exchange rates document: reading it must not crash,
// and what it accepts must be a date and rates that make a usable update.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

#include "document/reference_rates.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace pq;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    isReferenceRatesDocument(bytes);
    ReferenceRates rates;
    std::string error;
    if (!parseReferenceRates(bytes, rates, error)) {
        if (error.empty()) __builtin_trap();
        return 0;
    }
    if (rates.date.size() != 10 || rates.rates.empty()) __builtin_trap();
    for (const auto& [code, rate] : rates.rates) {
        if (code.size() != 3 || rate.empty()) __builtin_trap();
        const double value = std::stod(rate);
        if (!(value > 0) || !std::isfinite(value)) __builtin_trap();
    }
    const std::string update = referenceRatesUpdate(rates);
    if (update.find('\0') != std::string::npos || update.rfind("PQCUPD", 0) != 0) __builtin_trap();
    return 0;
}
