#include "display/Velkor_Animation.h"

#include <cstdlib>

Velkor_Animation* Velkor_Animation_alloc() {
  return static_cast<Velkor_Animation*>(std::calloc(1, sizeof(Velkor_Animation)));
}

void Velkor_Animation_free(Velkor_Animation* animation) {
  std::free(animation);
}

void Velkor_Animation_init(Velkor_Animation* animation) {
  *animation = Velkor_Animation{};
  animation->duration = 1000;
  Velkor_GetCycleDuration_init(&animation->cycle);
  Animations_init(&animation->behaviour);
  wrapper_Animations_reset(&animation->behaviour);
  animation->done = animation->behaviour.done;
}

void Velkor_Animation_predraw(Velkor_Animation* animation) {
  Velkor_GetCycleDuration_predraw(&animation->cycle);
}

void Velkor_Animation_draw(Velkor_Animation* animation, uint32_t pass) {
  if (pass != animation->pass) return;
  animation->cycle.pass = pass;
  Velkor_GetCycleDuration_draw(&animation->cycle, pass);
  const uint8_t backward_mode = animation->mode == 2 ? 1 : 0;
  const uint8_t forward = (animation->play && !backward_mode) ? 1 : 0;
  const uint8_t backward = (animation->play && backward_mode) ? 1 : 0;
  wrapper_Animations(forward, backward, animation->duration, animation->cycle.duration,
                     animation->profile, animation->mode == 3 ? 1 : 0, &animation->done,
                     &animation->value, &animation->level, &animation->behaviour);
}
