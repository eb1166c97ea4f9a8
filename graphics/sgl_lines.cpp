// Lines and filled shapes: sglBegin / sglVertex2f / sglEnd, paths, wide lines
// as strands, stipple dashes, fills by triangle fan, strip or ear clipping,
// and the smoothed outline of opaque fills. The geometry itself lives in
// sgl_geometry.cpp; this file keeps the primitive's state and issues OpenGL.
#include <GL/gl.h>

#include "graphics/sgl.h"
#include "graphics/sgl_geometry.h"
#include "graphics/sgl_internal.h"
#include "graphics/sgl_masks_geometry.h"

namespace {

sgl_type_statemachine* ctx() {
  return glob_pr_sglStatemachine;
}

bool is_line_mode(uint32_t mode) {
  return mode == SGL_PRIMITIVE_LINE_LOOP || mode == SGL_PRIMITIVE_SEGMENTS ||
         mode == SGL_PRIMITIVE_LINE_STRIP;
}

bool is_fill_mode(uint32_t mode) {
  return mode == SGL_PRIMITIVE_POLYGON || mode == SGL_PRIMITIVE_TRIANGLE_STRIP;
}

void reset_stipple_position(sgl_type_statemachine* context) {
  context->lines.stipple_segment = 0;
  context->lines.stipple_used = 0.0f;
}

void empty_buffers(sgl_type_statemachine* context) {
  context->vertex_count = 0;
  context->texcoord_count = 0;
  context->lines.has_last = 0;
  context->lines.pair_started = 0;
}

// ---------------------------------------------------------------- set-up

void line_setup(sgl_type_statemachine* context) {
  context->color_validity = 1;
  sgliDisable(GL_TEXTURE_2D);
  sgliEnable(GL_BLEND);
}

void fill_setup(sgl_type_statemachine* context) {
  context->color_validity = 2;
  if (context->depth_test) {
    sgliDisable(GL_DEPTH_TEST);
  }
  sgliUpdateColor(context->color_index);
  if (context->texture_fill) {
    const uint32_t index = context->texture.current_texture;
    if (context->texture_table == nullptr || index >= context->texture_count) {
      return;
    }
    const sgl_texture_slot* slot = &context->texture_table[index];
    sgliBindTexture(slot->name);
    if (slot->format == SGL_FORMAT_RGBA || slot->format == SGL_FORMAT_ALPHA) {
      sgliEnable(GL_BLEND);
    } else {
      sgliDisable(GL_BLEND);
    }
    sgliEnable(GL_TEXTURE_2D);
  } else if (context->gradient_fill) {
    const uint32_t index = context->texture.current_gradient;
    if (context->gradient_table == nullptr || index >= context->gradient_count) {
      return;
    }
    sgliBindTexture(context->gradient_table[index].name);
    sgliEnable(GL_BLEND);
    sgliEnable(GL_TEXTURE_2D);
  } else {
    sgliDisable(GL_TEXTURE_2D);
    sgliEnable(GL_BLEND);
  }
}

// An alpha-only texture carries no colour: it is meant to shape the current
// colour through modulation. Without modulation such a fill is left out.
bool skipped_texture_fill(const sgl_type_statemachine* context) {
  if (!context->texture_fill || context->texture_modulate) {
    return false;
  }
  const uint32_t index = context->texture.current_texture;
  if (context->texture_table == nullptr || index >= context->texture_count) {
    return false;
  }
  return context->texture_table[index].format == SGL_FORMAT_ALPHA;
}

}  // namespace

// ---------------------------------------------------------------- drawing arrays

void sgli_draw_arrays(uint32_t gl_mode, const float* xy, const float* st, uint32_t count) {
  sgl_type_statemachine* context = ctx();
  if (count == 0) {
    return;
  }
  if (context->cache_bypass) {
    // A display list being recorded must hold the vertices themselves:
    // client arrays are read when the list is compiled, not replayed.
    sgliGlBegin(gl_mode);
    for (uint32_t k = 0; k < count; ++k) {
      if (st != nullptr) {
        sgliGlTexCoord2f(st[2 * k], st[2 * k + 1]);
      }
      sgliGlVertex2f(xy[2 * k], xy[2 * k + 1]);
    }
    sgliGlEnd();
    return;
  }
  sgliTexCoordArray(st != nullptr);
  if (st != nullptr) {
    sgliTexCoordPointer(st);
  }
  sgliVertexPointer(xy);
  sgliGlDrawArrays(gl_mode, 0, static_cast<GLsizei>(count));
}

