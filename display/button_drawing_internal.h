// The look shared by the push and toggle buttons: their colours from the
// scheme, the three frame shapes, the pressed-face layer, the clipped label
// and the greyed overlay. Only for display/.
#pragma once

#include <cstdint>

struct Velkor_ButtonColors {
  int32_t base;
  int32_t frame;
  int32_t bevel;
  int32_t face;
  int32_t pressedFace;
  int32_t label;
};

// Colours of a button: base = 1000 + 20 x scheme; frame base + 2, or base + 14
// while focused; bevel base + 9; face the override if >= 0, else base + 9;
// pressed face base + 2 without an override, else base + 1; label the
// override if >= 0, else base + 13.
void Velkor_ComputeButtonColors(uint32_t scheme, uint8_t focused, int32_t faceOverride,
                                int32_t labelOverride, uint32_t pass, Velkor_ButtonColors* colors);

struct Velkor_ButtonLook {
  float width;
  float height;
  uint32_t frameStyle;
  Velkor_ButtonColors colors;
  int32_t faceOverride;
  uint8_t pressedLayer;  // draw the pressed-face layer
  uint8_t down;          // that layer shades as pressed (texture 240) or raised (247)
  uint8_t enabled;       // 0: the greyed overlay on top
  const char* label;
  int32_t font;
  uint32_t alignment;
};

// Draws the button at the origin; masks are the active masks at the
// caller's entry, set back before every element.
void Velkor_DrawButtonLook(const Velkor_ButtonLook* look, uint32_t masks, uint32_t pass);

// Pressed and raised shading of the pressed-face layer.
constexpr int32_t kVelkorPressedTexture = 240;
constexpr int32_t kVelkorRaisedTexture = 247;
