// gl_scenes.cpp - the device scene benchmarks (device_scenes_bench.cpp) drawn with legacy
// fixed-function OpenGL, on Mesa's llvmpipe where the machine has no GPU: the same geometry, lights,
// fog, blending, pixel grid, textures and filtering from scene_geometry.h, rendered into a framebuffer object (RGBA8
// and a 16-bit depth buffer), one pixel read back per frame so that each frame is finished (render only, no present).
// Prints one line per scene:
//
//   RESULT scene=NAME size=WxH LP_NUM_THREADS=N frames=N secs=S fps=F triangles=T covered=C renderer="..."
//
// `covered` is the share of pixels that differ from the clear colour in the last frame, a check that
// the scene fills the screen as intended.
//
// The geometry is in Direct3D's conventions (left-handed, camera looking along +z; pixel centres on
// integers). Here the model-view matrix ends in a mirror of z, which turns the left-handed camera
// space into OpenGL's right-handed eye space; lighting and fog depend only on distances and angles,
// which the mirror keeps. The pixel grid uses an orthographic projection shifted by half a pixel
// with y growing upwards in the framebuffer: OpenGL's fill convention (bottom and left edges in)
// then draws exactly the pixels Direct3D's (top and left edges in, y growing downwards) draws,
// upside down in memory; the shot turns it the right way up. Textures are uploaded with their rows
// in memory order, so that texture coordinate (0, 0) is the first texel on both sides; texture
// units 0 and 1 modulate like Direct3D's stages 0 and 1.
//
// Usage: gl-scenes-peer [--scene NAME]... [--size WxH] [--seconds S] [--warmup N] [--shot DIR]
//   --scene    one of the scenes below (repeatable; default: all, in order)
//   --seconds  measuring time per scene (default 2; at least 10 frames)
//   --shot     writes DIR/NAME.ppm, the last frame of each scene
// Needs an X display (Xvfb will do); LP_NUM_THREADS sets llvmpipe's threads. Exit status 0, or 1
// when OpenGL cannot be set up, 2 for a bad argument.
#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glx.h>

#include "../scene_geometry.h"

#include <chrono>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

namespace sg = scene_geometry;

const char* const scene_names[] = {"torus_point_lights",       "torus_point_lights_fog", "torus_blended",
                                   "pretransformed_triangles", "torus_bilinear",         "torus_trilinear",
                                   "torus_light_map",          "textured_quad"};
constexpr int scene_count = int(sizeof scene_names / sizeof scene_names[0]);
enum scene_id {
    scene_torus_point_lights,
    scene_torus_point_lights_fog,
    scene_torus_blended,
    scene_pretransformed_triangles,
    scene_torus_bilinear,
    scene_torus_trilinear,
    scene_torus_light_map,
    scene_textured_quad,
};

struct buffers {
    GLuint torus_vertices = 0, torus_indices = 0, grid_vertices = 0;
    GLuint textured_torus_vertices = 0, textured_torus_indices = 0, quad_vertices = 0;
    GLuint base_texture = 0, light_map = 0;
};

template <typename T>
GLuint uploaded(GLenum target, const std::vector<T>& data) {
    GLuint name = 0;
    glGenBuffers(1, &name);
    glBindBuffer(target, name);
    glBufferData(target, GLsizeiptr(data.size() * sizeof data[0]), data.data(), GL_STATIC_DRAW);
    glBindBuffer(target, 0);
    return name;
}

// A texture of `levels` (levels[0] the most detailed, square, `side` texels; 0xAARRGGBB words, so
// BGRA bytes), wrapping; filters are set per scene.
GLuint uploaded_texture(int side, const std::vector<std::vector<uint32_t>>& levels) {
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    for (size_t level = 0; level < levels.size(); ++level) {
        const int level_side = side >> level;
        glTexImage2D(GL_TEXTURE_2D, GLint(level), GL_RGBA8, level_side, level_side, 0, GL_BGRA, GL_UNSIGNED_BYTE,
                     levels[level].data());
    }
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, GLint(levels.size()) - 1);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glBindTexture(GL_TEXTURE_2D, 0);
    return name;
}

