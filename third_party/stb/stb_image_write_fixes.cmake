# Fixes to Debian's stb_image_write.h (v1.16), applied by CMakeLists.txt: stb_fix(what old new)
# replaces every occurrence of `old` by `new`.

# The JPEG writer's bit buffer shifted bits out of the top of an int, which is undefined; only its
# low 24 bits are ever used, so the rest is dropped before the shift.
stb_fix("the JPEG writer's bit buffer" [=[
      bitBuf <<= 8;]=] [=[
      bitBuf = (bitBuf & 0xFFFF) << 8;]=])
