// AutoCAD script of the found mid-surface: one polyface mesh of all
// triangles, vertices in node order, then zoom to it.
#pragma once

#include <string>

#include "common/model.h"

namespace domica {

// The whole text of autocad.scr.
std::string autocad_text(const model& m);

// Write autocad.scr (whole or not at all).
void autocad(const model& m, const std::string& path = "autocad.scr");

}  // namespace domica
