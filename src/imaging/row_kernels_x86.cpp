#include "imaging/row_kernels_arch.h"

#include <immintrin.h>

#include <cstring>

// The x86-64 vector forms. Each function is compiled for its instruction set
// through the target attribute, so the rest of the program keeps the
// baseline (SSE2) and runs on every x86-64; the dispatch calls a form only
// after ArchRuns has seen the processor and the operating system support it.
//
// AVX-512 (with the byte permutes of VBMI) decides 64 pixels a step from the
// rule's arithmetic form (SeparationSteps): the pixels are split into planes
// of R, G and B bytes by byte permutes, the channel weights are 256-entry
// byte tables looked up by two-register permutes, and the rest is sums and
// compares in 16-bit lanes. No look-up depends on more than one byte, so
// nothing is gathered from memory. AVX2 has no such permutes: it gathers the
// four table entries of 8 pixels at once. In both, a block whose pixels are
// all one colour (most of a logo) is decided once, from its first pixel.

#define MARKOGRAPH_AVX2 __attribute__((target("avx2")))
#define MARKOGRAPH_AVX512 __attribute__((target("avx512f,avx512bw,avx512vbmi")))
#define MARKOGRAPH_AVX512_INLINE __attribute__((target("avx512f,avx512bw,avx512vbmi"), always_inline)) inline

namespace {

// The first pixel's result for a whole block of equal pixels: the decision is
// kept for the next uniform block of the same colour.
struct UniformCache {
    std::uint32_t pixel = 0;
    std::uint8_t byte;

    explicit UniformCache(const SeparationRowTable& table) : byte(table.Decide(0)) {}

    std::uint8_t For(const SeparationRowTable& table, std::uint32_t p)
    {
        if (p != pixel) {
            pixel = p;
            byte = table.Decide(p);
        }
        return byte;
    }
};

MARKOGRAPH_AVX2 void SeparateRowAvx2(const SeparationRowTable& table, const std::uint32_t* line, int count,
                                     std::uint8_t* out)
{
    const __m256i lowByte = _mm256_set1_epi32(0xFF);
    const __m256i ink = _mm256_set1_epi32(table.inkByte);
    const int* score0 = table.score[0].data();
    const int* score1 = table.score[1].data();
    const int* score2 = table.score[2].data();
    const int* limits = table.limitAndByte.data();
    UniformCache uniform(table);
    int x = 0;
    for (; x + 8 <= count; x += 8) {
        const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(line + x));
        const __m256i first = _mm256_set1_epi32(static_cast<int>(line[x]));
        if (_mm256_movemask_epi8(_mm256_cmpeq_epi32(v, first)) == -1) {
            std::memset(out + x, uniform.For(table, line[x]), 8);
            continue;
        }
        const __m256i b = _mm256_and_si256(v, lowByte);
        const __m256i g = _mm256_and_si256(_mm256_srli_epi32(v, 8), lowByte);
        const __m256i r = _mm256_and_si256(_mm256_srli_epi32(v, 16), lowByte);
        const __m256i s = _mm256_add_epi32(_mm256_add_epi32(r, g), b);
        const __m256i entry = _mm256_i32gather_epi32(limits, s, 4);
        const __m256i sum = _mm256_add_epi32(
            _mm256_add_epi32(_mm256_i32gather_epi32(score0, r, 4), _mm256_i32gather_epi32(score1, g, 4)),
            _mm256_i32gather_epi32(score2, b, 4));
        const __m256i other = _mm256_cmpgt_epi32(sum, _mm256_srai_epi32(entry, 8));
        const __m256i bytes = _mm256_blendv_epi8(ink, _mm256_and_si256(entry, lowByte), other);
        const __m128i words = _mm_packus_epi32(_mm256_castsi256_si128(bytes), _mm256_extracti128_si256(bytes, 1));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + x), _mm_packus_epi16(words, words));
    }
    SeparateRowPortable(table, line + x, count - x, out + x);
}

MARKOGRAPH_AVX2 void SeparateRowHalvedAvx2(const SeparationRowTable& table, const std::uint32_t* line, int count,
                                           std::uint8_t* out)
{
    SeparateHalvedInPieces(&SeparateRowAvx2, table, line, count, out);
}

