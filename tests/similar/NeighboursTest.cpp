// The neighbour contexts from the k-d tree are exactly those of comparing every pair, whatever the arrangement:
// scattered, on one vertical line, on a lattice (ties), many pieces at one place, and far or unnumbered ones.
#include "similar/Neighbours.h"
#include "similar/Hashing.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cmath>
#include <limits>
#include <random>
#include <tuple>

namespace darv::test {
namespace {

using similar::PlacedShape;

// Every pair, with the rules of Neighbours.h: the three smallest offsets on the grid (length, then dx, dy, dz,
// then shape).
std::vector<std::uint64_t> everyPair(const std::vector<PlacedShape>& shapes)
{
    using Offset = std::tuple<double, std::int64_t, std::int64_t, std::int64_t, std::uint64_t>;
    std::vector<std::uint64_t> result;
    for (std::size_t i = 0; i < shapes.size(); ++i) {
        std::vector<Offset> offsets;
        for (std::size_t j = 0; j < shapes.size(); ++j) {
            if (j == i)
                continue;
            const auto dx = similar::lengthKey(shapes[j].anchor.x - shapes[i].anchor.x);
            const auto dy = similar::lengthKey(shapes[j].anchor.y - shapes[i].anchor.y);
            const auto dz = similar::lengthKey(shapes[j].anchor.z - shapes[i].anchor.z);
            const double x = static_cast<double>(dx), y = static_cast<double>(dy), z = static_cast<double>(dz);
            offsets.emplace_back(x * x + y * y + z * z, dx, dy, dz, shapes[j].shape);
        }
        std::sort(offsets.begin(), offsets.end());
        const std::size_t count = std::min<std::size_t>(offsets.size(), similar::kNeighbours);
        similar::Hasher hash(0x434F4E54ull);
        hash.add(shapes[i].shape).add(static_cast<std::uint64_t>(count));
        for (std::size_t k = 0; k < count; ++k)
            hash.add(std::get<1>(offsets[k]))
                .add(std::get<2>(offsets[k]))
                .add(std::get<3>(offsets[k]))
                .add(std::get<4>(offsets[k]));
        result.push_back(hash.value());
    }
    return result;
}

std::vector<PlacedShape> arrangement(int kind, std::mt19937_64& random)
{
    std::vector<PlacedShape> shapes;
    std::uniform_real_distribution<double> coordinate(-50, 50);
    std::uniform_int_distribution<int> step(-20, 20);
    const auto shape = [&] { return random() % 5; };
    for (int i = 0; i < 300; ++i) {
        dwg::Point3 p;
        switch (kind) {
        case 0: // scattered
            p = {coordinate(random), coordinate(random), 0};
            break;
        case 1: // one vertical line, some points repeated
            p = {12.5, 0.25 * step(random), 0};
            break;
        case 2: // a lattice: ties everywhere
            p = {2.0 * step(random), 3.0 * step(random), 0};
            break;
        case 3: // a few places holding many pieces, and points a grid step apart
            p = {static_cast<double>(step(random) % 3), 1e-6 * step(random), 0};
            break;
        default: // 3D, with far and unnumbered coordinates among them
            p = {coordinate(random), coordinate(random), coordinate(random)};
            if (i % 50 == 0)
                p.x = std::numeric_limits<double>::quiet_NaN();
            if (i % 70 == 0)
                p.y = 1e300;
            break;
        }
        shapes.push_back({shape(), p});
    }
    return shapes;
}

TEST(Neighbours, TheTreeFindsWhatComparingEveryPairFinds)
{
    std::mt19937_64 random(27);
    for (int kind = 0; kind < 4; ++kind)
        for (int round = 0; round < 3; ++round) {
            const std::vector<PlacedShape> shapes = arrangement(kind, random);
            EXPECT_EQ(similar::contextHashes(shapes), everyPair(shapes)) << "arrangement " << kind;
        }
    // Far and unnumbered coordinates get a context each, without hanging.
    const std::vector<PlacedShape> odd = arrangement(4, random);
    EXPECT_EQ(similar::contextHashes(odd).size(), odd.size());
}

TEST(Neighbours, FortyThousandPointsOnOneVerticalLineTakeUnderASecond)
{
    std::vector<PlacedShape> line;
    for (int i = 0; i < 40000; ++i)
        line.push_back({7, dwg::Point3{100, 0.5 * i, 0}});
    std::vector<PlacedShape> samePlace(40000, PlacedShape{7, dwg::Point3{3, 4, 0}});
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(similar::contextHashes(line).size(), line.size());
    EXPECT_EQ(similar::contextHashes(samePlace).size(), samePlace.size());
    // Generous for the sanitizer build; the release build takes a few hundredths.
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 10.0);
}

} // namespace
} // namespace darv::test
