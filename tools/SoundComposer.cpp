// Build-time composer of the demo series' music: two albums of short pieces, composed here by a
// small generative score (chord progressions, pentatonic melodies that walk by steps and land
// on chord tones, arpeggios and a bass line) and synthesised by a few voices (FM bells, soft
// detuned pads, plucked strings, a round bass, a brush of noise), with a feedback echo and a
// small room reverb. Every random choice comes from a fixed seed: the same music on every build.
//
//   sound-composer OUTDIR     writes OUTDIR/<track>.wav (16-bit PCM, 22050 Hz, stereo) and
//                             prints each track's length, peak and RMS level
#include "common/CommandLine.h"
#include "common/FileSystem.h"
#include "tools/PaintKit.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <iostream>
#include <numbers>
#include <stdexcept>
#include <string>
#include <vector>

using namespace quarto;
using quarto::paint::Hash;
using quarto::paint::TRandom;

namespace {

constexpr int Rate = 22050;
constexpr double Pi = std::numbers::pi;
constexpr double TwoPi = 2 * Pi;

double Frequency(double midi) {
    return 440.0 * std::pow(2.0, (midi - 69) / 12);
}

// ---------------------------------------------------------------------------------------------
// The mix: two channels of float samples, and the voices that add notes into it.

class TMix {
public:
    explicit TMix(double seconds)
        : FLeft(static_cast<std::size_t>(seconds * Rate)), FRight(FLeft.size()) {}

    std::size_t Size() const { return FLeft.size(); }
    double Seconds() const { return static_cast<double>(Size()) / Rate; }
    std::vector<float>& Left() { return FLeft; }
    std::vector<float>& Right() { return FRight; }

    // Adds length seconds of voice(t) from start on, panned (-1 left .. 1 right).
    void Add(double start, double length, double pan, double gain,
             const std::function<double(double t)>& voice) {
        const long first = std::lround(start * Rate);
        const long count = std::lround(length * Rate);
        const double left = gain * std::cos((pan + 1) * Pi / 4);
        const double right = gain * std::sin((pan + 1) * Pi / 4);
        for (long i = std::max(0L, -first); i < count; ++i) {
            const std::size_t at = static_cast<std::size_t>(first + i);
            if (at >= Size())
                break;
            const double v = voice(static_cast<double>(i) / Rate);
            FLeft[at] += static_cast<float>(v * left);
            FRight[at] += static_cast<float>(v * right);
        }
    }

private:
    std::vector<float> FLeft, FRight;
};

// An attack-release envelope: rises over attack, holds, falls over release to end at length.
double Envelope(double t, double attack, double release, double length) {
    if (t < 0 || t >= length)
        return 0;
    double e = 1;
    if (t < attack)
        e = std::sin(t / attack * Pi / 2);
    if (t > length - release)
        e *= std::sin((length - t) / release * Pi / 2);
    return e;
}

// A bell: two-operator FM with an inharmonic modulator, the brightness fading faster than the
// sound. Rings for about ring seconds.
void Bell(TMix& mix, double start, double midi, double ring, double pan, double gain) {
    const double f = Frequency(midi);
    mix.Add(start, ring * 1.6, pan, gain, [=](double t) {
        const double decay = std::exp(-t * 4.5 / ring);
        const double attack = std::min(1.0, t / 0.004);
        const double index = 1.8 * std::exp(-t * 7 / ring);
        const double mod = std::sin(TwoPi * f * 3.5 * t) * index;
        return attack * decay *
               (std::sin(TwoPi * f * t + mod) + 0.18 * std::sin(TwoPi * f * 2.01 * t) * decay);
    });
}

// A pad note: three slightly detuned voices of a soft, few-partial tone, slowly breathing.
void Pad(TMix& mix, double start, double midi, double length, double pan, double gain) {
    const double f = Frequency(midi);
    const double detune[3] = {-0.0035, 0.0, 0.0042};
    const double phase0 = Hash(static_cast<std::uint32_t>(midi * 131 + start * 7)) % 1000 / 159.0;
    mix.Add(start, length, pan, gain, [=](double t) {
        double v = 0;
        for (double d : detune) {
            const double w = TwoPi * f * (1 + d) * t + phase0;
            v += std::sin(w) + 0.30 * std::sin(2 * w) + 0.12 * std::sin(3 * w) +
                 0.05 * std::sin(4 * w);
        }
        const double breath = 0.85 + 0.15 * std::sin(TwoPi * 0.21 * t + phase0);
        return v / 3 * breath * Envelope(t, std::min(1.8, length / 3), 1.6, length);
    });
}

// A plucked string (Karplus-Strong): a burst of seeded noise circulating in a delay line of
// one period, averaged a little on every pass.
void Pluck(TMix& mix, double start, double midi, double length, double pan, double gain,
           std::uint32_t seed, double damping = 0.996) {
    const double f = Frequency(midi);
    const std::size_t period = std::max<std::size_t>(2, static_cast<std::size_t>(Rate / f));
    std::vector<double> line(period);
    TRandom random(seed);
    for (double& s : line)
        s = random.Range(-1, 1);
    // A softer attack: the burst low-passed once before it starts.
    for (std::size_t i = 1; i < period; ++i)
        line[i] = 0.5 * (line[i] + line[i - 1]);
    // Without its mean: the loop keeps a constant offset for as long as the note lasts.
    double mean = 0;
    for (double s : line)
        mean += s / static_cast<double>(period);
    for (double& s : line)
        s -= mean;
    const std::size_t count = static_cast<std::size_t>(length * Rate);
    std::vector<double> out(count);
    std::size_t at = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t next = (at + 1) % period;
        const double v = line[at];
        line[at] = damping * 0.5 * (line[at] + line[next]);
        out[i] = v;
        at = next;
    }
    mix.Add(start, length, pan, gain, [&](double t) {
        const std::size_t i = std::min(count - 1, static_cast<std::size_t>(t * Rate));
        return out[i] * Envelope(t, 0.002, 0.08, length);
    });
}

