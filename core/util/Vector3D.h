// Vector3D.h: three floats, for particle positions and velocities.
#pragma once

#include "core/lang/Object.h"

namespace util {

class Vector3D : public lang::Object {
public:
    Vector3D() : x(0), y(0), z(0) {}
    Vector3D(float vx, float vy, float vz) : x(vx), y(vy), z(vz) {}
    Vector3D(const Vector3D& other) : lang::Object(), x(other.x), y(other.y), z(other.z) {}
    Vector3D& operator=(const Vector3D& other)
    {
        x = other.x;
        y = other.y;
        z = other.z;
        return *this;
    }
    ~Vector3D() override = default;

    // Each coordinate becomes a's + |a's - b's| * r, r drawn by lang::Math::random.
    void setRandomBetween(const Vector3D& a, const Vector3D& b);
    // Divides by the length; a zero vector stays zero.
    void normalize();
    float length() const;
    Vector3D& scale(float f);

    HV_CLASS_NAME("Vector3D", lang::Object)

    float x;
    float y;
    float z;
};

} // namespace util
