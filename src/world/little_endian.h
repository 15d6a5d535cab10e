// Reading and writing little-endian values in byte buffers, so the world
// files come out the same on any machine whatever its own byte order.
#pragma once

#include <cstdint>
#include <cstring>

inline void put_u16(unsigned char *p, uint16_t v)
{
    p[0] = static_cast<unsigned char>(v & 0xff);
    p[1] = static_cast<unsigned char>(v >> 8);
}

inline void put_u32(unsigned char *p, uint32_t v)
{
    for (int i = 0; i < 4; i++) {
        p[i] = static_cast<unsigned char>((v >> (8 * i)) & 0xff);
    }
}

inline void put_i32(unsigned char *p, int32_t v)
{
    put_u32(p, static_cast<uint32_t>(v));
}

inline void put_i16(unsigned char *p, int16_t v)
{
    put_u16(p, static_cast<uint16_t>(v));
}

inline void put_f32(unsigned char *p, float v)
{
    uint32_t bits;
    memcpy(&bits, &v, sizeof bits);
    put_u32(p, bits);
}

inline uint16_t get_u16(const unsigned char *p)
{
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

inline uint32_t get_u32(const unsigned char *p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

inline int32_t get_i32(const unsigned char *p)
{
    return static_cast<int32_t>(get_u32(p));
}

inline int16_t get_i16(const unsigned char *p)
{
    return static_cast<int16_t>(get_u16(p));
}

inline float get_f32(const unsigned char *p)
{
    uint32_t bits = get_u32(p);
    float v;
    memcpy(&v, &bits, sizeof v);
    return v;
}
