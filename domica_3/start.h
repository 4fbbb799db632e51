// Set-up of domica_3: numbering, plan geometry, self-weight, coefficients,
// x = 0, loads at full pressure and the absolute gradient threshold maxnorm.
#pragma once

#include "common/model.h"

namespace domica {

void start3(model& m);

}  // namespace domica
