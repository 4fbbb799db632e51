#include "tools/domica_mesh/groups.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <map>
#include <sstream>

#include "tools/netgen/weblar.h"

namespace domica_mesh {

namespace {

int axis_of(const std::string& word) {
  if (word == "x") return 1;
  if (word == "y") return 2;
  if (word == "z") return 3;
  return 0;
}

}  // namespace

bool parse_group_name(const std::string& name, group_action& a) {
  std::string lower = name;
  std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  std::istringstream in(lower);
  std::vector<std::string> words;
  for (std::string w; in >> w;) words.push_back(w);
  a = group_action{};
  if (words.empty()) return false;
  if (words[0] == "fixed") {
    if (words.size() == 1) a.axes = {1, 2, 3};
    for (std::size_t i = 1; i < words.size(); ++i) {
      int axis = axis_of(words[i]);
      if (axis == 0 || std::count(a.axes.begin(), a.axes.end(), axis)) return false;
      a.axes.push_back(axis);
    }
    return true;
  }
  auto number = [&a](const std::string& v) {
    const char* first = v.data() + (v[0] == '+' ? 1 : 0);
    auto [end, ec] = std::from_chars(first, v.data() + v.size(), a.value);
    return ec == std::errc() && end == v.data() + v.size() && std::isfinite(a.value);
  };
  if (words[0] == "load" && words.size() == 3) {
    int axis = axis_of(words[1]);
    if (axis == 0 || !number(words[2])) return false;
    a.load = true;
    a.axes = {axis};
    return true;
  }
  if (words[0] == "height" && words.size() == 2) {
    if (!number(words[1])) return false;
    a.height = true;
    a.axes = {1, 2, 3};
    return true;
  }
  return false;
}

void apply_groups(const std::string& file, plan& p, int program) {
  std::map<std::size_t, int> number;
  for (std::size_t i = 0; i < p.node_tag.size(); ++i) number[p.node_tag[i]] = static_cast<int>(i);
  for (const plan_group& g : p.groups) {
    group_action a;
    if (!parse_group_name(g.name, a))
      throw netgen::tool_error{file + ": " + group_text(g) +
                                   ": unknown name; a point or curve group is named \"fixed\", \"fixed\" and axes "
                                   "(\"fixed z\", \"fixed x y\"), \"height VALUE\" (\"height 1.2\") or \"load AXIS VALUE\" (\"load z -5\")"};
    if (a.height && program == 2)
      throw netgen::tool_error{file + ": " + group_text(g) +
                               ": domica_2 keeps fixed coordinates at the plan (it reads no prescribed values): "
                               "a height group needs program=1 or program=3"};
    if (g.nodes.empty()) throw netgen::tool_error{file + ": " + group_text(g) + " has no mesh nodes"};
    for (std::size_t tag : g.nodes) {
      auto it = number.find(tag);
      if (it == number.end())
        throw netgen::tool_error{file + ": " + group_text(g) + ": node " + std::to_string(tag) +
                                 " lies on none of the net's triangles"};
      for (int axis : a.axes) {
        if (a.load) p.n.loads.push_back({it->second, axis, a.value});
        else p.n.fixed.push_back({it->second, axis, a.height && axis == 3 ? a.value : 0.0});
      }
    }
  }
}

}  // namespace domica_mesh
