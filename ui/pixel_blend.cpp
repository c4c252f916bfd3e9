#include "ui/pixel_blend.h"

#include <emmintrin.h>
#include <windows.h>

namespace ZRBUE {
namespace {

// (v + 127) / 255 is v / 255 rounded, which for v up to 255 * 255 equals
// (t + (t >> 8)) >> 8 with t = v + 128. The portable code works on two
// channels of a word at once (red and blue, or alpha and green), each in 16
// bits; the SSE2 code on eight 16-bit channels.
inline uint32_t ScalePair(uint32_t pair, uint32_t factor) {
  const uint32_t t = pair * factor + 0x00800080u;
  return ((t + ((t >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
}

// Straight `argb` with its alpha replaced by `alpha`, premultiplied.
inline uint32_t Premultiply(uint32_t argb, uint32_t alpha) {
  return alpha << 24 | ScalePair(argb & 0x00FF00FFu, alpha) |
         ScalePair((argb >> 8) & 0xFFu, alpha) << 8;
}

// Premultiplied `src` over premultiplied `dst`.
inline uint32_t Over(uint32_t dst, uint32_t src) {
  const uint32_t keep = 255 - (src >> 24);
  return src +
         (ScalePair(dst & 0x00FF00FFu, keep) | ScalePair((dst >> 8) & 0x00FF00FFu, keep) << 8);
}

// Straight `argb` with its alpha scaled by `alphaScale` / 256, over `pixel`.
inline uint32_t BlendStraight(uint32_t pixel, uint32_t argb, uint32_t alphaScale) {
  const uint32_t alpha = ((argb >> 24) * alphaScale) >> 8;
  if (alpha == 255) return argb;
  if (alpha == 0) return pixel;
  return Over(pixel, Premultiply(argb, alpha));
}

void BlendRowPortable(uint32_t* row, int count, const BlendSource* sources, int sourceCount) {
  for (int x = 0; x < count; ++x) {
    uint32_t pixel = row[x];
    for (int i = 0; i < sourceCount; ++i) {
      pixel = BlendStraight(pixel, sources[i].pixels[x], sources[i].alphaScale);
    }
    row[x] = pixel;
  }
}

void OverRowPortable(uint32_t* row, int count, const uint32_t* source) {
  for (int x = 0; x < count; ++x) {
    const uint32_t pixel = source[x];
    if (pixel >= 0xFF000000u) {
      row[x] = pixel;
    } else if (pixel != 0) {
      row[x] = Over(row[x], pixel);
    }
  }
}

// SSE2: two pixels in a register of eight 16-bit channels, b g r a b g r a.
#define ZRB_SSE2 __attribute__((target("sse2")))

ZRB_SSE2 inline __m128i Div255(__m128i v) {
  const __m128i t = _mm_add_epi16(v, _mm_set1_epi16(128));
  return _mm_srli_epi16(_mm_add_epi16(t, _mm_srli_epi16(t, 8)), 8);
}

// Each pixel's alpha in all four of its channels.
ZRB_SSE2 inline __m128i SpreadAlpha(__m128i pixels) {
  return _mm_shufflehi_epi16(_mm_shufflelo_epi16(pixels, 0xFF), 0xFF);
}

// Premultiplied `src` over `dst`, with `alpha` the source alpha spread.
ZRB_SSE2 inline __m128i OverPairs(__m128i dst, __m128i src, __m128i alpha) {
  const __m128i keep = _mm_sub_epi16(_mm_set1_epi16(255), alpha);
  return _mm_add_epi16(src, Div255(_mm_mullo_epi16(dst, keep)));
}

// Straight `src` with its alpha scaled by `scale` (spread), over `dst`.
ZRB_SSE2 inline __m128i BlendStraightPairs(__m128i dst, __m128i src, __m128i scale) {
  const __m128i alphaChannels = _mm_set_epi16(-1, 0, 0, 0, -1, 0, 0, 0);
  // alpha * scale fits 16 bits (255 * 256).
  const __m128i alpha = _mm_srli_epi16(_mm_mullo_epi16(SpreadAlpha(src), scale), 8);
  const __m128i colour = _mm_andnot_si128(alphaChannels, Div255(_mm_mullo_epi16(src, alpha)));
  return OverPairs(dst, _mm_or_si128(colour, _mm_and_si128(alphaChannels, alpha)), alpha);
}

template <int kSources>
ZRB_SSE2 void BlendRowSse2(uint32_t* row, int count, const BlendSource* sources) {
  const __m128i zero = _mm_setzero_si128();
  __m128i scales[kSources];
  for (int i = 0; i < kSources; ++i) {
    scales[i] = _mm_set1_epi16(static_cast<short>(sources[i].alphaScale));
  }
  int x = 0;
  for (; x + 4 <= count; x += 4) {
    __m128i low =
        _mm_unpacklo_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(row + x)), zero);
    __m128i high =
        _mm_unpackhi_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(row + x)), zero);
    for (int i = 0; i < kSources; ++i) {
      const uint32_t* p = sources[i].pixels + x;
      const __m128i source = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
      if (sources[i].alphaScale == 256 && (p[0] & p[1] & p[2] & p[3]) >= 0xFF000000u) {
        // Four opaque pixels replace what is there.
        low = _mm_unpacklo_epi8(source, zero);
        high = _mm_unpackhi_epi8(source, zero);
        continue;
      }
      if ((p[0] | p[1] | p[2] | p[3]) < 0x01000000u) continue;  // four transparent pixels
      low = BlendStraightPairs(low, _mm_unpacklo_epi8(source, zero), scales[i]);
      high = BlendStraightPairs(high, _mm_unpackhi_epi8(source, zero), scales[i]);
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(row + x), _mm_packus_epi16(low, high));
  }
  for (; x < count; ++x) {
    uint32_t pixel = row[x];
    for (int i = 0; i < kSources; ++i) {
      pixel = BlendStraight(pixel, sources[i].pixels[x], sources[i].alphaScale);
    }
    row[x] = pixel;
  }
}

ZRB_SSE2 void OverRowSse2(uint32_t* row, int count, const uint32_t* source) {
  const __m128i zero = _mm_setzero_si128();
  int x = 0;
  for (; x + 4 <= count; x += 4) {
    const uint32_t* p = source + x;
    const __m128i pixels = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    if ((p[0] & p[1] & p[2] & p[3]) >= 0xFF000000u) {
      _mm_storeu_si128(reinterpret_cast<__m128i*>(row + x), pixels);
      continue;
    }
    if ((p[0] | p[1] | p[2] | p[3]) == 0) continue;
    const __m128i dst = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + x));
    const __m128i srcLow = _mm_unpacklo_epi8(pixels, zero);
    const __m128i srcHigh = _mm_unpackhi_epi8(pixels, zero);
    const __m128i low = OverPairs(_mm_unpacklo_epi8(dst, zero), srcLow, SpreadAlpha(srcLow));
    const __m128i high = OverPairs(_mm_unpackhi_epi8(dst, zero), srcHigh, SpreadAlpha(srcHigh));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(row + x), _mm_packus_epi16(low, high));
  }
  OverRowPortable(row + x, count - x, source + x);
}

}  // namespace

BlendCode BestBlendCode() {
  static const BlendCode best = ::IsProcessorFeaturePresent(PF_XMMI64_INSTRUCTIONS_AVAILABLE)
                                    ? BlendCode::kSse2
                                    : BlendCode::kPortable;
  return best;
}

void BlendRow(BlendCode code, uint32_t* row, int count, const BlendSource* sources,
              int sourceCount) {
  if (code == BlendCode::kSse2 && sourceCount == 1) {
    BlendRowSse2<1>(row, count, sources);
  } else if (code == BlendCode::kSse2 && sourceCount == 2) {
    BlendRowSse2<2>(row, count, sources);
  } else {
    BlendRowPortable(row, count, sources, sourceCount);
  }
}

void OverRow(BlendCode code, uint32_t* row, int count, const uint32_t* source) {
  if (code == BlendCode::kSse2) {
    OverRowSse2(row, count, source);
  } else {
    OverRowPortable(row, count, source);
  }
}

}  // namespace ZRBUE
