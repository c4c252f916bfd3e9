// Source-over compositing of 32-bit pixels with the rounding GDI+ and GDI
// use, for the draws that write the page bitmap themselves (ui/drawing.h).
//
// Pixels are 0xAARRGGBB words. Straight colour c with alpha a premultiplies
// to (c * a + 127) / 255; a premultiplied source over a premultiplied
// destination keeps (d * (255 - source alpha) + 127) / 255 of each channel
// of the destination and adds the source's channel. The fade primitive's
// colour matrix scales a straight alpha in fixed point first: alpha *
// scale / 256, with scale = round(opacity * 256).
#pragma once

#include <cstdint>

namespace ZRBUE {

// One source row of a composite: straight (not premultiplied) pixels and
// the scale of their alpha (256 leaves it as it is, 0 hides them).
struct BlendSource {
  const uint32_t* pixels;
  uint32_t alphaScale;
};

// Two codings of the same arithmetic; they give the same pixels.
enum class BlendCode {
  kPortable,  // plain integer code, two channels to a word
  kSse2,      // four pixels at a time; needs SSE2
};

// SSE2 where the processor has it, else the portable code.
BlendCode BestBlendCode();

// Composites the `sourceCount` (1 or 2) sources, in order, over `count`
// premultiplied pixels of `row`.
void BlendRow(BlendCode code, uint32_t* row, int count, const BlendSource* sources,
              int sourceCount);

// Composites premultiplied `source` pixels over `count` pixels of `row`.
void OverRow(BlendCode code, uint32_t* row, int count, const uint32_t* source);

}  // namespace ZRBUE
