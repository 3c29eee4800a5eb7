# Fixes to Debian's stb_image.h (v2.27), applied by CMakeLists.txt: stb_fix(what old new) replaces
# every occurrence of `old` by `new`. Each fixes a fault that the texture fuzzer found.

# A DHT segment whose 16 code counts add up to more than 256 wrote past the Huffman table's size
# and value arrays.
stb_fix("JPEG Huffman tables with more than 256 codes" [=[
            for (i=0; i < 16; ++i) {
               sizes[i] = stbi__get8(z->s);
               n += sizes[i];
            }
            L -= 17;]=] [=[
            for (i=0; i < 16; ++i) {
               sizes[i] = stbi__get8(z->s);
               n += sizes[i];
            }
            if (n > 256) return stbi__err("bad DHT header","Corrupt JPEG");
            L -= 17;]=])

# A run-length HDR scanline with a literal run of length 0 (as every byte read past the end of the
# file is) never advanced: the decoder hung.
stb_fix("HDR literal runs of length 0" [=[
                  // Dump
                  if (count > nleft) {]=] [=[
                  // Dump
                  if (count == 0 || count > nleft) {]=])

# The JPEG decoder's state was left uninitialised, so a scan naming a Huffman table that no DHT
# segment defined decoded with garbage tables (reads out of bounds, shifts out of range). It now
# starts zeroed with every table empty: such a scan fails as a bad Huffman code.
stb_fix("JPEG state before its first use" [=[stbi__malloc(sizeof(stbi__jpeg))]=] [=[stbi__jpeg_alloc()]=])
stb_fix("JPEG state before its first use" [=[
static void stbi__setup_jpeg(stbi__jpeg *j)
{]=] [=[
static stbi__jpeg *stbi__jpeg_alloc(void)
{
   int i, counts[16] = {0};
   stbi__jpeg *j = (stbi__jpeg *) stbi__malloc(sizeof(stbi__jpeg));
   if (!j) return NULL;
   memset(j, 0, sizeof(stbi__jpeg));
   for (i = 0; i < 4; ++i) {
      stbi__build_huffman(j->huff_dc + i, counts);
      stbi__build_huffman(j->huff_ac + i, counts);
   }
   return j;
}

static void stbi__setup_jpeg(stbi__jpeg *j)
{]=])