namespace {

void flush_segments(sgl_type_statemachine* context) {
  sgli_draw_arrays(GL_LINES, &context->segments[0][0], nullptr, context->segment_count);
  context->segment_count = 0;
}

// One pass of a line in render mode 1: every segment of the primitive
// becomes its bundle of strands, batched into GL_LINES draws.
void draw_strands_for_pass(sgl_type_statemachine* context, float half_width) {
  const sgl_transformation* t = &context->transform;
  const uint32_t n = sgl_strand_count(half_width);
  float table[2 * kSglMaxStrands] = {};
  for (uint32_t k = 0; k < n; ++k) {
    table[2 * k] = context->circle_cos[n - 1][k];
    table[2 * k + 1] = context->circle_sin[n - 1][k];
  }
  const float phi = 10.0f + 80.0f * static_cast<float>(n) / static_cast<float>(n + 1);
  sgl_strand_params params;
  sgl_strand_setup(&params, half_width, t->units_x, t->units_y, table, mth_sin_degree(phi),
                   context->line_caps == 0);

  const uint32_t count = context->vertex_count;
  const float(*v)[2] = context->vertices;
  float strands[4 * kSglMaxStrands];
  auto emit = [&](uint32_t a, uint32_t b, bool flat_start, bool flat_end) {
    const uint32_t made = sgl_expand_segment(&params, v[a][0], v[a][1], v[b][0], v[b][1],
                                             flat_start, flat_end, strands);
    if (context->segment_count + 2 * made > SGL_VERTEX_BUFFER_SIZE) {
      flush_segments(context);
    }
    for (uint32_t k = 0; k < made; ++k) {
      float* out = context->segments[context->segment_count];
      out[0] = strands[4 * k];
      out[1] = strands[4 * k + 1];
      out[2] = strands[4 * k + 2];
      out[3] = strands[4 * k + 3];
      context->segment_count += 2;
    }
  };

  if (context->primitive == SGL_PRIMITIVE_SEGMENTS) {
    for (uint32_t k = 0; k + 1 < count; k += 2) {
      emit(k, k + 1, true, true);
    }
  } else {
    const bool loop = context->primitive == SGL_PRIMITIVE_LINE_LOOP;
    for (uint32_t k = 0; k + 1 < count; ++k) {
      emit(k, k + 1, !loop && k == 0, !loop && k + 2 == count);
    }
    if (loop && count > 2) {
      emit(count - 1, 0, false, false);
    }
  }
  flush_segments(context);
}

void draw_gl_lines_for_pass(sgl_type_statemachine* context) {
  GLenum mode = GL_LINE_STRIP;
  if (context->primitive == SGL_PRIMITIVE_LINE_LOOP) {
    mode = GL_LINE_LOOP;
  } else if (context->primitive == SGL_PRIMITIVE_SEGMENTS) {
    mode = GL_LINES;
  }
  sgli_draw_arrays(mode, &context->vertices[0][0], nullptr, context->vertex_count);
}

// Halos sit a little nearer than what lies below them and the line nearer
// still, so that with the depth test the line always shows over its halo.
void shift_depth(sgl_type_statemachine* context, float dz) {
  if (context->depth_test) {
    sgliGlTranslatef(0.0f, 0.0f, dz);
  }
}

// Draws the vertex buffer as a line with the current attributes: a halo pass
// (wider, in the halo colour) under a main pass, as the smoothing flag says.
void draw_line(sgl_type_statemachine* context) {
  const uint8_t s = context->smoothing;
  const float* w = sgliCurrentLineWidth();
  const bool halo = s == 1 || s == 2;
  const bool main = s == 0 || s == 1 || s == 3;
  const float a = static_cast<float>(context->transparency) / 255.0f;

  auto halo_colour = [&]() {
    if (context->halo_color_index >= 0) {
      sgliUpdateColor(static_cast<uint32_t>(context->halo_color_index));
    } else {
      sgliColor4f(0.0f, 0.0f, 0.0f, a);
    }
  };

  if (context->render_mode == 1) {
    const float h = (s != 0 ? w[1] : w[0]) / 2.0f;
    const float g = s != 0 ? w[2] / 2.0f : 0.0f;
    sgliLineWidth(h < 1.0f ? 2.0f * h : 2.0f);
    if (halo) {
      halo_colour();
      shift_depth(context, -0.0001f);
      draw_strands_for_pass(context, g);
      shift_depth(context, 0.0001f);
    }
    if (main) {
      sgliUpdateColor(context->color_index);
      sgliEnable(GL_BLEND);
      const float dz = s != 0 ? -0.0002f : 0.0f;
      shift_depth(context, dz);
      draw_strands_for_pass(context, h);
      shift_depth(context, -dz);
    }
    return;
  }

  if (halo) {
    halo_colour();
    sgliLineWidth(w[2]);
    shift_depth(context, -0.0001f);
    draw_gl_lines_for_pass(context);
    shift_depth(context, 0.0001f);
  }
  if (main) {
    sgliUpdateColor(context->color_index);
    sgliLineWidth(s != 0 ? w[1] : w[0]);
    const float dz = s != 0 ? -0.0002f : 0.0f;
    shift_depth(context, dz);
    draw_gl_lines_for_pass(context);
    shift_depth(context, -dz);
  }
}

// ---------------------------------------------------------------- ends

void end_of_line(sgl_type_statemachine* context) {
  if (context->lines.close_loop) {
    if (context->lines.arc_pending) {
      sgli_arc_segment_to(context->lines.first_x, context->lines.first_y);
    } else if (context->stipple_active || context->path.kind != 0) {
      // Dashes are separate pairs and a path is a strip: neither closes
      // by itself.
      sgliVertex2f(context->lines.first_x, context->lines.first_y);
    }
  }
  sgli_update_bounding_box();
  if (context->vertex_count >= 2) {
    draw_line(context);
  }
}

// The antialiased outline that smooths an opaque fill's edge: a thin loop in
// the fill's colour.
void draw_smooth_outline(sgl_type_statemachine* context) {
  const uint8_t primitive = context->primitive;
  sgli_outline_state saved;
  sgli_begin_smooth_outline(context->lines.shape_from_arc ? 1 : 0, &saved);
  context->primitive = SGL_PRIMITIVE_LINE_LOOP;
  sgliDisable(GL_TEXTURE_2D);
  sgliEnable(GL_BLEND);
  draw_line(context);
  sgli_end_smooth_outline(saved);
  context->primitive = primitive;
}

bool wants_smooth_outline(const sgl_type_statemachine* context) {
  return context->polygon_smooth && !context->texture_fill && !context->gradient_fill &&
         context->transparency == 255;
}

float* texcoords_if_any(sgl_type_statemachine* context) {
  if (context->texcoord_count > 0 && context->texcoord_count == context->vertex_count) {
    return &context->texcoords[0][0];
  }
  return nullptr;
}

void end_of_shape(sgl_type_statemachine* context) {
  if (context->lines.arc_pending) {
    sgli_arc_segment_to(context->lines.first_x, context->lines.first_y);
  }
  sgli_update_bounding_box();
  if (context->vertex_count < 3) {
    return;
  }
  const bool outline = wants_smooth_outline(context);
  if (context->tessellation && !context->lines.shape_from_arc) {
    if (outline) {
      draw_smooth_outline(context);
    }
    sgl_tessellation();
    return;
  }
  const GLenum mode =
      context->begin_mode == SGL_PRIMITIVE_TRIANGLE_STRIP ? GL_TRIANGLE_STRIP : GL_TRIANGLE_FAN;
  sgli_draw_arrays(mode, &context->vertices[0][0], texcoords_if_any(context),
                   context->vertex_count);
  if (outline) {
    draw_smooth_outline(context);
  }
}

}  // namespace

