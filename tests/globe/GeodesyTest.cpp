// Distances, courses and the vector routines against GeographicLib. Positions are fed to the
// oracle as GU / 5,400,000 degrees and results compared in GU: on the engine's sphere of radius
// 972,000,000 / pi a geodesic length in GU is the central angle in GU.
#include "globe/Geodesy.h"
#include "globe/VectorMath.h"

#include <GeographicLib/Geodesic.hpp>
#include <GeographicLib/GeodesicLine.hpp>
#include <gtest/gtest.h>

#include <cmath>
#include <random>

using namespace wl;
using GeographicLib::Geodesic;

namespace {

constexpr double GUperDeg = 5400000.0;
const double SphereRadius = 972000000.0 / M_PI;

double deg(std::int32_t gu)
{
    return gu / GUperDeg;
}

// Difference of two angles in GU, taken modulo 360 degrees.
double angleDiff(double a, double b)
{
    double d = std::fmod(a - b, 1944000000.0);
    if (d > 972000000.0)
        d -= 1944000000.0;
    if (d < -972000000.0)
        d += 1944000000.0;
    return d;
}

struct Pair
{
    LLPoint p1, p2;
};

std::vector<Pair> randomPairs(int n, unsigned seed)
{
    std::mt19937 rng(seed);
    std::uniform_int_distribution<std::int32_t> lon(-971999999, 972000000);
    std::uniform_int_distribution<std::int32_t> lat(-486000000, 486000000);
    std::vector<Pair> pairs;
    for (int i = 0; i < n; ++i)
        pairs.push_back({makeLLPoint(lon(rng), lat(rng)), makeLLPoint(lon(rng), lat(rng))});
    return pairs;
}

const LLPoint London = makeLLPoint(-690120, 278139960);     // 51.5074N 0.1278W
const LLPoint NewYork = makeLLPoint(-399632400, 219849120); // 40.7128N 74.0060W

} // namespace

TEST(Geodesy, LondonNewYorkOnSphereAndEllipsoid)
{
    EXPECT_NEAR(llDistance(London, NewYork), 270508742, 1);
    EXPECT_NEAR(llBearing(London, NewYork), 387019611, 1);
    EXPECT_NEAR(ellipsoidDistance(London, NewYork, Spheroid::WGS84), 271420638, 1);
}

TEST(Geodesy, SimpleCases)
{
    EXPECT_EQ(llDistance(makeLLPoint(0, 0), makeLLPoint(0, GU90)), 486000000);
    EXPECT_EQ(llBearing(makeLLPoint(0, 0), makeLLPoint(GU90, 0)), -486000000);
    EXPECT_EQ(llDistance(makeLLPoint(0, 0), makeLLPoint(GU180, 0)), 972000000);
    EXPECT_EQ(llDistance(London, London), 0);
    EXPECT_EQ(ellipsoidDistance(London, London, Spheroid::WGS84), 0);
    EXPECT_EQ(arcSin(1.0000000001L), arcSin(1.0L));
    EXPECT_EQ(arcCos(2.0L), 0.0L);
    EXPECT_NEAR(static_cast<double>(arcCos(-2.0L)), M_PI, 1e-15);
    EXPECT_EQ(extHypot(3, -4), 5.0L);
    EXPECT_NEAR(static_cast<double>(wrapAngle(4.0L)), 4.0 - 2 * M_PI, 1e-15);
}

TEST(Geodesy, GreatCircleDistanceAndCourseMatchOracleOnSphere)
{
    const Geodesic sphere(SphereRadius, 0);
    int checked = 0;
    for (const Pair& p : randomPairs(5000, 42)) {
        double s12, azi1, azi2;
        sphere.Inverse(deg(p.p1.lat), deg(p.p1.lon), deg(p.p2.lat), deg(p.p2.lon), s12, azi1, azi2);
        ASSERT_NEAR(llDistance(p.p1, p.p2), s12, 1.0) << p.p1.lon << " " << p.p1.lat;
        // The course is ill-conditioned at the poles and for nearly antipodal pairs.
        if (s12 > 970000000.0 || std::abs(p.p1.lat) > 485000000 || s12 < 1000)
            continue;
        ASSERT_NEAR(angleDiff(llBearing(p.p1, p.p2), -azi1 * GUperDeg), 0.0, 1.0)
            << p.p1.lon << " " << p.p1.lat << " " << p.p2.lon << " " << p.p2.lat;
        ++checked;
    }
    EXPECT_GT(checked, 4500);
}

TEST(Geodesy, EllipsoidDistanceMatchesOracleForEverySpheroid)
{
    for (int s = 0; s < SpheroidCount; ++s) {
        const SpheroidData sd = spheroidData(static_cast<Spheroid>(s));
        const Geodesic ellipsoid(sd.semiMajorAxis, static_cast<double>(sd.flattening));
        for (const Pair& p : randomPairs(400, 7 + s)) {
            double s12 = 0;
            ellipsoid.Inverse(deg(p.p1.lat), deg(p.p1.lon), deg(p.p2.lat), deg(p.p2.lon), s12);
            // Vincenty's method does not converge for nearly antipodal points.
            if (llDistance(p.p1, p.p2) > 950000000)
                continue;
            ASSERT_NEAR(ellipsoidDistance(p.p1, p.p2, static_cast<Spheroid>(s)), s12, 1.0)
                << s << ": " << p.p1.lon << " " << p.p1.lat << " " << p.p2.lon << " " << p.p2.lat;
        }
    }
}

