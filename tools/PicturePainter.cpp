// Build-time painter of the demo edition's illustrations: star charts of the constellations the
// articles describe, the phases of the Moon, the Sun and the planets, and one sketch that lies
// beside an article page in the edition's Base folder. Everything is drawn here, by a small
// anti-aliased rasterizer, from fixed seeds: the same pictures on every build.
//
//   picture-painter OUTDIR     writes OUTDIR/*.jpg and OUTDIR/base/*.jpg
#include "common/CommandLine.h"
#include "common/FileSystem.h"
#include "common/JpegCodec.h"
#include "tools/PaintKit.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <numbers>
#include <stdexcept>
#include <string>
#include <vector>

using namespace quarto;
using namespace quarto::paint;

namespace {

constexpr double Pi = std::numbers::pi;

// ---------------------------------------------------------------------------------------------
// JPEG output.

// Writes rgb (width * height RGB triples, top row first) as a JPEG file.
void SaveJpeg(const std::string& path, const std::vector<std::uint8_t>& rgb, int width,
              int height) {
    TDibPicture picture;
    picture.Width = width;
    picture.Height = height;
    picture.Pixels = rgb;
    WriteWholeFile(path, EncodeJpeg(picture, 88));
}

// ---------------------------------------------------------------------------------------------
// The canvas and its primitives. Colours are linear 0..1 values; coverage of an edge pixel is
// the part of a one-pixel-wide ramp across the edge that lies inside.

class TCanvas {
public:
    TCanvas(int width, int height)
        : Width(width), Height(height), FPixels(static_cast<std::size_t>(width) * height) {}

    const int Width, Height;
    // Length unit of a picture: the short side over 768, so that drawings scale with the size.
    double Unit() const { return std::min(Width, Height) / 768.0; }

    TColor& At(int x, int y) { return FPixels[static_cast<std::size_t>(y) * Width + x]; }

    void Blend(int x, int y, TColor c, double alpha) {
        if (x < 0 || y < 0 || x >= Width || y >= Height || alpha <= 0)
            return;
        TColor& p = At(x, y);
        p = Mix(p, c, std::min(alpha, 1.0));
    }
    void Add(int x, int y, TColor c) {
        if (x < 0 || y < 0 || x >= Width || y >= Height)
            return;
        TColor& p = At(x, y);
        p = p + c;
    }

    // Each pixel from a function of its centre.
    void Paint(const std::function<TColor(double x, double y)>& f) {
        for (int y = 0; y < Height; ++y)
            for (int x = 0; x < Width; ++x)
                At(x, y) = f(x + 0.5, y + 0.5);
    }

    // Calls f(x, y, px, py) for the pixels of the box around (cx, cy) of half-size reach.
    template <class F> void ForBox(double cx, double cy, double reachX, double reachY, F f) {
        const int x0 = std::max(0, static_cast<int>(std::floor(cx - reachX)));
        const int x1 = std::min(Width - 1, static_cast<int>(std::ceil(cx + reachX)));
        const int y0 = std::max(0, static_cast<int>(std::floor(cy - reachY)));
        const int y1 = std::min(Height - 1, static_cast<int>(std::ceil(cy + reachY)));
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x)
                f(x, y, x + 0.5, y + 0.5);
    }

    // A filled disc whose edge fades over soft pixels (at least one).
    void Disc(double cx, double cy, double r, TColor c, double alpha = 1, double soft = 1) {
        soft = std::max(soft, 1.0);
        ForBox(cx, cy, r + soft, r + soft, [&](int x, int y, double px, double py) {
            const double d = std::hypot(px - cx, py - cy);
            Blend(x, y, c, alpha * Clamp01((r - d) / soft + 0.5));
        });
    }

    // A light added around a point, falling off as a Gaussian of width sigma.
    void Glow(double cx, double cy, double sigma, TColor c) {
        const double reach = sigma * 3.2;
        ForBox(cx, cy, reach, reach, [&](int x, int y, double px, double py) {
            const double d2 = (px - cx) * (px - cx) + (py - cy) * (py - cy);
            Add(x, y, c * std::exp(-d2 / (2 * sigma * sigma)));
        });
    }

    // A radial gradient from inner (at the centre) to outer (at radius r and beyond).
    void RadialGradient(double cx, double cy, double r, TColor inner, TColor outer,
                        double alpha = 1) {
        ForBox(cx, cy, r, r, [&](int x, int y, double px, double py) {
            const double t = std::hypot(px - cx, py - cy) / r;
            if (t < 1)
                Blend(x, y, Mix(inner, outer, SmoothStep(0, 1, t)), alpha * (1 - t * t));
        });
    }

    // A straight line of the given width with round ends; dash > 0 draws it dashed.
    void Line(double x0, double y0, double x1, double y1, double width, TColor c, double alpha = 1,
              double dash = 0) {
        const double dx = x1 - x0, dy = y1 - y0, length2 = dx * dx + dy * dy;
        const double half = width / 2, reach = half + 1.5;
        const double cx = (x0 + x1) / 2, cy = (y0 + y1) / 2;
        ForBox(cx, cy, std::abs(dx) / 2 + reach, std::abs(dy) / 2 + reach,
               [&](int x, int y, double px, double py) {
                   double t = length2 > 0 ? ((px - x0) * dx + (py - y0) * dy) / length2 : 0;
                   t = std::clamp(t, 0.0, 1.0);
                   if (dash > 0 && std::fmod(t * std::sqrt(length2), 2 * dash) > dash)
                       return;
                   const double d = std::hypot(px - (x0 + t * dx), py - (y0 + t * dy));
                   Blend(x, y, c, alpha * Clamp01(half - d + 0.5));
               });
    }

    // The picture as 8-bit RGB, with a small fixed dither so that dark gradients do not band.
    std::vector<std::uint8_t> ToRgb() const {
        std::vector<std::uint8_t> out(FPixels.size() * 3);
        for (std::size_t i = 0; i < FPixels.size(); ++i) {
            const double dither = (Hash(static_cast<std::uint32_t>(i)) & 0xFF) / 255.0 - 0.5;
            const TColor& c = FPixels[i];
            const double channels[3] = {c.R, c.G, c.B};
            for (int k = 0; k < 3; ++k) {
                const double v = Clamp01(channels[k]) * 255 + dither;
                out[i * 3 + k] = static_cast<std::uint8_t>(std::clamp(std::lround(v), 0L, 255L));
            }
        }
        return out;
    }

private:
    std::vector<TColor> FPixels;
};

// ---------------------------------------------------------------------------------------------
// Star charts.

// Star colours by spectral class, as the eye sees them: blue-white to red.
TColor StarColor(char cls) {
    switch (cls) {
    case 'B':
        return Rgb(170, 195, 255);
    case 'A':
        return Rgb(215, 225, 255);
    case 'F':
        return Rgb(250, 248, 240);
    case 'G':
        return Rgb(255, 240, 200);
    case 'K':
        return Rgb(255, 205, 140);
    case 'M':
        return Rgb(255, 160, 110);
    default:
        return Rgb(240, 240, 250);
    }
}

struct TStar {
    const char* Name; // for the lines below; not drawn
    double RaHours, DecDegrees, Magnitude;
    char Class;
};

struct TStick {
    const char* From;
    const char* To;
};

struct TChart {
    std::vector<TStar> Stars;
    std::vector<TStick> Lines;
    std::vector<TStick> DashedLines; // pointers and asterisms drawn apart
    double CentreRa = 0, CentreDec = 0;
    double FieldDegrees = 40; // the picture's short side spans about this much sky
    double StarScale = 1;     // star sizes over those of a whole-constellation chart
};

// Screen position of a star seen from inside the sky sphere (east to the left), by the
// gnomonic projection about the chart's centre; x and y in degrees near the centre.
std::pair<double, double> Project(double raHours, double decDegrees, double ra0, double dec0) {
    const double a = raHours * 15 * Pi / 180, d = decDegrees * Pi / 180;
    const double a0 = ra0 * 15 * Pi / 180, d0 = dec0 * Pi / 180;
    const double cosc = std::sin(d0) * std::sin(d) + std::cos(d0) * std::cos(d) * std::cos(a - a0);
    const double x = std::cos(d) * std::sin(a - a0) / cosc;
    const double y =
        (std::cos(d0) * std::sin(d) - std::sin(d0) * std::cos(d) * std::cos(a - a0)) / cosc;
    return {-x * 180 / Pi, -y * 180 / Pi};
}

// The night sky: a dark-blue gradient, lighter towards the bottom, and faint background stars.
void PaintSky(TCanvas& canvas, std::uint32_t seed, double starDensity = 1) {
    const double h = canvas.Height;
    canvas.Paint([&](double, double y) {
        const double t = y / h;
        return Mix(Rgb(3, 6, 22), Rgb(14, 26, 58), t * t);
    });
    TRandom random(seed);
    const double u = canvas.Unit();
    const int count = static_cast<int>(canvas.Width * canvas.Height / 1400.0 * starDensity);
    for (int i = 0; i < count; ++i) {
        const double x = random.Range(0, canvas.Width), y = random.Range(0, canvas.Height);
        const double m = random.Next();
        const double bright = 0.08 + 0.5 * m * m * m * m;
        const TColor c = StarColor("BAFGKM"[static_cast<int>(random.Next() * 5.99)]);
        canvas.Disc(x, y, 0.45 * u + 0.6 * bright * u, c * 0.9, bright, 1);
    }
}

