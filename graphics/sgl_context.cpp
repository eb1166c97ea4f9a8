// The drawing library's context: initialisation, the per-frame reset,
// capabilities, attribute tables and their selection, the error log and the
// OpenGL state cache.
#include <cstring>

#include "graphics/sgl.h"
#include "graphics/sgl_damage_internal.h"
#include "graphics/sgl_internal.h"
#include "graphics/sgl_renderer_internal.h"

sgl_type_statemachine* glob_pr_sglStatemachine = nullptr;

const float glob_s_default_colormap[1][4] = {{1.0f, 0.50196f, 0.74117f, 1.0f}};

const float font_line_width[8][3] = {
    {1.5f, 1.5f, 3.5f},    {2.4f, 1.5f, 3.5f},    {2.55f, 1.65f, 3.65f}, {2.75f, 2.25f, 4.25f},
    {3.55f, 2.55f, 4.55f}, {4.55f, 3.55f, 5.55f}, {5.55f, 4.25f, 6.25f}, {6.55f, 5.0f, 7.0f},
};

const sgl_line_stipple default_line_stipple_table[5] = {
    {{1, 0, 0, 0, 0, 0}, {1, 0, 0, 0, 0, 0}, 1, 1},
    {{12, 12, 0, 0, 0, 0}, {1, 0, 0, 0, 0, 0}, 0, 2},
    {{8, 8, 0, 0, 0, 0}, {1, 0, 0, 0, 0, 0}, 0, 2},
    {{1, 6, 0, 0, 0, 0}, {1, 0, 0, 0, 0, 0}, 0, 2},
    {{1, 8, 8, 8, 0, 0}, {1, 0, 1, 0, 0, 0}, 0, 4},
};

static const char kDefaultFontName[] = "Default font";

// ---------------------------------------------------------------------------
// Error log
// ---------------------------------------------------------------------------
void sgliSetError(uint32_t code, uint32_t value) {
  sgl_type_statemachine* context = glob_pr_sglStatemachine;
  if (context == nullptr) {
    return;
  }
  sgl_error_log* log = &context->errors;
  if (log->count < SGL_ERROR_LOG_SIZE) {
    log->entries[log->count].code = code;
    log->entries[log->count].value = value;
    log->count++;
  } else {
    log->overflow = 1;
  }
}

// ---------------------------------------------------------------------------
// OpenGL state cache
// ---------------------------------------------------------------------------
static uint8_t* sgl_cached_enable(sgl_type_statemachine* context, uint32_t* capability) {
  switch (*capability) {
    case GL_TEXTURE_2D:
      return &context->gl_texture_2d;
    case GL_STENCIL_TEST:
      return &context->gl_stencil_test;
    case GL_SCISSOR_TEST:
      return &context->gl_scissor_test;
    case GL_DEPTH_TEST:
      return &context->gl_depth_test;
    default:
      *capability = GL_BLEND;
      return &context->gl_blend;
  }
}

static void sgl_issue_enable(uint32_t capability, uint8_t on) {
  if (on) {
    sgliGlEnable(capability);
  } else {
    sgliGlDisable(capability);
  }
}

static void sgl_cached_set_enable(uint32_t capability, uint8_t on) {
  sgl_type_statemachine* context = glob_pr_sglStatemachine;
  uint8_t* cached = sgl_cached_enable(context, &capability);
  if (context->cache_bypass || *cached != on) {
    sgl_issue_enable(capability, on);
    *cached = on;
  }
}

void sgliEnable(uint32_t capability) {
  sgl_cached_set_enable(capability, 1);
}

void sgliDisable(uint32_t capability) {
  sgl_cached_set_enable(capability, 0);
}

void sgliTexEnvi(uint32_t target, uint32_t name, uint32_t value) {
  sgl_type_statemachine* context = glob_pr_sglStatemachine;
  uint32_t* cached = context->gl_tex_env;
  if (context->cache_bypass || cached[0] != target || cached[1] != name || cached[2] != value) {
    sgliGlTexEnvi(target, name, static_cast<GLint>(value));
    cached[0] = target;
    cached[1] = name;
    cached[2] = value;
  }
}

void sgliColor4f(float red, float green, float blue, float alpha) {
  const float rgba[4] = {red, green, blue, alpha};
  sgliColor4fv(rgba);
}

