#pragma once
// The pixel kernels the effects share: rounding to a byte, the weighted
// blend of two rows of bytes (one weight pair for all, or one per pixel) and
// the processor check for the wider vector paths.
#include <cstddef>
#include <cstdint>
#include <vector>

#if defined(__SSE2__) && (defined(__GNUC__) || defined(__clang__))
#define PLANDESK_AVX2 1
// Functions of the 512-bit byte-permute paths, called only when HasVbmi().
#define PLANDESK_VBMI __attribute__((target("avx512f,avx512bw,avx512vbmi")))
#endif

namespace vlEffectKernels {

// Adding and taking away 1.5 × 2^52 leaves a double rounded to an integer by
// the processor's default rounding, which is to nearest with halves to even:
// two additions instead of a library call.
inline constexpr double RoundMagic = 6755399441055744.0;

inline double RoundEven(double v) { return (v + RoundMagic) - RoundMagic; }

inline uint8_t RoundToByte(double v) {
    double r = RoundEven(v);
    r = r < 0 ? 0 : r > 255 ? 255 : r;
    return static_cast<uint8_t>(static_cast<int>(r));
}

inline double Clamp01(double v) { return v >= 0 ? (v <= 1 ? v : 1) : 0; }  // NaN → 0

inline size_t Bytes(int pixels) { return static_cast<size_t>(pixels) * 3; }

#ifdef PLANDESK_AVX2
// Whether the processor has AVX2 (asked once).
bool HasAvx2();
// Whether it has the 512-bit byte permutes (AVX-512 BW and VBMI), which look
// up a 256-byte table for 64 bytes at once.
bool HasVbmi();
#endif

// A := round(wa × A + wb × B) over n bytes.
void BlendBytes(uint8_t* a, const uint8_t* b, size_t n, double wa, double wb);

// Per-pixel weights of a blend, spread to the three bytes of each pixel as
// the pair (w, 1 − w).
class TWeights {
public:
    std::vector<double> A, B;
    std::vector<int32_t> Fixed;
    explicit TWeights(int pixels) : A(Bytes(pixels), 1.0), B(Bytes(pixels), 0.0), Fixed(Bytes(pixels), 0) {}
    void Set(int x, double w);
    // Blends a row of n channels. Channels of weight 0 take B and those of
    // weight 1 keep A (what the arithmetic gives them), so only the rest
    // are worked out.
    void Blend(uint8_t* a, const uint8_t* b, size_t n);

private:
    std::vector<int32_t> Lanes;  // each run's Fixed in the order the 512-bit blend loads it
    struct TRun {
        enum { Keep, Copy, Mix } Kind;
        size_t Start, Length;
        size_t LanesAt = 0;  // where the run's block of Lanes starts
    };
    std::vector<TRun> FRuns;
    size_t FRunsOf = SIZE_MAX;
    void FindRuns(size_t n);
};

// Walks from `from` to `to` (either direction), the weight starting at 0 and
// growing by `step` per column, never above 1.
void Ramp(TWeights& weights, int from, int to, double step);

}  // namespace vlEffectKernels
