#include "mechanics/setup.h"

#include <cmath>
#include <string>

#include "model/failure.h"
#include "model/problem.h"

namespace domica {

arr1<cst_plan> plan(const net& nt, double thickness) {
  arr1<cst_plan> out(nt.ne);
  for (int e = 1; e <= nt.ne; ++e) {
    cst_plan& el = out(e);
    int glob1 = nt.tri(e)(1), glob2 = nt.tri(e)(2), glob3 = nt.tri(e)(3);
    double x1 = nt.xo(glob1), y1 = nt.yo(glob1);
    double x2 = nt.xo(glob2), y2 = nt.yo(glob2);
    double x3 = nt.xo(glob3), y3 = nt.yo(glob3);
    double aux = plan_aux(x1, y1, x2, y2, x3, y3);
    el.volume = std::fabs(aux) * thickness * 0.5;
    el.c(1, 1) = (y2 - y3) / aux;
    el.c(2, 1) = -((x2 - x3) / aux);
    el.c(1, 2) = -((y1 - y3) / aux);
    el.c(2, 2) = (x1 - x3) / aux;
    el.c(1, 3) = (y1 - y2) / aux;
    el.c(2, 3) = -((x1 - x2) / aux);
  }
  return out;
}

hooke coefficients(const material& mat) {
  hooke h;
  double d = 1 - mat.poisson * mat.poisson;
  h.h11 = mat.young / d;
  h.h12 = mat.young * mat.poisson / d;
  h.h21 = mat.young * mat.poisson / d;
  h.h22 = mat.young / d;
  h.h33 = 2 * mat.young / (1 + mat.poisson);
  return h;
}

void selfweight(const net& nt, const arr1<cst_plan>& plan, double weight, fmat2& loads) {
  for (int e = 1; e <= nt.ne; ++e) {
    double aux = -(plan(e).volume * weight / 3.0);
    for (int loc = 1; loc <= 3; ++loc) {
      int glob = nt.tri(e)(loc);
      loads(glob, 3) = loads(glob, 3) + aux;
    }
  }
}

assembly setup(const problem& p) {
  assembly as;
  as.d = number(p.nt);
  as.plan = plan(p.nt, p.mat.thickness);
  as.hk = coefficients(p.mat);
  as.tris = make_lanes(p.nt, as.plan, as.d);
  return as;
}

fmat2 fixed_loads(const problem& p, const assembly& as) {
  fmat2 loads = p.nt.point;
  selfweight(p.nt, as.plan, p.load.weight, loads);
  return loads;
}

namespace {

[[noreturn]] void overflow(const std::string& message) { throw failure(exit_input, "weblar.txt: " + message); }

}  // namespace

void check_finite(const problem& p, const assembly& as, const fmat2& loads) {
  const hooke& h = as.hk;
  for (double c : {h.h11, h.h12, h.h21, h.h22, h.h33})
    if (!std::isfinite(c))
      overflow("Young's modulus young = " + exact(p.mat.young) + " with poisson = " + exact(p.mat.poisson) +
               " makes the plane-stress coefficients overflow");
  for (int e = 1; e <= p.nt.ne; ++e) {
    const cst_plan& el = as.plan(e);
    if (!std::isfinite(el.volume))
      overflow("the thickness " + exact(p.mat.thickness) + " times the plan area of element " + std::to_string(e) + " overflows");
    for (int i = 1; i <= 2; ++i)
      for (int j = 1; j <= 3; ++j)
        if (!std::isfinite(el.c(i, j)))
          overflow("the plan of element " + std::to_string(e) + " is too small for its shape functions (its corners' plan coordinates)");
  }
  // The pressure acts on the current area, which starts as the plan area.
  const char* pressure = p.variant == program::domica_3 ? "pressure" : "maxpressure";
  for (int e = 1; e <= p.nt.ne; ++e) {
    const auto& c = p.nt.tri(e);
    double area = 0.5 * std::fabs(plan_aux(p.nt.xo(c(1)), p.nt.yo(c(1)), p.nt.xo(c(2)), p.nt.yo(c(2)), p.nt.xo(c(3)), p.nt.yo(c(3))));
    if (!std::isfinite(p.load.pressure * area))
      overflow(std::string("the ") + pressure + " " + exact(p.load.pressure) + " times the plan area of element " + std::to_string(e) +
               " overflows");
  }
  const char* weight = p.variant == program::domica_3 ? "density" : "maxweight";
  for (int glob = 1; glob <= p.nt.nn; ++glob)
    for (int axis = 1; axis <= 3; ++axis)
      if (!std::isfinite(loads(glob, axis)))
        overflow(std::string("the load on node ") + std::to_string(glob) + " is not finite: the self-weight " + weight + " = " +
                 exact(p.load.weight) + " times the volume of its triangles, with its point load " + exact(p.nt.point(glob, axis)) +
                 ", overflows");
}

net_state prepare(const problem& p) {
  net_state s;
  s.as = setup(p);
  s.loads = fixed_loads(p, s.as);
  check_finite(p, s.as, s.loads);
  s.x = fmat1(s.as.d.n);
  return s;
}

}  // namespace domica
