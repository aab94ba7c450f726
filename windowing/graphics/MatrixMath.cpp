// MatrixMath.cpp: 4 x 4 matrices and 3-float vectors.
#include "windowing/graphics/MatrixMath.h"

#include <cmath>

namespace window {

D3DMATRIX* matrixIdentity(D3DMATRIX* out)
{
    if (!out)
        return nullptr;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            out->m[r][c] = r == c ? 1.0f : 0.0f;
    return out;
}

D3DMATRIX* matrixMultiply(D3DMATRIX* out, const D3DMATRIX* a, const D3DMATRIX* b)
{
    if (!out || !a || !b)
        return nullptr;
    D3DMATRIX result;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k)
                sum += a->m[r][k] * b->m[k][c];
            result.m[r][c] = sum;
        }
    *out = result;
    return out;
}

D3DMATRIX* matrixTranslation(D3DMATRIX* out, float tx, float ty, float tz)
{
    if (!matrixIdentity(out))
        return nullptr;
    out->m[0][3] = tx;
    out->m[1][3] = ty;
    out->m[2][3] = tz;
    return out;
}

D3DMATRIX* matrixScaling(D3DMATRIX* out, float sx, float sy, float sz)
{
    if (!matrixIdentity(out))
        return nullptr;
    out->m[0][0] = sx;
    out->m[1][1] = sy;
    out->m[2][2] = sz;
    return out;
}

D3DMATRIX* matrixRotationZ(D3DMATRIX* out, float radians)
{
    if (!matrixIdentity(out))
        return nullptr;
    const float c = std::cos(radians);
    const float s = std::sin(radians);
    out->m[0][0] = c;
    out->m[0][1] = -s;
    out->m[1][0] = s;
    out->m[1][1] = c;
    return out;
}

D3DMATRIX* matrixPerspectiveFovLH(D3DMATRIX* out, float fovY, float aspect, float zNear, float zFar)
{
    if (!out || fovY == 0.0f)
        return nullptr;
    const float yScale = 1.0f / std::tan(fovY / 2.0f);
    const float xScale = yScale / aspect;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            out->m[r][c] = 0.0f;
    out->m[0][0] = xScale;
    out->m[1][1] = yScale;
    out->m[2][2] = zFar / (zFar - zNear);
    out->m[2][3] = 1.0f;
    out->m[3][2] = -zNear * zFar / (zFar - zNear);
    return out;
}

D3DMATRIX* matrixTransform2D(D3DMATRIX* out, float x, float y, float sx, float sy, float radians)
{
    if (!out)
        return nullptr;
    D3DMATRIX t, s, r;
    matrixTranslation(&t, x, y, 0.0f);
    matrixScaling(&s, sx, sy, 1.0f);
    matrixRotationZ(&r, radians);
    matrixMultiply(out, &t, &s);
    return matrixMultiply(out, out, &r);
}

D3DMATRIX* matrixCopy(D3DMATRIX* out, const D3DMATRIX* in)
{
    if (!out || !in)
        return nullptr;
    *out = *in;
    return out;
}

void matrixTransformPoint(const D3DMATRIX* m, float x, float y, float z, float* outX, float* outY)
{
    *outX = m->m[0][0] * x + m->m[0][1] * y + m->m[0][2] * z + m->m[0][3];
    *outY = m->m[1][0] * x + m->m[1][1] * y + m->m[1][2] * z + m->m[1][3];
}

float* vectorNormalize(float out[3], const float in[3])
{
    if (!out || !in)
        return nullptr;
    const float length = vectorLength(in);
    if (length == 0.0f)
        return nullptr;
    for (int i = 0; i < 3; ++i)
        out[i] = in[i] / length;
    return out;
}

float vectorLength(const float v[3])
{
    return std::sqrt(vectorDot(v, v));
}

float vectorDot(const float a[3], const float b[3])
{
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

float* vectorCross(float out[3], const float a[3], const float b[3])
{
    if (!out || !a || !b)
        return nullptr;
    const float x = a[1] * b[2] - a[2] * b[1];
    const float y = a[2] * b[0] - a[0] * b[2];
    const float z = a[0] * b[1] - a[1] * b[0];
    out[0] = x;
    out[1] = y;
    out[2] = z;
    return out;
}

} // namespace window
