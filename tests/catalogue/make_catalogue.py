#!/usr/bin/env python3
"""Writes the catalogue of broken (and accepted) inputs from the three base
files beside this script. Each case is one file under cases/; cases.txt lists
  name <TAB> program <TAB> file it stands in for <TAB> exit status <TAB> expected text of the error line
An empty expected text means the run must succeed."""
import os
import re

here = os.path.dirname(os.path.abspath(__file__))
base = {p: open(os.path.join(here, f"base_{p}.txt"), encoding="ascii").read() for p in (1, 2, 3)}
shell = open(os.path.join(here, "..", "golden", "shell.txt"), encoding="ascii").read()
cases = []
os.makedirs(os.path.join(here, "cases"), exist_ok=True)


def case(name, program, target, content, status, expect):
    if content is not None:
        with open(os.path.join(here, "cases", name), "wb") as f:
            f.write(content if isinstance(content, bytes) else content.encode("latin-1"))
    cases.append(f"{name}\t{program}\t{target}\t{status}\t{expect}")


def sub(text, old, new, count=1):
    assert old in text, old
    return text.replace(old, new, count)


def cut(text, marker):
    return text[: text.index(marker)]


b3 = base[3]
# The file itself.
case("missing", 3, "weblar.txt", None, 2, "weblar.txt: cannot open the file for reading")
case("empty", 3, "weblar.txt", "", 2, "weblar.txt:1: expected the line that opens the solver parameters")
case("only_comments", 3, "weblar.txt", "just a note\n\n  about a shell\n", 2,
     "weblar.txt:4: expected the line that opens the solver parameters")
case("binary_garbage", 3, "weblar.txt", bytes(range(256)) * 4, 2, "weblar.txt:")
case("garbage_after_marker", 3, "weblar.txt", b":\x00\xff\x01 garbage\n\x7f\x80\x81\n", 2,
     "weblar.txt:2: expected a real number (lstol), found \"\\x7F\\x80\\x81\"")
# Truncated at every section and inside records.
for name, marker, expect in [
    ("truncated_material", ": material", "weblar.txt:4: expected the line that opens the material and load data"),
    ("truncated_nodes", ": nodes", "weblar.txt:6: expected the line that opens the node list"),
    ("truncated_node_heading", "   node  x  y", "weblar.txt:7: the count 19 (nn, the number of nodes) is larger than the rest of the file can hold"),
    ("truncated_node_records", "11 3.06", "weblar.txt:19: expected an integer (node number), found the end of the file"),
    ("truncated_triangles", ": triangles", "weblar.txt:28: expected the line that opens the triangle list"),
    ("truncated_triangle_records", "12 3 11 4\n", "weblar.txt:29: the count 24 (ne, the number of triangles) is larger than the rest of the file can hold"),
    ("truncated_fixed", ": fixed", "weblar.txt:55: expected the line that opens the fixed coordinates"),
    ("truncated_fixed_records", "10 1 0\n", "weblar.txt:56: the count 36 (nk, the number of fixed coordinates) is larger than the rest of the file can hold"),
    ("truncated_loads", ": point loads", "weblar.txt:94: expected the line that opens the point loads"),
]:
    case(name, 3, "weblar.txt", cut(b3, marker), 2, expect)
case("truncated_mid_value", 3, "weblar.txt", cut(b3, "0.10000000000000001 1 -1"), 2,
     "weblar.txt:5: expected a real number (thickness), found the end of the file")