TEST(Geodesy, EllipsoidDistanceAtThePolesAndNearAntipodes)
{
    const Geodesic wgs84(309952662.0, 1 / 298.257223563);
    struct Case
    {
        LLPoint p1, p2;
    };
    const Case cases[] = {
        {makeLLPoint(0, GU90), makeLLPoint(54000000, 243000000)},
        {makeLLPoint(0, -GU90), makeLLPoint(54000000, 243000000)},
        {makeLLPoint(123456, GU90), makeLLPoint(-400000000, -GU90 + 1)},
        {makeLLPoint(0, 0), makeLLPoint(GU90, 0)},
        {makeLLPoint(0, GU90), makeLLPoint(GU180, GU90 - 5400000)},
    };
    for (const Case& c : cases) {
        double s12 = 0;
        wgs84.Inverse(deg(c.p1.lat), deg(c.p1.lon), deg(c.p2.lat), deg(c.p2.lon), s12);
        EXPECT_NEAR(ellipsoidDistance(c.p1, c.p2, Spheroid::WGS84), s12, 1.0)
            << c.p2.lon << " " << c.p2.lat;
    }
    EXPECT_NEAR(
        ellipsoidDistance(makeLLPoint(0, GU90), makeLLPoint(54000000, 243000000), Spheroid::WGS84),
        243807733, 1);
    // Exactly antipodal on the equator: no convergence, but a bounded, finite answer near half
    // the meridian ellipse.
    const std::int32_t anti =
        ellipsoidDistance(makeLLPoint(0, 0), makeLLPoint(GU180, 0), Spheroid::WGS84);
    EXPECT_GT(anti, 960000000);
    EXPECT_LT(anti, 980000000);
}

TEST(VectorMath, GreatCircleStepsFollowTheOracleLine)
{
    const Geodesic sphere(SphereRadius, 0);
    for (const Pair& p : randomPairs(200, 99)) {
        const Vector3 a = normalize(vectorFromPoint(p.p1));
        const Vector3 b = normalize(vectorFromPoint(p.p2));
        // atan2 of |a x b| and a.b keeps the angle accurate near 0 and 180 degrees.
        const Vector3 c{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
        const long double theta = arcTan2(std::sqrt(dot(c, c)), dot(a, b));
        if (theta < 1e-3L || theta > 3.1L)
            continue;
        const Vector3 axis = crossNormalized(a, b);
        // The oracle starts from the exact positions of the (rounded) sphere coordinates, so
        // only the stepping and the truncation back to GU are measured.
        const auto latOf = [](const Vector3& v) {
            return std::atan2((double)v.y, std::hypot((double)v.x, (double)v.z)) * 180 / M_PI;
        };
        const auto lonOf = [](const Vector3& v) {
            return std::atan2((double)v.x, (double)v.z) * 180 / M_PI;
        };
        const GeographicLib::GeodesicLine line =
            sphere.InverseLine(latOf(a), lonOf(a), latOf(b), lonOf(b));
        const int steps = 16;
        for (int k = 0; k <= steps; ++k) {
            const long double t = theta * k / steps;
            // The matrix built from a quaternion turns vectors by the opposite angle.
            const Matrix3 m = quaternionToMatrix(axisAngleToQuaternion(axis, -t));
            const LLPoint q = pointFromVector(matrixTimesVector(m, a));
            double lat, lon;
            line.Position(static_cast<double>(t * SphereRadius), lat, lon);
            if (std::abs(lat) > 89.9)
                continue;
            // Compared as a ground distance: a longitude error is shortened by cos(lat).
            const double dLat = q.lat - lat * GUperDeg;
            const double dLon = angleDiff(q.lon, lon * GUperDeg) * std::cos(lat * M_PI / 180);
            ASSERT_LT(std::abs(dLat), 2.0) << k << " " << lat << " " << lon;
            ASSERT_LT(std::abs(dLon), 2.0) << k << " " << lat << " " << lon;
        }
    }
}

TEST(VectorMath, BuildingBlocks)
{
    const LLPoint p = makeLLPoint(123456789, -98765432);
    const LLPoint back = pointFromVector(vectorFromPoint(p));
    EXPECT_NEAR(back.lon, p.lon, 2);
    EXPECT_NEAR(back.lat, p.lat, 2);

    const Vector3 tiny{1e-6L, 0, 0};
    EXPECT_EQ(normalize(tiny).x, tiny.x);
    const Vector3 z = crossNormalized({2, 0, 0}, {0, 3, 0});
    EXPECT_EQ(z.z, 1.0L);

    // Any view quaternion gives a rotation: orthonormal rows.
    const Matrix3 m = quaternionToMatrix(eulerToQuaternion(126900000, -300000000, 50000000));
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            const double d =
                m[3 * r] * m[3 * c] + m[3 * r + 1] * m[3 * c + 1] + m[3 * r + 2] * m[3 * c + 2];
            EXPECT_NEAR(d, r == c ? 1.0 : 0.0, 1e-15);
        }
    }
    const Matrix3 t = transpose(m);
    EXPECT_EQ(t[1], m[3]);
    EXPECT_EQ(t[5], m[7]);
    EXPECT_EQ(scaleMatrix(m, 2)[4], m[4] * 2);
}