void sgli_begin_smooth_outline(uint32_t width_index, sgli_outline_state* out_saved) {
  sgl_type_statemachine* context = ctx();
  *out_saved = {context->line_width_table, context->line_width_count, context->line_width_index,
                context->polygon_smooth,   context->stipple_active,   context->smoothing};
  context->line_width_table = &font_line_width[0][0];
  context->line_width_count = 8;
  context->line_width_index = width_index;
  context->polygon_smooth = 0;
  context->stipple_active = 0;
  context->smoothing = 0;
}

void sgli_end_smooth_outline(const sgli_outline_state& saved) {
  sgl_type_statemachine* context = ctx();
  context->line_width_table = saved.width_table;
  context->line_width_count = saved.width_count;
  context->line_width_index = saved.width_index;
  context->polygon_smooth = saved.polygon_smooth;
  context->stipple_active = saved.stipple_active;
  context->smoothing = saved.smoothing;
}

// ---------------------------------------------------------------- tessellation

void sgl_tessellation() {
  sgl_type_statemachine* context = ctx();
  float* st = texcoords_if_any(context);
  uint32_t n = context->vertex_count;
  context->lines.triangle_count = 0;
  sgl_ear_clip(&context->vertices[0][0], st, &n, &context->lines.triangles[0][0],
               st != nullptr ? &context->lines.texture_triangles[0][0] : nullptr,
               &context->lines.triangle_count, SGL_TRIANGLE_BUFFER_SIZE);
  // One GL_TRIANGLES draw of the whole list fills exactly what a fan per
  // triangle would, at a fraction of the calls.
  sgli_draw_arrays(GL_TRIANGLES, &context->lines.triangles[0][0],
                   st != nullptr ? &context->lines.texture_triangles[0][0] : nullptr,
                   3 * context->lines.triangle_count);
  context->lines.triangle_count = 0;
  context->vertex_count = 0;
  context->texcoord_count = 0;
}

