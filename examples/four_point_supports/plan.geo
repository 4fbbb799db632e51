// A square plan 10 by 10 on four point supports at its corners. The free
// edges are circle arcs that rise 1 towards the middle; their centres (points
// 5 to 8) only draw the arcs and are not nodes of the net.
lc = 1;
Point(1) = {-5, -5, 0, lc};
Point(2) = {5, -5, 0, lc};
Point(3) = {5, 5, 0, lc};
Point(4) = {-5, 5, 0, lc};
Point(5) = {0, -17, 0, lc};
Point(6) = {17, 0, 0, lc};
Point(7) = {0, 17, 0, lc};
Point(8) = {-17, 0, 0, lc};
Circle(1) = {1, 5, 2};
Circle(2) = {2, 6, 3};
Circle(3) = {3, 7, 4};
Circle(4) = {4, 8, 1};
Curve Loop(1) = {1, 2, 3, 4};
Plane Surface(1) = {1};
Physical Point("fixed") = {1, 2, 3, 4};
Physical Surface("shell") = {1};
