// Build-time painter of the demo edition's video: short clips drawn frame by frame here (the
// Moon going through its phases, the sky turning around the pole star with star trails, the way
// from the Dipper to the pole star) and written as AVI files with Motion-JPEG video: each frame
// a JPEG through common's codec, in a RIFF file of our own writing (hdrl with avih and one
// video stream's strh and strf, movi with one '00dc' chunk per frame, the idx1 index).
// Everything comes from fixed seeds: the same clips on every build.
//
//   clip-painter VIDEODIR CLIPSDIR   writes the video supplements into VIDEODIR and the clips
//                                    that articles link into CLIPSDIR
#include "common/CommandLine.h"
#include "common/FileSystem.h"
#include "common/JpegCodec.h"
#include "tools/PaintKit.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
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
constexpr int Width = 320;
constexpr int Height = 240;
constexpr int Fps = 10;
constexpr int JpegQuality = 80;

// ---------------------------------------------------------------------------------------------
// The AVI writer.

void Put32(std::string& s, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        s += static_cast<char>((v >> (8 * i)) & 0xFF);
}
void Put16(std::string& s, std::uint32_t v) {
    s += static_cast<char>(v & 0xFF);
    s += static_cast<char>((v >> 8) & 0xFF);
}
// A chunk: its four-character code, its size, its data and a pad byte to an even size.
std::string Chunk(const char* code, const std::string& data) {
    std::string s(code, 4);
    Put32(s, static_cast<std::uint32_t>(data.size()));
    s += data;
    if (data.size() % 2)
        s += '\0';
    return s;
}
std::string List(const char* type, const std::string& data) {
    return Chunk("LIST", std::string(type, 4) + data);
}

// The AVI file image of the JPEG frames, all of width × height, at fps frames a second.
std::string WriteAvi(const std::vector<std::string>& frames, int width, int height, int fps) {
    std::uint32_t largest = 0;
    std::uint64_t total = 0;
    for (const std::string& f : frames) {
        largest = std::max(largest, static_cast<std::uint32_t>(f.size()));
        total += f.size();
    }
    const std::uint32_t count = static_cast<std::uint32_t>(frames.size());
    const std::uint32_t w = static_cast<std::uint32_t>(width);
    const std::uint32_t h = static_cast<std::uint32_t>(height);

    std::string avih;
    Put32(avih, 1000000 / fps);                                            // microseconds a frame
    Put32(avih, static_cast<std::uint32_t>(total * fps / std::max(1u, count)) + 1); // bytes/s
    Put32(avih, 0);                                                        // padding granularity
    Put32(avih, 0x10);                                                     // AVIF_HASINDEX
    Put32(avih, count);                                                    // total frames
    Put32(avih, 0);                                                        // initial frames
    Put32(avih, 1);                                                        // streams
    Put32(avih, largest + 8);                                              // buffer size
    Put32(avih, w);
    Put32(avih, h);
    for (int i = 0; i < 4; ++i)
        Put32(avih, 0);

    std::string strh = "vidsMJPG";
    Put32(strh, 0);           // flags
    Put16(strh, 0);           // priority
    Put16(strh, 0);           // language
    Put32(strh, 0);           // initial frames
    Put32(strh, 1);           // scale
    Put32(strh, static_cast<std::uint32_t>(fps)); // rate: rate / scale frames a second
    Put32(strh, 0);           // start
    Put32(strh, count);       // length in frames
    Put32(strh, largest + 8); // buffer size
    Put32(strh, 0xFFFFFFFF);  // quality: the default
    Put32(strh, 0);           // sample size: frames vary
    Put16(strh, 0), Put16(strh, 0), Put16(strh, w), Put16(strh, h); // frame rectangle

    std::string strf; // BITMAPINFOHEADER
    Put32(strf, 40);
    Put32(strf, w);
    Put32(strf, h);
    Put16(strf, 1);  // planes
    Put16(strf, 24); // bits per pixel
    strf += "MJPG";
    Put32(strf, w * h * 3);
    for (int i = 0; i < 4; ++i)
        Put32(strf, 0);

    const std::string hdrl =
        List("hdrl", Chunk("avih", avih) + List("strl", Chunk("strh", strh) + Chunk("strf", strf)));

    // movi, and the index: each frame a key frame, its offset counted from the "movi" code.
    std::string movi = "movi";
    std::string index;
    for (const std::string& f : frames) {
        index += "00dc";
        Put32(index, 0x10); // AVIIF_KEYFRAME
        Put32(index, static_cast<std::uint32_t>(movi.size()));
        Put32(index, static_cast<std::uint32_t>(f.size()));
        movi += Chunk("00dc", f);
    }
    const std::string body = "AVI " + hdrl + Chunk("LIST", movi) + Chunk("idx1", index);
    std::string file = "RIFF";
    Put32(file, static_cast<std::uint32_t>(body.size()));
    return file + body;
}

