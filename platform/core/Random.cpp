#include "platform/core/Random.h"

#include <QRandomGenerator>

#include <mutex>

namespace core {

namespace {
std::mutex s_mutex;
std::optional<QRandomGenerator> s_seeded;

template<class F>
auto withGenerator(F f)
{
    std::lock_guard lock(s_mutex);
    return s_seeded ? f(*s_seeded) : f(*QRandomGenerator::system());
}
} // namespace

std::uint32_t Random::next()
{
    return withGenerator([](QRandomGenerator& g) { return g.generate(); });
}

std::uint32_t Random::uniform(std::uint32_t upperBound)
{
    if (upperBound < 2)
        return 0;
    // Rejects the low 2^32 mod upperBound values so that every result is equally likely,
    // as arc4random_uniform does (QRandomGenerator::bounded scales and is slightly biased).
    const std::uint32_t floor = static_cast<std::uint32_t>(-upperBound) % upperBound;
    return withGenerator([upperBound, floor](QRandomGenerator& g) {
        for (;;) {
            const std::uint32_t r = g.generate();
            if (r >= floor)
                return r % upperBound;
        }
    });
}

double Random::unit()
{
    return withGenerator([](QRandomGenerator& g) { return g.generateDouble(); });
}

void Random::setSeed(std::optional<std::uint32_t> seed)
{
    std::lock_guard lock(s_mutex);
    if (seed)
        s_seeded.emplace(*seed);
    else
        s_seeded.reset();
}

} // namespace core
