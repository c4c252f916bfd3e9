#include "ui/pixel_blend.h"

namespace ZRBUE {
namespace {

// (v + 127) / 255 is v / 255 rounded, which for v up to 255 * 255 equals
// (t + (t >> 8)) >> 8 with t = v + 128; that works on two channels of a word
// at once (red and blue, or alpha and green), each in 16 bits.
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

}  // namespace

void BlendRow(uint32_t* row, int count, const BlendSource* sources, int sourceCount) {
  BlendRowPortable(row, count, sources, sourceCount);
}

}  // namespace ZRBUE
