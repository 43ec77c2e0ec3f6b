#pragma once

#include "globe/LLPoint.h"

#include <array>
#include <cstdint>

namespace wl {

struct Vector3
{
    long double x = 0, y = 0, z = 0;
};

struct Quaternion
{
    long double x = 0, y = 0, z = 0, w = 1;
};

// Row-major: m0 m1 m2 / m3 m4 m5 / m6 m7 m8.
using Matrix3 = std::array<double, 9>;

Vector3 vectorFromPoint(const LLPoint& p);
// Truncates (not rounds) back to GU and sphere coordinates.
LLPoint pointFromVector(const Vector3& v);
Vector3 normalize(const Vector3& v);
long double dot(const Vector3& a, const Vector3& b);
Vector3 crossNormalized(const Vector3& a, const Vector3& b);
Vector3 matrixTimesVector(const Matrix3& m, const Vector3& v);
Quaternion axisAngleToQuaternion(const Vector3& axis, long double angle);
// Three GU angles: the view latitude, longitude and roll.
Quaternion eulerToQuaternion(std::int32_t a, std::int32_t b, std::int32_t c);
Matrix3 quaternionToMatrix(const Quaternion& q);
Matrix3 scaleMatrix(const Matrix3& m, long double s);
Matrix3 transpose(const Matrix3& m);

} // namespace wl
