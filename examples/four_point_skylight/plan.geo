// A square plan 12 by 12 on four point supports at its corners, with a round
// skylight of radius 1.5 in the middle whose rim is held level at the height
// 2.4 ("height 2.4"). The free edges are circle arcs rising about 1.1 towards the
// middle of each side; their centres (points 5 to 8) and the centre of the
// skylight (point 9) only draw the arcs and are not nodes of the net.
lc = 0.6;
Point(1) = {-6, -6, 0, lc};
Point(2) = {6, -6, 0, lc};
Point(3) = {6, 6, 0, lc};
Point(4) = {-6, 6, 0, lc};
Point(5) = {0, -21.6, 0, lc};
Point(6) = {21.6, 0, 0, lc};
Point(7) = {0, 21.6, 0, lc};
Point(8) = {-21.6, 0, 0, lc};
Circle(1) = {1, 5, 2};
Circle(2) = {2, 6, 3};
Circle(3) = {3, 7, 4};
Circle(4) = {4, 8, 1};
Curve Loop(1) = {1, 2, 3, 4};
r = 1.5;
lo = 0.3;
Point(9) = {0, 0, 0, lo};
Point(10) = {r, 0, 0, lo};
Point(11) = {0, r, 0, lo};
Point(12) = {-r, 0, 0, lo};
Point(13) = {0, -r, 0, lo};
Circle(5) = {10, 9, 11};
Circle(6) = {11, 9, 12};
Circle(7) = {12, 9, 13};
Circle(8) = {13, 9, 10};
Curve Loop(2) = {5, 6, 7, 8};
Plane Surface(1) = {1, 2};
Physical Point("fixed") = {1, 2, 3, 4};
Physical Curve("height 2.4") = {5, 6, 7, 8};
Physical Surface("shell") = {1};
