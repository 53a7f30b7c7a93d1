// Build-time generator of the article background "Skins/text.bmp": a quiet paper texture
// that tiles without seams.
#include "common/CommandLine.h"
#include "common/BmpFile.h"
#include "common/RecordFile.h"

#include <cmath>
#include <cstdint>
#include <iostream>

using namespace quarto;

namespace {

// A value noise on a torus of period cells, so the tile repeats without seams.
class TTileNoise {
public:
    TTileNoise(int period, std::uint32_t seed) : FPeriod(period), FSeed(seed) {}
    double At(double x, double y) const {
        const int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y));
        const double fx = Smooth(x - x0), fy = Smooth(y - y0);
        const double a = Lattice(x0, y0), b = Lattice(x0 + 1, y0);
        const double c = Lattice(x0, y0 + 1), d = Lattice(x0 + 1, y0 + 1);
        return (a + (b - a) * fx) * (1 - fy) + (c + (d - c) * fx) * fy;
    }

private:
    static double Smooth(double t) { return t * t * (3 - 2 * t); }
    double Lattice(int x, int y) const {
        x = ((x % FPeriod) + FPeriod) % FPeriod;
        y = ((y % FPeriod) + FPeriod) % FPeriod;
        std::uint32_t h = FSeed ^ (static_cast<std::uint32_t>(x) * 0x9E3779B1u) ^
                          (static_cast<std::uint32_t>(y) * 0x85EBCA77u);
        h ^= h >> 15, h *= 0x2C1B3C6Du, h ^= h >> 12, h *= 0x297A2D39u, h ^= h >> 15;
        return (h & 0xFFFF) / 65535.0;
    }
    int FPeriod;
    std::uint32_t FSeed;
};

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: paper-texture OUT.bmp\n";
        return 2;
    }
    const int size = 256;
    TRgbPicture picture(size, size);
    const TTileNoise coarse(8, 0x51A7u), fine(64, 0xB0Bu), fibres(32, 0xF1Bu);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const double u = static_cast<double>(x) / size, v = static_cast<double>(y) / size;
            const double n = 0.55 * coarse.At(u * 8, v * 8) + 0.3 * fine.At(u * 64, v * 64) +
                             0.15 * fibres.At(u * 32, v * 32 * 0.25 + u * 4);
            const double shade = (n - 0.5) * 14; // a few levels either way: quiet
            const auto channel = [&](double base) {
                return static_cast<std::uint8_t>(
                    std::lround(std::fmin(255, std::fmax(0, base + shade))));
            };
            picture.Set(x, y, channel(240), channel(233), channel(218));
        }
    }
    try {
        WriteWholeFile(ProgramArguments(argc, argv)[1], EncodeBmp24(picture));
    } catch (const std::exception& e) {
        std::cerr << "paper-texture: " << e.what() << '\n';
        return 2;
    }
    return 0;
}
