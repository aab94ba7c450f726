// Vector3D.cpp: float vectors: random points, length, normalising.
#include "core/util/Vector3D.h"

#include "core/lang/Math.h"

#include <cmath>

namespace util {

void Vector3D::setRandomBetween(const Vector3D& a, const Vector3D& b)
{
    float r = float(lang::Math::random());
    x = a.x + std::fabs(a.x - b.x) * r;
    r = float(lang::Math::random());
    y = a.y + std::fabs(a.y - b.y) * r;
    r = float(lang::Math::random());
    z = a.z + std::fabs(a.z - b.z) * r;
}

float Vector3D::length() const
{
    // Every product and sum is rounded to float, as the particle code expects.
    float sum = x * x;
    sum += y * y;
    sum += z * z;
    return std::sqrt(sum);
}

void Vector3D::normalize()
{
    float l = length();
    if (l != 0.0f) {
        x /= l;
        y /= l;
        z /= l;
    }
}

Vector3D& Vector3D::scale(float f)
{
    x *= f;
    y *= f;
    z *= f;
    return *this;
}

} // namespace util
