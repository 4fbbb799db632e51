// A rectangular plan 12 by 8 clamped along its whole edge, with a round
// skylight of radius 1.5 off the middle whose edge stays free.
lc = 0.8;
Point(1) = {-6, -4, 0, lc};
Point(2) = {6, -4, 0, lc};
Point(3) = {6, 4, 0, lc};
Point(4) = {-6, 4, 0, lc};
Line(1) = {1, 2};
Line(2) = {2, 3};
Line(3) = {3, 4};
Line(4) = {4, 1};
Curve Loop(1) = {1, 2, 3, 4};
// The opening: a circle about (2, 0) drawn from four arcs.
r = 1.5;
lo = 0.4;
Point(5) = {2, 0, 0, lo};
Point(6) = {2 + r, 0, 0, lo};
Point(7) = {2, r, 0, lo};
Point(8) = {2 - r, 0, 0, lo};
Point(9) = {2, -r, 0, lo};
Circle(5) = {6, 5, 7};
Circle(6) = {7, 5, 8};
Circle(7) = {8, 5, 9};
Circle(8) = {9, 5, 6};
Curve Loop(2) = {5, 6, 7, 8};
Plane Surface(1) = {1, 2};
Physical Curve("Fixed") = {1, 2, 3, 4};
Physical Surface("shell") = {1};