void sgliColor4fv(const float* rgba) {
  sgl_type_statemachine* context = glob_pr_sglStatemachine;
  // Bit-for-bit: a colour that differs only by rounding is still a new colour.
  if (context->cache_bypass ||
      std::memcmp(context->gl_color, rgba, sizeof(context->gl_color)) != 0) {
    sgliGlColor4fv(rgba);
    std::memcpy(context->gl_color, rgba, sizeof(context->gl_color));
  }
}

void sgliUpdateColor(uint32_t index) {
  sgl_type_statemachine* context = glob_pr_sglStatemachine;
  if (index >= context->color_count) {
    index = context->color_count - 1;
  }
  const float* entry = &context->color_table[4 * index];
  float alpha = static_cast<float>(context->transparency) / 255.0f;
  if (context->appearance.inverse_video) {
    sgliColor4f(1.0f - entry[0], 1.0f - entry[1], 1.0f - entry[2], alpha);
  } else {
    sgliColor4f(entry[0], entry[1], entry[2], entry[3] * alpha);
  }
}

void sgliBindTexture(uint32_t name) {
  sgl_type_statemachine* context = glob_pr_sglStatemachine;
  if (context->cache_bypass || context->gl_bound_texture != name) {
    sgliGlBindTexture(GL_TEXTURE_2D, name);
    context->gl_bound_texture = name;
  }
}

void sgliLineWidth(float width) {
  sgl_type_statemachine* context = glob_pr_sglStatemachine;
  float issued = width * (context->transform.ratio_x + context->transform.ratio_y) / 2.0f;
  if (context->cache_bypass || issued != context->gl_line_width) {
    sgliGlLineWidth(issued);
    context->gl_line_width = issued;
  }
}

void sgliTexCoordArray(bool enabled) {
  sgl_type_statemachine* context = glob_pr_sglStatemachine;
  uint8_t wanted = enabled ? 1 : 0;
  if (context->cache_bypass || context->gl_texcoord_array != wanted) {
    if (enabled) {
      sgliGlEnableClientState(GL_TEXTURE_COORD_ARRAY);
    } else {
      sgliGlDisableClientState(GL_TEXTURE_COORD_ARRAY);
    }
    context->gl_texcoord_array = wanted;
  }
}

void sgliVertexPointer(const float* pointer) {
  sgl_type_statemachine* context = glob_pr_sglStatemachine;
  if (context->cache_bypass || context->gl_vertex_pointer != pointer) {
    sgliGlVertexPointer(pointer);
    context->gl_vertex_pointer = pointer;
  }
}

void sgliTexCoordPointer(const float* pointer) {
  sgl_type_statemachine* context = glob_pr_sglStatemachine;
  if (context->cache_bypass || context->gl_texcoord_pointer != pointer) {
    sgliGlTexCoordPointer(pointer);
    context->gl_texcoord_pointer = pointer;
  }
}

const float* sgliCurrentLineWidth() {
  sgl_type_statemachine* context = glob_pr_sglStatemachine;
  return &context->line_width_table[3 * context->line_width_index];
}

// ---------------------------------------------------------------------------
// Initialisation steps
// ---------------------------------------------------------------------------
static bool sgl_is_texture_limit(uint32_t size) {
  return size >= 64 && (size & (size - 1)) == 0;
}

static void sgl_initialize_appearance_attributes(sgl_type_statemachine* context) {
  for (int32_t& value : context->appearance.values) {
    value = -1;
  }
  context->appearance.flag = 1;
  context->appearance.inverse_video = 0;
}

static void sgl_empty_slots(sgl_texture_slot* table, uint32_t count) {
  if (table != nullptr) {
    std::memset(table, 0, sizeof(sgl_texture_slot) * count);
  }
}

static void sgl_initialize_resources_tables(sgl_type_statemachine* context) {
  context->render_mode = 1;
  sgl_empty_slots(context->texture_table, context->texture_count);
  sgl_empty_slots(context->gradient_table, context->gradient_count);
  context->color_table = &glob_s_default_colormap[0][0];
  context->color_count = 1;
  context->line_width_table = &font_line_width[0][0];
  context->line_width_count = 8;
  context->stipple_table = default_line_stipple_table;
  context->stipple_count = 5;
  // No font table (font_table stays null): every slot answers with the
  // default font.
}

