#pragma once

#include <cstdint>
#include <optional>

namespace core {

// arc4random and arc4random_uniform over Qt's system generator (unpredictable, unbiased).
class Random {
public:
    static std::uint32_t next();                           // arc4random: uniform over 0 .. 2^32-1
    static std::uint32_t uniform(std::uint32_t upperBound); // arc4random_uniform: 0 .. upperBound-1; 0 for 0
    static double unit();                                  // uniform in [0, 1)
    // Tests: a seeded, repeatable sequence; nullopt returns to the system generator.
    static void setSeed(std::optional<std::uint32_t> seed);
};

} // namespace core
