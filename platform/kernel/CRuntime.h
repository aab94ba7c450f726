// CRuntime.h: the pieces of the Windows C runtime whose exact behaviour the
// engine relies on and which the Linux C library does differently.
#pragma once

// The Windows C runtime's small generator, one state word per thread (each
// thread starts seeded with 1): state = state * 214013 + 2531011, and each
// draw returns bits 16..30 of the new state, a value 0 to 32767. Seeded games
// replay the same way only with this generator, so glibc's rand is not used.
#define CRT_RAND_MAX 0x7FFF
int crtRand();
void crtSrand(unsigned int seed);

// The decimal text of a value with the given number of significant digits, in
// the format of the Windows runtime's _gcvt: trailing zeros dropped, a decimal
// point always present ("3.", "0.5"), and the exponent form with a sign and
// three exponent digits ("5.e-002") when the decimal exponent is below -1 or
// at least `digits`. Writes at most 32 bytes including the NUL; returns buffer.
char* crtGcvt(double value, int digits, char* buffer);
