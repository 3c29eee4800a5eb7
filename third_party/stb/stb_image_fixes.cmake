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

# A baseline JPEG whose scans leave a component's samples unwritten (a scan missing, or none at
# all) showed uninitialised memory: the sample buffers now start zeroed, and a file without any
# scan fails.
stb_fix("JPEG samples no scan wrote" [=[
      if (z->img_comp[i].raw_data == NULL)
         return stbi__free_jpeg_components(z, i+1, stbi__err("outofmem", "Out of memory"));]=] [=[
      if (z->img_comp[i].raw_data == NULL)
         return stbi__free_jpeg_components(z, i+1, stbi__err("outofmem", "Out of memory"));
      memset(z->img_comp[i].raw_data, 0, (size_t) z->img_comp[i].w2 * z->img_comp[i].h2 + 15);]=])
stb_fix("JPEG files without a scan" [=[
   if (j->progressive)
      stbi__jpeg_finish(j);
   return 1;]=] [=[
   if (j->scan_n == 0) return stbi__err("no SOS", "Corrupt JPEG");
   if (j->progressive)
      stbi__jpeg_finish(j);
   return 1;]=])

# Removing PSD's white matte from a colour darker than the matte allows converted a negative (or too
# large) float to an unsigned sample, which is undefined; the result is now kept within range.
stb_fix("PSD matte removal out of range" [=[
static void *stbi__psd_load(stbi__context *s,]=] [=[
static float stbi__psd_unmatte(float value, float top)
{
   return value < 0.0f ? 0.0f : value > top ? top : value;
}

static void *stbi__psd_load(stbi__context *s,]=])
stb_fix("PSD matte removal out of range" [=[(stbi__uint16) (pixel[0]*ra + inv_a);]=]
  [=[(stbi__uint16) stbi__psd_unmatte(pixel[0]*ra + inv_a, 65535.0f);]=])
stb_fix("PSD matte removal out of range" [=[(stbi__uint16) (pixel[1]*ra + inv_a);]=]
  [=[(stbi__uint16) stbi__psd_unmatte(pixel[1]*ra + inv_a, 65535.0f);]=])
stb_fix("PSD matte removal out of range" [=[(stbi__uint16) (pixel[2]*ra + inv_a);]=]
  [=[(stbi__uint16) stbi__psd_unmatte(pixel[2]*ra + inv_a, 65535.0f);]=])
stb_fix("PSD matte removal out of range" [=[(unsigned char) (pixel[0]*ra + inv_a);]=]
  [=[(unsigned char) stbi__psd_unmatte(pixel[0]*ra + inv_a, 255.0f);]=])
stb_fix("PSD matte removal out of range" [=[(unsigned char) (pixel[1]*ra + inv_a);]=]
  [=[(unsigned char) stbi__psd_unmatte(pixel[1]*ra + inv_a, 255.0f);]=])
stb_fix("PSD matte removal out of range" [=[(unsigned char) (pixel[2]*ra + inv_a);]=]
  [=[(unsigned char) stbi__psd_unmatte(pixel[2]*ra + inv_a, 255.0f);]=])

# An IDAT chunk of length 0 before any other added 0 to a null pointer, which is undefined; such
# chunks hold nothing and are skipped.
stb_fix("empty PNG IDAT chunks" [=[
            if (!stbi__getn(s, z->idata+ioff,c.length)) return stbi__err("outofdata","Corrupt PNG");]=] [=[
            if (c.length == 0) break;
            if (!stbi__getn(s, z->idata+ioff,c.length)) return stbi__err("outofdata","Corrupt PNG");]=])
