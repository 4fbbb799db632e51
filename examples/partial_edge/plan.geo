// An irregular six-sided plan supported along three of its sides (1 to 3);
// the other three are free. A point load of -2 stands at point 7, a node
// inside the plan.
lc = 0.7;
Point(1) = {0, 0, 0, lc};
Point(2) = {9, -1, 0, lc};
Point(3) = {11, 4, 0, lc};
Point(4) = {7, 8, 0, lc};
Point(5) = {2, 7.5, 0, lc};
Point(6) = {-1, 4, 0, lc};
Point(7) = {5, 3.5, 0, lc};
Line(1) = {1, 2};
Line(2) = {2, 3};
Line(3) = {3, 4};
Line(4) = {4, 5};
Line(5) = {5, 6};
Line(6) = {6, 1};
Curve Loop(1) = {1, 2, 3, 4, 5, 6};
Plane Surface(1) = {1};
Point{7} In Surface{1};
Physical Curve("fixed") = {1, 2, 3};
Physical Point("load z -2") = {7};
Physical Surface("shell") = {1};
