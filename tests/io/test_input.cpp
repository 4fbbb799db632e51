// The problem-file reader: layout rules, the three programs' variants, and
// every kind of bad input answered with file, line and problem.
#include <gtest/gtest.h>

#include "model/failure.h"
#include "io/input.h"
#include "io/text.h"
#include "tests/testutil.h"

using namespace domica;

namespace {

problem read_text(const std::string& text, program p = program::domica_3) { return test::problem_from_text(text, p); }

std::string error_of(const std::string& text, program p = program::domica_3) {
  try {
    read_text(text, p);
  } catch (const failure& f) {
    EXPECT_EQ(f.status, exit_input);
    return f.what();
  }
  return "no error";
}

// "weblar.txt:LINE" of the error: the wording is the catalogue's to check.
std::string where_of(const std::string& text, program p = program::domica_3) {
  std::string what = error_of(text, p);
  return what.substr(0, what.find(':', what.find(':') + 1));
}

std::string replace(std::string s, const std::string& from, const std::string& to) {
  auto at = s.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  return s.replace(at, from.size(), to);
}

}  // namespace

TEST(Input, ReadsTheSquareForEachProgram) {
  problem m3 = read_text(test::square_weblar(program::domica_3));
  EXPECT_EQ(m3.search.lstol, 0.9);
  EXPECT_EQ(m3.search.maxls, 10);
  EXPECT_EQ(m3.st.mntol, 1e-6);
  EXPECT_EQ(m3.st.maxminor, 100);
  EXPECT_EQ(m3.st.maxmajor, 2);
  EXPECT_EQ(m3.search.maxlist, 5);
  EXPECT_EQ(m3.mat.young, 1000.0);
  EXPECT_EQ(m3.mat.poisson, 0.3);
  EXPECT_EQ(m3.mat.thickness, 0.1);
  EXPECT_EQ(m3.load.weight, 1.0);
  EXPECT_EQ(m3.load.pressure, -1.0);
  EXPECT_EQ(m3.nt.nn, 4);
  EXPECT_EQ(m3.nt.ne, 2);
  EXPECT_EQ(m3.nt.xo(3), 1.0);
  EXPECT_EQ(m3.nt.yo(4), 1.0);
  EXPECT_EQ(m3.nt.tri(2)(3), 4);
  EXPECT_EQ(m3.nt.fixed(1, 3), 1);
  EXPECT_EQ(m3.nt.fixed(3, 3), 0);
  EXPECT_EQ(m3.nt.point.size(), 12u);

  problem m1 = read_text(test::square_weblar(program::domica_1), program::domica_1);
  EXPECT_EQ(m1.st.maxminor, 100);
  EXPECT_EQ(m1.search.maxlist, 5);
  EXPECT_EQ(m1.load.weight, 1.0);
  EXPECT_EQ(m1.nt.point.size(), 12u);

  problem m2 = read_text(test::square_weblar(program::domica_2), program::domica_2);
  EXPECT_EQ(m2.st.mntol, 1e-6);
  EXPECT_EQ(m2.st.maxminor, 50);
  EXPECT_EQ(m2.st.maxmajor, 2);
  EXPECT_EQ(m2.load.weight, 1.0);
  EXPECT_EQ(m2.load.pressure, -1.0);
  EXPECT_EQ(m2.nt.known(1, 1), 0.0);  // domica_2 keeps fixed coordinates at the plan
  EXPECT_EQ(m2.nt.fixed(2, 1), 1);
}

TEST(Input, LayoutRules) {
  std::string text =
      "Comment lines and a title before each marker\n"
      " : a blank before the colon is not a marker\n"
      "\n"
      ":solver parameters, title after the colon\n"
      "0.5 3 1e-3\n"
      "   7 4 2   text after the sixth value is ignored\n"
      "note\n"
      ": material\n"
      "2e3 0 0.2 0 0 comment\n"
      ": nodes\n"
      "3 nodes follow\n"
      "\n"  // an empty heading line still counts as the heading
      "3 0 1 c\n"
      "2 1 0\n"
      "1 0 0\n"
      ": triangles\n"
      "1\n"
      "heading\n"
      "1 1 2 3 anything\n"
      ": fixed\n"
      "0 no heading follows\n"
      ": point loads\n"
      "3\n"
      "heading\n"
      "2 3 -5\n"
      "2 3 -7\n"
      "1 1 2.5e-1\n";
  problem m = read_text(text);
  EXPECT_EQ(m.search.lstol, 0.5);
  EXPECT_EQ(m.search.maxls, 3);
  EXPECT_EQ(m.st.mntol, 1e-3);
  EXPECT_EQ(m.st.maxminor, 7);
  EXPECT_EQ(m.st.maxmajor, 4);
  EXPECT_EQ(m.search.maxlist, 2);
  EXPECT_EQ(m.mat.young, 2000.0);
  // Descending node records fill the arrays as ascending ones would.
  EXPECT_EQ(m.nt.xo(1), 0.0);
  EXPECT_EQ(m.nt.yo(1), 0.0);
  EXPECT_EQ(m.nt.xo(2), 1.0);
  EXPECT_EQ(m.nt.yo(3), 1.0);
  // The later load on a coordinate replaces the earlier one.
  EXPECT_EQ(m.nt.point(2, 3), -7.0);
  EXPECT_EQ(m.nt.point(1, 1), 0.25);
  for (int glob = 1; glob <= 3; ++glob)
    for (int axis = 1; axis <= 3; ++axis) EXPECT_EQ(m.nt.fixed(glob, axis), 0);
}