# Malformed and out-of-range numbers.
for name, new, expect in [
    ("comma_decimal", "1,5 0.29999999999999999", "weblar.txt:5: expected a real number (young), found \"1,5\""),
    ("two_points", "1.5.2 0.29999999999999999", "weblar.txt:5: expected a real number (young), found \"1.5.2\""),
    ("letters", "abc 0.29999999999999999", "weblar.txt:5: expected a real number (young), found \"abc\""),
    ("bare_exponent", "1e 0.29999999999999999", "weblar.txt:5: expected a real number (young), found \"1e\""),
    ("nan_value", "nan 0.29999999999999999", "weblar.txt:5: expected a real number (young), found \"nan\""),
    ("inf_value", "inf 0.29999999999999999", "weblar.txt:5: expected a real number (young), found \"inf\""),
    ("overflowing_real", "1e400 0.29999999999999999", "weblar.txt:5: real number out of range (young), found \"1e400\""),
    ("poisson_one", "1000 1 ", "weblar.txt:5: Poisson's ratio poisson must lie in -1 < poisson <= 0.5, found 1"),
    ("zero_young", "1000 0.29999999999999999", "weblar.txt:5: Young's modulus young must be greater than 0, found 0"),
]:
    old = new.split(" ")[0]
    text = sub(b3, "1000 0.29999999999999999", new if name not in ("poisson_one", "zero_young") else
               ("1000 1" if name == "poisson_one" else "0 0.29999999999999999"))
    case(name, 3, "weblar.txt", text, 2, expect)
case("real_for_integer", 3, "weblar.txt", sub(b3, "0.9 10 ", "0.9 10.5 "), 2,
     "weblar.txt:3: expected an integer (maxls), found \"10.5\"; is this a file for another program?")
case("integer_beyond_32_bits", 3, "weblar.txt", sub(b3, ": nodes\n19\n", ": nodes\n99999999999\n"), 2,
     "weblar.txt:7: integer out of the 32-bit range (nn, the number of nodes), found \"99999999999\"")
case("negative_count", 3, "weblar.txt", sub(b3, ": triangles\n24\n", ": triangles\n-24\n"), 2,
     "weblar.txt:29: expected a count of at least 0 (ne, the number of triangles), found -24")
case("absurd_count", 3, "weblar.txt", sub(b3, ": nodes\n19\n", ": nodes\n2000000000\n"), 2,
     "weblar.txt:7: the count 2000000000 (nn, the number of nodes) is larger than the rest of the file can hold")
# Numbers outside their ranges, records naming things twice, bad triangles.
case("node_out_of_range", 3, "weblar.txt", sub(b3, "\n19 ", "\n20 "), 2, "weblar.txt:27: node number 20 is outside 1..19")
case("element_out_of_range", 3, "weblar.txt", sub(b3, "\n24 ", "\n25 "), 2, "weblar.txt:54: element number 25 is outside 1..24")
case("corner_out_of_range", 3, "weblar.txt", sub(b3, "\n1 2 3 1\n", "\n1 2 30 1\n"), 2, "weblar.txt:31: node number 30 is outside 1..19")
case("axis_out_of_range", 3, "weblar.txt", sub(b3, "\n8 3 0\n", "\n8 4 0\n"), 2, "weblar.txt:60: axis 4 is outside 1..3 (x, y, z)")
case("load_node_out_of_range", 3, "weblar.txt", sub(b3, ": point loads\n0\n", ": point loads\n1\nnode axis load\n0 3 -1\n"), 2,
     "weblar.txt:97: node number 0 is outside 1..19")
case("node_named_twice", 3, "weblar.txt", sub(b3, "\n19 ", "\n18 "), 2,
     "weblar.txt:7: node 19 has no record in the node list (a node number is given twice)")
case("element_named_twice", 3, "weblar.txt", sub(b3, "\n24 ", "\n23 "), 2,
     "weblar.txt:29: element 24 has no record in the triangle list (an element number is given twice)")
case("repeated_corner", 3, "weblar.txt", sub(b3, "\n1 2 3 1\n", "\n1 2 3 3\n"), 2,
     "weblar.txt:31: element 1 names a node twice (nodes 2, 3, 3)")
case("collinear_corners", 3, "weblar.txt", sub(b3, "\n1 2 3 1\n", "\n1 2 1 8\n"), 2,
     "weblar.txt:31: element 1 has collinear plan corners, zero plan area (nodes 2, 1, 8)")
# A file for one program read by another.
case("domica_3_file_for_domica_1", 1, "weblar.txt", b3, 2,
     "weblar.txt:3: more values on this line than domica_1 reads here (found \"8\"); is this a file for another program?")
