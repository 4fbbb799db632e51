#include "nlp/qn.h"

namespace nlp {

void direction(const pair_list& l, int n, const fmat1& g, fmat1& d) {
  for (int i = 1; i <= n; ++i) d(i) = g(i);
  list_rec* p = l.first;
  do {
    p = p->prev;
    double sum = 0.0;
    for (int i = 1; i <= n; ++i) sum = sum + p->s(i) * d(i);
    p->alpha = sum / p->sy;
    for (int i = 1; i <= n; ++i) d(i) = d(i) - p->alpha * p->y(i);
  } while (p != l.first);
  double sum = 0.0;
  for (int i = 1; i <= n; ++i) sum = sum + l.last->y(i) * l.last->y(i);
  sum = l.last->sy / sum;
  for (int i = 1; i <= n; ++i) d(i) = sum * d(i);
  p = l.last;
  do {
    p = p->next;
    double t = 0.0;
    for (int i = 1; i <= n; ++i) t = t + p->y(i) * d(i);
    t = p->alpha - t / p->sy;
    for (int i = 1; i <= n; ++i) d(i) = d(i) + t * p->s(i);
  } while (p != l.last);
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
