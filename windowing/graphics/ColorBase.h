// ColorBase.h: a colour packed in one 32-bit word as 0xAARRGGBB (alpha 255 is
// opaque), the form in which colours travel through the whole drawing code.
#pragma once

#include "core/lang/Object.h"

#include <cstdint>

class ColorBase : public lang::Object {
public:
    // Black with alpha 0.
    ColorBase() : m_value(0) {}
    explicit ColorBase(uint32_t value) : m_value(value) {}
    // Each channel is taken as its low 8 bits.
    ColorBase(int r, int g, int b, int a) : m_value(pack(r, g, b, a)) {}
    ColorBase(const ColorBase& other) : lang::Object(), m_value(other.m_value) {}
    ColorBase& operator=(const ColorBase& other)
    {
        m_value = other.m_value;
        return *this;
    }
    ColorBase& operator=(uint32_t value)
    {
        m_value = value;
        return *this;
    }

    uint32_t getValue() const { return m_value; }
    void setValue(uint32_t value) { m_value = value; }
    // Sets the word as the four-channel constructor does and returns it.
    uint32_t setRGBA(int r, int g, int b, int a) { return m_value = pack(r, g, b, a); }
    int getAlpha() const { return int(m_value >> 24); }
    int getRed() const { return int((m_value >> 16) & 0xFF); }
    int getGreen() const { return int((m_value >> 8) & 0xFF); }
    int getBlue() const { return int(m_value & 0xFF); }
    // Replaces the alpha byte.
    void setAlpha(int a) { m_value = (m_value & 0x00FFFFFFu) | (uint32_t(a & 0xFF) << 24); }
    // The word with alpha forced to 255.
    uint32_t getOpaqueRGB() const { return m_value | 0xFF000000u; }
    // The GDI colour order 0x00BBGGRR: red and blue exchanged, alpha dropped.
    uint32_t toBGR() const { return ((m_value & 0xFF) << 16) | (m_value & 0xFF00) | ((m_value >> 16) & 0xFF); }

    // True for another colour (any object answering "ColorBase") with the
    // same word, alpha included.
    bool equals(lang::Object* other) override;
    HV_CLASS_NAME("ColorBase", lang::Object)

    // The framework's colour constants, all opaque; black is the components'
    // default background and white their default foreground.
    static const ColorBase blue;
    static const ColorBase red;
    static const ColorBase green;
    static const ColorBase black;
    static const ColorBase white;
    static const ColorBase orange;
    static const ColorBase yellow;
    static const ColorBase gray;

    static uint32_t pack(int r, int g, int b, int a)
    {
        return (uint32_t(a & 0xFF) << 24) | (uint32_t(r & 0xFF) << 16) | (uint32_t(g & 0xFF) << 8) | uint32_t(b & 0xFF);
    }

private:
    uint32_t m_value;
};