case("domica_3_file_for_domica_2", 2, "weblar.txt", b3, 2, "weblar.txt:3: expected an integer (maxmajor), found \"1e-06\"; is this a file for another program?")
case("domica_1_file_for_domica_3", 3, "weblar.txt", base[1], 2, "weblar.txt:3: expected an integer (maxlist), found \"lstol\"; is this a file for another program?")
case("domica_2_file_for_domica_3", 3, "weblar.txt", base[2], 2, "weblar.txt:3: expected an integer (maxminor), found \"mntol\"; is this a file for another program?")
case("domica_2_file_for_domica_1", 1, "weblar.txt", base[2], 2, "weblar.txt:3: expected an integer (maxminor), found \"mntol\"; is this a file for another program?")
# Records cut short where the count still fits the rest of the file.
case("truncated_inside_record", 3, "weblar.txt", sub(b3, ": point loads\n0\n", ": point loads\n3\nnode axis load\n1 3 -1\n2 3 -1\n3 3"), 2,
     "weblar.txt:99: expected a real number (load), found the end of the file")
case("domica_1_file_for_domica_2", 2, "weblar.txt", base[1], 2, "weblar.txt:3: expected an integer (maxmajor), found \"1e-06\"; is this a file for another program?")
# A parameter line with too few values for the program.
case("too_few_material_values", 3, "weblar.txt", sub(b3, " 1 -1   young", " 1   young"), 2,
     "weblar.txt:5: expected a real number (pressure), found \"young\"; is this a file for another program?")
# A heading line left out: its list's first record is taken for it.
case("missing_node_heading", 3, "weblar.txt", sub(b3, "   node  x  y\n", ""), 2,
     "weblar.txt:7: the heading line of the node list is missing after its count: line 8 holds values, so it was passed over as the heading")
case("missing_triangle_heading", 3, "weblar.txt", sub(b3, "   element  node1 node2 node3\n", ""), 2,
     "weblar.txt:29: the heading line of the triangle list is missing after its count: line 30 holds values, so it was passed over as the heading")
# A section title typed without its ':' is passed over as a comment.
case("title_without_colon", 3, "weblar.txt", sub(b3, ": nodes\n", "nodes\n"), 2,
     "; line 6 looks like a section title without its ':'")
# What real files have is accepted.
case("crlf_line_ends", 3, "weblar.txt", b3.replace("\n", "\r\n"), 0, "")
case("tabs_as_separators", 3, "weblar.txt", b3.replace(" ", "\t"), 0, "")
case("no_final_line_break", 3, "weblar.txt", b3.rstrip("\n"), 0, "")
case("domica_1_accepts_its_file", 1, "weblar.txt", base[1], 0, "")
case("domica_2_accepts_its_file", 2, "weblar.txt", base[2], 0, "")
# Counts of steps and iterations may be zero but not negative.
case("negative_maxls", 3, "weblar.txt", sub(b3, "0.9 10 ", "0.9 -1 "), 2, "weblar.txt:3: maxls must be at least 0, found -1")
case("negative_maxmajor", 3, "weblar.txt", sub(b3, " 500 2 8", " 500 -2 8"), 2, "weblar.txt:3: maxmajor must be at least 0, found -2")
case("negative_maxminor", 2, "weblar.txt", sub(base[2], "1e-06 500 2", "1e-06 -500 2"), 2,
     "weblar.txt:3: maxminor must be at least 0, found -500")
# Values that overflow the set-up.
case("young_overflows", 3, "weblar.txt", sub(b3, "1000 0.29999999999999999", "1e308 0.29999999999999999"), 2,
     "weblar.txt: Young's modulus young = 1e+308 with poisson = 0.29999999999999999 makes the plane-stress coefficients overflow")
case("self_weight_overflows", 1, "weblar.txt", sub(base[1], "0.10000000000000001 1 ", "1e10 1e300 "), 2,
     "weblar.txt: the load on node 1 is not finite: the self-weight maxweight = 1.0000000000000001e+300")