// ---------------------------------------------------------------------------------------------
// A frame and its primitives.

class TFrame {
public:
    TFrame() : FPixels(static_cast<std::size_t>(Width) * Height) {}

    TColor& At(int x, int y) { return FPixels[static_cast<std::size_t>(y) * Width + x]; }
    const TColor& At(int x, int y) const {
        return FPixels[static_cast<std::size_t>(y) * Width + x];
    }
    void Add(int x, int y, TColor c) {
        if (x >= 0 && y >= 0 && x < Width && y < Height)
            At(x, y) = At(x, y) + c;
    }
    void Blend(int x, int y, TColor c, double alpha) {
        if (x >= 0 && y >= 0 && x < Width && y < Height && alpha > 0)
            At(x, y) = Mix(At(x, y), c, std::min(alpha, 1.0));
    }
    void Paint(const std::function<TColor(double x, double y)>& f) {
        for (int y = 0; y < Height; ++y)
            for (int x = 0; x < Width; ++x)
                At(x, y) = f(x + 0.5, y + 0.5);
    }

    // A star: a small Gaussian spot of light, brighter and wider for a smaller magnitude.
    void Star(double cx, double cy, double brightness, TColor tint) {
        const double radius = 0.6 + 0.9 * std::sqrt(brightness);
        const int r = static_cast<int>(std::ceil(radius * 3));
        for (int y = static_cast<int>(cy) - r; y <= static_cast<int>(cy) + r; ++y)
            for (int x = static_cast<int>(cx) - r; x <= static_cast<int>(cx) + r; ++x) {
                const double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
                const double k = std::exp(-(dx * dx + dy * dy) / (2 * radius * radius * 0.5));
                Add(x, y, tint * (brightness * k));
            }
    }

    // An anti-aliased line of width w, blended at alpha.
    void Line(double x0, double y0, double x1, double y1, double w, TColor c, double alpha) {
        const double length = std::hypot(x1 - x0, y1 - y0);
        if (length < 1e-9)
            return;
        const int left = static_cast<int>(std::floor(std::min(x0, x1) - w - 1));
        const int right = static_cast<int>(std::ceil(std::max(x0, x1) + w + 1));
        const int top = static_cast<int>(std::floor(std::min(y0, y1) - w - 1));
        const int bottom = static_cast<int>(std::ceil(std::max(y0, y1) + w + 1));
        for (int y = std::max(0, top); y <= std::min(Height - 1, bottom); ++y)
            for (int x = std::max(0, left); x <= std::min(Width - 1, right); ++x) {
                const double px = x + 0.5 - x0, py = y + 0.5 - y0;
                const double t = std::clamp((px * (x1 - x0) + py * (y1 - y0)) / (length * length),
                                            0.0, 1.0);
                const double d = std::hypot(px - t * (x1 - x0), py - t * (y1 - y0));
                Blend(x, y, c, alpha * Clamp01(w / 2 + 0.5 - d));
            }
    }

    // A ring of radius r and width w, blended at alpha.
    void Ring(double cx, double cy, double r, double w, TColor c, double alpha) {
        const int reach = static_cast<int>(r + w + 2);
        for (int y = static_cast<int>(cy) - reach; y <= static_cast<int>(cy) + reach; ++y)
            for (int x = static_cast<int>(cx) - reach; x <= static_cast<int>(cx) + reach; ++x) {
                const double d = std::fabs(std::hypot(x + 0.5 - cx, y + 0.5 - cy) - r);
                Blend(x, y, c, alpha * Clamp01(w / 2 + 0.5 - d));
            }
    }