static void sgl_initialize_texture_data(sgl_type_statemachine* context) {
  context->texture_format_rgb = GL_RGB;
  context->texture_format_rgba = GL_RGBA;
  if (context->texture_buffer != nullptr) {
    std::memset(context->texture_buffer, 0,
                static_cast<size_t>(context->max_texture_width) * context->max_texture_height * 4);
  }
}

static void sgl_initialize_vertex_data(sgl_type_statemachine* context) {
  context->line_caps = 1;
  // The strands of a wide line end on a half circle: strand k of n sits at
  // 10 + k * 160 / (n + 1) degrees, so the outermost ones stay 10 degrees
  // inside the line's edge.
  for (uint32_t n = 1; n <= SGL_CIRCLE_TABLE_COUNT; n++) {
    for (uint32_t k = 1; k <= n; k++) {
      float angle = 10.0f + static_cast<float>(k) * 160.0f / static_cast<float>(n + 1);
      mth_cos_sin_degree(angle, &context->circle_cos[n - 1][k - 1],
                         &context->circle_sin[n - 1][k - 1]);
    }
  }
}

void sgl_initialize_text_attributes(sgl_type_statemachine* context) {
  sgl_text_state* text = &context->text;
  text->encoding = 0;
  std::memset(text->word_separators, 0, sizeof(text->word_separators));
  text->word_separators[0] = ' ';
  text->word_separator_count = 1;
  std::memset(text->line_separators, 0, sizeof(text->line_separators));
  text->line_separators[0] = 10;
  text->line_separators[1] = 13;
  text->line_separator_count = 2;
  text->text_scale = 1.0f;
  text->second_font = SGL_FONT_NONE;
  text->second_font_line_width = 0;
  text->second_color_index = 0;
}

void sgl_reset_text_attributes(sgl_type_statemachine* context) {
  sgl_text_state* text = &context->text;
  text->font = SGL_FONT_NONE;
  text->align_h = 0;
  text->align_v = 0;
  text->align_factor_h = 0.0f;
  text->align_factor_v = 0.0f;
  text->inverse_video = 0;
  text->font_line_width = 0;
  text->outline_width_step = 0;
  text->color_index = context->color_count - 1;
}

// ---------------------------------------------------------------------------
// Initialisation and reset
// ---------------------------------------------------------------------------
bool sglInit(sgl_type_statemachine* context, const sgl_parameters* parameters) {
  if (context == nullptr || parameters == nullptr || parameters->width == 0 ||
      parameters->height == 0) {
    return false;
  }
  if (parameters->texture_buffer != nullptr) {
    if (!sgl_is_texture_limit(parameters->max_texture_width) ||
        !sgl_is_texture_limit(parameters->max_texture_height)) {
      return false;
    }
  } else if (parameters->max_texture_width != 0 || parameters->max_texture_height != 0) {
    return false;
  }

#ifdef __EMSCRIPTEN__
  // A browser has WebGL only: OpenGL 1.x is not built there, and the ES 2
  // renderer must be handed.
  if (parameters->renderer == nullptr) return false;
#endif
  // A context may be initialised again: nothing of its former life survives.
  std::memset(context, 0, sizeof(*context));
  glob_pr_sglStatemachine = context;
#ifdef __EMSCRIPTEN__
  context->renderer = parameters->renderer;
#else
  context->renderer = parameters->renderer != nullptr ? parameters->renderer : sgli_renderer_gl1();
#endif
  // Whatever OpenGL shows now, the first frame is sent in full.
  uint32_t stream_bytes = parameters->stream_bytes;
  sgli_damage_initialize(context, parameters->stream_buffer, &stream_bytes,
                         parameters->partial_frames);
  sgli_stream_initialize(context, parameters->stream_buffer, stream_bytes);
  context->texture_buffer = parameters->texture_buffer;
  context->max_texture_width = parameters->max_texture_width;
  context->max_texture_height = parameters->max_texture_height;
  context->texture_table = parameters->texture_table;
  context->texture_count = parameters->texture_table != nullptr ? parameters->texture_count : 0;
  context->gradient_table = parameters->gradient_table;
  context->gradient_count = parameters->gradient_table != nullptr ? parameters->gradient_count : 0;
  context->native_width = parameters->width;
  context->native_height = parameters->height;
  context->pixel_aligned_text = 1;
  sgl_initialize_text_attributes(context);

  // The cache starts from OpenGL's own defaults, which are issued here so
  // that cache and OpenGL agree before the first reset.
  context->gl_color[0] = context->gl_color[1] = context->gl_color[2] = context->gl_color[3] = 1.0f;
  sgliGlColor4fv(context->gl_color);
  context->gl_bound_texture = SGL_BOUND_TEXTURE_UNKNOWN;

  sgl_initialize_appearance_attributes(context);
  sgl_initialize_resources_tables(context);
  sgl_initialize_texture_data(context);
  sgl_initialize_vertex_data(context);
  sgl_initialize_clipping(context);
  sgl_initialize_transformation(context);

  sglReset();
  sgluLoadFonts(nullptr);
  return true;
}

