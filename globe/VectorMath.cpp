#include "globe/VectorMath.h"

#include "globe/Geodesy.h"
#include "globe/GlobeMath.h"

#include <cmath>

namespace wl {

Vector3 vectorFromPoint(const LLPoint& p)
{
    const long double k = 1.0L / GlobeRadius;
    return {p.x * k, p.y * k, p.z * k};
}

LLPoint pointFromVector(const Vector3& v)
{
    LLPoint p;
    p.lon = gmath::trunc32(arcTan2(v.x, v.z) * GUPerRadian);
    p.lat = gmath::trunc32(arcSin(v.y) * GUPerRadian);
    p.x = gmath::trunc32(v.x * GlobeRadius);
    p.y = gmath::trunc32(v.y * GlobeRadius);
    p.z = gmath::trunc32(v.z * GlobeRadius);
    return p;
}

Vector3 normalize(const Vector3& v)
{
    const long double n2 = v.x * v.x + v.y * v.y + v.z * v.z;
    if (n2 < 1e-10L)
        return v;
    const long double n = std::sqrt(n2);
    return {v.x / n, v.y / n, v.z / n};
}

long double dot(const Vector3& a, const Vector3& b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

Vector3 crossNormalized(const Vector3& a, const Vector3& b)
{
    return normalize({a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x});
}

Vector3 matrixTimesVector(const Matrix3& m, const Vector3& v)
{
    return normalize({m[0] * v.x + m[1] * v.y + m[2] * v.z, m[3] * v.x + m[4] * v.y + m[5] * v.z,
                      m[6] * v.x + m[7] * v.y + m[8] * v.z});
}

Quaternion axisAngleToQuaternion(const Vector3& axis, long double angle)
{
    const long double s = std::sin(angle / 2);
    return {axis.x * s, axis.y * s, axis.z * s, std::cos(angle / 2)};
}

Quaternion eulerToQuaternion(std::int32_t a, std::int32_t b, std::int32_t c)
{
    const long double alpha = (gmath::Pi - a * RadianPerGU) / 2;
    const long double beta = b * RadianPerGU / 2;
    const long double gamma = c * RadianPerGU / 2;
    const long double s1 = std::sin(alpha), c1 = std::cos(alpha);
    const long double s2 = std::sin(beta), c2 = std::cos(beta);
    const long double s3 = std::sin(gamma), c3 = std::cos(gamma);
    return {c2 * s1 * c3 - s2 * c1 * s3, c2 * s1 * s3 + s2 * c1 * c3, c2 * c1 * s3 - s2 * s1 * c3,
            c2 * c1 * c3 + s2 * s1 * s3};
}

Matrix3 quaternionToMatrix(const Quaternion& q)
{
    const long double x2 = 2 * q.x, y2 = 2 * q.y, z2 = 2 * q.z;
    const long double xx = q.x * x2, xy = q.x * y2, xz = q.x * z2;
    const long double yy = q.y * y2, yz = q.y * z2, zz = q.z * z2;
    const long double wx = q.w * x2, wy = q.w * y2, wz = q.w * z2;
    return {static_cast<double>(1 - (yy + zz)), static_cast<double>(xy + wz),
            static_cast<double>(xz - wy),       static_cast<double>(xy - wz),
            static_cast<double>(1 - (xx + zz)), static_cast<double>(yz + wx),
            static_cast<double>(xz + wy),       static_cast<double>(yz - wx),
            static_cast<double>(1 - (xx + yy))};
}

Matrix3 scaleMatrix(const Matrix3& m, long double s)
{
    Matrix3 r;
    for (std::size_t i = 0; i < r.size(); ++i)
        r[i] = static_cast<double>(m[i] * s);
    return r;
}

Matrix3 transpose(const Matrix3& m)
{
    return {m[0], m[3], m[6], m[1], m[4], m[7], m[2], m[5], m[8]};
}

} // namespace wl
