// Pixel canvas and the few shape tests the placeholder art is drawn with.
// A pixel belongs to a shape when its centre (x + 0.5, y + 0.5) lies inside;
// there is no anti-aliasing, so every picture keeps its short list of colours.
#ifndef ARTGEN_DRAW_H
#define ARTGEN_DRAW_H

#include <cstdint>
#include <functional>
#include <vector>

struct Canvas {
    int width;
    int height;
    std::vector<uint8_t> pixels; // palette index per pixel, top row first
};

// Half-open pixel box: columns left..right-1, rows top..bottom-1.
struct Box {
    int left;
    int top;
    int right;
    int bottom;
};

struct Point {
    double x;
    double y;
};

using Shape = std::function<bool(double x, double y)>;

Canvas MakeCanvas(int width, int height, uint8_t fill);
uint8_t PixelAt(const Canvas &canvas, int x, int y);
void SetPixel(Canvas &canvas, int x, int y, uint8_t index);

// Paints every pixel of the box whose centre lies in the shape.
void Paint(Canvas &canvas, const Box &clip, const Shape &shape, uint8_t index);

// Turns every pixel of colour `from` that lies within `radius` of a pixel in
// `near` into `to` (centre to centre distance).
void Halo(Canvas &canvas, const std::vector<uint8_t> &near, uint8_t from, uint8_t to, double radius);

bool InRoundRect(double x, double y, double left, double top, double right, double bottom, double radius);
bool InEllipse(double x, double y, double cx, double cy, double rx, double ry);
bool InTriangle(double x, double y, Point a, Point b, Point c);
// A stroke from a to b of half width hw; round ends when `round` is set, square-cut otherwise.
bool InStroke(double x, double y, Point a, Point b, double hw, bool round);
// Within hw of a polyline through the points (round joins and ends).
bool InPolyline(double x, double y, const std::vector<Point> &points, double hw);
// Ring sector between radii r0 and r1, centred on `angle` degrees (0 = right,
// 90 = down), `span` degrees wide.
bool InSector(double x, double y, Point centre, double r0, double r1, double angle, double span);

// Points along a cubic Bezier curve, `steps` segments.
std::vector<Point> Bezier(Point p0, Point p1, Point p2, Point p3, int steps);

#endif