// A round bass: a sine with a touch of its octave and fifth above, a short attack.
void Bass(TMix& mix, double start, double midi, double length, double gain) {
    const double f = Frequency(midi);
    mix.Add(start, length, 0, gain, [=](double t) {
        const double w = TwoPi * f * t;
        const double body = 0.65 + 0.35 * std::exp(-t * 6);
        return (std::sin(w) + 0.25 * std::sin(2 * w) + 0.06 * std::sin(3 * w)) * body *
               Envelope(t, 0.008, 0.06, length);
    });
}

// A brush: a short burst of high noise, for the off-beats.
void Brush(TMix& mix, double start, double pan, double gain, std::uint32_t seed) {
    TRandom random(seed);
    double previous = 0;
    mix.Add(start, 0.09, pan, gain, [&](double t) {
        const double n = random.Range(-1, 1);
        const double high = n - previous; // a first difference: the hiss above the rest
        previous = n;
        return high * std::exp(-t * 45);
    });
}

// A soft kick: a falling sine.
void Kick(TMix& mix, double start, double gain) {
    mix.Add(start, 0.35, 0, gain, [](double t) {
        const double phase = TwoPi * (45 * t + 60 * (1 - std::exp(-t * 30)) / 30);
        return std::sin(phase) * std::exp(-t * 9);
    });
}

// ---------------------------------------------------------------------------------------------
// Effects and levels.

// A ping-pong echo: each repeat lands on the other side, quieter and darker.
void Echo(TMix& mix, double delay, double feedback, double wet) {
    const std::size_t d = static_cast<std::size_t>(delay * Rate);
    std::vector<float>& l = mix.Left();
    std::vector<float>& r = mix.Right();
    std::vector<double> bl(d), br(d);
    double lowL = 0, lowR = 0;
    for (std::size_t i = 0; i < mix.Size(); ++i) {
        const std::size_t k = i % d;
        const double outL = bl[k], outR = br[k];
        lowL += 0.45 * (outR - lowL), lowR += 0.45 * (outL - lowR);
        bl[k] = l[i] + feedback * lowL;
        br[k] = r[i] + feedback * lowR;
        l[i] += static_cast<float>(wet * outL);
        r[i] += static_cast<float>(wet * outR);
    }
}