buffers upload_geometry() {
    std::vector<sg::lit_vertex> torus;
    std::vector<uint16_t> indices;
    sg::make_torus(torus, indices);
    std::vector<sg::screen_vertex> grid;
    sg::make_grid(grid);
    buffers b;
    glGenBuffers(1, &b.torus_vertices);
    glBindBuffer(GL_ARRAY_BUFFER, b.torus_vertices);
    glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(torus.size() * sizeof torus[0]), torus.data(), GL_STATIC_DRAW);
    glGenBuffers(1, &b.grid_vertices);
    glBindBuffer(GL_ARRAY_BUFFER, b.grid_vertices);
    glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(grid.size() * sizeof grid[0]), grid.data(), GL_STATIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glGenBuffers(1, &b.torus_indices);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, b.torus_indices);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, GLsizeiptr(indices.size() * sizeof indices[0]), indices.data(),
                 GL_STATIC_DRAW);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);

    std::vector<sg::textured_vertex> textured_torus;
    sg::make_textured_torus(textured_torus, indices);
    b.textured_torus_vertices = uploaded(GL_ARRAY_BUFFER, textured_torus);
    b.textured_torus_indices = uploaded(GL_ELEMENT_ARRAY_BUFFER, indices);
    std::vector<sg::screen_textured_vertex> quad;
    sg::make_screen_quad(quad);
    b.quad_vertices = uploaded(GL_ARRAY_BUFFER, quad);
    std::vector<std::vector<uint32_t>> levels;
    sg::make_base_texture(levels);
    b.base_texture = uploaded_texture(sg::base_texture_side, levels);
    levels.assign(1, {});
    sg::make_light_map(levels[0]);
    b.light_map = uploaded_texture(sg::light_map_side, levels);
    return b;
}

// Texture unit `unit` off, and its coordinate array.
void unit_off(GLenum unit) {
    glActiveTexture(unit);
    glClientActiveTexture(unit);
    glDisable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, 0);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
}

// Texture unit `unit` modulates `texture` with what comes before it, bilinear (and between two levels
// when `mip_linear`), coordinates from `stride`-byte vertices at `offset` in the bound array buffer.
void unit_on(GLenum unit, GLuint texture, bool mip_linear, GLsizei stride, size_t offset) {
    glActiveTexture(unit);
    glClientActiveTexture(unit);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, mip_linear ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glTexCoordPointer(2, GL_FLOAT, stride, reinterpret_cast<const void*>(offset));
}

void untextured() {
    unit_off(GL_TEXTURE1);
    unit_off(GL_TEXTURE0);
}

void rgba(const float (&rgb)[3], float alpha, GLfloat (&out)[4]) {
    out[0] = rgb[0];
    out[1] = rgb[1];
    out[2] = rgb[2];
    out[3] = alpha;
}

void colour_of(uint32_t argb, GLfloat (&out)[4]) {
    out[0] = float((argb >> 16) & 0xFF) / 255.0f;
    out[1] = float((argb >> 8) & 0xFF) / 255.0f;
    out[2] = float(argb & 0xFF) / 255.0f;
    out[3] = float(argb >> 24) / 255.0f;
}

