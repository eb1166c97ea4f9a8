// Velkor_Animation - a time base without a picture.
//
// Runs a value from 0 to 1 over `duration` milliseconds, one step per frame
// of 33 ms, through an easing profile; done is 1 in the one frame in which
// the run arrives at its end (the panel's tick), and the value then rests
// there.
//   a->play = start_now; a->mode = 0; a->duration = 330;
//   Velkor_Animation_predraw(a); Velkor_Animation_draw(a, pass);
//   ... a->value, a->level, a->done
// mode: 2 plays backwards (from 1 to 0), 3 plays forwards with the value
// reversed (1 - eased), any other value forwards. A play command in the
// running direction restarts the run; in the other one it turns it.
#pragma once

#include <cstdint>

#include "display/Velkor_GetCycleDuration.h"
#include "widgets/Animations.h"

struct Velkor_Animation {
  uint8_t play;
  uint32_t mode;
  int32_t duration;  // milliseconds
  int32_t profile;   // easing, see widgets/Animations.h
  // outputs
  uint8_t done;
  float value;
  int32_t level;  // value as 0..255
  uint32_t pass;
  Velkor_GetCycleDuration cycle;
  Animations_State behaviour;
};

Velkor_Animation* Velkor_Animation_alloc();
void Velkor_Animation_free(Velkor_Animation* animation);
void Velkor_Animation_init(Velkor_Animation* animation);
void Velkor_Animation_predraw(Velkor_Animation* animation);
void Velkor_Animation_draw(Velkor_Animation* animation, uint32_t pass);