MARKOGRAPH_AVX2 void CodeSetsAvx2(const std::array<std::uint8_t, 16>& codeOfSet, const std::uint8_t* a,
                                  const std::uint8_t* b, int count, std::uint8_t* out)
{
    const __m256i codes =
        _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(codeOfSet.data())));
    int x = 0;
    for (; x + 32 <= count; x += 32) {
        const __m256i sets = _mm256_or_si256(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(a + x)),
                                             _mm256_loadu_si256(reinterpret_cast<const __m256i*>(b + x)));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + x), _mm256_shuffle_epi8(codes, sets));
    }
    CodeSetsPortable(codeOfSet, a + x, b + x, count - x, out + x);
}

// ------------------------------------------------------------------ AVX-512

// A 256-entry byte table in four registers.
struct ByteTable512 {
    __m512i part[4];
};

// A pixel's bytes in memory are B, G, R, A; plane c takes byte 2 - c of each
// of the 32 pixels of two registers (both halves of the index alike).
constexpr std::array<std::uint8_t, 64> PlaneIndex(int c)
{
    std::array<std::uint8_t, 64> index{};
    for (int j = 0; j < 64; ++j)
        index[static_cast<size_t>(j)] = static_cast<std::uint8_t>(4 * (j % 32) + 2 - c);
    return index;
}
alignas(64) constexpr std::array<std::array<std::uint8_t, 64>, 3> kPlaneIndex{PlaneIndex(0), PlaneIndex(1),
                                                                              PlaneIndex(2)};

// The rule's constants, loaded once per row.
struct Steps512 {
    __m512i plane[3];  // byte-permute indices that pick R, G and B out of two registers of pixels
    __m512i hue[3];
    ByteTable512 weight[3];
    ByteTable512 darkWeight;
    __m512i darkWeightMid, darkWeightHigh, inkTie, secondLimit;
    __m512i inkWord, secondWord, whiteWord;
};

MARKOGRAPH_AVX512_INLINE void LoadTable(ByteTable512& table, const std::array<std::uint8_t, 256>& bytes)
{
    for (int i = 0; i < 4; ++i)
        table.part[i] = _mm512_loadu_si512(bytes.data() + 64 * i);
}

MARKOGRAPH_AVX512_INLINE void LoadSteps(Steps512& k, const SeparationRowTable& table)
{
    const SeparationSteps& steps = *table.steps;
    for (int c = 0; c < 3; ++c) {
        k.plane[c] = _mm512_load_si512(kPlaneIndex[c].data());
        k.hue[c] = _mm512_set1_epi8(static_cast<char>(steps.hue[static_cast<size_t>(c)]));
        LoadTable(k.weight[c], steps.weight[static_cast<size_t>(c)]);
    }
    LoadTable(k.darkWeight, steps.darkWeight);
    k.darkWeightMid = _mm512_set1_epi16(steps.darkWeightMid);
    k.darkWeightHigh = _mm512_set1_epi16(steps.darkWeightHigh);
    k.inkTie = _mm512_set1_epi16(steps.inkTie);
    k.secondLimit = _mm512_set1_epi16(steps.secondLimit);
    k.inkWord = _mm512_set1_epi16(table.inkByte);
    k.secondWord = _mm512_set1_epi16(table.secondByte);
    k.whiteWord = _mm512_set1_epi16(table.whiteByte);
}

MARKOGRAPH_AVX512_INLINE __m512i Lookup(const ByteTable512& table, __m512i index)
{
    const __m512i low = _mm512_permutex2var_epi8(table.part[0], index, table.part[1]);
    const __m512i high = _mm512_permutex2var_epi8(table.part[2], index, table.part[3]);
    return _mm512_mask_blend_epi8(_mm512_movepi8_mask(index), low, high);
}

// One channel's bytes of 64 pixels, in pixel order.
MARKOGRAPH_AVX512_INLINE __m512i Plane(const __m512i (&v)[4], __m512i index)
{
    const __m512i first = _mm512_permutex2var_epi8(v[0], index, v[1]);
    const __m512i second = _mm512_permutex2var_epi8(v[2], index, v[3]);
    return _mm512_inserti64x4(first, _mm512_castsi512_si256(second), 1);
}

// Bytes of low and high interleaved into 16-bit lanes: the first (half 0) or
// last eight of each 128-bit lane.
MARKOGRAPH_AVX512_INLINE __m512i Widen(int half, __m512i low, __m512i high)
{
    return half == 0 ? _mm512_unpacklo_epi8(low, high) : _mm512_unpackhi_epi8(low, high);
}