// Every state the lit torus scenes depend on, set afresh for each scene.
void set_torus_state(const buffers& b, int width, int height, bool fog, bool blend) {
    untextured();
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glDepthMask(blend ? GL_FALSE : GL_TRUE);
    glDisable(GL_CULL_FACE);
    glShadeModel(GL_SMOOTH);
    glDisable(GL_NORMALIZE);
    glDisable(GL_COLOR_MATERIAL);
    glEnable(GL_LIGHTING);
    GLfloat c[4];
    rgba(sg::global_ambient, 1.0f, c);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, c);
    glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, GL_TRUE);
    glLightModeli(GL_LIGHT_MODEL_COLOR_CONTROL, GL_SEPARATE_SPECULAR_COLOR);
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_FALSE);

    // Projection: the same frustum as a left-handed perspective of fov_y and the target's aspect.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    const double top = sg::near_plane * std::tan(sg::fov_y / 2.0), right = top * width / height;
    glFrustum(-right, right, -top, top, sg::near_plane, sg::far_plane);
    // Model-view: mirror z, then the view (camera eye_distance in front of the origin), lights in
    // world space under it, then the world turn.
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glScalef(1.0f, 1.0f, -1.0f);
    glTranslatef(0.0f, 0.0f, sg::eye_distance);
    for (int i = 0; i < 4; ++i) {
        const sg::point_light& l = sg::lights[i];
        const GLenum light = GLenum(GL_LIGHT0 + i);
        glEnable(light);
        const GLfloat position[4] = {l.position[0], l.position[1], l.position[2], 1.0f};
        glLightfv(light, GL_POSITION, position);
        rgba(l.diffuse, 1.0f, c);
        glLightfv(light, GL_DIFFUSE, c);
        rgba(l.specular, 1.0f, c);
        glLightfv(light, GL_SPECULAR, c);
        rgba(l.ambient, 1.0f, c);
        glLightfv(light, GL_AMBIENT, c);
        glLightf(light, GL_CONSTANT_ATTENUATION, l.attenuation[0]);
        glLightf(light, GL_LINEAR_ATTENUATION, l.attenuation[1]);
        glLightf(light, GL_QUADRATIC_ATTENUATION, l.attenuation[2]);
    }
    glRotatef(sg::tilt * 57.29577951f, 1.0f, 0.0f, 0.0f);

    rgba(sg::material_diffuse, blend ? sg::blended_alpha : sg::opaque_alpha, c);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, c);
    rgba(sg::material_ambient, 1.0f, c);
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, c);
    rgba(sg::material_specular, 1.0f, c);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, c);
    const GLfloat black[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, black);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, sg::material_power);

    if (fog) {
        glEnable(GL_FOG);
        glFogi(GL_FOG_MODE, GL_LINEAR);
        glFogi(GL_FOG_COORD_SRC, GL_FRAGMENT_DEPTH);  // eye depth, as vertex fog without range
        glFogf(GL_FOG_START, sg::fog_start);
        glFogf(GL_FOG_END, sg::fog_end);
        colour_of(sg::fog_colour, c);
        glFogfv(GL_FOG_COLOR, c);
    } else {
        glDisable(GL_FOG);
    }
    if (blend) {
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    } else {
        glDisable(GL_BLEND);
    }

    glBindBuffer(GL_ARRAY_BUFFER, b.torus_vertices);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, b.torus_indices);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    glVertexPointer(3, GL_FLOAT, sizeof(sg::lit_vertex), nullptr);
    glNormalPointer(GL_FLOAT, sizeof(sg::lit_vertex), reinterpret_cast<const void*>(offsetof(sg::lit_vertex, nx)));
}

void set_grid_state(const buffers& b, int width, int height) {
    untextured();
    glDisable(GL_DEPTH_TEST);
    glDepthMask(GL_TRUE);
    glDisable(GL_CULL_FACE);
    glDisable(GL_LIGHTING);
    glDisable(GL_FOG);
    glDisable(GL_BLEND);
    glShadeModel(GL_SMOOTH);
    // x, y in pixels with pixel centres on integers; Direct3D's row y is the framebuffer's row y.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-0.5, width - 0.5, -0.5, height - 0.5, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glBindBuffer(GL_ARRAY_BUFFER, b.grid_vertices);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    glEnableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glVertexPointer(3, GL_FLOAT, sizeof(sg::screen_vertex), nullptr);
    glColorPointer(GL_BGRA, GL_UNSIGNED_BYTE, sizeof(sg::screen_vertex),
                   reinterpret_cast<const void*>(offsetof(sg::screen_vertex, colour)));
}