// A star of magnitude m: a disc whose size follows the brightness and a glow around it.
void PaintStar(TCanvas& canvas, double x, double y, double magnitude, char cls, double scale) {
    const double brightness = std::pow(10.0, -0.4 * (magnitude - 1.0)); // 1 at magnitude 1
    const double radius = scale * (1.0 + 1.0 * std::max(0.0, 5.8 - magnitude));
    const TColor c = StarColor(cls);
    canvas.Glow(x, y, radius * 2.4, c * (0.28 * std::min(1.6, std::sqrt(brightness))));
    canvas.Disc(x, y, radius, c, 1, 1.2 * scale);
    canvas.Disc(x, y, radius * 0.55, Rgb(255, 255, 255), 0.85, scale);
}

// The whole chart fitted into the canvas: sky, stick figures and the stars on top.
void PaintChart(
    TCanvas& canvas, const TChart& chart, std::uint32_t seed,
    const std::function<void(
        TCanvas&, const std::function<std::pair<double, double>(double, double)>&)>& extra = {}) {
    PaintSky(canvas, seed);
    const double pixelsPerDegree = std::min(canvas.Width, canvas.Height) / chart.FieldDegrees;
    const auto toScreen = [&](double ra, double dec) {
        const auto [x, y] = Project(ra, dec, chart.CentreRa, chart.CentreDec);
        return std::pair<double, double>{canvas.Width / 2.0 + x * pixelsPerDegree,
                                         canvas.Height / 2.0 + y * pixelsPerDegree};
    };
    if (extra)
        extra(canvas, toScreen);
    const double u = canvas.Unit();
    const auto find = [&](const char* name) -> const TStar& {
        for (const TStar& s : chart.Stars)
            if (std::string(s.Name) == name)
                return s;
        throw std::logic_error(std::string("no star ") + name);
    };
    const auto stick = [&](const TStick& line, TColor color, double alpha, double dash) {
        const TStar &a = find(line.From), &b = find(line.To);
        auto [x0, y0] = toScreen(a.RaHours, a.DecDegrees);
        auto [x1, y1] = toScreen(b.RaHours, b.DecDegrees);
        // The line stops short of both stars, as on printed charts.
        const double length = std::hypot(x1 - x0, y1 - y0);
        const double gapA = u * (5 + 1.4 * std::max(0.0, 5.8 - a.Magnitude));
        const double gapB = u * (5 + 1.4 * std::max(0.0, 5.8 - b.Magnitude));
        if (length <= gapA + gapB)
            return;
        const double ux = (x1 - x0) / length, uy = (y1 - y0) / length;
        canvas.Line(x0 + ux * gapA, y0 + uy * gapA, x1 - ux * gapB, y1 - uy * gapB, 1.7 * u, color,
                    alpha, dash);
    };
    for (const TStick& line : chart.Lines)
        stick(line, Rgb(120, 160, 225), 0.65, 0);
    for (const TStick& line : chart.DashedLines)
        stick(line, Rgb(235, 200, 120), 0.7, 7 * u);
    for (const TStar& s : chart.Stars) {
        const auto [x, y] = toScreen(s.RaHours, s.DecDegrees);
        PaintStar(canvas, x, y, s.Magnitude, s.Class, u * chart.StarScale);
    }
}

double Ra(int h, double m) {
    return h + m / 60;
}

// A soft elongated glow: a nebula, a galaxy or a cluster's haze.
void PaintHaze(TCanvas& canvas, double cx, double cy, double rx, double ry, double angle, TColor c,
               double strength) {
    const double ca = std::cos(angle), sa = std::sin(angle);
    const double reach = std::max(rx, ry) * 2.5;
    canvas.ForBox(cx, cy, reach, reach, [&](int x, int y, double px, double py) {
        const double dx = px - cx, dy = py - cy;
        const double u = (dx * ca + dy * sa) / rx, v = (-dx * sa + dy * ca) / ry;
        const double d2 = u * u + v * v;
        canvas.Add(x, y, c * (strength * (std::exp(-d2 * 1.5) + 0.6 * std::exp(-d2 * 12))));
    });
}

