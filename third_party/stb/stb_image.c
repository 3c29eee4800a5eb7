// stb_image.c - the implementation of stb_image (Debian's /usr/include/stb/stb_image.h).
//
// STBI_NO_PNM: the texture loader reads PNM files with a reader of its own; this version's PNM
// reader passes 16-bit samples through its 8-bit conversion and then reads past that buffer.
#define STB_IMAGE_IMPLEMENTATION
#define STBI_NO_PNM
#include <stb/stb_image.h>