// ---------------------------------------------------------------- vertices

void sgliVertex2f(float x, float y) {
  sgl_type_statemachine* context = ctx();
  if (context->texture_fill) {
    sgliSetTextureCoordinates(x, y);
  } else if (context->gradient_fill) {
    sgliSetGradientCoordinates(x, y);
  }
  if (context->vertex_count >= SGL_VERTEX_BUFFER_SIZE) {
    sgliSetError(SGL_ERROR_VERTEX_BUFFER_FULL, 0);
    return;
  }
  sgl_line_state* lines = &context->lines;
  const bool stippled = context->stipple_active != 0;
  auto cut = [&](float ax, float ay) {
    const sgl_line_stipple* entry = context->stipple;
    const sgl_stipple_pattern pattern{entry->lengths, entry->on, entry->count};
    sgl_stipple_position position{lines->stipple_segment, lines->stipple_used};
    if (!sgl_cut_dashes(&pattern, &position, ax, ay, x, y, context->transform.line_scale_x,
                        context->transform.line_scale_y, &context->vertices[0][0],
                        &context->vertex_count, SGL_VERTEX_BUFFER_SIZE)) {
      sgliSetError(SGL_ERROR_VERTEX_BUFFER_FULL, 0);
    }
    lines->stipple_segment = position.segment;
    lines->stipple_used = position.used;
  };

  if (lines->stipple_splitting && stippled) {
    // A strip or loop being cut: every new vertex ends a segment that
    // starts at the previous one.
    if (lines->has_last) {
      cut(lines->last_x, lines->last_y);
    }
  } else if (context->primitive != SGL_PRIMITIVE_SEGMENTS || !stippled) {
    context->vertices[context->vertex_count][0] = x;
    context->vertices[context->vertex_count][1] = y;
    context->vertex_count += 1;
  } else if (!lines->pair_started) {
    lines->pair_started = 1;
    lines->pair_x = x;
    lines->pair_y = y;
  } else {
    lines->pair_started = 0;
    cut(lines->pair_x, lines->pair_y);
  }
  if (!lines->has_last) {
    lines->first_x = x;
    lines->first_y = y;
  }
  lines->has_last = 1;
  lines->last_x = x;
  lines->last_y = y;
}

void sglBegin(uint8_t mode) {
  sgl_type_statemachine* context = ctx();
  empty_buffers(context);
  reset_stipple_position(context);
  context->lines.stipple_splitting = 0;
  context->lines.close_loop = 0;
  context->begin_mode = mode;
  if (is_line_mode(mode)) {
    line_setup(context);
    context->primitive = mode;
    context->lines.close_loop = mode == SGL_PRIMITIVE_LINE_LOOP ? 1 : 0;
  } else if (is_fill_mode(mode)) {
    // A fill never takes the dash cutting that a stippled line before it
    // left selected.
    context->primitive = mode;
    if (!skipped_texture_fill(context)) {
      fill_setup(context);
    }
  } else if (sgl_is_stencil_id(mode)) {
    // The shape goes into that stencil bit only, as a mask definition.
    sgli_select_mask(mode, 0);
    context->clipping.mask_under_definition = mode;
  } else {
    sgliSetError(SGL_ERROR_BEGIN, mode);
    context->begin_mode = 0;
  }
}

void sglVertex2f(float x, float y) {
  sgl_type_statemachine* context = ctx();
  if (is_fill_mode(context->begin_mode) && skipped_texture_fill(context)) {
    return;
  }
  if (context->stipple_active && context->primitive != SGL_PRIMITIVE_SEGMENTS &&
      context->color_validity == 1) {
    context->lines.stipple_splitting = 1;
    context->primitive = SGL_PRIMITIVE_SEGMENTS;
    context->begin_mode = SGL_PRIMITIVE_SEGMENTS;
  }
  if (context->lines.arc_pending && context->lines.has_last) {
    sgli_arc_segment_to(x, y);
    return;
  }
  sgliVertex2f(x, y);
}