// A small room: four damped feedback combs and two all-passes per channel (Schroeder's
// arrangement), the channels with slightly different lengths for width.
void Reverb(TMix& mix, double size, double wet) {
    struct TComb {
        std::vector<double> Line;
        std::size_t At = 0;
        double Low = 0;
    };
    const auto channel = [&](std::vector<float>& samples, int spread) {
        std::array<TComb, 4> combs;
        const int combLengths[4] = {1116, 1188, 1277, 1356};
        for (int c = 0; c < 4; ++c)
            combs[c].Line.resize(static_cast<std::size_t>((combLengths[c] + spread) / 2 * size));
        std::array<std::vector<double>, 2> passes{std::vector<double>(278 + spread / 2),
                                                  std::vector<double>(111 + spread / 2)};
        std::array<std::size_t, 2> passAt{0, 0};
        for (float& sample : samples) {
            double sum = 0;
            for (TComb& c : combs) {
                const double out = c.Line[c.At];
                c.Low += 0.3 * (out - c.Low);
                c.Line[c.At] = sample * 0.5 + 0.84 * c.Low;
                c.At = (c.At + 1) % c.Line.size();
                sum += out;
            }
            for (int p = 0; p < 2; ++p) {
                std::vector<double>& line = passes[p];
                const double delayed = line[passAt[p]];
                const double out = -sum + delayed;
                line[passAt[p]] = sum + 0.5 * delayed;
                passAt[p] = (passAt[p] + 1) % line.size();
                sum = out;
            }
            sample = static_cast<float>(sample + wet * sum / 4);
        }
    };
    channel(mix.Left(), 0);
    channel(mix.Right(), 23);
}