static void sgl_reset_appearance_attributes(sgl_type_statemachine* context) {
  context->appearance.inverse_video = 0;
  context->gl_line_width = 0.0f;
  sglTransparency8(255);
  context->color_index = context->color_count - 1;
  context->halo_color_index = -1;
  sgliUpdateColor(context->color_index);
  context->line_width_index = context->line_width_count - 1;
  context->stipple = &context->stipple_table[context->stipple_count - 1];
  context->stipple_active = context->stipple->solid ? 0 : 1;
  context->texture_modulate = 0;
  context->gl_bound_texture = SGL_BOUND_TEXTURE_UNKNOWN;
  sgl_texture_state* texture = &context->texture;
  texture->origin_x = texture->origin_y = 0.0f;
  texture->width = texture->height = 0.0f;
  texture->offset_x = texture->offset_y = 0.0f;
  texture->repeat_x = texture->repeat_y = 1.0f;
  texture->factor_x = texture->factor_y = 1.0f;
  // A coordinate given for a vertex that never came belongs to that frame.
  texture->explicit_pending = 0;
}

static void sgl_reset_mode_attributes(sgl_type_statemachine* context) {
  sgliGlDepthFunc(GL_LEQUAL);
  context->gl_texture_2d = 0;
  context->gl_blend = 0;
  context->gl_stencil_test = 0;
  context->gl_scissor_test = 0;
  context->gl_depth_test = 0;
  context->gl_tex_env[0] = GL_TEXTURE_ENV;
  context->gl_tex_env[1] = GL_TEXTURE_ENV_MODE;
  context->gl_tex_env[2] = GL_REPLACE;
  context->transform.z_offset = 0.0f;
  sgliGlDisable(GL_BLEND);
  sgliGlDisable(GL_TEXTURE_2D);
  sgliGlDisable(GL_SCISSOR_TEST);
  sgliGlDisable(GL_STENCIL_TEST);
  sgliGlDisable(GL_DEPTH_TEST);
  sgliGlDisable(GL_CULL_FACE);
  sgliGlBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  context->polygon_smooth = 0;
  context->texture_fill = 0;
  context->depth_test = 0;
  context->smoothing = 0;
  context->tessellation = 0;
  context->gradient_fill = 0;
}

// A frame that ended inside pushes left OpenGL's model-view stack deeper than
// the library's, which would overflow it a few frames later: pop it back.
static void sgl_unwind_gl_matrix_stack(sgl_type_statemachine* context) {
  sgl_orthographic* ortho = &context->ortho;
  if (ortho->depth > SGL_MATRIX_STACK_SIZE) {
    ortho->depth = SGL_MATRIX_STACK_SIZE;
  }
  sgliGlMatrixMode(GL_MODELVIEW);
  while (ortho->depth > 0) {
    ortho->depth--;
    if (ortho->stack[ortho->depth].gl_pushed) {
      sgliGlPopMatrix();
      if (ortho->gl_depth > 1) ortho->gl_depth--;
    }
  }
}