// The outcome bytes of 64 pixels. kInk is the ink's own channel (no weight),
// or 3 when the choice never takes the ink. The bytes are widened to 16 bits
// by interleaving within each 128-bit lane; the final pack undoes the
// interleaving, so every 16-bit step works on the same pixel order.
template <int kInk>
MARKOGRAPH_AVX512_INLINE __m512i Decide64(const Steps512& k, const std::uint32_t* p)
{
    const __m512i v[4] = {_mm512_loadu_si512(p), _mm512_loadu_si512(p + 16), _mm512_loadu_si512(p + 32),
                          _mm512_loadu_si512(p + 48)};
    const __m512i zero = _mm512_setzero_si512();
    const __m512i ones = _mm512_set1_epi8(1);
    const __m512i plusMinus = _mm512_set1_epi16(static_cast<short>(0xFF01));  // bytes +1, -1
    __m512i c[3];
    __m512i d[3];  // |hue - c|
    __m512i w[3];  // the channel weights
    for (int i = 0; i < 3; ++i) {
        c[i] = Plane(v, k.plane[i]);
        if constexpr (kInk < 3) {
            d[i] = _mm512_or_si512(_mm512_subs_epu8(c[i], k.hue[i]), _mm512_subs_epu8(k.hue[i], c[i]));
            w[i] = i == kInk ? zero : Lookup(k.weight[i], c[i]);
        }
    }
    // min(S, 255) indexes the low brightness band of the second ink's weight.
    const __m512i darkWeight = Lookup(k.darkWeight, _mm512_adds_epu8(_mm512_adds_epu8(c[0], c[1]), c[2]));
    __m512i words[2];
    for (int half = 0; half < 2; ++half) {
        const __m512i s = _mm512_add_epi16(_mm512_maddubs_epi16(Widen(half, c[0], c[1]), ones), Widen(half, c[2], zero));
        __m512i l = Widen(half, darkWeight, zero);
        l = _mm512_mask_mov_epi16(l, _mm512_cmpge_epi16_mask(s, _mm512_set1_epi16(256)), k.darkWeightMid);
        l = _mm512_mask_mov_epi16(l, _mm512_cmpge_epi16_mask(s, _mm512_set1_epi16(383)), k.darkWeightHigh);
        const __m512i dark = _mm512_sub_epi16(s, l);
        const __mmask32 second = _mm512_cmple_epi16_mask(_mm512_add_epi16(s, dark), k.secondLimit);
        __m512i word = _mm512_mask_mov_epi16(k.whiteWord, second, k.secondWord);
        if constexpr (kInk < 3) {
            __m512i score = zero;
            for (int i = 0; i < 3; ++i) {
                score = _mm512_add_epi16(score, i == kInk ? Widen(half, d[i], zero)
                                                          : _mm512_maddubs_epi16(Widen(half, d[i], w[i]), plusMinus));
            }
            const __m512i light = _mm512_sub_epi16(_mm512_set1_epi16(765), s);
            const __mmask32 ink = _mm512_mask_cmple_epi16_mask(
                _mm512_cmple_epi16_mask(_mm512_add_epi16(score, k.inkTie), dark), score, light);
            word = _mm512_mask_mov_epi16(word, ink, k.inkWord);
        }
        words[half] = word;
    }
    return _mm512_packus_epi16(words[0], words[1]);
}

// 64 pixels' outcome bytes; a block of one colour from the cache.
template <int kInk>
MARKOGRAPH_AVX512_INLINE __m512i Block64(const Steps512& k, const SeparationRowTable& table, UniformCache& uniform,
                                         const std::uint32_t* p)
{
    const __m512i first = _mm512_set1_epi32(static_cast<int>(p[0]));
    __mmask16 differ = _mm512_cmpneq_epi32_mask(_mm512_loadu_si512(p), first);
    differ |= _mm512_cmpneq_epi32_mask(_mm512_loadu_si512(p + 16), first);
    differ |= _mm512_cmpneq_epi32_mask(_mm512_loadu_si512(p + 32), first);
    differ |= _mm512_cmpneq_epi32_mask(_mm512_loadu_si512(p + 48), first);
    if (differ == 0)
        return _mm512_set1_epi8(static_cast<char>(uniform.For(table, p[0])));
    return Decide64<kInk>(k, p);
}

template <int kInk>
MARKOGRAPH_AVX512 void SeparateSteps512(const SeparationRowTable& table, const std::uint32_t* line, int count,
                                        std::uint8_t* out)
{
    Steps512 k;
    LoadSteps(k, table);
    UniformCache uniform(table);
    int x = 0;
    for (; x + 64 <= count; x += 64)
        _mm512_storeu_si512(out + x, Block64<kInk>(k, table, uniform, line + x));
    SeparateRowPortable(table, line + x, count - x, out + x);
}