// The textured torus: unlit (white), depth tested, the torus scenes' camera; the base texture on
// unit 0 and, for the light-map scene, the light map on unit 1.
void set_textured_torus_state(const buffers& b, int width, int height, int scene) {
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glDepthMask(GL_TRUE);
    glDisable(GL_CULL_FACE);
    glDisable(GL_LIGHTING);
    glDisable(GL_FOG);
    glDisable(GL_BLEND);
    glShadeModel(GL_SMOOTH);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    const double top = sg::near_plane * std::tan(sg::fov_y / 2.0), right = top * width / height;
    glFrustum(-right, right, -top, top, sg::near_plane, sg::far_plane);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glScalef(1.0f, 1.0f, -1.0f);
    glTranslatef(0.0f, 0.0f, sg::eye_distance);
    glRotatef(sg::tilt * 57.29577951f, 1.0f, 0.0f, 0.0f);

    glBindBuffer(GL_ARRAY_BUFFER, b.textured_torus_vertices);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, b.textured_torus_indices);
    glEnableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    glVertexPointer(3, GL_FLOAT, sizeof(sg::textured_vertex), nullptr);
    const GLsizei stride = sizeof(sg::textured_vertex);
    if (scene == scene_torus_light_map) {
        unit_on(GL_TEXTURE1, b.light_map, false, stride, offsetof(sg::textured_vertex, u1));
    } else {
        unit_off(GL_TEXTURE1);
    }
    unit_on(GL_TEXTURE0, b.base_texture, scene == scene_torus_trilinear, stride, offsetof(sg::textured_vertex, u0));
}

// The full-screen quad: the pixel grid's projection, the base texture magnified.
void set_textured_quad_state(const buffers& b, int width, int height) {
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glDisable(GL_LIGHTING);
    glDisable(GL_FOG);
    glDisable(GL_BLEND);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-0.5, width - 0.5, -0.5, height - 0.5, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glBindBuffer(GL_ARRAY_BUFFER, b.quad_vertices);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    glEnableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    glVertexPointer(3, GL_FLOAT, sizeof(sg::screen_textured_vertex), nullptr);
    unit_off(GL_TEXTURE1);
    unit_on(GL_TEXTURE0, b.base_texture, false, sizeof(sg::screen_textured_vertex),
            offsetof(sg::screen_textured_vertex, u));
}

void set_scene_state(const buffers& b, int width, int height, int scene) {
    switch (scene) {
    case scene_torus_point_lights:
    case scene_torus_point_lights_fog:
    case scene_torus_blended:
        set_torus_state(b, width, height, scene == scene_torus_point_lights_fog, scene == scene_torus_blended);
        break;
    case scene_pretransformed_triangles: set_grid_state(b, width, height); break;
    case scene_textured_quad: set_textured_quad_state(b, width, height); break;
    default: set_textured_torus_state(b, width, height, scene); break;
    }
}

void draw_scene(int scene) {
    switch (scene) {
    case scene_pretransformed_triangles: glDrawArrays(GL_TRIANGLES, 0, sg::grid_vertex_count); break;
    case scene_textured_quad: glDrawArrays(GL_TRIANGLE_STRIP, 0, 4); break;
    default: glDrawElements(GL_TRIANGLES, 3 * sg::torus_triangle_count, GL_UNSIGNED_SHORT, nullptr); break;
    }
}

// Whether the scene is drawn in pixels (framebuffer rows bottom up, as Direct3D's rows top down).
bool pixel_scene(int scene) { return scene == scene_pretransformed_triangles || scene == scene_textured_quad; }

int scene_triangles(int scene) {
    if (scene == scene_pretransformed_triangles) return sg::grid_triangle_count;
    return scene == scene_textured_quad ? 2 : sg::torus_triangle_count;
}