case("pressure_overflows", 2, "weblar.txt", sub(base[2], "0.10000000000000001 1 -1 ", "0.10000000000000001 1 -1e308 "), 2,
     "weblar.txt: the maxpressure -1e+308 times the plan area of element 1 overflows")
# Nets that cannot carry their load.
fixed_block = b3[b3.index(": fixed coordinates"):b3.index(": point loads")]
z_only = "".join(l + "\n" for l in fixed_block.split("\n") if not re.match(r"^\d+ [12] 0$", l))
case("no_supports", 3, "weblar.txt", sub(b3, fixed_block, ": fixed coordinates\n0\n"), 2,
     "weblar.txt: the net can slide along x: no x coordinate is fixed")
case("supports_only_in_z", 3, "weblar.txt", sub(b3, fixed_block, z_only.replace("36\n", "12\n")), 2,
     "weblar.txt: the net can slide along x: no x coordinate is fixed")
case("loaded_node_in_no_triangle", 3, "weblar.txt",
     sub(sub(sub(b3, ": nodes\n19\n", ": nodes\n20\n"), "19 4.3301270189221919 -2.5000000000000022\n",
             "19 4.3301270189221919 -2.5000000000000022\n20 9 9\n"), ": point loads\n0\n", ": point loads\n1\nnode axis load\n20 3 -1\n"),
     2, "weblar.txt: node 20 belongs to no triangle, yet carries a load along z on a free coordinate")
case("mixed_corner_order_under_pressure", 3, "weblar.txt", sub(b3, "\n5 6 7 1\n", "\n5 7 6 1\n"), 2,
     "weblar.txt: the corners of element 5 run clockwise seen from above, those of element 1 anticlockwise: the pressure would")
# What editors write is read: a byte-order mark, CR-only line ends.
case("byte_order_mark", 3, "weblar.txt", "\xef\xbb\xbf" + b3, 0, "")
case("cr_only_line_ends", 3, "weblar.txt", b3.replace("\n", "\r"), 0, "")
# shell.txt.
case("shell_missing", 3, "shell.txt", None, 2, "shell.txt: cannot open the file for reading")
case("shell_empty", 3, "shell.txt", "", 2, "shell.txt:1: expected the line that opens the shell data")
case("shell_truncated", 1, "shell.txt", cut(shell, "2.0e11"), 2, "shell.txt:7: expected a real number (steel ex), found the end of the file")
case("shell_no_steel", 2, "shell.txt", cut(shell, ": steel"), 2, "shell.txt:6: expected the line that opens the steel data")
case("shell_malformed", 3, "shell.txt", sub(shell, "2500", "2,500"), 2, "shell.txt:5: expected a real number (concrete dens), found \"2,500\"")
case("shell_garbage", 3, "shell.txt", bytes(range(255, -1, -1)) * 3, 2, "shell.txt:")
case("shell_crlf", 3, "shell.txt", shell.replace("\n", "\r\n"), 0, "")
case("shell_negative_young", 3, "shell.txt", sub(shell, "3.0e10", "-3.0e10"), 2,
     "shell.txt:5: Young's modulus of the concrete ex must be greater than 0, found -30000000000")
case("shell_poisson_too_large", 3, "shell.txt", sub(shell, "3.0e10 0.2", "3.0e10 0.7"), 2,
     "shell.txt:5: Poisson's ratio of the concrete nuxy must lie in -1 < nuxy <= 0.5, found 0.69999999999999996")
case("shell_negative_density", 1, "shell.txt", sub(shell, "2.0e11 7850", "2.0e11 -7850"), 2,
     "shell.txt:7: the density of the steel dens must not be negative, found -7850")
case("shell_ratio_above_one", 2, "shell.txt", sub(shell, " 0.01", " 1.5"), 2,
     "shell.txt:7: the reinforcement ratio vr must lie in 0..1, found 1.5")

with open(os.path.join(here, "cases.txt"), "w", encoding="ascii") as f:
    f.write("\n".join(cases) + "\n")
