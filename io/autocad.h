// AutoCAD script of the found mid-surface: one polyface mesh of all
// triangles, vertices in node order, then zoom to it.
#pragma once

#include <string>

#include "model/problem.h"
#include "model/surface.h"

namespace domica {

// The whole text of autocad.scr from the net's triangles and the found positions.
std::string autocad_text(const net& nt, const surface& sf);

// Write autocad.scr (whole or not at all).
void autocad(const net& nt, const surface& sf, const std::string& path = "autocad.scr");

}  // namespace domica
