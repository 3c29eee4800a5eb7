// xfile_inflate.cpp - MSZIP blocks of compressed .x files through zlib (contract in xfile_inflate.h).
#include "platform/xfile/xfile_inflate.h"

#include <zlib.h>

#include <algorithm>

#include "platform/xfile/xfile_byte_cursor.h"

namespace {

constexpr size_t header_size = 16;
constexpr size_t inflate_window = 32768;
constexpr size_t max_body_bytes = size_t(256) << 20;

class inflate_stream {
public:
    inflate_stream() { ok_ = inflateInit2(&stream_, -MAX_WBITS) == Z_OK; }
    ~inflate_stream() {
        if (ok_) inflateEnd(&stream_);
    }
    inflate_stream(const inflate_stream&) = delete;
    inflate_stream& operator=(const inflate_stream&) = delete;

    bool ready() const { return ok_; }

    // Inflates one complete deflate stream from `input` into `output` (exactly `output_size`
    // bytes available) with `history` as dictionary. Returns the input bytes consumed and the
    // output bytes produced, or false.
    bool block(const uint8_t* input, size_t input_size, const uint8_t* history, size_t history_size, uint8_t* output,
               size_t output_size, size_t* consumed, size_t* produced) {
        if (inflateReset(&stream_) != Z_OK) return false;
        if (history_size > 0 && inflateSetDictionary(&stream_, history, static_cast<uInt>(history_size)) != Z_OK) {
            return false;
        }
        uint8_t no_room = 0;
        stream_.next_in = const_cast<Bytef*>(input);
        stream_.avail_in = static_cast<uInt>(std::min<size_t>(input_size, UINT32_MAX));
        stream_.next_out = output_size > 0 ? output : &no_room;
        stream_.avail_out = static_cast<uInt>(output_size);
        const uInt available = stream_.avail_in;
        int result = Z_OK;
        while (result == Z_OK) result = inflate(&stream_, Z_NO_FLUSH);
        if (result != Z_STREAM_END) return false;
        *consumed = available - stream_.avail_in;
        *produced = output_size - stream_.avail_out;
        return true;
    }

private:
    z_stream stream_{};
    bool ok_ = false;
};

}  // namespace

bool xfile_inflate(const uint8_t* data, size_t size, std::vector<uint8_t>* body, std::string* error) {
    auto fail = [error](const char* reason) {
        if (error != nullptr) *error = reason;
        return false;
    };
    xfile_byte_cursor in(data, size);
    uint32_t total = 0;
    if (!in.u32(&total)) return fail("compressed file without its size");
    const size_t limit = std::min<size_t>(total >= header_size ? total - header_size : 0, max_body_bytes);
    inflate_stream inflater;
    if (!inflater.ready()) return fail("cannot start the inflater");
    body->clear();
    while (!in.at_end()) {
        uint16_t uncompressed = 0;
        uint16_t compressed = 0;
        const uint8_t* signature = nullptr;
        if (!in.u16(&uncompressed) || !in.u16(&compressed) || !in.bytes(2, &signature)) {
            return fail("truncated compressed block header");
        }
        if (signature[0] != 'C' || signature[1] != 'K') return fail("compressed block without its CK signature");
        const size_t start = body->size();
        if (uncompressed > limit - start) return fail("compressed data larger than its stated size");
        body->resize(start + uncompressed);
        const size_t history = std::min(start, inflate_window);
        size_t consumed = 0;
        size_t produced = 0;
        const uint8_t* input = data + in.offset();
        if (!inflater.block(input, in.remaining(), body->data() + start - history, history, body->data() + start,
                            uncompressed, &consumed, &produced)) {
            return fail("corrupt or truncated compressed block");
        }
        body->resize(start + produced);
        in.skip(consumed);
    }
    return true;
}
