#include "numerics/qn.h"

#include <stdexcept>

namespace nlp {

void check(const qn_params& q) {
  if (q.maxminor < 0) throw std::invalid_argument("minimiser: maxminor < 0");
  if (!(q.maxnorm >= 0.0)) throw std::invalid_argument("minimiser: maxnorm not >= 0");
  if (q.maxls < 0) throw std::invalid_argument("minimiser: maxls < 0");
  if (!(q.lstol > 0.0)) throw std::invalid_argument("minimiser: lstol not > 0");
  if (q.maxlist < 0) throw std::invalid_argument("minimiser: maxlist < 0");
}

void direction(pair_list& l, int n, const fmat1& g, fmat1& d) {
  for (int i = 1; i <= n; ++i) d(i) = g(i);
  for (int k = l.size(); k >= 1; --k) {
    list_rec& p = l.at(k);
    double sum = 0.0;
    for (int i = 1; i <= n; ++i) sum = sum + p.s(i) * d(i);
    p.alpha = sum / p.sy;
    for (int i = 1; i <= n; ++i) d(i) = d(i) - p.alpha * p.y(i);
  }
  const list_rec& newest = l.at(l.size());
  double sum = 0.0;
  for (int i = 1; i <= n; ++i) sum = sum + newest.y(i) * newest.y(i);
  sum = newest.sy / sum;
  for (int i = 1; i <= n; ++i) d(i) = sum * d(i);
  for (int k = 1; k <= l.size(); ++k) {
    const list_rec& p = l.at(k);
    double t = 0.0;
    for (int i = 1; i <= n; ++i) t = t + p.y(i) * d(i);
    t = p.alpha - t / p.sy;
    for (int i = 1; i <= n; ++i) d(i) = d(i) + t * p.s(i);
  }
  for (int i = 1; i <= n; ++i) d(i) = -d(i);
}

void symmetric_product(int n, const fmat1& h, const fmat1& v, fmat1& y) {
  for (int i = 1; i <= n; ++i) {
    double sum = h(pos(n, i, i)) * v(i);
    for (int j = 1; j <= i - 1; ++j) sum = sum + h(pos(n, i, j)) * v(j);
    for (int j = i + 1; j <= n; ++j) sum = sum + h(pos(n, j, i)) * v(j);
    y(i) = sum;
  }
}

}  // namespace nlp