void sglReset() {
  sgl_type_statemachine* context = glob_pr_sglStatemachine;
  if (context == nullptr) {
    return;
  }
  // A frame that ended while a static sequence was recording would leave
  // OpenGL compiling every later call (this reset's too) into the list
  // instead of running it, and no sequence could begin again.
  if (context->statics.sequence_list != 0) {
    sgliGlEndList();
    context->statics.sequence_list = 0;
  }
  // 1. Arrays and matrices
  sgl_unwind_gl_matrix_stack(context);
  sgliGlMatrixMode(GL_PROJECTION);
  sgliGlLoadIdentity();
  sgliGlMatrixMode(GL_MODELVIEW);

  // 2. Drawing state back to idle
  context->cache_bypass = 0;
  context->ortho.depth = 0;
  context->begin_mode = 0;
  context->color_validity = 0;
  std::memset(&context->path, 0, sizeof(context->path));
  context->primitive = SGL_PRIMITIVE_LINE_STRIP;
  context->vertex_count = 0;
  context->segment_count = 0;
  context->texcoord_count = 0;
  context->lines.triangle_count = 0;
  context->lines.close_loop = 0;
  context->lines.stipple_splitting = 0;
  context->lines.pair_started = 0;
  context->lines.stipple_segment = 0;
  context->lines.stipple_used = 0.0f;
  context->lines.shape_from_arc = 0;
  context->lines.arc_pending = 0;
  std::memset(&context->arcs, 0, sizeof(context->arcs));
  context->clipping.mask_under_definition = 0;

  // 3. Attributes: the last entry of every table
  sgl_reset_appearance_attributes(context);

  // 4. No texture, no gradient
  context->texture.current_texture = context->texture_count;
  context->texture.current_gradient = context->gradient_count;

  // 5. Transformation, clipping, text and OpenGL modes
  sglLoadIdentity();
  sgl_reset_clipping_attributes(context);
  sgl_reset_text_attributes(context);
  sgl_reset_mode_attributes(context);
  sgl_reset_bounds(context);

  // 6. Fixed OpenGL settings the drawing code relies on
  sgliGlAlphaFunc(GL_GREATER, 0.5f);
  sgliGlDisable(GL_LIGHTING);
  sgliGlEnable(GL_LINE_SMOOTH);
  sgliGlEnableClientState(GL_VERTEX_ARRAY);
  sgliGlEnableClientState(GL_TEXTURE_COORD_ARRAY);
  sgliGlVertexPointer(&context->vertices[0][0]);
  sgliGlTexCoordPointer(&context->texcoords[0][0]);
  context->gl_vertex_pointer = &context->vertices[0][0];
  context->gl_texcoord_pointer = &context->texcoords[0][0];
  sgliGlTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
  context->gl_texcoord_array = 1;
}

sgl_type_statemachine* sglGetCurrentContext() {
  return glob_pr_sglStatemachine;
}

void sglSetRenderMode(uint8_t mode) {
  sgl_type_statemachine* context = glob_pr_sglStatemachine;
  if (mode == 0) {
    context->render_mode = 0;
  } else if (mode == 1) {
    context->render_mode = 1;
    // Strands set their own widths: whatever was issued before is stale.
    context->gl_line_width = 0.0f;
  }
}

// ---------------------------------------------------------------------------
// Capabilities
// ---------------------------------------------------------------------------
static bool sgl_set_capability(uint8_t capability, uint8_t on) {
  sgl_type_statemachine* context = glob_pr_sglStatemachine;
  switch (capability) {
    case SGL_POLYGON_SMOOTH:
      context->polygon_smooth = on;
      return true;
    case SGL_LINE_SMOOTH:
      context->smoothing = on;
      return true;
    case SGL_TEXTURE_FILL:
      context->texture_fill = on;
      context->color_validity = 0;
      return true;
    case SGL_TEXTURE_MODULATE:
      context->texture_modulate = on;
      sgliTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, on ? GL_MODULATE : GL_REPLACE);
      return true;
    case SGL_TESSELLATION:
      context->tessellation = on;
      return true;
    case SGL_GRADIENT_FILL:
      context->gradient_fill = on;
      return true;
    case SGL_DEPTH_TEST:
      context->depth_test = on;
      if (on) {
        sgliEnable(GL_DEPTH_TEST);
        sgliGlClear(GL_DEPTH_BUFFER_BIT);
      } else {
        sgliDisable(GL_DEPTH_TEST);
      }
      return true;
    case SGL_PIXEL_ALIGNED_TEXT:
      context->pixel_aligned_text = on;
      return true;
    default:
      return false;
  }
}