TEST(Input, EmptyNetAndRealFileHabits) {
  // nn = 0 still consumes the heading line; CRLF line ends, tabs and a missing
  // final line break are what real files have.
  std::string text =
      "t\r\n:p\r\n0.9\t10\t1e-6 10 1 3\r\n:m\r\n1 0.3 0.1 0 0\r\n:n\r\n0\r\n:this heading is consumed, not a marker\r\n"
      ":e\r\n0\r\nheading\r\n:f\r\n0\r\n:l\r\n0";
  problem m = read_text(text);
  EXPECT_EQ(m.nt.nn, 0);
  EXPECT_EQ(m.nt.ne, 0);
  EXPECT_EQ(m.nt.fixed.size(), 0u);
}

TEST(Input, FixedCoordinatesPerProgram) {
  std::string base = test::square_weblar(program::domica_3);
  std::string text = replace(base, "6\n node axis value\n1 1 0\n1 2 0\n1 3 0\n2 1 0\n2 2 0\n2 3 0\n",
                             "3\n heading\n3 3 0.5\n4 3 0.25\n3 3 1.5\n");
  problem m = read_text(text);
  EXPECT_EQ(m.nt.known(3, 3), 1.5);  // listed twice: the later value, still fixed once
  EXPECT_EQ(m.nt.known(4, 3), 0.25);
  EXPECT_EQ(m.nt.fixed(3, 3), 1);
  EXPECT_EQ(m.nt.fixed(4, 3), 1);
  EXPECT_EQ(m.nt.fixed(1, 3), 0);

  // domica_2 reads node and axis only and discards the rest of the record.
  std::string two = replace(test::square_weblar(program::domica_2), "1 1 0\n1 2 0\n", "1 1\n1 2 whatever\n");
  problem m2 = read_text(two, program::domica_2);
  EXPECT_EQ(m2.nt.fixed(1, 1), 1);
  EXPECT_EQ(m2.nt.fixed(1, 2), 1);
  EXPECT_EQ(m2.nt.fixed(3, 1), 0);
}

TEST(Input, BadValuesNameFileLineAndProblem) {
  std::string base = test::square_weblar(program::domica_3);
  // The material line is line 5.
  EXPECT_EQ(error_of(replace(base, "1000 0.3", "1,5 0.3")), "weblar.txt:5: expected a real number (young), found \"1,5\"");
  EXPECT_EQ(where_of(replace(base, "1000 0.3", "1.5.2 0.3")), "weblar.txt:5");
  EXPECT_EQ(where_of(replace(base, "1000 0.3", "abc 0.3")), "weblar.txt:5");
  EXPECT_EQ(where_of(replace(base, "1000 0.3", "1e 0.3")), "weblar.txt:5");
  EXPECT_EQ(where_of(replace(base, "1000 0.3", "nan 0.3")), "weblar.txt:5");
  EXPECT_EQ(where_of(replace(base, "1000 0.3", "inf 0.3")), "weblar.txt:5");
  EXPECT_EQ(where_of(replace(base, "1000 0.3", "1e999 0.3")), "weblar.txt:5");
  // A real where an integer is due (values shifted by a file for another
  // program look like this), and an integer beyond 32 bits.
  EXPECT_EQ(error_of(replace(base, "0.9 10", "0.9 10.0")),
            "weblar.txt:3: expected an integer (maxls), found \"10.0\"; is this a file for another program?");
  EXPECT_EQ(where_of(replace(base, "0.9 10", "0.9 4294967296")), "weblar.txt:3");
  // Counts.
  EXPECT_EQ(error_of(replace(base, ": nodes\n4\n", ": nodes\n-4\n")),
            "weblar.txt:7: expected a count of at least 0 (nn, the number of nodes), found -4");
  EXPECT_NE(error_of(replace(base, ": nodes\n4\n", ": nodes\n2000000000\n")).find("weblar.txt:7: the count 2000000000"),
            std::string::npos);
  // Numbers outside their ranges.
  EXPECT_EQ(error_of(replace(base, "3 1 1\n", "5 1 1\n")), "weblar.txt:11: node number 5 is outside 1..4");
  EXPECT_EQ(where_of(replace(base, "2 1 3 4\n", "3 1 3 4\n")), "weblar.txt:17");
  EXPECT_EQ(where_of(replace(base, "2 1 3 4\n", "2 1 3 9\n")), "weblar.txt:17");
  EXPECT_EQ(where_of(replace(base, "1 3 0\n2 1 0", "1 4 0\n2 1 0")), "weblar.txt:23");
  EXPECT_EQ(where_of(replace(base, "1 3 0\n2 1 0", "0 3 0\n2 1 0")), "weblar.txt:23");
}

