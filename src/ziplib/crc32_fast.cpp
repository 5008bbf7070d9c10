#include "ziplib/crc32_fast.h"

#include <zlib.h>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#include <immintrin.h>
#define ZIPLIB_CRC_FOLDING 1
#endif
#ifdef __i386__
// 32-bit Windows promises only 4-byte stack alignment to a DLL's callers; spilled vectors need 16.
#define ZIPLIB_REALIGN_STACK __attribute__((force_align_arg_pointer))
#else
#define ZIPLIB_REALIGN_STACK
#endif

namespace ziplib {

namespace {

#ifdef ZIPLIB_CRC_FOLDING

bool CanFold() {
    unsigned a, b, c, d;
    // PCLMULQDQ (bit 1) and SSE4.1 (bit 19) of leaf 1's ECX.
    return __get_cpuid(1, &a, &b, &c, &d) && (c & (1u << 1)) && (c & (1u << 19));
}

// `a` carried forward onto `b`: its low half times the low constant of `k`, its high half times
// the high one.
__attribute__((target("pclmul,sse4.1"))) inline __m128i FoldOnto(__m128i a, __m128i k, __m128i b) {
    return _mm_xor_si128(_mm_xor_si128(_mm_clmulepi64_si128(a, k, 0x00), _mm_clmulepi64_si128(a, k, 0x11)),
                         b);
}

__attribute__((target("pclmul,sse4.1"))) inline __m128i Load(const uint8_t *data, int block) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i *>(data) + block);
}

// Folding by carry-less multiplication after Intel's "Fast CRC Computation for Generic
// Polynomials Using PCLMULQDQ Instruction" (2009), bit-reflected for the zip polynomial
// 0x04C11DB7. `state` is the inverted running CRC; `size` is at least 64 and a multiple of 16.
// The constants are x^(4*128+32), x^(4*128-32), x^(128+32), x^(128-32) and x^64 mod P, then P
// and floor(x^64 / P), all reflected.
ZIPLIB_REALIGN_STACK __attribute__((target("pclmul,sse4.1"))) uint32_t
FoldAll(uint32_t state, const uint8_t *data, size_t size) {
    const __m128i k1k2 = _mm_set_epi64x(0x01c6e41596, 0x0154442bd4);
    const __m128i k3k4 = _mm_set_epi64x(0x00ccaa009e, 0x01751997d0);
    const __m128i k5 = _mm_set_epi64x(0, 0x0163cd6124);
    const __m128i poly = _mm_set_epi64x(0x01f7011641, 0x01db710641);
    const __m128i low32 = _mm_setr_epi32(~0, 0, ~0, 0);
    __m128i x1 = _mm_xor_si128(Load(data, 0), _mm_cvtsi32_si128(static_cast<int>(state)));
    __m128i x2 = Load(data, 1), x3 = Load(data, 2), x4 = Load(data, 3);
    for (data += 64, size -= 64; size >= 64; data += 64, size -= 64) {
        x1 = FoldOnto(x1, k1k2, Load(data, 0));
        x2 = FoldOnto(x2, k1k2, Load(data, 1));
        x3 = FoldOnto(x3, k1k2, Load(data, 2));
        x4 = FoldOnto(x4, k1k2, Load(data, 3));
    }
    x1 = FoldOnto(FoldOnto(FoldOnto(x1, k3k4, x2), k3k4, x3), k3k4, x4);
    for (; size >= 16; data += 16, size -= 16)
        x1 = FoldOnto(x1, k3k4, Load(data, 0));
    // 128 bits to 64, then the Barrett reduction to 32.
    x1 = _mm_xor_si128(_mm_srli_si128(x1, 8), _mm_clmulepi64_si128(x1, k3k4, 0x10));
    x1 = _mm_xor_si128(_mm_srli_si128(x1, 4), _mm_clmulepi64_si128(_mm_and_si128(x1, low32), k5, 0x00));
    __m128i t = _mm_clmulepi64_si128(_mm_and_si128(x1, low32), poly, 0x10);
    t = _mm_clmulepi64_si128(_mm_and_si128(t, low32), poly, 0x00);
    return static_cast<uint32_t>(_mm_extract_epi32(_mm_xor_si128(x1, t), 1));
}

#endif

} // namespace

uint32_t Crc32(uint32_t crc, const uint8_t *data, size_t size) {
#ifdef ZIPLIB_CRC_FOLDING
    static const bool canFold = CanFold();
    if (canFold && size >= 64) {
        size_t folded = size & ~size_t{15};
        crc = ~FoldAll(~crc, data, folded);
        data += folded;
        size -= folded;
    }
#endif
    return static_cast<uint32_t>(crc32(crc, data, static_cast<uInt>(size)));
}

} // namespace ziplib