void sglEnable(uint8_t capability) {
  if (!sgl_set_capability(capability, 1)) {
    sgliSetError(SGL_ERROR_ENABLE, capability);
  }
}

void sglDisable(uint8_t capability) {
  if (!sgl_set_capability(capability, 0)) {
    sgliSetError(SGL_ERROR_DISABLE, capability);
  }
}

// ---------------------------------------------------------------------------
// Attribute tables
// ---------------------------------------------------------------------------
void sglColorPointerf(const float* table, uint32_t count) {
  sgl_type_statemachine* context = glob_pr_sglStatemachine;
  if (table == nullptr || count == 0) {
    sgliSetError(SGL_ERROR_COLOR_POINTER, count);
    return;
  }
  context->color_table = table;
  context->color_count = count;
  // Indices chosen under the previous table must stay inside the new one.
  if (context->color_index >= count) {
    context->color_index = count - 1;
  }
  if (context->text.color_index >= count) {
    context->text.color_index = count - 1;
  }
  if (context->halo_color_index >= static_cast<int32_t>(count)) {
    context->halo_color_index = static_cast<int32_t>(count - 1);
  }
  context->color_validity = 0;
}

void sglLineWidthPointerf(const float* table, uint32_t count) {
  sgl_type_statemachine* context = glob_pr_sglStatemachine;
  bool valid = table != nullptr && count > 0;
  for (uint32_t i = 0; valid && i < 3 * count; i++) {
    valid = table[i] >= 0.0f && table[i] <= 15.0f;  // also false for NaN
  }
  if (!valid) {
    sgliSetError(SGL_ERROR_LINE_WIDTH_POINTER, count);
    return;
  }
  context->line_width_table = table;
  context->line_width_count = count;
  if (context->line_width_index >= count) {
    context->line_width_index = count - 1;
  }
}

// A dashed entry needs at least one segment and some length, or cutting a
// line into dashes would never advance along it.
static bool sgl_is_valid_stipple(const sgl_line_stipple* entry) {
  if (entry->count >= 7) {
    return false;
  }
  if (entry->solid) {
    return true;
  }
  uint32_t length = 0;
  for (uint32_t i = 0; i < entry->count; i++) {
    length += entry->lengths[i];
  }
  return length > 0;
}

void sglLineStipplePointer(const sgl_line_stipple* table, uint32_t count) {
  sgl_type_statemachine* context = glob_pr_sglStatemachine;
  bool valid = table != nullptr && count > 0;
  for (uint32_t i = 0; valid && i < count; i++) {
    valid = sgl_is_valid_stipple(&table[i]);
  }
  if (!valid) {
    sgliSetError(SGL_ERROR_LINE_STIPPLE_POINTER, count);
    return;
  }
  // The current entry keeps its index, clamped to the new table, so that
  // no pointer into a table the application may free survives.
  uint32_t index = count - 1;
  if (context->stipple >= context->stipple_table &&
      context->stipple < context->stipple_table + context->stipple_count) {
    index = static_cast<uint32_t>(context->stipple - context->stipple_table);
    if (index >= count) {
      index = count - 1;
    }
  }
  context->stipple_table = table;
  context->stipple_count = count;
  context->stipple = &table[index];
  context->stipple_active = context->stipple->solid ? 0 : 1;
}

// ---------------------------------------------------------------------------
// Attribute selection
// ---------------------------------------------------------------------------
void sglIndexColori(int32_t index) {
  sgl_type_statemachine* context = glob_pr_sglStatemachine;
  uint32_t selected = static_cast<uint32_t>(index);
  if (index < 0 || selected >= context->color_count) {
    sgliSetError(SGL_ERROR_INDEX_COLOR, static_cast<uint32_t>(index));
    selected = context->color_count - 1;
  }
  context->color_index = selected;
  context->text.color_index = selected;
  context->color_validity = 0;
}