// Fades the ends, scales the mix to peak at -1 dBFS and returns the 16-bit WAV file image.
// Throws when the mix is silent, so that a broken score never passes as music.
std::string Master(TMix& mix, const std::string& name) {
    const std::size_t fade = static_cast<std::size_t>(2.5 * Rate);
    double peak = 0;
    for (std::size_t i = 0; i < mix.Size(); ++i) {
        double k = 1;
        if (i < Rate / 20)
            k = static_cast<double>(i) / (Rate / 20);
        if (mix.Size() - i < fade)
            k = std::pow(static_cast<double>(mix.Size() - i) / fade, 1.5);
        mix.Left()[i] *= static_cast<float>(k);
        mix.Right()[i] *= static_cast<float>(k);
        peak = std::max({peak, std::fabs(static_cast<double>(mix.Left()[i])),
                         std::fabs(static_cast<double>(mix.Right()[i]))});
    }
    if (peak < 1e-6)
        throw std::runtime_error(name + ": the mix is silent");
    const double scale = std::pow(10.0, -1.0 / 20) * 32767 / peak;

    const auto u32 = [](std::string& s, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            s += static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    const auto u16 = [](std::string& s, std::uint32_t v) {
        s += static_cast<char>(v & 0xFF);
        s += static_cast<char>((v >> 8) & 0xFF);
    };
    const std::uint32_t dataBytes = static_cast<std::uint32_t>(mix.Size() * 4);
    std::string wav = "RIFF";
    u32(wav, 36 + dataBytes);
    wav += "WAVEfmt ";
    u32(wav, 16);
    u16(wav, 1); // PCM
    u16(wav, 2); // channels
    u32(wav, Rate);
    u32(wav, Rate * 4); // bytes per second
    u16(wav, 4);        // bytes per frame
    u16(wav, 16);       // bits per sample
    wav += "data";
    u32(wav, dataBytes);
    wav.reserve(wav.size() + dataBytes);
    double sumSquares = 0;
    int top = 0;
    for (std::size_t i = 0; i < mix.Size(); ++i) {
        for (const float v : {mix.Left()[i], mix.Right()[i]}) {
            const int s = static_cast<int>(std::clamp(std::lround(v * scale), -32768L, 32767L));
            top = std::max(top, std::abs(s));
            sumSquares += static_cast<double>(s) * s;
            u16(wav, static_cast<std::uint32_t>(s) & 0xFFFF);
        }
    }
    const double rms = std::sqrt(sumSquares / (2.0 * mix.Size())) / 32768;
    const double rmsDb = 20 * std::log10(rms);
    std::printf("%-24s %5.1f s  peak %5.1f dBFS  RMS %5.1f dBFS\n", name.c_str(), mix.Seconds(),
                20 * std::log10(top / 32768.0), rmsDb);
    if (rmsDb < -40)
        throw std::runtime_error(name + ": the mix is nearly silent");
    return wav;
}

// ---------------------------------------------------------------------------------------------
// The score.

// The major pentatonic scale (semitones above the key's root) and the chords of the major key
// the pieces move through, as semitones above the root.
constexpr int Pentatonic[5] = {0, 2, 4, 7, 9};
struct TChord {
    std::vector<int> Notes; // root first
};
const TChord I{{0, 4, 7, 11}}, II{{2, 5, 9, 12}}, IV{{5, 9, 12, 16}}, V{{7, 11, 14, 17}},
    VI{{9, 12, 16, 19}}, III{{4, 7, 11, 14}};

// The pitch (semitones above the root) of pentatonic step n, n counted across octaves.
int ScaleStep(int n) {
    const int octave = n >= 0 ? n / 5 : -((-n + 4) / 5);
    return octave * 12 + Pentatonic[n - octave * 5];
}

// True when the pitch class of semitones lies in the chord.
bool InChord(int semitones, const TChord& chord) {
    const int pc = ((semitones % 12) + 12) % 12;
    return std::any_of(chord.Notes.begin(), chord.Notes.end(),
                       [&](int n) { return n % 12 == pc; });
}

struct TNote {
    double Beat;   // start, in beats from the piece's start
    double Beats;  // length
    int Semitones; // above the root
};

// A melody over the progression (one chord per barBeats beats): a walk over the pentatonic
// steps by small moves, with rests, that ends every phrase (two chords) on a chord tone held
// long. lengths and their weights shape the rhythm.
std::vector<TNote> Melody(const std::vector<TChord>& progression, double barBeats,
                          const std::vector<double>& lengths, const std::vector<double>& weights,
                          double restChance, int low, int high, std::uint32_t seed) {
    TRandom random(seed);
    std::vector<TNote> notes;
    int step = (low + high) / 2;
    for (std::size_t bar = 0; bar < progression.size(); ++bar) {
        const TChord& chord = progression[bar];
        const bool phraseEnd = bar % 2 == 1;
        double beat = 0;
        while (beat < barBeats - 1e-9) {
            double length = lengths[random.Pick(weights)];
            length = std::min(length, barBeats - beat);
            const bool last = beat + length >= barBeats - 1e-9;
            if (phraseEnd && last) {
                // Land on the chord tone nearest the walk.
                int best = step, bestDistance = 99;
                for (int s = low; s <= high; ++s) {
                    if (InChord(ScaleStep(s), chord) && std::abs(s - step) < bestDistance)
                        best = s, bestDistance = std::abs(s - step);
                }
                step = best;
                notes.push_back({bar * barBeats + beat, length, ScaleStep(step)});
                break;
            }
            if (random.Next() < restChance && beat > 0) {
                beat += length;
                continue;
            }
            const int moves[7] = {-2, -1, -1, 0, 1, 1, 2};
            step = std::clamp(step + moves[random.Below(7)], low, high);
            // On the bar's first beat prefer a chord tone: one step either way when it is not.
            if (beat == 0 && !InChord(ScaleStep(step), chord)) {
                if (step + 1 <= high && InChord(ScaleStep(step + 1), chord))
                    ++step;
                else if (step - 1 >= low && InChord(ScaleStep(step - 1), chord))
                    --step;
            }
            notes.push_back({bar * barBeats + beat, length, ScaleStep(step)});
            beat += length;
        }
    }
    return notes;
}

// A calm piece of the night album: pads holding the chords, a bell melody above them, a low
// bell on the root of every other chord, long echo and a room.
struct TCalm {
    int Root;     // MIDI note of the key's root (the pads' octave)
    double Tempo; // beats per minute
    std::vector<TChord> Progression;
    std::uint32_t Seed;
    double Sparkle; // chance of a high, quiet bell between the melody's notes
};

TMix ComposeCalm(const TCalm& piece) {
    const double beat = 60.0 / piece.Tempo;
    const double barBeats = 4;
    const double bar = beat * barBeats;
    TMix mix(bar * piece.Progression.size() + 5);
    TRandom random(piece.Seed * 31 + 7);
    for (std::size_t b = 0; b < piece.Progression.size(); ++b) {
        const TChord& chord = piece.Progression[b];
        const double start = b * bar;
        for (std::size_t n = 0; n < chord.Notes.size(); ++n) {
            const double pan = -0.5 + static_cast<double>(n) / (chord.Notes.size() - 1);
            Pad(mix, start, piece.Root + chord.Notes[n], bar + 1.2, pan, 0.055);
        }
        Pad(mix, start, piece.Root - 12 + chord.Notes[0], bar + 1.2, 0, 0.06);
        if (b % 2 == 0)
            Bell(mix, start, piece.Root - 12 + chord.Notes[0], 4.5, 0, 0.10);
    }
    const std::vector<TNote> melody = Melody(piece.Progression, barBeats, {0.5, 1, 1.5, 2, 3},
                                             {1, 4, 1.5, 3, 1}, 0.18, 5, 12, piece.Seed);
    for (const TNote& note : melody) {
        const double start = note.Beat * beat;
        Bell(mix, start, piece.Root + 12 + note.Semitones, 1.5 + note.Beats * beat,
             random.Range(-0.3, 0.3), 0.16);
        if (random.Next() < piece.Sparkle)
            Bell(mix, start + note.Beats * beat / 2,
                 piece.Root + 24 + ScaleStep(random.Below(6)), 1.2, random.Range(-0.8, 0.8),
                 0.045);
    }
    Echo(mix, beat * 0.75, 0.45, 0.35);
    Reverb(mix, 1.3, 0.9);
    return mix;
}

// A bright piece: a plucked arpeggio through each chord, a walking bass, a sparse plucked and
// belled melody, a soft kick and brushes.
struct TBright {
    int Root;
    double Tempo;
    std::vector<TChord> Progression;
    std::uint32_t Seed;
    std::vector<int> Pattern; // arpeggio: indices into the chord, 8 per bar (eighths); -1 rests
    bool Drums;
};

TMix ComposeBright(const TBright& piece) {
    const double beat = 60.0 / piece.Tempo;
    const double barBeats = 4;
    const double bar = beat * barBeats;
    TMix mix(bar * piece.Progression.size() + 4);
    TRandom random(piece.Seed * 17 + 3);
    for (std::size_t b = 0; b < piece.Progression.size(); ++b) {
        const TChord& chord = piece.Progression[b];
        const double start = b * bar;
        const bool intro = b < 2;
        for (std::size_t e = 0; e < piece.Pattern.size(); ++e) {
            const int index = piece.Pattern[e];
            if (index < 0)
                continue;
            const int octave = index / static_cast<int>(chord.Notes.size());
            const int note = chord.Notes[index % chord.Notes.size()] + 12 * octave;
            const double pan = e % 2 == 0 ? -0.45 : 0.45;
            Pluck(mix, start + e * beat / 2, piece.Root + 12 + note, beat * 1.6, pan, 0.55,
                  piece.Seed + static_cast<std::uint32_t>(b * 64 + e));
        }
        // The bass: root on one, fifth or octave on three, a passing note on four-and.
        if (!intro || b == 1) {
            const int root = piece.Root - 12 + chord.Notes[0] % 12;
            Bass(mix, start, root, beat * 1.8, 0.21);
            Bass(mix, start + 2 * beat, root + (random.Next() < 0.5 ? 7 : 12), beat * 1.4, 0.18);
            const int next = piece.Progression[(b + 1) % piece.Progression.size()].Notes[0] % 12;
            Bass(mix, start + 3.5 * beat, piece.Root - 12 + next + (random.Next() < 0.5 ? -1 : 2),
                 beat * 0.45, 0.15);
        }
        if (piece.Drums && !intro) {
            for (int k = 0; k < 4; ++k) {
                if (k % 2 == 0)
                    Kick(mix, start + k * beat, 0.24);
                Brush(mix, start + (k + 0.5) * beat, k % 2 ? 0.3 : -0.3, 0.05,
                      piece.Seed * 101 + static_cast<std::uint32_t>(b * 8 + k));
            }
        }
    }
    // The melody enters after the intro and rests in the last bar.
    std::vector<TChord> middle(piece.Progression.begin() + 2, piece.Progression.end() - 1);
    const std::vector<TNote> melody =
        Melody(middle, barBeats, {0.5, 1, 1.5, 2}, {3, 4, 1, 1.5}, 0.2, 5, 13, piece.Seed);
    for (const TNote& note : melody) {
        const double start = (note.Beat + 2 * barBeats) * beat;
        Pluck(mix, start, piece.Root + 24 + note.Semitones, note.Beats * beat + 0.4, 0.15, 0.40,
              piece.Seed * 7 + static_cast<std::uint32_t>(note.Beat * 4), 0.998);
        Bell(mix, start, piece.Root + 24 + note.Semitones, 1.0 + note.Beats * beat, 0.15, 0.05);
    }
    Echo(mix, beat * 0.75, 0.3, 0.22);
    Reverb(mix, 0.9, 0.5);
    return mix;
}

struct TTrack {
    const char* File; // without .wav; the music outline names it with .mp3
    std::function<TMix()> Compose;
};

std::vector<TTrack> Tracks() {
    const std::vector<int> up = {0, 1, 2, 3, 4, 3, 2, 1};
    const std::vector<int> rolling = {0, 2, 1, 3, 2, 4, 3, 1};
    const std::vector<int> skipping = {0, -1, 2, 1, 4, -1, 3, 2};
    return {
        {"night-lights",
         [] { return ComposeCalm({57, 58, {I, VI, IV, V, I, III, IV, I}, 11, 0.25}); }},
        {"pole-star",
         [] { return ComposeCalm({55, 52, {I, IV, VI, IV, II, V, I, I}, 23, 0.15}); }},
        {"milky-way",
         [] { return ComposeCalm({53, 56, {VI, IV, I, V, VI, IV, V, I}, 37, 0.35}); }},
        {"morning-star",
         [=] { return ComposeBright({60, 104, {I, I, VI, IV, V, I, VI, IV, II, V, I, I}, 41, up,
                                     true}); }},
        {"perseids",
         [=] { return ComposeBright({62, 112, {I, I, IV, V, VI, IV, I, V, IV, V, I, I, I}, 53,
                                     rolling, true}); }},
        {"orbit",
         [=] { return ComposeBright({57, 96, {VI, VI, IV, I, V, VI, IV, V, I, I}, 67, skipping,
                                     false}); }},
    };
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: sound-composer OUTDIR\n";
        return 2;
    }
    try {
        const std::string out = ProgramArguments(argc, argv)[1];
        CreateFolders(out);
        for (const TTrack& track : Tracks()) {
            TMix mix = track.Compose();
            const std::string name = std::string(track.File) + ".wav";
            WriteWholeFile(JoinPath(out, name), Master(mix, name));
        }
    } catch (const std::exception& e) {
        std::cerr << "sound-composer: " << e.what() << '\n';
        return 2;
    }
    return 0;
}