    // The JPEG file image of the frame, dithered.
    std::string Jpeg() const {
        TDibPicture picture;
        picture.Width = Width;
        picture.Height = Height;
        picture.Pixels.resize(FPixels.size() * 3);
        for (std::size_t i = 0; i < FPixels.size(); ++i) {
            const double dither = (Hash(static_cast<std::uint32_t>(i)) & 0xFF) / 255.0 - 0.5;
            const TColor& c = FPixels[i];
            const double channels[3] = {c.R, c.G, c.B};
            for (int k = 0; k < 3; ++k)
                picture.Pixels[i * 3 + k] = static_cast<std::uint8_t>(
                    std::clamp(std::lround(Clamp01(channels[k]) * 255 + dither), 0L, 255L));
        }
        return EncodeJpeg(picture, JpegQuality);
    }

private:
    std::vector<TColor> FPixels;
};

// The night sky's gradient: darker overhead, a faint glow towards the horizon at horizonY.
TColor SkyAt(double y, double horizonY) {
    const double t = Clamp01(y / horizonY);
    return Mix(Rgb(3, 5, 16), Rgb(16, 24, 48), t * t);
}

// A treeline and hill silhouette along the bottom: the height of the ground at column x.
double GroundAt(double x, std::uint32_t seed) {
    const double hills = Height - 34 - 14 * Fbm(x / 90, 0.5, 0.5, 3, seed);
    const double trees = 10 * std::pow(Fbm(x / 6, 2.5, 0.5, 2, seed + 5), 2.0);
    return hills - trees;
}

void PaintGround(TFrame& frame, std::uint32_t seed) {
    for (int x = 0; x < Width; ++x) {
        const double g = GroundAt(x + 0.5, seed);
        for (int y = 0; y < Height; ++y) {
            const double cover = Clamp01(y + 1 - g);
            frame.Blend(x, y, Rgb(4, 6, 8), cover);
        }
    }
}

// ---------------------------------------------------------------------------------------------
// The sky around the pole: stars by right ascension and declination, seen facing north, the
// pole at (poleX, poleY), turned by the sidereal angle.

struct TStar {
    double RaHours, DecDegrees, Magnitude;
};

// The circumpolar stars the articles name: Polaris and the Little Dipper, the Big Dipper,
// Cassiopeia.
const std::vector<TStar>& NamedStars() {
    static const std::vector<TStar> stars = {
        {2.530, 89.26, 2.0},   // Polaris
        {14.845, 74.16, 2.1},  // Kochab
        {15.345, 71.83, 3.0},  // Pherkad
        {16.766, 82.04, 4.2},  // epsilon UMi
        {17.537, 86.59, 4.4},  // delta UMi
        {15.734, 77.79, 4.3},  // zeta UMi
        {16.292, 75.76, 5.0},  // eta UMi
        {11.062, 61.75, 1.8},  // Dubhe
        {11.031, 56.38, 2.4},  // Merak
        {11.897, 53.69, 2.4},  // Phecda
        {12.257, 57.03, 3.3},  // Megrez
        {12.900, 55.96, 1.8},  // Alioth
        {13.399, 54.93, 2.2},  // Mizar
        {13.792, 49.31, 1.9},  // Alkaid
        {0.675, 56.54, 2.2},   // Schedar
        {0.153, 59.15, 2.3},   // Caph
        {0.945, 60.72, 2.4},   // gamma Cas
        {1.430, 60.24, 2.7},   // Ruchbah
        {1.907, 63.67, 3.4},   // Segin
    };
    return stars;
}

// Faint background stars scattered with uniform density on the sphere above declination 30.
std::vector<TStar> FieldStars(std::uint32_t seed, int count) {
    TRandom random(seed);
    std::vector<TStar> stars;
    for (int i = 0; i < count; ++i) {
        const double sinDec = random.Range(std::sin(30 * Pi / 180), 1);
        stars.push_back({random.Range(0, 24), std::asin(sinDec) * 180 / Pi,
                         3.6 + 2.4 * std::pow(random.Next(), 0.5)});
    }
    return stars;
}

