// MatrixMath.h: plain functions on 4 x 4 row-major float matrices (points are
// column vectors, the translation sits in the fourth column) and on 3-float
// vectors, for the Direct3D graphics' transform stack and its image quads.
// Each returns its output, or null when an input pointer is null.
#pragma once

#include "platform/d3d9/D3D9Types.h"

namespace window {

D3DMATRIX* matrixIdentity(D3DMATRIX* out);
// out = a x b (out may be a or b).
D3DMATRIX* matrixMultiply(D3DMATRIX* out, const D3DMATRIX* a, const D3DMATRIX* b);
D3DMATRIX* matrixTranslation(D3DMATRIX* out, float tx, float ty, float tz);
D3DMATRIX* matrixScaling(D3DMATRIX* out, float sx, float sy, float sz);
// Rotation about z by an angle in radians.
D3DMATRIX* matrixRotationZ(D3DMATRIX* out, float radians);
// Left-handed perspective from a vertical field of view (radians); null for a
// zero field of view.
D3DMATRIX* matrixPerspectiveFovLH(D3DMATRIX* out, float fovY, float aspect, float zNear, float zFar);
// T(x, y, 0) x S(sx, sy, 1) x Rz(radians): how an image quad is placed.
D3DMATRIX* matrixTransform2D(D3DMATRIX* out, float x, float y, float sx, float sy, float radians);
D3DMATRIX* matrixCopy(D3DMATRIX* out, const D3DMATRIX* in);
// Applies m to the point (x, y, z, 1); writes the first two coordinates.
void matrixTransformPoint(const D3DMATRIX* m, float x, float y, float z, float* outX, float* outY);

// Null for a zero-length vector.
float* vectorNormalize(float out[3], const float in[3]);
float vectorLength(const float v[3]);
float vectorDot(const float a[3], const float b[3]);
float* vectorCross(float out[3], const float a[3], const float b[3]);

} // namespace window
