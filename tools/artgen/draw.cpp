#include "draw.h"

#include <algorithm>
#include <cmath>

Canvas MakeCanvas(int width, int height, uint8_t fill)
{
    return Canvas{width, height, std::vector<uint8_t>(static_cast<size_t>(width) * height, fill)};
}

uint8_t PixelAt(const Canvas &canvas, int x, int y)
{
    return canvas.pixels[static_cast<size_t>(y) * canvas.width + x];
}

void SetPixel(Canvas &canvas, int x, int y, uint8_t index)
{
    if (x >= 0 && y >= 0 && x < canvas.width && y < canvas.height)
        canvas.pixels[static_cast<size_t>(y) * canvas.width + x] = index;
}

void Paint(Canvas &canvas, const Box &clip, const Shape &shape, uint8_t index)
{
    const int left = std::max(clip.left, 0), right = std::min(clip.right, canvas.width);
    const int top = std::max(clip.top, 0), bottom = std::min(clip.bottom, canvas.height);
    for (int y = top; y < bottom; y++)
        for (int x = left; x < right; x++)
            if (shape(x + 0.5, y + 0.5))
                SetPixel(canvas, x, y, index);
}

void Halo(Canvas &canvas, const std::vector<uint8_t> &near, uint8_t from, uint8_t to, double radius)
{
    const Canvas source = canvas;
    const int reach = static_cast<int>(std::ceil(radius));
    auto isNear = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < source.width && y < source.height &&
               std::find(near.begin(), near.end(), PixelAt(source, x, y)) != near.end();
    };
    for (int y = 0; y < canvas.height; y++)
        for (int x = 0; x < canvas.width; x++) {
            if (PixelAt(source, x, y) != from)
                continue;
            bool lit = false;
            for (int dy = -reach; dy <= reach && !lit; dy++)
                for (int dx = -reach; dx <= reach && !lit; dx++)
                    lit = dx * dx + dy * dy <= radius * radius && isNear(x + dx, y + dy);
            if (lit)
                SetPixel(canvas, x, y, to);
        }
}

bool InRoundRect(double x, double y, double left, double top, double right, double bottom, double radius)
{
    if (x < left || x > right || y < top || y > bottom)
        return false;
    const double cx = std::clamp(x, left + radius, right - radius);
    const double cy = std::clamp(y, top + radius, bottom - radius);
    return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius;
}

bool InEllipse(double x, double y, double cx, double cy, double rx, double ry)
{
    const double u = (x - cx) / rx, v = (y - cy) / ry;
    return u * u + v * v <= 1.0;
}

static double Cross(Point a, Point b, double x, double y)
{
    return (b.x - a.x) * (y - a.y) - (b.y - a.y) * (x - a.x);
}

bool InTriangle(double x, double y, Point a, Point b, Point c)
{
    const double d1 = Cross(a, b, x, y), d2 = Cross(b, c, x, y), d3 = Cross(c, a, x, y);
    const bool negative = d1 < 0 || d2 < 0 || d3 < 0, positive = d1 > 0 || d2 > 0 || d3 > 0;
    return !(negative && positive);
}

bool InStroke(double x, double y, Point a, Point b, double hw, bool round)
{
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double length2 = dx * dx + dy * dy;
    double t = length2 > 0 ? ((x - a.x) * dx + (y - a.y) * dy) / length2 : 0.0;
    if (!round && (t < 0.0 || t > 1.0))
        return false;
    t = std::clamp(t, 0.0, 1.0);
    const double px = a.x + t * dx - x, py = a.y + t * dy - y;
    return px * px + py * py <= hw * hw;
}

bool InPolyline(double x, double y, const std::vector<Point> &points, double hw)
{
    for (size_t i = 0; i + 1 < points.size(); i++)
        if (InStroke(x, y, points[i], points[i + 1], hw, true))
            return true;
    return points.size() == 1 && InStroke(x, y, points[0], points[0], hw, true);
}

bool InSector(double x, double y, Point centre, double r0, double r1, double angle, double span)
{
    const double dx = x - centre.x, dy = y - centre.y;
    const double r = std::sqrt(dx * dx + dy * dy);
    if (r < r0 || r > r1)
        return false;
    double off = std::atan2(dy, dx) * 180.0 / M_PI - angle;
    off = std::fmod(off + 540.0, 360.0) - 180.0;
    return std::fabs(off) <= span / 2;
}

std::vector<Point> Bezier(Point p0, Point p1, Point p2, Point p3, int steps)
{
    std::vector<Point> points;
    for (int i = 0; i <= steps; i++) {
        const double t = static_cast<double>(i) / steps, s = 1.0 - t;
        const double a = s * s * s, b = 3 * s * s * t, c = 3 * s * t * t, d = t * t * t;
        points.push_back({a * p0.x + b * p1.x + c * p2.x + d * p3.x, a * p0.y + b * p1.y + c * p2.y + d * p3.y});
    }
    return points;
}
