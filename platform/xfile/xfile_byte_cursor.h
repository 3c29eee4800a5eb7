// xfile_byte_cursor.h - a little-endian cursor over a byte range that cannot read past its end.
//
// Every read checks the bytes left first; a read that does not fit returns false and leaves the
// cursor where it was, so callers write "read, check" and never touch memory outside the range.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

class xfile_byte_cursor {
public:
    xfile_byte_cursor(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    size_t offset() const { return position_; }
    size_t remaining() const { return size_ - position_; }
    bool at_end() const { return position_ == size_; }

    bool u16(uint16_t* value) {
        if (remaining() < 2) return false;
        *value = static_cast<uint16_t>(data_[position_] | (data_[position_ + 1] << 8));
        position_ += 2;
        return true;
    }

    bool u32(uint32_t* value) {
        if (remaining() < 4) return false;
        *value = load32(data_ + position_);
        position_ += 4;
        return true;
    }

    bool f32(float* value) {
        uint32_t bits;
        if (!u32(&bits)) return false;
        std::memcpy(value, &bits, sizeof bits);
        return true;
    }

    bool f64(double* value) {
        if (remaining() < 8) return false;
        const uint64_t bits = load32(data_ + position_) | (uint64_t(load32(data_ + position_ + 4)) << 32);
        std::memcpy(value, &bits, sizeof bits);
        position_ += 8;
        return true;
    }

    // Copies `count` little-endian 32-bit values into `values` (uint32_t or float) in host order.
    template <typename T>
    bool u32s(T* values, size_t count) {
        static_assert(sizeof(T) == 4);
        if (count > remaining() / 4) return false;
        const uint8_t* p = data_ + position_;
        if constexpr (std::endian::native == std::endian::little) {
            std::memcpy(values, p, count * 4);
        } else {
            for (size_t i = 0; i < count; ++i) {
                const uint32_t bits = load32(p + 4 * i);
                std::memcpy(values + i, &bits, 4);
            }
        }
        position_ += count * 4;
        return true;
    }

    // Hands out a view of the next `count` bytes and steps over them.
    bool bytes(size_t count, const uint8_t** view) {
        if (remaining() < count) return false;
        *view = data_ + position_;
        position_ += count;
        return true;
    }

    // A view of the next `count` bytes, without stepping over them.
    bool look(size_t count, const uint8_t** view) const {
        if (remaining() < count) return false;
        *view = data_ + position_;
        return true;
    }

    bool skip(size_t count) {
        if (remaining() < count) return false;
        position_ += count;
        return true;
    }

    void rewind(size_t count) { position_ = count > position_ ? 0 : position_ - count; }

private:
    static uint32_t load32(const uint8_t* p) {
        return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
    }

    const uint8_t* data_;
    size_t size_;
    size_t position_ = 0;
};