// A soft band of light along a polyline (the Milky Way), mottled by noise; a negative colour
// darkens instead (a dust lane).
void PaintBand(TCanvas& canvas, const std::vector<std::pair<double, double>>& points, double width,
               TColor c, double strength, std::uint32_t seed) {
    // The band is smooth: it is worked out on a grid of step pixels and interpolated between.
    const int step = 4;
    const int gw = canvas.Width / step + 2, gh = canvas.Height / step + 2;
    std::vector<double> grid(static_cast<std::size_t>(gw) * gh);
    for (int gy = 0; gy < gh; ++gy)
        for (int gx = 0; gx < gw; ++gx) {
            const double px = gx * step, py = gy * step;
            double best = 1e30;
            for (std::size_t i = 1; i < points.size(); ++i) {
                const auto [x0, y0] = points[i - 1];
                const auto [x1, y1] = points[i];
                const double dx = x1 - x0, dy = y1 - y0;
                const double t =
                    std::clamp(((px - x0) * dx + (py - y0) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
                const double ex = px - (x0 + t * dx), ey = py - (y0 + t * dy);
                best = std::min(best, ex * ex + ey * ey);
            }
            const double falloff = std::exp(-best / (2 * width * width));
            const double mottle =
                falloff < 0.01 ? 0 : Fbm(px / (width * 0.35), py / (width * 0.35), 0.5, 4, seed);
            grid[static_cast<std::size_t>(gy) * gw + gx] = falloff * (0.35 + 1.1 * mottle);
        }
    for (int y = 0; y < canvas.Height; ++y)
        for (int x = 0; x < canvas.Width; ++x) {
            const int gx = x / step, gy = y / step;
            const double fx = (x % step) / static_cast<double>(step);
            const double fy = (y % step) / static_cast<double>(step);
            const auto g = [&](int i, int j) {
                return grid[static_cast<std::size_t>(gy + j) * gw + gx + i];
            };
            const double v = (g(0, 0) * (1 - fx) + g(1, 0) * fx) * (1 - fy) +
                             (g(0, 1) * (1 - fx) + g(1, 1) * fx) * fy;
            if (v > 0.001)
                canvas.Add(x, y, c * (strength * v));
        }
}

TChart Orion() {
    TChart c;
    c.Stars = {
        {"Betelgeuse", Ra(5, 55.2), 7.41, 0.5, 'M'}, {"Rigel", Ra(5, 14.5), -8.20, 0.13, 'B'},
        {"Bellatrix", Ra(5, 25.1), 6.35, 1.64, 'B'}, {"Saiph", Ra(5, 47.8), -9.67, 2.06, 'B'},
        {"Alnitak", Ra(5, 40.8), -1.94, 1.77, 'B'},  {"Alnilam", Ra(5, 36.2), -1.20, 1.69, 'B'},
        {"Mintaka", Ra(5, 32.0), -0.30, 2.23, 'B'},  {"Meissa", Ra(5, 35.1), 9.93, 3.39, 'B'},
        {"Hatysa", Ra(5, 35.4), -5.91, 2.77, 'B'},   {"M42", Ra(5, 35.3), -5.39, 4.0, 'B'},
        {"c Ori", Ra(5, 35.4), -4.84, 4.6, 'B'},     {"pi1", Ra(4, 54.9), 10.15, 4.65, 'A'},
        {"pi2", Ra(4, 50.6), 8.90, 4.35, 'A'},       {"pi3", Ra(4, 49.8), 6.96, 3.19, 'F'},
        {"pi4", Ra(4, 51.2), 5.60, 3.68, 'B'},       {"pi5", Ra(4, 54.2), 2.44, 3.70, 'B'},
        {"pi6", Ra(4, 58.5), 1.71, 4.47, 'K'},       {"mu", Ra(6, 2.4), 9.65, 4.12, 'A'},
        {"nu", Ra(6, 7.6), 14.77, 4.42, 'B'},        {"xi", Ra(6, 11.9), 14.21, 4.45, 'B'},
        {"chi1", Ra(5, 54.4), 20.28, 4.41, 'G'},     {"chi2", Ra(6, 3.9), 20.14, 4.63, 'B'},
        {"eta", Ra(5, 24.5), -2.40, 3.36, 'B'},      {"tau", Ra(5, 17.6), -6.84, 3.60, 'B'},
        {"phi2", Ra(5, 36.9), 9.29, 4.09, 'K'},      {"omega", Ra(5, 39.2), 4.12, 4.57, 'B'},
    };
    c.Lines = {{"Betelgeuse", "Bellatrix"},
               {"Betelgeuse", "Alnitak"},
               {"Bellatrix", "Mintaka"},
               {"Alnitak", "Alnilam"},
               {"Alnilam", "Mintaka"},
               {"Alnitak", "Saiph"},
               {"Mintaka", "Rigel"},
               {"Betelgeuse", "Meissa"},
               {"Meissa", "Bellatrix"},
               {"Betelgeuse", "mu"},
               {"mu", "xi"},
               {"xi", "nu"},
               {"nu", "chi2"},
               {"chi2", "chi1"},
               {"Bellatrix", "pi3"},
               {"pi1", "pi2"},
               {"pi2", "pi3"},
               {"pi3", "pi4"},
               {"pi4", "pi5"},
               {"pi5", "pi6"}};
    c.CentreRa = Ra(5, 32);
    c.CentreDec = 5.5;
    c.FieldDegrees = 29;
    return c;
}

TChart UrsaMajor() {
    TChart c;
    c.Stars = {
        {"Dubhe", Ra(11, 3.7), 61.75, 1.79, 'K'},   {"Merak", Ra(11, 1.8), 56.38, 2.37, 'A'},
        {"Phecda", Ra(11, 53.8), 53.69, 2.44, 'A'}, {"Megrez", Ra(12, 15.4), 57.03, 3.31, 'A'},
        {"Alioth", Ra(12, 54.0), 55.96, 1.77, 'A'}, {"Mizar", Ra(13, 23.9), 54.93, 2.23, 'A'},
        {"Alkaid", Ra(13, 47.5), 49.31, 1.86, 'B'}, {"Alcor", Ra(13, 25.2), 54.99, 3.99, 'A'},
        {"omicron", Ra(8, 30.3), 60.72, 3.36, 'G'}, {"h", Ra(9, 31.5), 63.06, 3.65, 'F'},
        {"upsilon", Ra(9, 50.9), 59.04, 3.80, 'F'}, {"theta", Ra(9, 32.9), 51.68, 3.17, 'F'},
        {"iota", Ra(8, 59.2), 48.04, 3.14, 'A'},    {"kappa", Ra(9, 3.6), 47.16, 3.60, 'A'},
        {"lambda", Ra(10, 17.1), 42.91, 3.45, 'A'}, {"mu", Ra(10, 22.3), 41.50, 3.05, 'M'},
        {"psi", Ra(11, 9.7), 44.50, 3.00, 'K'},     {"nu", Ra(11, 18.5), 33.09, 3.48, 'K'},
        {"xi", Ra(11, 18.2), 31.53, 3.79, 'G'},     {"chi", Ra(11, 46.1), 47.78, 3.71, 'K'},
    };
    c.Lines = {
        {"Dubhe", "Merak"},   {"Merak", "Phecda"}, {"Phecda", "Megrez"}, {"Megrez", "Dubhe"},
        {"Megrez", "Alioth"}, {"Alioth", "Mizar"}, {"Mizar", "Alkaid"},  {"Dubhe", "h"},
        {"h", "omicron"},     {"h", "upsilon"},    {"upsilon", "Dubhe"}, {"upsilon", "theta"},
        {"theta", "kappa"},   {"theta", "iota"},   {"Phecda", "chi"},    {"chi", "psi"},
        {"psi", "mu"},        {"psi", "lambda"},   {"chi", "nu"},        {"chi", "xi"}};
    c.CentreRa = Ra(11, 0);
    c.CentreDec = 49;
    c.FieldDegrees = 44;
    return c;
}

// The Little Dipper with the pole star and the Big Dipper's pointers.
TChart Polaris() {
    TChart c;
    c.Stars = {
        {"Polaris", Ra(2, 31.8), 89.26, 1.98, 'F'},  {"Yildun", Ra(17, 32.2), 86.59, 4.35, 'A'},
        {"epsilon", Ra(16, 46.0), 82.04, 4.21, 'G'}, {"zeta", Ra(15, 44.1), 77.79, 4.29, 'A'},
        {"Kochab", Ra(14, 50.7), 74.16, 2.07, 'K'},  {"Pherkad", Ra(15, 20.7), 71.83, 3.00, 'A'},
        {"eta", Ra(16, 17.5), 75.76, 4.95, 'F'},     {"Dubhe", Ra(11, 3.7), 61.75, 1.79, 'K'},
        {"Merak", Ra(11, 1.8), 56.38, 2.37, 'A'},    {"Phecda", Ra(11, 53.8), 53.69, 2.44, 'A'},
        {"Megrez", Ra(12, 15.4), 57.03, 3.31, 'A'},  {"Alioth", Ra(12, 54.0), 55.96, 1.77, 'A'},
        {"Mizar", Ra(13, 23.9), 54.93, 2.23, 'A'},   {"Alkaid", Ra(13, 47.5), 49.31, 1.86, 'B'},
        {"Caph", Ra(0, 9.2), 59.15, 2.28, 'F'},      {"Schedar", Ra(0, 40.5), 56.54, 2.24, 'K'},
        {"Navi", Ra(0, 56.7), 60.72, 2.15, 'B'},     {"Ruchbah", Ra(1, 25.8), 60.24, 2.68, 'A'},
        {"Segin", Ra(1, 54.4), 63.67, 3.35, 'B'},
    };
    c.Lines = {{"Polaris", "Yildun"}, {"Yildun", "epsilon"}, {"epsilon", "zeta"},
               {"zeta", "Kochab"},    {"Kochab", "Pherkad"}, {"Pherkad", "eta"},
               {"eta", "zeta"},       {"Dubhe", "Merak"},    {"Merak", "Phecda"},
               {"Phecda", "Megrez"},  {"Megrez", "Dubhe"},   {"Megrez", "Alioth"},
               {"Alioth", "Mizar"},   {"Mizar", "Alkaid"},   {"Caph", "Schedar"},
               {"Schedar", "Navi"},   {"Navi", "Ruchbah"},   {"Ruchbah", "Segin"}};
    c.DashedLines = {{"Merak", "Polaris"}};
    c.CentreRa = Ra(12, 0); // the pole in the middle, the Dipper below it as on autumn evenings
    c.CentreDec = 90;
    c.FieldDegrees = 118;
    return c;
}

TChart Cassiopeia() {
    TChart c;
    c.Stars = {
        {"Caph", Ra(0, 9.2), 59.15, 2.28, 'F'},   {"Schedar", Ra(0, 40.5), 56.54, 2.24, 'K'},
        {"Navi", Ra(0, 56.7), 60.72, 2.15, 'B'},  {"Ruchbah", Ra(1, 25.8), 60.24, 2.68, 'A'},
        {"Segin", Ra(1, 54.4), 63.67, 3.35, 'B'}, {"eta", Ra(0, 49.1), 57.82, 3.44, 'G'},
        {"kappa", Ra(0, 33.0), 62.93, 4.16, 'B'}, {"zeta", Ra(0, 37.0), 53.90, 3.66, 'B'},
        {"iota", Ra(2, 29.1), 67.40, 4.52, 'A'},  {"theta", Ra(1, 11.1), 55.15, 4.33, 'A'},
        {"rho", Ra(23, 54.4), 57.50, 4.54, 'F'},  {"omicron", Ra(0, 44.7), 48.28, 4.54, 'B'},
    };
    c.Lines = {{"Caph", "Schedar"}, {"Schedar", "Navi"}, {"Navi", "Ruchbah"}, {"Ruchbah", "Segin"}};
    c.CentreRa = Ra(0, 58);
    c.CentreDec = 59;
    c.FieldDegrees = 21;
    return c;
}

std::vector<TStar> LyraStars() {
    return {
        {"Vega", Ra(18, 36.9), 38.78, 0.03, 'A'},     {"eps Lyr", Ra(18, 44.3), 39.67, 4.6, 'A'},
        {"zeta Lyr", Ra(18, 44.8), 37.61, 4.36, 'A'}, {"delta Lyr", Ra(18, 54.5), 36.90, 4.30, 'M'},
        {"Sulafat", Ra(18, 59.0), 32.69, 3.25, 'B'},  {"Sheliak", Ra(18, 50.1), 33.36, 3.52, 'B'},
    };
}
std::vector<TStick> LyraLines() {
    return {{"Vega", "eps Lyr"},      {"Vega", "zeta Lyr"},   {"zeta Lyr", "delta Lyr"},
            {"delta Lyr", "Sulafat"}, {"Sulafat", "Sheliak"}, {"Sheliak", "zeta Lyr"}};
}
std::vector<TStar> CygnusStars() {
    return {
        {"Deneb", Ra(20, 41.4), 45.28, 1.25, 'A'},
        {"Sadr", Ra(20, 22.2), 40.26, 2.23, 'F'},
        {"Gienah", Ra(20, 46.2), 33.97, 2.48, 'K'},
        {"delta Cyg", Ra(19, 45.0), 45.13, 2.87, 'B'},
        {"Albireo", Ra(19, 30.7), 27.96, 3.08, 'K'},
        {"zeta Cyg", Ra(21, 12.9), 30.23, 3.20, 'G'},
        {"eta Cyg", Ra(19, 56.3), 35.08, 3.89, 'K'},
        {"iota Cyg", Ra(19, 29.7), 51.73, 3.79, 'A'},
        {"kappa Cyg", Ra(19, 17.1), 53.37, 3.80, 'K'},
        {"xi Cyg", Ra(21, 4.9), 43.93, 3.72, 'K'},
        {"nu Cyg", Ra(20, 57.2), 41.17, 3.94, 'A'},
    };
}
std::vector<TStick> CygnusLines() {
    return {{"Deneb", "Sadr"},         {"Sadr", "eta Cyg"},      {"eta Cyg", "Albireo"},
            {"delta Cyg", "Sadr"},     {"Sadr", "Gienah"},       {"Gienah", "zeta Cyg"},
            {"delta Cyg", "iota Cyg"}, {"iota Cyg", "kappa Cyg"}};
}
std::vector<TStar> AquilaStars() {
    return {
        {"Altair", Ra(19, 50.8), 8.87, 0.77, 'A'},
        {"Tarazed", Ra(19, 46.3), 10.61, 2.72, 'K'},
        {"Alshain", Ra(19, 55.3), 6.41, 3.71, 'G'},
        {"delta Aql", Ra(19, 25.5), 3.11, 3.36, 'F'},
        {"zeta Aql", Ra(19, 5.4), 13.86, 2.99, 'A'},
        {"theta Aql", Ra(20, 11.3), -0.82, 3.23, 'B'},
        {"lambda Aql", Ra(19, 6.2), -4.88, 3.43, 'B'},
        {"eta Aql", Ra(19, 52.5), 1.01, 3.87, 'F'},
    };
}
std::vector<TStick> AquilaLines() {
    return {{"Tarazed", "Altair"},    {"Altair", "Alshain"},   {"Altair", "eta Aql"},
            {"eta Aql", "theta Aql"}, {"Altair", "delta Aql"}, {"delta Aql", "lambda Aql"},
            {"delta Aql", "zeta Aql"}};
}

TChart Lyra() {
    TChart c;
    c.Stars = LyraStars();
    c.Lines = LyraLines();
    c.CentreRa = Ra(18, 48);
    c.CentreDec = 36;
    c.FieldDegrees = 11;
    return c;
}

TChart Cygnus() {
    TChart c;
    c.Stars = CygnusStars();
    c.Lines = CygnusLines();
    c.CentreRa = Ra(20, 14);
    c.CentreDec = 40;
    c.FieldDegrees = 32;
    return c;
}

// Points along the middle of the Milky Way from Scutum to Cepheus (right ascension in hours,
// declination in degrees).
std::vector<std::pair<double, double>> MilkyWay() {
    return {{18.7, -20}, {18.85, -10}, {19.0, 0},  {19.25, 10}, {19.55, 20},
            {19.95, 30}, {20.4, 40},   {21.0, 50}, {22.2, 60},  {23.5, 66}};
}

TChart SummerTriangle() {
    TChart c;
    for (auto* part : {LyraStars, CygnusStars, AquilaStars})
        for (const TStar& s : part())
            c.Stars.push_back(s);
    for (auto* part : {LyraLines, CygnusLines, AquilaLines})
        for (const TStick& s : part())
            c.Lines.push_back(s);
    c.DashedLines = {{"Vega", "Deneb"}, {"Deneb", "Altair"}, {"Altair", "Vega"}};
    c.CentreRa = Ra(19, 45);
    c.CentreDec = 25;
    c.FieldDegrees = 64;
    return c;
}

TChart Leo() {
    TChart c;
    c.Stars = {
        {"Regulus", Ra(10, 8.4), 11.97, 1.36, 'B'},   {"Denebola", Ra(11, 49.1), 14.57, 2.13, 'A'},
        {"Algieba", Ra(10, 20.0), 19.84, 2.01, 'K'},  {"Zosma", Ra(11, 14.1), 20.52, 2.56, 'A'},
        {"Chertan", Ra(11, 14.2), 15.43, 3.33, 'A'},  {"eta", Ra(10, 7.3), 16.76, 3.49, 'A'},
        {"epsilon", Ra(9, 45.9), 23.77, 2.98, 'G'},   {"Rasalas", Ra(9, 52.8), 26.01, 3.88, 'K'},
        {"Adhafera", Ra(10, 16.7), 23.42, 3.43, 'F'}, {"omicron", Ra(9, 41.1), 9.89, 3.52, 'A'},
        {"rho", Ra(10, 32.8), 9.31, 3.85, 'B'},       {"iota", Ra(11, 23.9), 10.53, 3.94, 'F'},
        {"sigma", Ra(11, 21.1), 6.03, 4.05, 'B'},
    };
    c.Lines = {{"Regulus", "eta"},      {"eta", "Algieba"},      {"Algieba", "Adhafera"},
               {"Adhafera", "Rasalas"}, {"Rasalas", "epsilon"},  {"Algieba", "Zosma"},
               {"Zosma", "Denebola"},   {"Denebola", "Chertan"}, {"Chertan", "Regulus"},
               {"Zosma", "Chertan"},    {"Regulus", "omicron"},  {"Chertan", "iota"},
               {"iota", "sigma"}};
    c.CentreRa = Ra(10, 46);
    c.CentreDec = 16;
    c.FieldDegrees = 30;
    return c;
}

std::vector<TStar> PleiadesStars() {
    return {
        {"Alcyone", Ra(3, 47.5), 24.11, 2.87, 'B'},  {"Atlas", Ra(3, 49.2), 24.05, 3.62, 'B'},
        {"Electra", Ra(3, 44.9), 24.11, 3.70, 'B'},  {"Maia", Ra(3, 45.8), 24.37, 3.87, 'B'},
        {"Merope", Ra(3, 46.3), 23.95, 4.18, 'B'},   {"Taygeta", Ra(3, 45.2), 24.47, 4.30, 'B'},
        {"Pleione", Ra(3, 49.2), 24.14, 5.05, 'B'},  {"Celaeno", Ra(3, 44.8), 24.29, 5.45, 'B'},
        {"Asterope", Ra(3, 45.9), 24.55, 5.76, 'B'},
    };
}

TChart Taurus() {
    TChart c;
    c.Stars = {
        {"Aldebaran", Ra(4, 35.9), 16.51, 0.85, 'K'}, {"Elnath", Ra(5, 26.3), 28.61, 1.65, 'B'},
        {"zeta", Ra(5, 37.6), 21.14, 3.00, 'B'},      {"theta2", Ra(4, 28.7), 15.87, 3.40, 'A'},
        {"gamma", Ra(4, 19.8), 15.63, 3.65, 'K'},     {"delta", Ra(4, 22.9), 17.54, 3.76, 'K'},
        {"epsilon", Ra(4, 28.6), 19.18, 3.53, 'K'},   {"lambda", Ra(4, 0.7), 12.49, 3.41, 'B'},
        {"omicron", Ra(3, 24.8), 9.03, 3.60, 'G'},    {"xi", Ra(3, 27.2), 9.73, 3.74, 'B'},
        {"tau", Ra(4, 42.2), 22.96, 4.27, 'B'},
    };
    for (const TStar& s : PleiadesStars())
        c.Stars.push_back(s);
    c.Lines = {{"zeta", "Aldebaran"}, {"Aldebaran", "theta2"}, {"theta2", "gamma"},
               {"gamma", "lambda"},   {"lambda", "xi"},        {"xi", "omicron"},
               {"Elnath", "tau"},     {"tau", "epsilon"},      {"epsilon", "delta"},
               {"delta", "gamma"}};
    c.CentreRa = Ra(4, 30);
    c.CentreDec = 18.5;
    c.FieldDegrees = 30;
    return c;
}

TChart Pleiades() {
    TChart c;
    c.Stars = PleiadesStars();
    c.CentreRa = Ra(3, 46.9);
    c.CentreDec = 24.23;
    c.FieldDegrees = 1.45;
    c.StarScale = 2.2;
    return c;
}

TChart PegasusAndromeda() {
    TChart c;
    c.Stars = {
        {"Markab", Ra(23, 4.8), 15.21, 2.48, 'B'},
        {"Scheat", Ra(23, 3.8), 28.08, 2.42, 'M'},
        {"Algenib", Ra(0, 13.2), 15.18, 2.83, 'B'},
        {"Alpheratz", Ra(0, 8.4), 29.09, 2.06, 'B'},
        {"Mirach", Ra(1, 9.7), 35.62, 2.05, 'M'},
        {"Almach", Ra(2, 3.9), 42.33, 2.10, 'K'},
        {"delta And", Ra(0, 39.3), 30.86, 3.27, 'K'},
        {"mu And", Ra(0, 56.8), 38.50, 3.87, 'A'},
        {"nu And", Ra(0, 49.8), 41.08, 4.53, 'B'},
        {"Enif", Ra(21, 44.2), 9.88, 2.38, 'K'},
        {"theta Peg", Ra(22, 10.2), 6.20, 3.52, 'A'},
        {"zeta Peg", Ra(22, 41.5), 10.83, 3.40, 'B'},
        {"eta Peg", Ra(22, 43.0), 30.22, 2.94, 'G'},
        {"lambda Peg", Ra(22, 46.5), 23.57, 3.95, 'G'},
        {"mu Peg", Ra(22, 50.0), 24.60, 3.48, 'K'},
        {"pi And", Ra(0, 36.9), 33.72, 4.36, 'B'},
    };
    c.Lines = {{"Markab", "Scheat"},  {"Scheat", "Alpheratz"},    {"Alpheratz", "Algenib"},
               {"Algenib", "Markab"}, {"Markab", "zeta Peg"},     {"zeta Peg", "theta Peg"},
               {"theta Peg", "Enif"}, {"Scheat", "mu Peg"},       {"mu Peg", "lambda Peg"},
               {"Scheat", "eta Peg"}, {"Alpheratz", "delta And"}, {"delta And", "Mirach"},
               {"Mirach", "Almach"},  {"Mirach", "mu And"},       {"mu And", "nu And"}};
    c.CentreRa = Ra(0, 5);
    c.CentreDec = 28;
    c.FieldDegrees = 54;
    return c;
}

// Mizar and Alcor as a pair of binoculars shows them, in a round field of view.
void PaintMizarAlcor(TCanvas& canvas) {
    PaintSky(canvas, 77, 2.5);
    const double cx = canvas.Width / 2.0, cy = canvas.Height / 2.0, r = canvas.Height * 0.46;
    const double u = canvas.Unit();
    const auto place = [&](double ra, double dec) {
        const auto [x, y] = Project(ra, dec, Ra(13, 24.6), 54.95);
        const double scale = r / 1.1; // the field is about 2.2 degrees across
        return std::pair<double, double>{cx + x * scale, cy + y * scale};
    };
    const auto [mx, my] = place(Ra(13, 23.9), 54.93);
    const auto [ax, ay] = place(Ra(13, 25.2), 54.99);
    const auto [sx, sy] = place(Ra(13, 23.5), 54.79); // Sidus Ludoviciana, 7.6
    PaintStar(canvas, mx, my, 2.2, 'A', u * 2.2);
    PaintStar(canvas, ax, ay, 4.0, 'A', u * 2.2);
    PaintStar(canvas, sx, sy, 6.5, 'F', u * 2.2);
    // Outside the eyepiece's field stop everything is black.
    canvas.ForBox(cx, cy, canvas.Width, canvas.Height, [&](int x, int y, double px, double py) {
        const double d = std::hypot(px - cx, py - cy);
        canvas.Blend(x, y, Rgb(0, 0, 0), Clamp01((d - r) / 1.5 + 0.5));
    });
}

// ---------------------------------------------------------------------------------------------
// Spheres: the Moon, the planets and the Sun.

struct TVec {
    double X, Y, Z;
};
TVec Normalized(TVec v) {
    const double l = std::sqrt(v.X * v.X + v.Y * v.Y + v.Z * v.Z);
    return {v.X / l, v.Y / l, v.Z / l};
}
double Dot(TVec a, TVec b) {
    return a.X * b.X + a.Y * b.Y + a.Z * b.Z;
}

// A point of the surface: its unit normal (x right, y up, z towards the viewer), latitude and
// longitude in radians.
struct TSurfacePoint {
    TVec N;
    double Lat, Lon;
};

struct TSphere {
    TSphere(double cx, double cy, double r) : Cx(cx), Cy(cy), R(r) {}
    double Cx, Cy, R;
    double Flattening = 0;           // polar radius = R * (1 - Flattening)
    double Tilt = 0.2;               // the north pole leans towards the viewer, radians
    TVec Light = {-0.5, 0.28, 0.82}; // towards the Sun
    double Ambient = 0.03;
    double TerminatorSoftness = 0.15; // in units of N·L
    double DarkSideAlpha = 1;         // below 1 the sky shows faintly through the unlit part
    bool Emitter = false;             // the Sun: no lighting, limb darkening instead
    std::function<TColor(const TSurfacePoint&)> Surface;
};

void PaintSphere(TCanvas& canvas, const TSphere& s) {
    const TVec light = Normalized(s.Light);
    const double ry = s.R * (1 - s.Flattening);
    canvas.ForBox(s.Cx, s.Cy, s.R + 2, ry + 2, [&](int x, int y, double px, double py) {
        const double nx = (px - s.Cx) / s.R, ny = -(py - s.Cy) / ry;
        const double rho = std::sqrt(nx * nx + ny * ny);
        const double coverage = Clamp01((1 - rho) * s.R + 0.5);
        if (coverage <= 0)
            return;
        const double k = rho > 1 ? 1 / rho : 1;
        const TVec n = {nx * k, ny * k, std::sqrt(std::max(0.0, 1 - (nx * nx + ny * ny) * k * k))};
        // The surface turns with the planet's axis: the normal in the planet's own frame.
        const double ct = std::cos(s.Tilt), st = std::sin(s.Tilt);
        const TVec body = {n.X, n.Y * ct + n.Z * st, n.Z * ct - n.Y * st};
        const TSurfacePoint p{body, std::asin(std::clamp(body.Y, -1.0, 1.0)),
                              std::atan2(body.X, body.Z)};
        TColor c = s.Surface(p);
        double alpha = coverage;
        if (s.Emitter) {
            const double mu = n.Z;
            c = c * (0.38 + 0.62 * std::pow(mu, 0.55));
        } else {
            const double l = Dot(n, light);
            const double lit = SmoothStep(-s.TerminatorSoftness, s.TerminatorSoftness, l) *
                               (0.35 + 0.65 * std::sqrt(std::max(0.0, l)));
            c = c * (s.Ambient + (1 - s.Ambient) * lit);
            alpha *= s.DarkSideAlpha + (1 - s.DarkSideAlpha) * Clamp01(lit * 4);
        }
        canvas.Blend(x, y, c, alpha);
    });
}

double Angle(TVec a, TVec b) {
    return std::acos(std::clamp(Dot(a, b), -1.0, 1.0));
}
TVec FromLatLon(double latDegrees, double lonDegrees) {
    const double lat = latDegrees * Pi / 180, lon = lonDegrees * Pi / 180;
    return {std::cos(lat) * std::sin(lon), std::sin(lat), std::cos(lat) * std::cos(lon)};
}

// The near side of the Moon: bright highlands, the dark maria where they lie, craters with rays.
TColor MoonAlbedo(const TSurfacePoint& p) {
    struct TMare {
        double Lat, Lon, Radius;
    };
    static const TMare maria[] = {
        {34, -17, 15}, {27, 18, 10},   {8, 30, 12},   {17, 59, 8},   {-6, 52, 9},
        {-15, 35, 6},  {-20, -16, 10}, {22, -55, 18}, {0, -48, 15},  {40, -46, 10},
        {56, -8, 6},   {57, 15, 6},    {-24, -39, 6}, {13, 4, 5},    {-10, -23, 7},
        {7, -30, 8},   {20, -30, 9},   {-2, 14, 6},   {-30, -55, 5}, {45, -25, 8},
    };
    struct TMareCentre {
        TVec Centre;
        double Radius, CosReach;
    };
    static const std::vector<TMareCentre> centres = [] {
        std::vector<TMareCentre> list;
        for (const TMare& m : maria)
            list.push_back({FromLatLon(m.Lat, m.Lon), m.Radius,
                            std::cos(std::min(m.Radius * 2.2, 89.0) * Pi / 180)});
        return list;
    }();
    // Neighbouring maria flow into each other: their fields add up, and the shore is where the
    // sum, disturbed by noise, crosses a threshold.
    double field = 0;
    for (const TMareCentre& m : centres) {
        const double d = Dot(p.N, m.Centre);
        if (d < m.CosReach)
            continue;
        const double a = std::acos(std::min(d, 1.0)) * 180 / Pi / m.Radius;
        field += std::exp(-a * a * 1.3);
    }
    const double warp = Fbm(p.N.X * 7, p.N.Y * 7, p.N.Z * 7, 4, 12) - 0.5;
    const double n = Fbm(p.N.X * 5, p.N.Y * 5, p.N.Z * 5, 4, 11);
    const double mare = SmoothStep(0.24, 0.6, field + 0.55 * warp) * (0.7 + 0.45 * n);
    double albedo = 0.8 - 0.3 * mare + 0.16 * (Fbm(p.N.X * 22, p.N.Y * 22, p.N.Z * 22, 4, 5) - 0.5);
    // Tycho and Copernicus with their bright rays.
    for (const auto& [lat, lon, size] :
         {std::array<double, 3>{-43, -11, 2.2}, {10, -20, 1.8}, {8, -38, 1.2}}) {
        const TVec centre = FromLatLon(lat, lon);
        const double a = Angle(p.N, centre) * 180 / Pi;
        albedo += 0.2 * (1 - SmoothStep(size * 0.4, size, a));
        const double bearing = std::atan2(p.N.X - centre.X, p.N.Y - centre.Y);
        const double rays = Fbm(bearing * 4 + lat, a * 0.05, lon, 2, 13);
        albedo += 0.06 * SmoothStep(0.55, 0.8, rays) * (1 - SmoothStep(size, size * 10, a));
    }
    const double v = Clamp01(albedo);
    return {v * 0.97, v * 0.95, v * 0.9};
}

// The Moon's albedo is the same in every phase: it is worked out once on a latitude-longitude
// grid of the near side (a little beyond it) and looked up from there, with a fine grain added.
TColor MoonSurface(const TSurfacePoint& p) {
    constexpr int size = 512;
    constexpr double reach = 95 * Pi / 180; // both ways in latitude and longitude
    static const std::vector<TColor> map = [] {
        std::vector<TColor> m(size * size);
        for (int j = 0; j < size; ++j)
            for (int i = 0; i < size; ++i) {
                const double lon = -reach + 2 * reach * i / (size - 1);
                const double lat = -reach + 2 * reach * j / (size - 1);
                const double cl = std::cos(std::clamp(lat, -Pi / 2, Pi / 2));
                const TVec n = {cl * std::sin(lon), std::sin(std::clamp(lat, -Pi / 2, Pi / 2)),
                                cl * std::cos(lon)};
                m[static_cast<std::size_t>(j) * size + i] = MoonAlbedo({n, lat, lon});
            }
        return m;
    }();
    const double fi = std::clamp((p.Lon + reach) / (2 * reach) * (size - 1), 0.0, size - 1.001);
    const double fj = std::clamp((p.Lat + reach) / (2 * reach) * (size - 1), 0.0, size - 1.001);
    const int i = static_cast<int>(fi), j = static_cast<int>(fj);
    const double fx = fi - i, fy = fj - j;
    const auto at = [&](int di, int dj) {
        return map[static_cast<std::size_t>(j + dj) * size + i + di];
    };
    const TColor c = Mix(Mix(at(0, 0), at(1, 0), fx), Mix(at(0, 1), at(1, 1), fx), fy);
    return c * (0.94 + 0.12 * Noise3(p.N.X * 90, p.N.Y * 90, p.N.Z * 90, 14));
}

// The Moon at elongation e degrees from the Sun (0 new, 90 first quarter, 180 full, 270 last
// quarter), lit from the right while waxing as seen from the northern hemisphere.
void PaintMoon(TCanvas& canvas, double cx, double cy, double r, double elongation) {
    const double e = elongation * Pi / 180;
    TSphere moon{cx, cy, r};
    moon.Light = {std::sin(e), 0, -std::cos(e)};
    moon.TerminatorSoftness = 0.03;
    moon.Tilt = 0;
    const double dark = (1 + std::cos(e)) / 2; // a thin crescent: earthshine is brightest then
    moon.Ambient = 0.02 + 0.06 * dark * dark;
    moon.DarkSideAlpha = 0.5 + 0.4 * dark;
    moon.Surface = MoonSurface;
    PaintSphere(canvas, moon);
}

void PaintMoonPicture(TCanvas& canvas, double elongation, std::uint32_t seed) {
    PaintSky(canvas, seed, 0.35);
    const double r = std::min(canvas.Width, canvas.Height) * 0.38;
    const double cx = canvas.Width / 2.0, cy = canvas.Height / 2.0;
    const double lit = (1 - std::cos(elongation * Pi / 180)) / 2;
    canvas.Glow(cx, cy, r * 1.1, Rgb(40, 50, 80) * (0.15 + 0.5 * lit));
    PaintMoon(canvas, cx, cy, r, elongation);
}

// Shading of the planet surfaces.
TColor JupiterSurface(const TSurfacePoint& p) {
    const double lat = p.Lat;
    const double turbulence = 0.06 * (Fbm(p.N.X * 9, p.N.Y * 30, p.N.Z * 9, 4, 21) - 0.5);
    const double l = std::sin(lat) + turbulence;
    // Belts (darker, reddish-brown) and zones (cream), by latitude.
    struct TBand {
        double From, To;
        double Darkness;
    };
    static const TBand bands[] = {{-0.05, 0.05, 0.12}, {0.12, 0.3, 0.75},   {-0.34, -0.14, 0.8},
                                  {0.42, 0.5, 0.45},   {-0.55, -0.46, 0.4}, {0.62, 0.68, 0.3},
                                  {-0.7, -0.64, 0.3}};
    double belt = 0;
    for (const TBand& b : bands)
        belt = std::max(belt, b.Darkness * SmoothStep(b.From - 0.03, b.From + 0.03, l) *
                                  (1 - SmoothStep(b.To - 0.03, b.To + 0.03, l)));
    TColor c = Mix(Rgb(238, 226, 200), Rgb(160, 110, 80), belt);
    const double polar = SmoothStep(0.65, 0.95, std::abs(std::sin(lat)));
    c = Mix(c, Rgb(170, 160, 150), polar * 0.6);
    // The Great Red Spot in the southern tropical zone.
    const double dx = (p.Lon - 0.35) / 0.22, dy = (std::sin(lat) + 0.37) / 0.065;
    const double spot = 1 - SmoothStep(0.7, 1.0, std::sqrt(dx * dx + dy * dy));
    c = Mix(c, Rgb(200, 110, 80), spot * 0.85);
    const double grain = Fbm(p.N.X * 40, p.N.Y * 90, p.N.Z * 40, 3, 22);
    return c * (0.93 + 0.14 * grain);
}

TColor SaturnSurface(const TSurfacePoint& p) {
    const double l = std::sin(p.Lat) + 0.02 * (Fbm(p.N.X * 8, p.N.Y * 25, p.N.Z * 8, 3, 31) - 0.5);
    const double bands = 0.5 + 0.5 * std::sin(l * 26) * std::cos(l * 7);
    TColor c = Mix(Rgb(232, 210, 160), Rgb(200, 170, 120), bands * 0.6);
    c = Mix(c, Rgb(160, 165, 150), SmoothStep(0.75, 0.98, std::abs(l)) * 0.6);
    return c;
}

TColor RockySurface(const TSurfacePoint& p, TColor light, TColor dark, std::uint32_t seed) {
    const double n = Fbm(p.N.X * 5, p.N.Y * 5, p.N.Z * 5, 6, seed);
    return Mix(light, dark, SmoothStep(0.35, 0.7, n));
}

TColor MercurySurface(const TSurfacePoint& p) {
    TColor c = RockySurface(p, Rgb(175, 168, 160), Rgb(105, 100, 95), 41);
    const double fine = Fbm(p.N.X * 30, p.N.Y * 30, p.N.Z * 30, 3, 42);
    return c * (0.85 + 0.3 * fine);
}

TColor VenusSurface(const TSurfacePoint& p) {
    const double n = Fbm(p.N.X * 3 + p.N.Y * 2, p.N.Y * 6, p.N.Z * 3, 4, 51);
    return Mix(Rgb(250, 238, 205), Rgb(215, 195, 150), n * 0.6);
}

TColor EarthSurface(const TSurfacePoint& p) {
    const double land = Fbm(p.N.X * 2.2, p.N.Y * 2.2, p.N.Z * 2.2, 6, 61);
    TColor c = Rgb(20, 55, 130);
    if (land > 0.55)
        c = Mix(Rgb(70, 110, 50), Rgb(160, 140, 95), SmoothStep(0.56, 0.7, land));
    else
        c = Mix(c, Rgb(40, 90, 160), SmoothStep(0.45, 0.55, land));
    const double ice = SmoothStep(0.93, 0.95, std::abs(p.N.Y));
    c = Mix(c, Rgb(240, 245, 250), ice);
    const double clouds = Fbm(p.N.X * 4, p.N.Y * 9, p.N.Z * 4, 5, 62);
    return Mix(c, Rgb(250, 250, 252), SmoothStep(0.52, 0.72, clouds) * 0.9);
}

TColor MarsSurface(const TSurfacePoint& p) {
    TColor c = RockySurface(p, Rgb(205, 110, 60), Rgb(120, 60, 40), 71);
    const double cap = SmoothStep(0.95, 0.97, p.N.Y);
    return Mix(c, Rgb(245, 240, 235), cap);
}

TColor UranusSurface(const TSurfacePoint& p) {
    const double l = std::sin(p.Lat);
    return Mix(Rgb(175, 225, 230), Rgb(150, 205, 215), 0.5 + 0.5 * std::sin(l * 9));
}

TColor NeptuneSurface(const TSurfacePoint& p) {
    const double l = std::sin(p.Lat);
    TColor c = Mix(Rgb(70, 110, 220), Rgb(50, 85, 190), 0.5 + 0.5 * std::sin(l * 11));
    const double dx = (p.Lon + 0.3) / 0.25, dy = (l + 0.05) / 0.1;
    c = Mix(c, Rgb(25, 40, 120), 1 - SmoothStep(0.6, 1.0, std::sqrt(dx * dx + dy * dy)));
    const double streak = 1 - SmoothStep(0.0, 0.025, std::abs(l + 0.2 - 0.03 * p.Lon));
    return Mix(c, Rgb(230, 240, 255),
               streak * 0.6 * (1 - SmoothStep(0.1, 0.5, std::abs(p.Lon - 0.2))));
}

TColor SunSurface(const TSurfacePoint& p) {
    const double granules = Fbm(p.N.X * 60, p.N.Y * 60, p.N.Z * 60, 2, 81);
    TColor c = Rgb(255, 236, 190) * (0.93 + 0.12 * granules);
    // Sunspot groups: umbra and penumbra.
    for (const auto& [lat, lon, size] : {std::array<double, 3>{15, -20, 2.4},
                                         {12, -14, 1.3},
                                         {-18, 25, 3.0},
                                         {-16, 31, 1.5},
                                         {20, 45, 1.1}}) {
        const double a = Angle(p.N, FromLatLon(lat, lon)) * 180 / Pi;
        c = Mix(c, Rgb(150, 95, 50), 1 - SmoothStep(size * 0.8, size * 1.6, a));
        c = Mix(c, Rgb(45, 25, 15), 1 - SmoothStep(size * 0.35, size * 0.6, a));
    }
    return c;
}

// A planet with an optional ring system (Saturn's), tilted towards the viewer by tilt radians.
void PaintPlanet(TCanvas& canvas, double cx, double cy, double r, double flattening,
                 std::function<TColor(const TSurfacePoint&)> surface, bool rings = false,
                 TVec light = {-0.5, 0.28, 0.82}) {
    const double tilt = 0.42, angle = -0.12;
    const double ca = std::cos(angle), sa = std::sin(angle);
    const auto ringAt = [&](double px, double py, double& alpha, TColor& colour, bool& front) {
        const double dx = px - cx, dy = py - cy;
        const double u = (dx * ca + dy * sa) / r, v = (-dx * sa + dy * ca) / r / std::sin(tilt);
        const double rho = std::sqrt(u * u + v * v);
        front = v > 0;
        alpha = 0;
        if (rho < 1.24 || rho > 2.27)
            return;
        // C ring (faint), B ring (bright), Cassini division, A ring with the Encke gap.
        double density = rho < 1.53 ? 0.25 : rho < 1.95 ? 0.95 : rho < 2.03 ? 0.05 : 0.7;
        if (rho > 2.2 && rho < 2.215)
            density = 0.2;
        density *= 0.85 + 0.15 * std::sin(rho * 140);
        const double edge = Clamp01((rho - 1.24) * r) * Clamp01((2.27 - rho) * r);
        alpha = density * edge;
        colour = Mix(Rgb(205, 185, 150), Rgb(235, 220, 185), SmoothStep(1.5, 2.0, rho));
    };
    const double reach = rings ? r * 2.35 : r;
    if (rings) {
        canvas.ForBox(cx, cy, reach, reach, [&](int x, int y, double px, double py) {
            double alpha;
            TColor colour;
            bool front;
            ringAt(px, py, alpha, colour, front);
            if (!front)
                canvas.Blend(x, y, colour, alpha);
        });
    }
    TSphere sphere{cx, cy, r};
    sphere.Flattening = flattening;
    sphere.Light = light;
    // Saturn's axis leans as its rings do; Jupiter's hardly leans at all.
    sphere.Tilt = rings ? tilt : flattening > 0.05 ? 0.05 : 0.3;
    sphere.Surface = std::move(surface);
    PaintSphere(canvas, sphere);
    if (rings) {
        canvas.ForBox(cx, cy, reach, reach, [&](int x, int y, double px, double py) {
            double alpha;
            TColor colour;
            bool front;
            ringAt(px, py, alpha, colour, front);
            if (front)
                canvas.Blend(x, y, colour, alpha);
        });
    }
}

void PaintPlanetPicture(TCanvas& canvas, std::uint32_t seed, double radiusPart, double flattening,
                        std::function<TColor(const TSurfacePoint&)> surface, bool rings = false) {
    PaintSky(canvas, seed, 0.3);
    const double r = std::min(canvas.Width, canvas.Height) * radiusPart;
    PaintPlanet(canvas, canvas.Width / 2.0, canvas.Height / 2.0, r, flattening, std::move(surface),
                rings);
}

// Jupiter with its four Galilean moons in a row, as a small telescope shows them.
void PaintJupiterPicture(TCanvas& canvas) {
    PaintPlanetPicture(canvas, 5, 0.3, 0.065, JupiterSurface);
    const double cy = canvas.Height / 2.0, r = std::min(canvas.Width, canvas.Height) * 0.3;
    const double u = canvas.Unit();
    for (const auto& [offset, size, warm] :
         {std::array<double, 3>{-1.55, 1.0, 1}, {-2.15, 0.9, 0}, {1.6, 1.3, 0}, {2.15, 1.2, 0}}) {
        const double x = canvas.Width / 2.0 + offset * r;
        const TColor c = warm > 0 ? Rgb(250, 230, 170) : Rgb(225, 225, 230);
        canvas.Glow(x, cy + offset * 2 * u, 5 * u * size, c * 0.25);
        canvas.Disc(x, cy + offset * 2 * u, 4.5 * u * size, c, 1, 1.3);
    }
}

void PaintSunPicture(TCanvas& canvas) {
    canvas.Paint([](double, double) { return Rgb(2, 3, 10); });
    const double cx = canvas.Width / 2.0, cy = canvas.Height / 2.0;
    const double r = std::min(canvas.Width, canvas.Height) * 0.36;
    // The corona and the glare around the disc.
    canvas.Glow(cx, cy, r * 0.75, Rgb(255, 200, 120) * 0.55);
    canvas.Glow(cx, cy, r * 1.4, Rgb(255, 170, 90) * 0.22);
    TSphere sun{cx, cy, r};
    sun.Emitter = true;
    sun.Surface = SunSurface;
    PaintSphere(canvas, sun);
}

// The planets side by side at one scale, with the edge of the Sun at the left.
void PaintPlanetsToScale(TCanvas& canvas) {
    PaintSky(canvas, 9, 0.5);
    const double jupiterR = canvas.Height * 0.16;
    const double k = jupiterR / 69911; // pixels per kilometre
    const double cy = canvas.Height / 2.0;
    const double sunR = 695700 * k;
    canvas.Glow(-sunR + canvas.Width * 0.11, cy, sunR * 0.05, Rgb(255, 190, 110) * 0.6);
    TSphere sun{-sunR + canvas.Width * 0.11, cy, sunR};
    sun.Emitter = true;
    sun.Surface = SunSurface;
    PaintSphere(canvas, sun);
    struct TBody {
        double Radius;
        std::function<TColor(const TSurfacePoint&)> Surface;
        double Flattening;
        bool Rings;
    };
    const TBody bodies[] = {
        {2440, MercurySurface, 0, false},      {6052, VenusSurface, 0, false},
        {6371, EarthSurface, 0, false},        {3390, MarsSurface, 0, false},
        {69911, JupiterSurface, 0.065, false}, {58232, SaturnSurface, 0.098, true},
        {25362, UranusSurface, 0.02, false},   {24622, NeptuneSurface, 0.017, false}};
    double x = canvas.Width * 0.15;
    const TVec light = {-1, 0, 0.35}; // the Sun is to the left
    for (const TBody& b : bodies) {
        const double r = std::max(b.Radius * k, 1.5);
        const double halfWidth = b.Rings ? r * 2.3 : r;
        x += halfWidth + canvas.Width * 0.022;
        PaintPlanet(canvas, x, cy, r, b.Flattening, b.Surface, b.Rings, light);
        x += halfWidth;
    }
}

// ---------------------------------------------------------------------------------------------
// The sketch beside the Dipper article: the Dipper and the pole star drawn in pencil on paper.

void PaintDipperSketch(TCanvas& canvas) {
    canvas.Paint([](double x, double y) {
        const double n = Fbm(x / 40, y / 40, 0.5, 4, 91) - 0.5;
        const double fibre = Fbm(x / 3, y / 60, 1.5, 2, 92) - 0.5;
        const double v = 0.93 + 0.05 * n + 0.02 * fibre;
        return TColor{v, v * 0.975, v * 0.92};
    });
    const TChart chart = Polaris();
    const double u = canvas.Unit();
    const double pixelsPerDegree = std::min(canvas.Width, canvas.Height) / 50.0;
    const auto toScreen = [&](const char* name) {
        for (const TStar& s : chart.Stars)
            if (std::string(s.Name) == name) {
                const auto [x, y] = Project(s.RaHours, s.DecDegrees, Ra(11, 50), 70);
                return std::array<double, 3>{canvas.Width * 0.5 + x * pixelsPerDegree,
                                             canvas.Height * 0.5 + y * pixelsPerDegree,
                                             s.Magnitude};
            }
        throw std::logic_error(name);
    };
    const TColor graphite = Rgb(60, 60, 68);
    TRandom wobble(93);
    // A pencil line: two slightly different strokes.
    const auto stroke = [&](const char* a, const char* b, double dash) {
        const auto p = toScreen(a), q = toScreen(b);
        for (int pass = 0; pass < 2; ++pass) {
            const double j = 1.2 * u;
            canvas.Line(p[0] + wobble.Range(-j, j), p[1] + wobble.Range(-j, j),
                        q[0] + wobble.Range(-j, j), q[1] + wobble.Range(-j, j), 1.3 * u, graphite,
                        0.45, dash);
        }
    };
    for (const auto& [a, b] :
         std::array<std::pair<const char*, const char*>, 7>{{{"Dubhe", "Merak"},
                                                             {"Merak", "Phecda"},
                                                             {"Phecda", "Megrez"},
                                                             {"Megrez", "Dubhe"},
                                                             {"Megrez", "Alioth"},
                                                             {"Alioth", "Mizar"},
                                                             {"Mizar", "Alkaid"}}})
        stroke(a, b, 0);
    stroke("Dubhe", "Polaris", 9 * u);
    for (const char* name :
         {"Dubhe", "Merak", "Phecda", "Megrez", "Alioth", "Mizar", "Alkaid", "Polaris"}) {
        const auto p = toScreen(name);
        const double r = u * (3 + 2.6 * (3.5 - p[2]));
        canvas.Disc(p[0], p[1], r, graphite, 0.85, 1.5);
        // A circle around the pole star, as an observer marks the target.
        if (std::string(name) == "Polaris")
            for (int i = 0; i < 48; ++i) {
                const double a0 = i * 2 * Pi / 48, a1 = (i + 1) * 2 * Pi / 48, rr = r * 3.2;
                canvas.Line(p[0] + rr * std::cos(a0), p[1] + rr * std::sin(a0),
                            p[0] + rr * std::cos(a1), p[1] + rr * std::sin(a1), 1.1 * u, graphite,
                            0.5);
            }
    }
    // The horizon with a few trees along the bottom.
    const double horizon = canvas.Height * 0.95;
    for (int x = 0; x < canvas.Width; x += 3) {
        const double h = horizon + 6 * u * (Fbm(x / 50.0, 0.3, 0.7, 3, 94) - 0.5);
        canvas.Line(x, h, x + 3, h, 1.2 * u, graphite, 0.55);
    }
    for (double tx : {0.08, 0.13, 0.83, 0.9}) {
        const double x = canvas.Width * tx, h = canvas.Height * (0.1 + 0.04 * std::sin(tx * 40));
        for (int level = 0; level < 5; ++level) {
            const double y = horizon - h * level / 5.0, w = (5 - level) * 7.0 * u;
            canvas.Line(x - w, y, x, y - h / 4, 1.2 * u, graphite, 0.5);
            canvas.Line(x + w, y, x, y - h / 4, 1.2 * u, graphite, 0.5);
        }
    }
}

// ---------------------------------------------------------------------------------------------
// The set.

struct TPicture {
    const char* File;
    int Width, Height;
    std::function<void(TCanvas&)> Paint;
};

std::vector<TPicture> Pictures() {
    const auto chart = [](TChart (*make)(), std::uint32_t seed) {
        return [make, seed](TCanvas& canvas) { PaintChart(canvas, make(), seed); };
    };
    const auto moon = [](double elongation, std::uint32_t seed) {
        return [elongation, seed](TCanvas& canvas) { PaintMoonPicture(canvas, elongation, seed); };
    };
    std::vector<TPicture> list = {
        {"orion.jpg", 768, 1024,
         [](TCanvas& canvas) {
             PaintChart(canvas, Orion(), 1, [](TCanvas& c, const auto& toScreen) {
                 const auto [x, y] = toScreen(Ra(5, 35.3), -5.39);
                 PaintHaze(c, x, y, 16 * c.Unit(), 12 * c.Unit(), 0.5, Rgb(190, 120, 170), 0.35);
             });
         }},
        {"ursa-major.jpg", 1024, 768, chart(UrsaMajor, 2)},
        {"polaris.jpg", 800, 800, chart(Polaris, 3)},
        {"cassiopeia.jpg", 1024, 768, chart(Cassiopeia, 4)},
        {"summer-triangle.jpg", 2400, 1800,
         [](TCanvas& canvas) {
             PaintChart(canvas, SummerTriangle(), 6, [](TCanvas& c, const auto& toScreen) {
                 // The Milky Way runs through the triangle, split by the dark Great Rift.
                 std::vector<std::pair<double, double>> band, rift;
                 for (const auto& [ra, dec] : MilkyWay()) {
                     band.push_back(toScreen(ra, dec));
                     if (dec > -6 && dec < 46)
                         rift.push_back(toScreen(ra - 0.1, dec));
                 }
                 const double u = c.Unit();
                 PaintBand(c, band, 150 * u, Rgb(62, 72, 104), 0.55, 63);
                 PaintBand(c, rift, 40 * u, Rgb(-45, -50, -62), 0.6, 64);
                 // Its crowd of faint stars, thickest along the middle of the band.
                 TRandom random(61);
                 for (int i = 0; i < 5000; ++i) {
                     const std::size_t k =
                         static_cast<std::size_t>(random.Next() * (band.size() - 1));
                     const double t = random.Next();
                     const double x = band[k].first + t * (band[k + 1].first - band[k].first);
                     const double y = band[k].second + t * (band[k + 1].second - band[k].second);
                     const double across =
                         150 * u * (random.Next() + random.Next() + random.Next() - 1.5);
                     const double along = 40 * u * (random.Next() - 0.5);
                     const double m = random.Next();
                     c.Disc(x + across * 0.75 + along * 0.6, y + across * 0.6 - along * 0.75,
                            (0.5 + 0.5 * m * m) * u, Rgb(205, 212, 235), 0.15 + 0.45 * m * m, 1);
                 }
             });
         }},
        {"lyra.jpg", 800, 800,
         [](TCanvas& canvas) {
             PaintChart(canvas, Lyra(), 7, [](TCanvas& c, const auto& toScreen) {
                 const auto [x, y] = toScreen(Ra(18, 53.6), 33.03); // the Ring Nebula
                 c.Disc(x, y, 7 * c.Unit(), Rgb(120, 200, 170), 0.5, 3 * c.Unit());
                 c.Disc(x, y, 3.5 * c.Unit(), Rgb(14, 26, 58), 0.7, 2 * c.Unit());
             });
         }},
        {"cygnus.jpg", 1024, 768, chart(Cygnus, 8)},
        {"leo.jpg", 1024, 768, chart(Leo, 9)},
        {"taurus.jpg", 1024, 768, chart(Taurus, 10)},
        {"pleiades.jpg", 800, 800,
         [](TCanvas& canvas) {
             PaintChart(canvas, Pleiades(), 11, [](TCanvas& c, const auto& toScreen) {
                 // The blue reflection nebula around the brightest members.
                 for (const TStar& s : PleiadesStars()) {
                     const auto [x, y] = toScreen(s.RaHours, s.DecDegrees);
                     PaintHaze(c, x, y, 60 * c.Unit(), 40 * c.Unit(), 0.6, Rgb(60, 90, 170),
                               0.12 * std::pow(10.0, -0.2 * (s.Magnitude - 3)));
                 }
             });
         }},
        {"pegasus-andromeda.jpg", 1024, 768,
         [](TCanvas& canvas) {
             PaintChart(canvas, PegasusAndromeda(), 12, [](TCanvas& c, const auto& toScreen) {
                 const auto [x, y] = toScreen(Ra(0, 42.7), 41.27); // M31
                 PaintHaze(c, x, y, 20 * c.Unit(), 6 * c.Unit(), -0.6, Rgb(210, 200, 180), 0.3);
             });
         }},
        {"mizar-alcor.jpg", 320, 240, PaintMizarAlcor},
        {"moon-new.jpg", 800, 800, moon(4, 21)},
        {"moon-waxing-crescent.jpg", 800, 800, moon(42, 22)},
        {"moon-first-quarter.jpg", 800, 800, moon(90, 23)},
        {"moon-waxing-gibbous.jpg", 800, 800, moon(135, 24)},
        {"moon-full.jpg", 800, 800, moon(180, 25)},
        {"moon-waning-gibbous.jpg", 800, 800, moon(225, 26)},
        {"moon-last-quarter.jpg", 800, 800, moon(270, 27)},
        {"moon-waning-crescent.jpg", 800, 800, moon(318, 28)},
        {"moon-phases.jpg", 1600, 400,
         [](TCanvas& canvas) {
             PaintSky(canvas, 29, 0.3);
             for (int i = 0; i < 8; ++i)
                 PaintMoon(canvas, canvas.Width * (i + 0.5) / 8, canvas.Height / 2.0,
                           canvas.Width / 8 * 0.42, i * 45 + (i == 0 ? 4 : 0));
         }},
        {"sun.jpg", 1024, 768, PaintSunPicture},
        {"mercury.jpg", 800, 800,
         [](TCanvas& c) { PaintPlanetPicture(c, 31, 0.36, 0, MercurySurface); }},
        {"venus.jpg", 800, 800,
         [](TCanvas& c) { PaintPlanetPicture(c, 32, 0.36, 0, VenusSurface); }},
        {"earth.jpg", 800, 800,
         [](TCanvas& c) { PaintPlanetPicture(c, 33, 0.36, 0, EarthSurface); }},
        {"mars.jpg", 800, 800, [](TCanvas& c) { PaintPlanetPicture(c, 34, 0.36, 0, MarsSurface); }},
        {"jupiter.jpg", 1024, 768, PaintJupiterPicture},
        {"saturn.jpg", 1024, 768,
         [](TCanvas& c) { PaintPlanetPicture(c, 36, 0.19, 0.098, SaturnSurface, true); }},
        {"uranus.jpg", 800, 800,
         [](TCanvas& c) { PaintPlanetPicture(c, 37, 0.34, 0.02, UranusSurface); }},
        {"neptune.jpg", 800, 800,
         [](TCanvas& c) { PaintPlanetPicture(c, 38, 0.34, 0.017, NeptuneSurface); }},
        {"planets-scale.jpg", 1600, 600, PaintPlanetsToScale},
        {"base/dipper-sketch.jpg", 800, 600, PaintDipperSketch},
    };
    return list;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: picture-painter OUTDIR\n";
        return 2;
    }
    try {
        const std::string out = ProgramArguments(argc, argv)[1];
        CreateFolders(JoinPath(out, "base"));
        for (const TPicture& picture : Pictures()) {
            TCanvas canvas(picture.Width, picture.Height);
            picture.Paint(canvas);
            SaveJpeg(JoinPath(out, picture.File), canvas.ToRgb(), canvas.Width, canvas.Height);
        }
    } catch (const std::exception& e) {
        std::cerr << "picture-painter: " << e.what() << '\n';
        return 2;
    }
    return 0;
}