TEST(Input, MissingRecordsAndShortFiles) {
  std::string base = test::square_weblar(program::domica_3);
  // A node or element that no record names is reported, not left undefined.
  EXPECT_EQ(error_of(replace(base, "3 1 1\n", "2 1 1\n")),
            "weblar.txt:7: node 3 has no record in the node list (a node number is given twice)");
  EXPECT_EQ(where_of(replace(base, "2 1 3 4\n", "1 1 3 4\n")), "weblar.txt:14");
  // Triangles with a repeated corner or collinear plan corners.
  EXPECT_EQ(error_of(replace(base, "2 1 3 4\n", "2 1 3 3\n")), "weblar.txt:17: element 2 names a node twice (nodes 1, 3, 3)");
  std::string line = replace(base, "4 0 1\n", "4 2 2\n");
  EXPECT_EQ(where_of(line), "weblar.txt:17");
  // The file ends before a marker, a value or a heading.
  EXPECT_EQ(error_of(base.substr(0, base.find(": point loads"))),
            "weblar.txt:27: expected the line that opens the point loads (a line beginning with ':'), found the end of the file");
  EXPECT_EQ(where_of(base.substr(0, base.find("0.1 1 -1"))), "weblar.txt:5");
  EXPECT_EQ(error_of(base.substr(0, base.find(": nodes")) + ": nodes\n0\n"),
            "weblar.txt:8: expected the heading line of the node list, found the end of the file");
  EXPECT_NE(error_of(base.substr(0, base.find(" node x y"))).find("weblar.txt:7: the count 4 (nn, the number of nodes) is larger"),
            std::string::npos);
  EXPECT_EQ(where_of("only comments\nno markers at all\n"), "weblar.txt:3");
}

TEST(Input, MaterialOutsideItsPhysicalRange) {
  std::string base = test::square_weblar(program::domica_3);
  EXPECT_EQ(where_of(replace(base, "1000 0.3", "0 0.3")), "weblar.txt:5");
  EXPECT_EQ(where_of(replace(base, "1000 0.3", "1000 1")), "weblar.txt:5");
  EXPECT_EQ(where_of(replace(base, "1000 0.3", "1000 -1")), "weblar.txt:5");
  EXPECT_EQ(error_of(replace(base, "0.3 0.1", "0.3 -0.1")), "weblar.txt:5: the thickness must be greater than 0, found -0.10000000000000001");
  EXPECT_EQ(error_of(replace(base, "0.9 10 1e-6", "0.9 10 -1e-6")),
            "weblar.txt:3: the tolerance mntol must not be negative, found -9.9999999999999995e-07");
  EXPECT_NO_THROW(read_text(replace(base, "1000 0.3", "1000 0.5")));
}

TEST(Input, AFileForAnotherProgramIsRejected) {
  // A domica_3 file read by domica_1: the sixth solver value stands where the
  // material marker is expected, so the material values shift.
  std::string err = error_of(test::square_weblar(program::domica_3), program::domica_1);
  EXPECT_NE(err, "no error");
  EXPECT_EQ(err.rfind("weblar.txt:", 0), 0u) << err;
  // A domica_2 file read by domica_3: its three parameters cannot fill six values.
  err = error_of(test::square_weblar(program::domica_2), program::domica_3);
  EXPECT_EQ(err.rfind("weblar.txt:", 0), 0u) << err;
}

TEST(Input, MissingFile) {
  try {
    input(program::domica_3, test::temp_dir("missing") + "/weblar.txt", "weblar.txt");
    FAIL();
  } catch (const failure& f) {
    EXPECT_EQ(f.status, exit_input);
    EXPECT_EQ(std::string(f.what()), "weblar.txt: cannot open the file for reading: No such file or directory");
  }
}

TEST(Input, QuotedInputIsPrintable) {
  EXPECT_EQ(quoted(std::string("a\0b\x7f", 4)), "\"a\\x00b\\x7F\"");
  EXPECT_EQ(quoted(std::string(60, 'x')), "\"" + std::string(40, 'x') + "...\"");
}