struct TSkyView {
    double PoleX, PoleY;
    double Scale;   // pixels per degree from the pole
    double Turn;    // radians the sky has turned (counter-clockwise, facing north)
};

// Where a star stands on the frame: a polar projection around the pole, right ascension
// increasing counter-clockwise.
void Project(const TSkyView& view, const TStar& s, double& x, double& y) {
    const double r = (90 - s.DecDegrees) * view.Scale;
    const double a = s.RaHours / 24 * 2 * Pi + view.Turn;
    x = view.PoleX + r * std::sin(a);
    y = view.PoleY - r * std::cos(a);
}

double Brightness(double magnitude) {
    return 1.3 * std::pow(10.0, -0.4 * (magnitude - 1.5));
}

TColor StarTint(std::uint32_t i) {
    const double t = (Hash(i * 977u) & 0xFF) / 255.0;
    return t < 0.5 ? Mix(Rgb(190, 210, 255), Rgb(255, 255, 255), t * 2)
                   : Mix(Rgb(255, 255, 255), Rgb(255, 220, 170), (t - 0.5) * 2);
}

void PaintStars(TFrame& frame, const TSkyView& view, const std::vector<TStar>& stars,
                double gain) {
    for (std::size_t i = 0; i < stars.size(); ++i) {
        double x, y;
        Project(view, stars[i], x, y);
        frame.Star(x, y, gain * Brightness(stars[i].Magnitude),
                   StarTint(static_cast<std::uint32_t>(i)));
    }
}

// ---------------------------------------------------------------------------------------------
// The clips.

using TClip = std::vector<std::string>;

// The Moon through a lunation, 12 seconds: the disc lit from a Sun that goes round it, the
// earthshine on the dark side, and below a row of eight small discs with the current phase
// marked.
TClip MoonPhases() {
    const int frames = 12 * Fps;
    const double cx = Width / 2.0, cy = 104, radius = 78;
    // The surface does not turn (the Moon keeps one face to us): its albedo once for all frames.
    std::vector<double> albedo(static_cast<std::size_t>(Width) * Height, 0);
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x) {
            const double nx = (x + 0.5 - cx) / radius, ny = (y + 0.5 - cy) / radius;
            if (nx * nx + ny * ny >= 1)
                continue;
            const double nz = std::sqrt(1 - nx * nx - ny * ny);
            const double maria = SmoothStep(0.48, 0.62, Fbm(nx * 1.6, ny * 1.6, nz * 1.6, 4, 21));
            const double grain = Fbm(nx * 9, ny * 9, nz * 9, 3, 22);
            albedo[static_cast<std::size_t>(y) * Width + x] =
                (0.86 - 0.38 * maria) * (0.82 + 0.3 * grain);
        }
    const std::vector<TStar> field = FieldStars(5, 60);
    TClip clip;
    for (int f = 0; f < frames; ++f) {
        // The elongation from the Sun: from just after new Moon round to just before the next.
        const double phase = 2 * Pi * (0.02 + 0.96 * f / (frames - 1));
        const double sx = std::sin(phase), sz = -std::cos(phase); // the Sun's direction
        TFrame frame;
        frame.Paint([&](double, double y) { return SkyAt(y, Height); });
        TRandom twinkle(static_cast<std::uint32_t>(f));
        for (std::size_t i = 0; i < field.size(); ++i) {
            const double x = Hash(static_cast<std::uint32_t>(i) * 31u) % Width;
            const double y = Hash(static_cast<std::uint32_t>(i) * 57u + 1) % 190;
            if (std::hypot(x - cx, y - cy) > radius + 6)
                frame.Star(x, y, 0.5 * Brightness(field[i].Magnitude) * twinkle.Range(0.7, 1.1),
                           StarTint(static_cast<std::uint32_t>(i)));
        }
        for (int y = 0; y < Height; ++y)
            for (int x = 0; x < Width; ++x) {
                const double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
                const double d = std::hypot(dx, dy) / radius;
                if (d >= 1.02)
                    continue;
                const double edge = Clamp01((1 - d) * radius + 0.5);
                const double nx = dx / radius, ny = dy / radius;
                const double nz = std::sqrt(std::max(0.0, 1 - nx * nx - ny * ny));
                const double light = nx * sx + nz * sz;
                const double lit = SmoothStep(-0.03, 0.05, light) * (0.55 + 0.45 * Clamp01(light));
                const double a = albedo[static_cast<std::size_t>(y) * Width + x];
                const TColor day = Rgb(250, 244, 228) * (a * lit);
                const TColor earthshine = Rgb(70, 90, 130) * (0.09 * a * (1 - lit));
                frame.Blend(x, y, day + earthshine, edge);
            }
        // The cycle below: eight small discs, the nearest to the current phase circled.
        const int nearest = static_cast<int>(std::lround(phase / (Pi / 4))) % 8;
        for (int k = 0; k < 8; ++k) {
            const double kx = 40 + k * 34.3, ky = 212, kr = 9;
            const double ka = k * Pi / 4 + (k == 0 ? 0.08 : 0);
            for (int y = static_cast<int>(ky - kr) - 1; y <= static_cast<int>(ky + kr) + 1; ++y)
                for (int x = static_cast<int>(kx - kr) - 1; x <= static_cast<int>(kx + kr) + 1;
                     ++x) {
                    const double nx = (x + 0.5 - kx) / kr, ny = (y + 0.5 - ky) / kr;
                    const double d = std::hypot(nx, ny);
                    if (d >= 1.1)
                        continue;
                    const double nz = std::sqrt(std::max(0.0, 1 - nx * nx - ny * ny));
                    const double lit = SmoothStep(-0.08, 0.08, nx * std::sin(ka) - nz * std::cos(ka));
                    frame.Blend(x, y, Mix(Rgb(40, 44, 56), Rgb(235, 230, 210), lit),
                                Clamp01((1 - d) * kr + 0.5));
                }
            if (k == nearest)
                frame.Ring(kx, ky, kr + 4, 1.5, Rgb(255, 210, 120), 0.9);
        }
        clip.push_back(frame.Jpeg());
    }
    return clip;
}

