# The browser build (make web): the program compiled by Debian's emscripten
# into a static folder of index.html, velkor.js and velkor.wasm.
#
#   make -f scripts/web.mk WEB=build-web        (make web does this)
#
# What a browser has no use for stays out: OpenGL 1.x (WebGL only), the
# desktop window and its drawing thread, libpng and the off-screen run. The
# font table is rasterised by the same generator as the desktop build's,
# compiled for this machine.
WEB      ?= build-web
OBJ      := $(WEB)/obj
SITE     := $(WEB)/site
EMCC     ?= emcc
# emscripten's optimiser runs acorn under node: Debian's node-acorn.
export NODE_PATH := /usr/share/nodejs$(if $(NODE_PATH),:$(NODE_PATH))
FONT     ?= /usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf

SOURCES := $(wildcard core/*.cpp widgets/*.cpp display/*.cpp panel/*.cpp host/web/*.cpp app/web/*.cpp) \
  $(filter-out graphics/sgl_renderer_gl1.cpp,$(wildcard graphics/*.cpp)) \
  $(filter-out host/host_window.cpp host/host_png.cpp,$(wildcard host/*.cpp)) \
  $(filter-out app/Velkor_main.cpp app/Velkor_offscreen.cpp app/Velkor_run.cpp,$(wildcard app/*.cpp))
OBJECTS := $(patsubst %.cpp,$(OBJ)/%.o,$(SOURCES)) $(OBJ)/Velkor_font_table.o

# nlohmann-json is header-only; only its folder joins the include path, not
# the rest of the system's headers.
CXXFLAGS := -std=c++17 -O2 -Wall -Wextra $(if $(filter ON,$(WERROR)),-Werror) -I. -isystem $(OBJ)/include
LDFLAGS  := -O2 -sUSE_GLFW=3 -sALLOW_MEMORY_GROWTH=1 -sINITIAL_MEMORY=134217728 \
  -sENVIRONMENT=web -sMODULARIZE=0 -lidbfs.js \
  -sEXPORTED_FUNCTIONS=_main,_velkor_web_play,_velkor_web_frame_times,_velkor_web_full_screen,_velkor_web_widget \
  -sEXPORTED_RUNTIME_METHODS=ccall,cwrap,FS,IDBFS,UTF8ToString \
  --pre-js app/web/velkor_pre.js

.PHONY: all
all: $(SITE)/index.html $(SITE)/velkor.js

$(OBJ)/include/nlohmann:
	mkdir -p $(OBJ)/include
	ln -sfn /usr/include/nlohmann $@

$(OBJ)/fontgen: tools/fontgen.cpp
	mkdir -p $(OBJ)
	g++ -std=c++17 -O2 $< $$(pkg-config --cflags freetype2) -o $@ $$(pkg-config --libs freetype2)

$(OBJ)/Velkor_font_table.cpp: $(OBJ)/fontgen $(FONT)
	$(OBJ)/fontgen $(FONT) $@

$(OBJ)/Velkor_font_table.o: $(OBJ)/Velkor_font_table.cpp | $(OBJ)/include/nlohmann
	$(EMCC) $(CXXFLAGS) -MMD -MP -c $< -o $@

$(OBJ)/%.o: %.cpp | $(OBJ)/include/nlohmann
	@mkdir -p $(dir $@)
	$(EMCC) $(CXXFLAGS) -MMD -MP -c $< -o $@

$(SITE)/velkor.js: $(OBJECTS) app/web/velkor_pre.js
	mkdir -p $(SITE)
	$(EMCC) $(OBJECTS) $(LDFLAGS) -o $@

$(SITE)/index.html: app/web/index.html
	mkdir -p $(SITE)
	cp $< $@

-include $(OBJECTS:.o=.d)
