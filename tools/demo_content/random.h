#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <utility>

namespace quill::demo {

// Every build must draw the very same pictures, so randomness comes from a fixed, seeded
// generator rather than from the C library.
class prng {
public:
    explicit prng(std::uint64_t seed) : state_(seed) {}

    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    double uniform() { return double(next() >> 11) * 0x1.0p-53; }
    double uniform(double low, double high) { return low + (high - low) * uniform(); }
    bool chance(double probability) { return uniform() < probability; }

private:
    std::uint64_t state_;
};

// Smoothly interpolated lattice noise; its fractal sum gives coherent regions such as forests
// and mountain ranges. Values lie in 0..1.
class value_noise {
public:
    explicit value_noise(std::uint64_t seed) {
        prng random(seed);
        for (int i = 0; i < 256; ++i) {
            permutation_[i] = std::uint8_t(i);
            values_[i] = random.uniform();
        }
        for (int i = 255; i > 0; --i) {
            std::swap(permutation_[i], permutation_[random.next() % (i + 1)]);
        }
    }

    double at(double x, double y) const {
        const double fx = std::floor(x), fy = std::floor(y);
        const int ix = int(fx), iy = int(fy);
        const double sx = fade(x - fx), sy = fade(y - fy);
        const double top = mix(lattice(ix, iy), lattice(ix + 1, iy), sx);
        const double bottom = mix(lattice(ix, iy + 1), lattice(ix + 1, iy + 1), sx);
        return mix(top, bottom, sy);
    }

    // The sum is stretched back towards 0..1, since adding octaves crowds values around 0.5.
    double fractal(double x, double y, int octaves) const {
        double sum = 0, amplitude = 1, total = 0;
        for (int octave = 0; octave < octaves; ++octave) {
            sum += amplitude * at(x + octave * 17.31, y - octave * 9.77);
            total += amplitude;
            amplitude *= 0.5;
            x *= 2.03;
            y *= 2.03;
        }
        return std::clamp(0.5 + (sum / total - 0.5) * 2.0, 0.0, 1.0);
    }

private:
    static double fade(double t) { return t * t * t * (t * (t * 6 - 15) + 10); }
    static double mix(double a, double b, double t) { return a + (b - a) * t; }
    double lattice(int x, int y) const {
        return values_[permutation_[(permutation_[x & 255] + y) & 255]];
    }

    std::array<std::uint8_t, 256> permutation_{};
    std::array<double, 256> values_{};
};

inline double smoothstep(double edge0, double edge1, double x) {
    const double t = std::clamp((x - edge0) / (edge1 - edge0), 0.0, 1.0);
    return t * t * (3 - 2 * t);
}

}  // namespace quill::demo
