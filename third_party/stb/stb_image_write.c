// stb_image_write.c - the implementation of stb_image_write (Debian's
// /usr/include/stb/stb_image_write.h).
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>