// The share of pixels of the frame that differ from the clear colour; writes the frame as a PPM
// when `shot` is not empty, its first row the framebuffer's top row, or its bottom row when
// `bottom_first`.
double covered_share(int width, int height, const std::string& shot, bool bottom_first) {
    std::vector<unsigned char> pixels(size_t(width) * size_t(height) * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    GLfloat clear[4];
    colour_of(sg::clear_colour, clear);
    size_t covered = 0;
    for (size_t i = 0; i < pixels.size(); i += 4) {
        for (int k = 0; k < 3; ++k) {
            if (pixels[i + size_t(k)] != (unsigned char)std::lround(clear[k] * 255.0f)) {
                ++covered;
                break;
            }
        }
    }
    if (!shot.empty()) {
        if (FILE* f = std::fopen(shot.c_str(), "wb")) {
            std::fprintf(f, "P6\n%d %d\n255\n", width, height);
            for (int row = 0; row < height; ++row) {
                const int y = bottom_first ? row : height - 1 - row;
                for (int x = 0; x < width; ++x)
                    std::fwrite(&pixels[(size_t(y) * size_t(width) + size_t(x)) * 4], 1, 3, f);
            }
            std::fclose(f);
        } else {
            std::fprintf(stderr, "gl-scenes-peer: cannot write %s\n", shot.c_str());
        }
    }
    return double(covered) / (double(width) * double(height));
}

}  // namespace