// The sky turning around the pole star over a long exposure, 12 seconds: the stars draw arcs
// that grow frame by frame (each frame keeps the brightest light any earlier one had, fading
// slowly), above a dark treeline.
TClip StarTrails() {
    const int frames = 12 * Fps;
    const TSkyView start{Width / 2.0, 78, 2.2, 0.4};
    std::vector<TStar> stars = NamedStars();
    const std::vector<TStar> field = FieldStars(9, 170);
    stars.insert(stars.end(), field.begin(), field.end());
    std::vector<TColor> trails(static_cast<std::size_t>(Width) * Height);
    TClip clip;
    // Several exposures per frame, so that a fast star draws an unbroken arc.
    const int steps = 4;
    const double turnPerFrame = 1.5 * Pi / 180;
    for (int f = 0; f < frames; ++f) {
        for (TColor& c : trails)
            c = c * 0.996;
        for (int s = 0; s < steps; ++s) {
            TSkyView view = start;
            view.Turn += (f + static_cast<double>(s) / steps) * turnPerFrame;
            TFrame exposure;
            PaintStars(exposure, view, stars, 1.2);
            for (int y = 0; y < Height; ++y)
                for (int x = 0; x < Width; ++x) {
                    TColor& t = trails[static_cast<std::size_t>(y) * Width + x];
                    const TColor& e = exposure.At(x, y);
                    t = {std::max(t.R, e.R), std::max(t.G, e.G), std::max(t.B, e.B)};
                }
        }
        TFrame frame;
        frame.Paint([&](double x, double y) {
            const TColor& t = trails[static_cast<std::size_t>(y) * Width + static_cast<int>(x)];
            return SkyAt(y, Height) + t * 0.9;
        });
        // The stars where they stand now, on top of their trails.
        TSkyView now = start;
        now.Turn += (f + 1) * turnPerFrame;
        PaintStars(frame, now, stars, 0.5);
        PaintGround(frame, 77);
        clip.push_back(frame.Jpeg());
    }
    return clip;
}

