// CRuntime.cpp: the Windows C runtime's generator and number formatting.
#include "platform/kernel/CRuntime.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
thread_local unsigned int t_randState = 1;
}

int crtRand()
{
    t_randState = t_randState * 214013u + 2531011u;
    return int((t_randState >> 16) & 0x7FFF);
}

void crtSrand(unsigned int seed)
{
    t_randState = seed;
}

char* crtGcvt(double value, int digits, char* buffer)
{
    if (digits < 1)
        digits = 1;
    if (digits > 17)
        digits = 17;
    char* out = buffer;
    if (std::isnan(value)) {
        std::strcpy(buffer, "nan");
        return buffer;
    }
    if (std::signbit(value) && value != 0.0) {
        *out++ = '-';
        value = -value;
    }
    if (std::isinf(value)) {
        std::strcpy(out, "inf");
        return buffer;
    }
    if (value == 0.0) {
        std::strcpy(out, "0.");
        return buffer;
    }

    // Let the C library round to the requested significant digits, then lay the
    // digits out ourselves.
    char sci[48];
    std::snprintf(sci, sizeof sci, "%.*e", digits - 1, value);
    char mantissa[24];
    int n = 0;
    const char* p = sci;
    for (; *p && *p != 'e'; ++p) {
        if (*p >= '0' && *p <= '9')
            mantissa[n++] = *p;
    }
    int exponent = (*p == 'e') ? std::atoi(p + 1) : 0;
    while (n > 1 && mantissa[n - 1] == '0')
        --n;

    if (exponent < -1 || exponent >= digits) {
        *out++ = mantissa[0];
        *out++ = '.';
        for (int i = 1; i < n; ++i)
            *out++ = mantissa[i];
        char tail[16];
        std::snprintf(tail, sizeof tail, "e%c%03d", exponent < 0 ? '-' : '+', std::abs(exponent) % 1000);
        std::strcpy(out, tail);
        return buffer;
    }
    if (exponent == -1) {
        *out++ = '0';
        *out++ = '.';
        for (int i = 0; i < n; ++i)
            *out++ = mantissa[i];
        *out = '\0';
        return buffer;
    }
    for (int i = 0; i <= exponent; ++i)
        *out++ = i < n ? mantissa[i] : '0';
    *out++ = '.';
    for (int i = exponent + 1; i < n; ++i)
        *out++ = mantissa[i];
    *out = '\0';
    return buffer;
}
