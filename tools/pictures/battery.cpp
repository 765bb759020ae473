// The battery: an upright cylindrical cell seen from the side and a little from above, lit from
// the upper left. Both pictures come from one outline; only the body's albedo differs, so they
// join pixel for pixel wherever a frame cuts from one to the other.
#include "pictures.hpp"

#include <algorithm>
#include <cmath>

namespace velorin::pictures {
namespace {

constexpr int kWidth = 104;
constexpr int kHeight = 216;

// Pixel edges: the body spans columns 3 to 99.
constexpr double kLeft = 3;
constexpr double kRight = 100;
constexpr double kCx = (kLeft + kRight) / 2;
constexpr double kHalf = (kRight - kLeft) / 2;

// The terminal nub, columns 29 to 73 from row 5.
constexpr double kNubLeft = 29;
constexpr double kNubRight = 74;
constexpr double kNubTop = 5;
constexpr double kNubBottom = 14.5;
constexpr double kNubCorner = 2.5;
constexpr double kNubFaceDepth = 2.2;  // half-height of the nub's top face, seen from above

// The top band's rounded shoulders reach the full width here.
constexpr double kShoulderEnd = 24;
constexpr double kShoulderHeight = 11;
constexpr double kShoulderPower = 2.6;

// Where the coloured body meets the metal: ellipses, the near half of a circle seen from above.
constexpr double kBodyTop = 27.5;
constexpr double kBodyTopSag = 5;
constexpr double kBodyBottom = 196;
constexpr double kBodyBottomSag = 8.5;

// The base band's lower corners, and its last row (213) spanning columns 28 to 75.
constexpr double kBottom = 214;
constexpr double kCornerWidth = 25;
constexpr double kCornerHeight = 9.5;
constexpr double kLastRowLeft = 28;
constexpr double kLastRowRight = 76;

struct Surface {
    Colour albedo;
    double ambient, diffuse, specular, shininess;
};

constexpr Surface kMetal{{196, 200, 206}, 0.30, 0.62, 0.75, 30};
constexpr Surface kGreenBody{{52, 196, 60}, 0.28, 0.78, 0.40, 18};
constexpr Surface kGreyBody{{84, 88, 94}, 0.28, 0.70, 0.16, 14};

// Light from the upper left front, a viewer straight ahead.
constexpr double kLightX = -0.45;
constexpr double kLightZ = 0.89;

// A surface whose normal turns with the cylinder: u = -1 at the left edge, +1 at the right.
Colour shadeCylinder(const Surface& s, double u, double tiltUp = 0)
{
    u = std::clamp(u, -1.0, 1.0);
    const double nz = std::sqrt(1 - u * u);
    // A part tilted towards the viewer's top catches more of the light from above.
    const double nx = u * (1 - tiltUp);
    const double len = std::hypot(kLightX, kLightZ);
    const double diffuse = std::max(0.0, (nx * kLightX + nz * kLightZ) / len) + 0.25 * tiltUp;
    const double hx = kLightX / len;
    const double hz = kLightZ / len + 1;
    const double hlen = std::hypot(hx, hz);
    const double highlight = std::pow(std::max(0.0, (nx * hx + nz * hz) / hlen), s.shininess);
    // A faint rim light keeps the dark side from melting into the black background.
    const double rim = 0.18 * std::pow(std::max(0.0, u), 8);
    return s.albedo * (s.ambient + s.diffuse * diffuse + rim) + Colour{255, 255, 255} * (s.specular * highlight);
}

double ellipseSag(double dx, double halfWidth, double sag)
{
    const double t = std::clamp(dx / halfWidth, -1.0, 1.0);
    return sag * std::sqrt(1 - t * t);
}

double bodyTopAt(double dx)
{
    return kBodyTop + ellipseSag(dx, kHalf, kBodyTopSag);
}

double bodyBottomAt(double dx)
{
    return kBodyBottom + ellipseSag(dx, kHalf, kBodyBottomSag);
}

bool inNub(double x, double y)
{
    if (x < kNubLeft || x >= kNubRight || y < kNubTop || y >= kNubBottom) {
        return false;
    }
    // Rounded top corners.
    const double cy = kNubTop + kNubCorner;
    if (y >= cy) {
        return true;
    }
    const double cx = std::clamp(x, kNubLeft + kNubCorner, kNubRight - kNubCorner);
    return std::hypot(x - cx, y - cy) <= kNubCorner;
}

double shoulderHalfWidth(double y)
{
    if (y >= kShoulderEnd) {
        return kHalf;
    }
    const double t = (kShoulderEnd - y) / kShoulderHeight;
    if (t >= 1) {
        return 0;
    }
    return kHalf * std::pow(1 - std::pow(t, kShoulderPower), 1 / kShoulderPower);
}

bool inCell(double x, double y)
{
    const double dx = x - kCx;
    if (y >= kBottom) {
        return false;
    }
    if (y >= kBottom - 1) {
        return x >= kLastRowLeft && x < kLastRowRight;
    }
    if (y >= kBottom - kCornerHeight) {
        // Elliptical corners narrowing the base towards its last row.
        const double t = (y - (kBottom - kCornerHeight)) / kCornerHeight;
        const double inset = kCornerWidth * (1 - std::sqrt(1 - t * t));
        return x >= kLeft + inset && x < kRight - inset;
    }
    return std::abs(dx) < shoulderHalfWidth(y);
}

// A dark groove of about a pixel along a seam, for the eye to find the parts.
double groove(double distance)
{
    return 0.45 + 0.55 * std::clamp(std::abs(distance) / 1.4, 0.0, 1.0);
}

Colour shadeBattery(double x, double y, const Surface& body)
{
    const double dx = x - kCx;
    const double u = dx / kHalf;
    if (inNub(x, y)) {
        const double nubCx = (kNubLeft + kNubRight) / 2;
        const double nubHalf = (kNubRight - kNubLeft) / 2;
        const double nu = (x - nubCx) / nubHalf;
        const double faceBottom = kNubTop + kNubCorner + ellipseSag(x - nubCx, nubHalf, kNubFaceDepth);
        if (y < faceBottom) {
            // The flat top face, lit from above.
            return shadeCylinder(kMetal, nu * 0.5, 0.7) * (y > faceBottom - 1 ? 0.8 : 1.0);
        }
        const double toBase = kNubBottom - y;
        return shadeCylinder(kMetal, nu) * (0.85 + 0.15 * std::clamp(toBase / 4, 0.0, 1.0));
    }
    const double top = bodyTopAt(dx);
    const double bottom = bodyBottomAt(dx);
    if (y < top) {
        // The top band: the shoulders turn up towards the light.
        const double tilt = std::clamp((kShoulderEnd - y) / kShoulderHeight, 0.0, 1.0) * 0.6;
        return shadeCylinder(kMetal, u, tilt) * groove(top - y);
    }
    if (y < bottom) {
        return shadeCylinder(body, u) * std::min(groove(y - top), groove(bottom - y));
    }
    // The base band darkens as it turns away underneath.
    const double down = std::clamp((y - bottom) / (kBottom - bottom), 0.0, 1.0);
    return shadeCylinder(kMetal, u) * (groove(y - bottom) * (1 - 0.35 * down * down));
}

}  // namespace

Image drawBattery(bool charged)
{
    const Surface& body = charged ? kGreenBody : kGreyBody;
    return render(kWidth, kHeight, 8, [&](double x, double y) -> std::optional<Colour> {
        if (!inNub(x, y) && !inCell(x, y)) {
            return std::nullopt;
        }
        return shadeBattery(x, y, body);
    });
}

}  // namespace velorin::pictures