int main(int argc, char** argv) {
    int width = sg::width, height = sg::height;
    double seconds = 2.0;
    long warmup = 5;
    std::string shot_dir;
    std::vector<int> scenes;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (i + 1 >= argc) {
            std::fprintf(stderr, "gl-scenes-peer: %s needs a value (or is unknown)\n", arg.c_str());
            return 2;
        }
        const char* value = argv[++i];
        if (arg == "--scene") {
            int found = -1;
            for (int k = 0; k < scene_count; ++k) {
                if (std::strcmp(value, scene_names[k]) == 0) found = k;
            }
            if (found < 0) {
                std::fprintf(stderr, "gl-scenes-peer: unknown scene %s\n", value);
                return 2;
            }
            scenes.push_back(found);
        } else if (arg == "--size") {
            if (std::sscanf(value, "%dx%d", &width, &height) != 2 || width < 1 || height < 1 || width > 8192 ||
                height > 8192) {
                std::fprintf(stderr, "gl-scenes-peer: --size wants WxH, got %s\n", value);
                return 2;
            }
        } else if (arg == "--seconds") {
            seconds = std::atof(value);
            if (!(seconds > 0.0 && seconds < 3600.0)) {
                std::fprintf(stderr, "gl-scenes-peer: --seconds wants a positive number, got %s\n", value);
                return 2;
            }
        } else if (arg == "--warmup") {
            warmup = std::atol(value);
            if (warmup < 0) warmup = 0;
        } else if (arg == "--shot") {
            shot_dir = value;
        } else {
            std::fprintf(stderr, "gl-scenes-peer: unknown option %s\n", arg.c_str());
            return 2;
        }
    }
    if (scenes.empty()) {
        for (int k = 0; k < scene_count; ++k) scenes.push_back(k);
    }

    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "gl-scenes-peer: no X display\n");
        return 1;
    }
    const int attributes[] = {GLX_X_RENDERABLE,
                              True,
                              GLX_DRAWABLE_TYPE,
                              GLX_WINDOW_BIT,
                              GLX_RENDER_TYPE,
                              GLX_RGBA_BIT,
                              GLX_RED_SIZE,
                              8,
                              GLX_GREEN_SIZE,
                              8,
                              GLX_BLUE_SIZE,
                              8,
                              None};
    int count = 0;
    GLXFBConfig* configs = glXChooseFBConfig(display, DefaultScreen(display), attributes, &count);
    if (configs == nullptr || count == 0) {
        std::fprintf(stderr, "gl-scenes-peer: no RGB8 GLX frame-buffer configuration\n");
        return 1;
    }
    const GLXFBConfig config = configs[0];
    XFree(configs);
    XVisualInfo* visual = glXGetVisualFromFBConfig(display, config);
    if (visual == nullptr) {
        std::fprintf(stderr, "gl-scenes-peer: the GLX configuration has no X visual\n");
        return 1;
    }
    XSetWindowAttributes window_attributes{};
    window_attributes.colormap =
        XCreateColormap(display, RootWindow(display, visual->screen), visual->visual, AllocNone);
    const Window window =
        XCreateWindow(display, RootWindow(display, visual->screen), 0, 0, unsigned(width), unsigned(height), 0,
                      visual->depth, InputOutput, visual->visual, CWColormap, &window_attributes);
    XFree(visual);
    const GLXContext context = glXCreateNewContext(display, config, GLX_RGBA_TYPE, nullptr, True);
    if (context == nullptr || !glXMakeContextCurrent(display, window, window, context)) {
        std::fprintf(stderr, "gl-scenes-peer: cannot create or make current a GLX context\n");
        return 1;
    }

    // Render target: a framebuffer object like the device's back buffer and 16-bit depth buffer.
    GLuint framebuffer = 0, colour_buffer = 0, depth_buffer = 0;
    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glGenRenderbuffers(1, &colour_buffer);
    glBindRenderbuffer(GL_RENDERBUFFER, colour_buffer);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour_buffer);
    glGenRenderbuffers(1, &depth_buffer);
    glBindRenderbuffer(GL_RENDERBUFFER, depth_buffer);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT16, width, height);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth_buffer);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        std::fprintf(stderr, "gl-scenes-peer: the framebuffer object is incomplete\n");
        return 1;
    }
    glReadBuffer(GL_COLOR_ATTACHMENT0);
    glViewport(0, 0, width, height);
    GLfloat clear[4];
    colour_of(sg::clear_colour, clear);
    glClearColor(clear[0], clear[1], clear[2], clear[3]);
    glClearDepth(1.0);

    const buffers geometry = upload_geometry();
    const char* threads = std::getenv("LP_NUM_THREADS");
    const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    unsigned char pixel[4];
    for (int scene : scenes) {
        set_scene_state(geometry, width, height, scene);
        const auto frame = [&] {
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            draw_scene(scene);
            glReadPixels(width / 2, height / 2, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
        };
        for (long i = 0; i < warmup; ++i) frame();
        using clock = std::chrono::steady_clock;
        const clock::time_point start = clock::now();
        long frames = 0;
        double elapsed = 0.0;
        do {
            frame();
            ++frames;
            elapsed = std::chrono::duration<double>(clock::now() - start).count();
        } while (elapsed < seconds || frames < 10);
        const GLenum error = glGetError();
        if (error != GL_NO_ERROR) {
            std::fprintf(stderr, "gl-scenes-peer: %s: OpenGL error 0x%04X\n", scene_names[scene], error);
            return 1;
        }
        const std::string shot = shot_dir.empty() ? "" : shot_dir + "/" + scene_names[scene] + ".ppm";
        const double covered = covered_share(width, height, shot, pixel_scene(scene));
        std::printf(
            "RESULT scene=%s size=%dx%d LP_NUM_THREADS=%s frames=%ld secs=%.3f fps=%.1f triangles=%d "
            "covered=%.3f renderer=\"%s\"\n",
            scene_names[scene], width, height, threads != nullptr ? threads : "default", frames, elapsed,
            double(frames) / elapsed, scene_triangles(scene), covered, renderer != nullptr ? renderer : "?");
        std::fflush(stdout);
    }
    glXMakeContextCurrent(display, None, None, nullptr);
    glXDestroyContext(display, context);
    XDestroyWindow(display, window);
    XCloseDisplay(display);
    return 0;
}