// Two pixels to one: in each 16-bit lane the two bytes ORed, then the low
// bytes of the lanes packed in order.
template <int kInk>
MARKOGRAPH_AVX512 void SeparateHalvedSteps512(const SeparationRowTable& table, const std::uint32_t* line, int count,
                                              std::uint8_t* out)
{
    Steps512 k;
    LoadSteps(k, table);
    UniformCache uniform(table);
    int x = 0;
    for (; x + 32 <= count; x += 32) {
        const __m512i bytes = Block64<kInk>(k, table, uniform, line + 2 * x);
        const __m256i pairs = _mm512_cvtepi16_epi8(_mm512_or_si512(bytes, _mm512_srli_epi16(bytes, 8)));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + x), pairs);
    }
    SeparateRowHalvedPortable(table, line + 2 * x, count - x, out + x);
}

// The instantiation for the table's ink channel; the gathering form where the
// rule has no arithmetic form.
template <template <int> class Kernel>
SeparateRowFn ChooseSteps512(const SeparationRowTable& table)
{
    if (!table.steps)
        return nullptr;
    switch (table.steps->inkChannel) {
    case 0: return &Kernel<0>::Run;
    case 1: return &Kernel<1>::Run;
    case 2: return &Kernel<2>::Run;
    default: return &Kernel<3>::Run;
    }
}

template <int kInk>
struct RowKernel512 {
    static void Run(const SeparationRowTable& t, const std::uint32_t* l, int n, std::uint8_t* o)
    {
        SeparateSteps512<kInk>(t, l, n, o);
    }
};

template <int kInk>
struct HalvedKernel512 {
    static void Run(const SeparationRowTable& t, const std::uint32_t* l, int n, std::uint8_t* o)
    {
        SeparateHalvedSteps512<kInk>(t, l, n, o);
    }
};

void SeparateRowAvx512(const SeparationRowTable& table, const std::uint32_t* line, int count, std::uint8_t* out)
{
    const SeparateRowFn kernel = ChooseSteps512<RowKernel512>(table);
    (kernel ? kernel : &SeparateRowAvx2)(table, line, count, out);
}

void SeparateRowHalvedAvx512(const SeparationRowTable& table, const std::uint32_t* line, int count,
                             std::uint8_t* out)
{
    const SeparateRowFn kernel = ChooseSteps512<HalvedKernel512>(table);
    (kernel ? kernel : &SeparateRowHalvedAvx2)(table, line, count, out);
}

MARKOGRAPH_AVX512 void CodeSetsAvx512(const std::array<std::uint8_t, 16>& codeOfSet, const std::uint8_t* a,
                                      const std::uint8_t* b, int count, std::uint8_t* out)
{
    const __m512i codes = _mm512_broadcast_i32x4(_mm_loadu_si128(reinterpret_cast<const __m128i*>(codeOfSet.data())));
    int x = 0;
    for (; x + 64 <= count; x += 64) {
        const __m512i sets = _mm512_or_si512(_mm512_loadu_si512(a + x), _mm512_loadu_si512(b + x));
        _mm512_storeu_si512(out + x, _mm512_shuffle_epi8(codes, sets));
    }
    CodeSetsPortable(codeOfSet, a + x, b + x, count - x, out + x);
}

constexpr RowKernelSet kAvx2Kernels{&SeparateRowAvx2, &SeparateRowHalvedAvx2, &CodeSetsAvx2};
constexpr RowKernelSet kAvx512Kernels{&SeparateRowAvx512, &SeparateRowHalvedAvx512, &CodeSetsAvx512};

}  // namespace

bool ArchRuns(VectorLevel level)
{
    // The processor's features as the compiler's runtime reads them; it
    // also checks that the operating system saves the wider registers.
    __builtin_cpu_init();
    switch (level) {
    case VectorLevel::kPortable: return true;
    case VectorLevel::kAvx2: return __builtin_cpu_supports("avx2");
    case VectorLevel::kAvx512:
        return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
               __builtin_cpu_supports("avx512vbmi") && __builtin_cpu_supports("avx2");
    }
    return false;
}

const RowKernelSet* ArchKernels(VectorLevel level)
{
    switch (level) {
    case VectorLevel::kAvx2: return &kAvx2Kernels;
    case VectorLevel::kAvx512: return &kAvx512Kernels;
    default: return nullptr;
    }
}