// From the Big Dipper to the pole star, 9 seconds: the sky turns slowly; the line through Merak
// and Dubhe grows five of their spacings on to Polaris, which then brightens with a ring.
TClip PolarTurn() {
    const int frames = 9 * Fps;
    std::vector<TStar> stars = NamedStars();
    const std::vector<TStar> field = FieldStars(13, 260);
    stars.insert(stars.end(), field.begin(), field.end());
    const TStar& polaris = NamedStars()[0];
    const TStar& dubhe = NamedStars()[7];
    const TStar& merak = NamedStars()[8];
    TClip clip;
    for (int f = 0; f < frames; ++f) {
        const double time = static_cast<double>(f) / Fps;
        TSkyView view{Width / 2.0 + 10, 70, 2.6, 0.55 + time * 0.04};
        TFrame frame;
        frame.Paint([&](double, double y) { return SkyAt(y, Height); });
        PaintStars(frame, view, stars, 0.9);
        // The Dipper's figure, faint.
        const auto position = [&](const TStar& s) {
            double x, y;
            Project(view, s, x, y);
            return std::pair{x, y};
        };
        const int dipper[] = {7, 8, 9, 10, 7, 10, 11, 12, 13};
        for (std::size_t i = 0; i + 1 < std::size(dipper); ++i) {
            const auto [x0, y0] = position(NamedStars()[dipper[i]]);
            const auto [x1, y1] = position(NamedStars()[dipper[i + 1]]);
            frame.Line(x0, y0, x1, y1, 1.0, Rgb(120, 150, 210), 0.35 * Clamp01(time / 1.5));
        }
        // The pointer: from Merak through Dubhe on to Polaris, between seconds 1.5 and 5.
        const auto [mx, my] = position(merak);
        const auto [dx, dy] = position(dubhe);
        const auto [px, py] = position(polaris);
        const double grow = SmoothStep(1.5, 5.0, time);
        if (grow > 0) {
            const double ex = mx + (px - mx) * grow, ey = my + (py - my) * grow;
            frame.Line(mx, my, ex, ey, 1.6, Rgb(255, 200, 110), 0.85);
            // The spacings along the way, as ticks.
            const double spacing = std::hypot(dx - mx, dy - my);
            const double total = std::hypot(px - mx, py - my);
            const double ux = (px - mx) / total, uy = (py - my) / total;
            for (double along = spacing; along < total * grow; along += spacing)
                frame.Line(mx + ux * along - uy * 4, my + uy * along + ux * 4,
                           mx + ux * along + uy * 4, my + uy * along - ux * 4, 1.2,
                           Rgb(255, 200, 110), 0.8);
        }
        if (time > 5.0) {
            const double glow = SmoothStep(5.0, 6.0, time) * (0.8 + 0.2 * std::sin(time * 5));
            frame.Star(px, py, 1.2 * glow, Rgb(255, 240, 200));
            frame.Ring(px, py, 9 + 2 * std::sin(time * 5), 1.5, Rgb(255, 210, 120), 0.8 * glow);
        }
        PaintGround(frame, 91);
        clip.push_back(frame.Jpeg());
    }
    return clip;
}

struct TClipFile {
    bool Linked; // a clip an article links (video_1), else a video supplement
    const char* File;
    std::function<TClip()> Paint;
};

std::vector<TClipFile> Clips() {
    return {
        {false, "moon-phases.avi", MoonPhases},
        {false, "star-trails.avi", StarTrails},
        {true, "polar-turn.avi", PolarTurn},
    };
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: clip-painter VIDEODIR CLIPSDIR\n";
        return 2;
    }
    try {
        const std::vector<std::string> args = ProgramArguments(argc, argv);
        const std::string video = args[1], clips = args[2];
        CreateFolders(video);
        CreateFolders(clips);
        for (const TClipFile& c : Clips()) {
            const TClip frames = c.Paint();
            WriteWholeFile(JoinPath(c.Linked ? clips : video, c.File),
                           WriteAvi(frames, Width, Height, Fps));
        }
    } catch (const std::exception& e) {
        std::cerr << "clip-painter: " << e.what() << '\n';
        return 2;
    }
    return 0;
}
