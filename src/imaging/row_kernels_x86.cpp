#include "imaging/row_kernels_arch.h"

#include <immintrin.h>

#include <cstring>

// The x86-64 vector forms. Each function is compiled for its instruction set
// through the target attribute, so the rest of the program keeps the
// baseline (SSE2) and runs on every x86-64; the dispatch calls a form only
// after ArchRuns has seen the processor and the operating system support it.
//
// The separation of a pixel is four table look-ups (three channel scores and
// the limit of its brightness), which the wide forms make as gathers of a
// whole vector of pixels at once: the outcome of every pixel is computed with
// no branch, whatever the picture. A block whose pixels are all one colour
// (most of a logo) is decided once, from its first pixel.

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

__attribute__((target("avx2"))) void SeparateRowAvx2(const SeparationRowTable& table, const std::uint32_t* line,
                                                     int count, std::uint8_t* out)
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

__attribute__((target("avx512f,avx512bw"))) void SeparateRowAvx512(const SeparationRowTable& table,
                                                                   const std::uint32_t* line, int count,
                                                                   std::uint8_t* out)
{
    const __m512i lowByte = _mm512_set1_epi32(0xFF);
    const __m512i ink = _mm512_set1_epi32(table.inkByte);
    const int* score0 = table.score[0].data();
    const int* score1 = table.score[1].data();
    const int* score2 = table.score[2].data();
    const int* limits = table.limitAndByte.data();
    UniformCache uniform(table);
    int x = 0;
    for (; x + 16 <= count; x += 16) {
        const __m512i v = _mm512_loadu_si512(line + x);
        if (_mm512_cmpneq_epi32_mask(v, _mm512_set1_epi32(static_cast<int>(line[x]))) == 0) {
            std::memset(out + x, uniform.For(table, line[x]), 16);
            continue;
        }
        const __m512i b = _mm512_and_si512(v, lowByte);
        const __m512i g = _mm512_and_si512(_mm512_srli_epi32(v, 8), lowByte);
        const __m512i r = _mm512_and_si512(_mm512_srli_epi32(v, 16), lowByte);
        const __m512i s = _mm512_add_epi32(_mm512_add_epi32(r, g), b);
        const __m512i entry = _mm512_i32gather_epi32(s, limits, 4);
        const __m512i sum = _mm512_add_epi32(
            _mm512_add_epi32(_mm512_i32gather_epi32(r, score0, 4), _mm512_i32gather_epi32(g, score1, 4)),
            _mm512_i32gather_epi32(b, score2, 4));
        const __mmask16 other = _mm512_cmpgt_epi32_mask(sum, _mm512_srai_epi32(entry, 8));
        const __m512i bytes = _mm512_mask_blend_epi32(other, ink, _mm512_and_si512(entry, lowByte));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), _mm512_cvtepi32_epi8(bytes));
    }
    SeparateRowPortable(table, line + x, count - x, out + x);
}

constexpr RowKernelSet kAvx2Kernels{&SeparateRowAvx2};
constexpr RowKernelSet kAvx512Kernels{&SeparateRowAvx512};

}  // namespace

bool ArchRuns(VectorLevel level)
{
    // The processor's features as the compiler's runtime reads them; it
    // also checks that the operating system saves the wider registers.
    __builtin_cpu_init();
    switch (level) {
    case VectorLevel::kPortable: return true;
    case VectorLevel::kAvx2: return __builtin_cpu_supports("avx2");
    case VectorLevel::kAvx512: return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw");
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
