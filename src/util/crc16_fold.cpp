#include "util/crc16_fold.h"

#include <cstdint>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>

namespace {
// x^n modulo the polynomial, unreflected.
uint64_t x_power_mod(unsigned n) {
  uint32_t r = 1;
  for (unsigned i = 0; i < n; ++i) {
    r <<= 1;
    if (r & 0x10000) r ^= 0x11021;
  }
  return r;
}

// A remainder as the reflected operand of a multiplication: the product of
// two reflected 64-bit operands lands one bit short of the reflected 128-bit
// register, so the exponent is taken one less.
uint64_t reflected_constant(unsigned exponent) {
  const uint64_t r = x_power_mod(exponent - 1);
  uint64_t reflected = 0;
  for (unsigned d = 0; d < 16; ++d)
    if (r >> d & 1) reflected |= uint64_t{1} << (63 - d);
  return reflected;
}

// Multiplying a register's first eight bytes by x^(distance + 64) and its
// last eight by x^distance moves it that many bits on, modulo the polynomial.
struct fold_constants {
  uint64_t first_half, second_half;
};
fold_constants constants_for(unsigned distance) {
  return {reflected_constant(distance + 64), reflected_constant(distance)};
}

__attribute__((target("pclmul,sse2"))) __m128i fold(__m128i x, __m128i constants, __m128i next) {
  const __m128i first = _mm_clmulepi64_si128(x, constants, 0x00);
  const __m128i second = _mm_clmulepi64_si128(x, constants, 0x11);
  return _mm_xor_si128(_mm_xor_si128(first, second), next);
}

__attribute__((target("pclmul,sse2"))) __m128i as_register(fold_constants c) {
  return _mm_set_epi64x(static_cast<long long>(c.second_half), static_cast<long long>(c.first_half));
}

__attribute__((target("pclmul,sse2"))) __m128i load(const unsigned char* p) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

// Four registers fold sixty-four bytes a step, each independent of the
// others while the multiplications are under way; they are then folded into
// one, and the whole sixteen-byte blocks left into it.
__attribute__((target("pclmul,sse2"))) size_t fold_with_clmul(unsigned reg, const unsigned char* data,
                                                              size_t length, unsigned char folded[16]) {
  static const fold_constants by_block = constants_for(128), by_four = constants_for(512);
  const __m128i block_step = as_register(by_block), four_step = as_register(by_four);
  __m128i a0 = _mm_xor_si128(load(data), _mm_cvtsi32_si128(static_cast<int>(reg & 0xffff)));
  __m128i a1 = load(data + 16), a2 = load(data + 32), a3 = load(data + 48);
  size_t i = 64;
  for (; i + 64 <= length; i += 64) {
    a0 = fold(a0, four_step, load(data + i));
    a1 = fold(a1, four_step, load(data + i + 16));
    a2 = fold(a2, four_step, load(data + i + 32));
    a3 = fold(a3, four_step, load(data + i + 48));
  }
  a1 = fold(a0, block_step, a1);
  a2 = fold(a1, block_step, a2);
  a3 = fold(a2, block_step, a3);
  for (; i + 16 <= length; i += 16) a3 = fold(a3, block_step, load(data + i));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(folded), a3);
  return i;
}
}  // namespace

size_t fold_reflected(unsigned reg, const unsigned char* data, size_t length, unsigned char folded[16]) {
  static const bool available = __builtin_cpu_supports("pclmul");  // SSE2 comes with every x86-64
  if (!available || length < 128) return 0;
  return fold_with_clmul(reg, data, length, folded);
}
#else
size_t fold_reflected(unsigned, const unsigned char*, size_t, unsigned char*) { return 0; }
#endif
