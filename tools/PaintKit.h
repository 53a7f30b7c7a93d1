// What the build-time painters and the composer share: linear colours, a small deterministic
// random generator, and value noise. Everything here is fixed by its seeds, so the demo's
// pictures, clips and music come out the same on every build.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace quarto::paint {

// A colour of linear 0..1 values.
struct TColor {
    double R = 0, G = 0, B = 0;
};
inline TColor operator*(TColor c, double k) {
    return {c.R * k, c.G * k, c.B * k};
}
inline TColor operator+(TColor a, TColor b) {
    return {a.R + b.R, a.G + b.G, a.B + b.B};
}
inline TColor Mix(TColor a, TColor b, double t) {
    return a * (1 - t) + b * t;
}
inline TColor Rgb(int r, int g, int b) {
    return {r / 255.0, g / 255.0, b / 255.0};
}

inline double Clamp01(double v) {
    return v < 0 ? 0 : v > 1 ? 1 : v;
}
inline double SmoothStep(double a, double b, double v) {
    const double t = Clamp01((v - a) / (b - a));
    return t * t * (3 - 2 * t);
}

inline std::uint32_t Hash(std::uint32_t h) {
    h ^= h >> 16, h *= 0x7FEB352Du, h ^= h >> 15, h *= 0x846CA68Bu, h ^= h >> 16;
    return h;
}

// A small deterministic generator (xorshift of a hashed seed).
class TRandom {
public:
    explicit TRandom(std::uint32_t seed) : FState(Hash(seed) | 1u) {}
    double Next() {
        FState ^= FState << 13, FState ^= FState >> 17, FState ^= FState << 5;
        return (FState >> 8) / 16777216.0;
    }
    double Range(double a, double b) { return a + (b - a) * Next(); }
    int Below(int n) { return std::min(n - 1, static_cast<int>(Next() * n)); }
    // An index into weights, drawn in proportion to them.
    int Pick(const std::vector<double>& weights) {
        double total = 0;
        for (double w : weights)
            total += w;
        double r = Next() * total;
        for (std::size_t i = 0; i < weights.size(); ++i) {
            if ((r -= weights[i]) < 0)
                return static_cast<int>(i);
        }
        return static_cast<int>(weights.size()) - 1;
    }

private:
    std::uint32_t FState;
};

// Value noise in three dimensions (so that a sphere's surface has no seam), and its sum over
// octaves; both in 0..1.
inline double Noise3(double x, double y, double z, std::uint32_t seed) {
    const double fx0 = std::floor(x), fy0 = std::floor(y), fz0 = std::floor(z);
    const int x0 = static_cast<int>(fx0), y0 = static_cast<int>(fy0), z0 = static_cast<int>(fz0);
    const auto s = [](double t) { return t * t * (3 - 2 * t); };
    const double tx = s(x - fx0), ty = s(y - fy0), tz = s(z - fz0);
    const auto lattice = [&](int i, int j, int k) {
        const std::uint32_t h = Hash(seed ^ (static_cast<std::uint32_t>(i) * 0x9E3779B1u) ^
                                     (static_cast<std::uint32_t>(j) * 0x85EBCA77u) ^
                                     (static_cast<std::uint32_t>(k) * 0xC2B2AE3Du));
        return (h & 0xFFFF) / 65535.0;
    };
    double v[2][2];
    for (int j = 0; j < 2; ++j)
        for (int k = 0; k < 2; ++k) {
            const double a = lattice(x0, y0 + j, z0 + k), b = lattice(x0 + 1, y0 + j, z0 + k);
            v[j][k] = a + (b - a) * tx;
        }
    const double c0 = v[0][0] + (v[1][0] - v[0][0]) * ty, c1 = v[0][1] + (v[1][1] - v[0][1]) * ty;
    return c0 + (c1 - c0) * tz;
}

inline double Fbm(double x, double y, double z, int octaves, std::uint32_t seed) {
    double sum = 0, amplitude = 0.5, total = 0;
    for (int i = 0; i < octaves; ++i) {
        sum += amplitude * Noise3(x, y, z, seed + static_cast<std::uint32_t>(i) * 7919u);
        total += amplitude;
        x *= 2.03, y *= 2.03, z *= 2.03, amplitude *= 0.5;
    }
    return sum / total;
}

} // namespace quarto::paint