void sglIndexHaloColori(int32_t index) {
  sgl_type_statemachine* context = glob_pr_sglStatemachine;
  if (index >= 0 && static_cast<uint32_t>(index) >= context->color_count) {
    sgliSetError(SGL_ERROR_INDEX_HALO_COLOR, static_cast<uint32_t>(index));
    index = static_cast<int32_t>(context->color_count - 1);
  }
  context->halo_color_index = index;
}

void sglTransparency8(uint32_t alpha) {
  sgl_type_statemachine* context = glob_pr_sglStatemachine;
  if (alpha > 255) {
    sgliSetError(SGL_ERROR_TRANSPARENCY, alpha);
    return;
  }
  context->transparency = static_cast<uint8_t>(alpha);
  context->color_validity = 0;
}

// A negative index keeps the selection; one beyond the table takes its last
// entry. Both record `code` with the index.
static bool sgl_select_index(int32_t index, uint32_t count, uint32_t code, uint32_t* out_selected) {
  if (index < 0) {
    sgliSetError(code, static_cast<uint32_t>(index));
    return false;
  }
  *out_selected = static_cast<uint32_t>(index);
  if (*out_selected >= count) {
    sgliSetError(code, *out_selected);
    *out_selected = count - 1;
  }
  return true;
}

void sglIndexLineWidthi(int32_t index) {
  sgl_type_statemachine* context = glob_pr_sglStatemachine;
  uint32_t selected;
  if (sgl_select_index(index, context->line_width_count, SGL_ERROR_INDEX_LINE_WIDTH, &selected)) {
    context->line_width_index = selected;
  }
}

void sglIndexLineStipplei(int32_t index) {
  sgl_type_statemachine* context = glob_pr_sglStatemachine;
  uint32_t selected;
  if (!sgl_select_index(index, context->stipple_count, SGL_ERROR_INDEX_LINE_STIPPLE, &selected)) {
    return;
  }
  context->stipple = &context->stipple_table[selected];
  context->stipple_active = context->stipple->solid ? 0 : 1;
}

void sglIndexGradienti(int32_t index) {
  sgl_type_statemachine* context = glob_pr_sglStatemachine;
  if (sgli_loaded_slot(context->gradient_table, context->gradient_count, index) == nullptr) {
    sgliSetError(SGL_ERROR_INDEX_GRADIENT, static_cast<uint32_t>(index));
    return;
  }
  context->texture.current_gradient = static_cast<uint32_t>(index);
}

void sglSetLineCaps(uint32_t caps) {
  glob_pr_sglStatemachine->line_caps = caps != 0 ? 1 : 0;
}

const char* getDefaultFont() {
  return kDefaultFontName;
}

// ---------------------------------------------------------------------------
// Re-issuing the cached state after foreign OpenGL code
// ---------------------------------------------------------------------------
void sglRestoreStates() {
  sgl_type_statemachine* context = glob_pr_sglStatemachine;
  sgl_issue_enable(GL_TEXTURE_2D, context->gl_texture_2d);
  sgl_issue_enable(GL_BLEND, context->gl_blend);
  sgl_issue_enable(GL_STENCIL_TEST, context->gl_stencil_test);
  sgl_issue_enable(GL_SCISSOR_TEST, context->gl_scissor_test);
  sgl_issue_enable(GL_DEPTH_TEST, context->gl_depth_test);
  if (context->gl_bound_texture != SGL_BOUND_TEXTURE_UNKNOWN) {
    sgliGlBindTexture(GL_TEXTURE_2D, context->gl_bound_texture);
  }
  if (context->gl_line_width > 0.0f) {
    sgliGlLineWidth(context->gl_line_width);
  }
  sgliGlTexEnvi(context->gl_tex_env[0], context->gl_tex_env[1],
                static_cast<GLint>(context->gl_tex_env[2]));
  if (context->gl_texcoord_array) {
    sgliGlEnableClientState(GL_TEXTURE_COORD_ARRAY);
  } else {
    sgliGlDisableClientState(GL_TEXTURE_COORD_ARRAY);
  }
  sgliGlColor4fv(context->gl_color);
  sgliGlEnableClientState(GL_VERTEX_ARRAY);
  sgliGlVertexPointer(context->gl_vertex_pointer);
  sgliGlTexCoordPointer(context->gl_texcoord_pointer);
  sgliGlMatrixMode(GL_MODELVIEW);
}