void sglEnd() {
  sgl_type_statemachine* context = ctx();
  const uint32_t mode = context->begin_mode;
  // A stippled strip may still hold no dash while its closing segment
  // would add some; the vertex given so far counts as well.
  const bool enough =
      context->vertex_count >= 2 || (context->lines.stipple_splitting && context->lines.has_last);
  if (enough) {
    if (sgl_is_stencil_id(mode)) {
      const uint8_t polygon_smooth = context->polygon_smooth;
      context->polygon_smooth = 0;
      context->begin_mode = SGL_PRIMITIVE_POLYGON;
      end_of_shape(context);
      sglEndMaskDefinition();
      context->polygon_smooth = polygon_smooth;
    } else if (is_line_mode(mode)) {
      end_of_line(context);
    } else if (is_fill_mode(mode) && !skipped_texture_fill(context)) {
      end_of_shape(context);
      if (context->depth_test) {
        sgliEnable(GL_DEPTH_TEST);
      }
    }
  } else if (sgl_is_stencil_id(mode)) {
    sglEndMaskDefinition();
  }
  context->begin_mode = 0;
  context->color_validity = 0;
  context->lines.stipple_splitting = 0;
  context->lines.close_loop = 0;
  context->lines.arc_pending = 0;
  reset_stipple_position(context);
  empty_buffers(context);
}

// ---------------------------------------------------------------- paths

void sglBeginPath(uint8_t kind) {
  sgl_type_statemachine* context = ctx();
  if (kind != 1 && kind != 2) {
    sgliSetError(SGL_ERROR_BEGIN_PATH, kind);
    return;
  }
  empty_buffers(context);
  reset_stipple_position(context);
  context->lines.close_loop = 0;
  context->lines.arc_pending = 0;
  context->path.last_command = 0;
  if (kind == 1) {
    line_setup(context);
    if (context->stipple_active) {
      context->lines.stipple_splitting = 1;
      context->primitive = SGL_PRIMITIVE_SEGMENTS;
    } else {
      context->primitive = SGL_PRIMITIVE_LINE_STRIP;
    }
    context->begin_mode = context->primitive;
    context->path.kind = 1;
    return;
  }
  if (skipped_texture_fill(context)) {
    return;
  }
  fill_setup(context);
  context->begin_mode = SGL_PRIMITIVE_POLYGON;
  context->path.kind = 2;
}

namespace {

void draw_pending_subpath(sgl_type_statemachine* context) {
  if (context->path.kind == 1) {
    if (context->vertex_count >= 2) {
      end_of_line(context);
    }
  } else if (context->vertex_count >= 3) {
    end_of_shape(context);
  }
  empty_buffers(context);
  reset_stipple_position(context);
  context->lines.arc_pending = 0;
}

}  // namespace

void sglMoveTo(float x, float y) {
  sgl_type_statemachine* context = ctx();
  if (context->path.kind == 0) {
    return;
  }
  draw_pending_subpath(context);
  context->path.start_x = x;
  context->path.start_y = y;
  sgliVertex2f(x, y);
  context->path.current_x = x;
  context->path.current_y = y;
  context->path.last_command = 1;
}

void sglLineTo(float x, float y) {
  sgl_type_statemachine* context = ctx();
  if (context->path.kind == 0) {
    return;
  }
  sglVertex2f(x, y);
  context->path.current_x = x;
  context->path.current_y = y;
  context->path.last_command = 2;
}

void sglHorizontalLineTo(float x) {
  sglLineTo(x, ctx()->path.current_y);
}

void sglVerticalLineTo(float y) {
  sglLineTo(ctx()->path.current_x, y);
}

void sglClosePath() {
  sgl_type_statemachine* context = ctx();
  if (context->path.kind == 1 || (context->path.kind == 2 && context->vertex_count >= 3)) {
    sglLineTo(context->path.start_x, context->path.start_y);
    context->path.last_command = 7;
  }
}

void sglEndPath() {
  sgl_type_statemachine* context = ctx();
  if (context->path.kind == 0) {
    return;
  }
  sgliUpdateColor(context->color_index);
  if (context->path.kind == 1) {
    if (context->vertex_count >= 2) {
      end_of_line(context);
    }
  } else {
    // The closing vertex repeats the sub-path's start; a fan through it
    // twice would draw the last triangle as a sliver over the first.
    if (context->path.last_command == 7 && context->vertex_count > 0) {
      context->vertex_count -= 1;
      if (context->texcoord_count > context->vertex_count) {
        context->texcoord_count = context->vertex_count;
      }
    }
    if (context->vertex_count >= 3) {
      end_of_shape(context);
    }
  }
  empty_buffers(context);
  context->primitive = SGL_PRIMITIVE_LINE_STRIP;
  context->begin_mode = 0;
  context->lines.stipple_splitting = 0;
  context->lines.arc_pending = 0;
  context->path.kind = 0;
  reset_stipple_position(context);
}
