// Final geometry and the two result files, compared byte for byte with text
// written by hand from the file rules; and files written whole or not at all.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cmath>
#include <filesystem>

#include "io/ansys.h"
#include "io/autocad.h"
#include "model/failure.h"
#include "model/number.h"
#include "model/surface.h"
#include "io/outfile.h"
#include "app/signals.h"
#include "solve/lines.h"
#include "tests/testutil.h"

using namespace domica;

namespace {

// A net with its numbering and displacements (all zero at first).
struct shape {
  net nt;
  numbering d;
  fmat1 x;
};

// Nodes at the given plan points, triangles as given; `fixed` lists (glob, axis).
shape make_net(std::vector<std::pair<double, double>> nodes, std::vector<std::array<int, 3>> tris,
               std::vector<std::pair<int, int>> fixed) {
  shape m;
  m.nt.nn = static_cast<int>(nodes.size());
  m.nt.ne = static_cast<int>(tris.size());
  m.nt.xo = fmat1(m.nt.nn);
  m.nt.yo = fmat1(m.nt.nn);
  for (int i = 1; i <= m.nt.nn; ++i) {
    m.nt.xo(i) = nodes[i - 1].first;
    m.nt.yo(i) = nodes[i - 1].second;
  }
  m.nt.tri = arr1<fixed1<std::int32_t, 3>>(m.nt.ne);
  for (int e = 1; e <= m.nt.ne; ++e)
    for (int loc = 1; loc <= 3; ++loc) m.nt.tri(e)(loc) = tris[e - 1][loc - 1];
  m.nt.fixed = imat2(m.nt.nn, 3);
  m.nt.known = fmat2(m.nt.nn, 3);
  m.nt.point = fmat2(m.nt.nn, 3);
  for (auto [glob, axis] : fixed) m.nt.fixed(glob, axis) = 1;
  m.d = number(m.nt);
  m.x = fmat1(m.d.n);
  return m;
}

shell_rec shell() {
  std::string dir = test::temp_dir("shell");
  test::write(dir + "/shell.txt", test::shell_text);
  return read_shell(dir + "/shell.txt", "shell.txt");
}

const char* const ansys_head =
    "/TITLE, SOLID65\n"
    "\n"
    "! ENTER THE MODEL CREATION PREPROCESSOR\n"
    "/PREP7\n"
    "\n"
    "! DEFINE NODES\n";

const char* const ansys_materials =
    "\n"
    "! DEFINE MATERIAL PROPERTY - CONCRETE\n"
    "MP,   EX,     1,  3.00000000E+10\n"
    "MP, NUXY,     1,  2.00000000E-01\n"
    "MP, DENS,     1,  2.50000000E+03\n"
    "MP, ALPX,     1,  1.00000000E-05\n"
    "MP, REFT,     1,  0.00000000E+00\n"
    "\n"
    "! ACTIVATE A DATA TABLE\n"
    "TB, CONCR,     1,    1\n"
    "\n"
    "! DEFINE A TEMPERATURE FOR THE DATA TABLE\n"
    "TBTEMP,  0.00000000E+00,    1\n"
    "\n"
    "! DEFINE DATA FOR THE DATA TABLE\n"
    "TBDATA,    1,  3.00000000E-01,  9.00000000E-01,  3.00000000E+06, -1.00000000E+00\n"
    "\n"
    "! DEFINE MATERIAL PROPERTY - STEEL\n"
    "MP,   EX,     2,  2.00000000E+11\n"
    "MP, DENS,     2,  7.85000000E+03\n"
    "MP, ALPX,     2,  1.20000000E-05\n"
    "MP, REFT,     2,  0.00000000E+00\n"
    "\n"
    "! DEFINE REAL CONSTANTS SET\n";

const char* const ansys_types =
    "\n"
    "! DEFINE ELEMENT TYPE\n"
    "ET,    1, SOLID65\n"
    "\n"
    "! SET THE MATERIAL PROPERTY ATTRIBUTE POINTER\n"
    "MAT,     1\n"
    "\n"
    "! SET THE ELEMENT TYPE ATTRIBUTE POINTER\n"
    "TYPE,    1\n"
    "\n"
    "! DEFINE ELEMENTS\n";

const char* const ansys_solution =
    "\n"
    "FINISH\n"
    "\n"
    "! ENTER THE SOLUTION PROCESSOR\n"
    "/SOLU\n"
    "\n"
    "! STATIC ANALYSIS\n"
    "ANTYPE, STATIC, NEW\n"
    "\n"
    "! DEFINE CONSTRAINTS\n";

std::string ansys_tail(const std::string& selection) {
  return "\n"
         "! DELETE FORCE LOADS ON NODES\n"
         "FDELE, ALL, ALL\n"
         "\n"
         "! ASSIGN UNIFORM TEMPERATURE TO ALL NODES\n"
         "TUNIF,  2.00000000E+01\n"
         "\n"
         "! SPECIFY ACCELERATION\n"
         "ACEL,  0.00000000E+00,  0.00000000E+00, -9.81000000E+00\n"
         "\n"
         "! SPECIFY PRESSURE LOAD\n" +
         selection +
         "SF, ALL, PRES, -5.00000000E+02\n"
         "NSEL, ALL, NODE\n"
         "\n"
         "! START A SOLUTION\n"
         "SOLVE\n"
         "\n"
         "FINISH\n";
}

}  // namespace

TEST(Writers, OneTriangleFilesByteForByte) {
  shape m = make_net({{0, 0}, {1, 0}, {0, 1}}, {{1, 2, 3}}, {{1, 1}, {1, 2}, {1, 3}, {2, 1}, {2, 2}, {2, 3}, {3, 1}, {3, 2}, {3, 3}});
  EXPECT_EQ(m.d.n, 0);
  surface ms = make_surface(m.nt, m.d, m.x);
  EXPECT_EQ(autocad_text(m.nt, ms),
            "osmode 0\n"
            "pface\n"
            "0.00000000E+00,0.00000000E+00,0.00000000E+00\n"
            "1.00000000E+00,0.00000000E+00,0.00000000E+00\n"
            "0.00000000E+00,1.00000000E+00,0.00000000E+00\n"
            "\n"
            "1 2 3\n"
            "\n"
            "\n"
            "zoom ext ext\n");
  std::string expect = std::string(ansys_head) +
                       "N,     1,  0.00000000E+00,  0.00000000E+00, -1.00000000E-01\n"
                       "N,     2,  1.00000000E+00,  0.00000000E+00, -1.00000000E-01\n"
                       "N,     3,  0.00000000E+00,  1.00000000E+00, -1.00000000E-01\n"
                       "N,     4,  0.00000000E+00,  0.00000000E+00,  1.00000000E-01\n"
                       "N,     5,  1.00000000E+00,  0.00000000E+00,  1.00000000E-01\n"
                       "N,     6,  0.00000000E+00,  1.00000000E+00,  1.00000000E-01\n" +
                       ansys_materials +
                       "R,     1,     2,  1.00000000E-02,  0.00000000E+00,  0.00000000E+00\n"
                       "RMODIF,     1,    5,     2,  1.00000000E-02,  9.00000000E+01,  0.00000000E+00\n" +
                       ansys_types +
                       "REAL,     1\n"
                       "EN,     1,     1,     2,     3,     3,     4,     5,     6,     6\n" +
                       ansys_solution;
  for (int glob = 1; glob <= 3; ++glob)
    for (const char* dof : {"UX", "UY", "UZ"})
      expect += "D,     " + std::to_string(glob) + ", " + dof + ",  0.00000000E+00\nD,     " + std::to_string(glob + 3) + ", " +
                dof + ",  0.00000000E+00\n";
  expect += ansys_tail("NSEL, S, NODE, ,     4,     6\n");
  EXPECT_EQ(ansys_text(m.nt, ms, shell()), expect);
}

TEST(Writers, TwoTrianglesNegativeCoordinateAndZOnlySupport) {
  // Node 1 at x = -1; node 4 fixed in z only; the other coordinates free at x = 0.
  shape m = make_net({{-1, 0}, {1, 0}, {1, 1}, {-1, 1}}, {{1, 2, 3}, {1, 3, 4}}, {{4, 3}});
  EXPECT_EQ(m.d.n, 11);
  surface ms = make_surface(m.nt, m.d, m.x);
  EXPECT_EQ(autocad_text(m.nt, ms),
            "osmode 0\n"
            "pface\n"
            "-1.00000000E+00,0.00000000E+00,0.00000000E+00\n"
            "1.00000000E+00,0.00000000E+00,0.00000000E+00\n"
            "1.00000000E+00,1.00000000E+00,0.00000000E+00\n"
            "-1.00000000E+00,1.00000000E+00,0.00000000E+00\n"
            "\n"
            "1 2 3\n"
            "\n"
            "1 3 4\n"
            "\n"
            "\n"
            "zoom ext ext\n");
  std::string expect = std::string(ansys_head) +
                       "N,     1, -1.00000000E+00,  0.00000000E+00, -1.00000000E-01\n"
                       "N,     2,  1.00000000E+00,  0.00000000E+00, -1.00000000E-01\n"
                       "N,     3,  1.00000000E+00,  1.00000000E+00, -1.00000000E-01\n"
                       "N,     4, -1.00000000E+00,  1.00000000E+00, -1.00000000E-01\n"
                       "N,     5, -1.00000000E+00,  0.00000000E+00,  1.00000000E-01\n"
                       "N,     6,  1.00000000E+00,  0.00000000E+00,  1.00000000E-01\n"
                       "N,     7,  1.00000000E+00,  1.00000000E+00,  1.00000000E-01\n"
                       "N,     8, -1.00000000E+00,  1.00000000E+00,  1.00000000E-01\n" +
                       ansys_materials +
                       "R,     1,     2,  1.00000000E-02,  0.00000000E+00,  0.00000000E+00\n"
                       "RMODIF,     1,    5,     2,  1.00000000E-02,  9.00000000E+01,  0.00000000E+00\n"
                       "R,     2,     2,  1.00000000E-02,  0.00000000E+00,  0.00000000E+00\n"
                       "RMODIF,     2,    5,     2,  1.00000000E-02,  9.00000000E+01,  0.00000000E+00\n" +
                       ansys_types +
                       "REAL,     1\n"
                       "EN,     1,     1,     2,     3,     3,     5,     6,     7,     7\n"
                       "REAL,     2\n"
                       "EN,     2,     1,     3,     4,     4,     5,     7,     8,     8\n" +
                       ansys_solution +
                       "D,     4, UZ,  0.00000000E+00\n"
                       "D,     8, UZ,  0.00000000E+00\n" +
                       ansys_tail("NSEL, S, NODE, ,     5,     8\n");
  EXPECT_EQ(ansys_text(m.nt, ms, shell()), expect);
}

TEST(Geometry, FramesOfAHorizontalTriangleForBothCornerOrders) {
  shape a = make_net({{0, 0}, {1, 0}, {0, 1}}, {{1, 2, 3}}, {});
  surface as = make_surface(a.nt, a.d, a.x);
  EXPECT_EQ(as.tri(1).u(1), 1.0);
  EXPECT_EQ(as.tri(1).v(2), 1.0);
  EXPECT_EQ(as.tri(1).w(3), 1.0);
  for (int glob = 1; glob <= 3; ++glob) EXPECT_EQ(as.outward(glob, 3), 1.0);
  shape b = make_net({{0, 0}, {1, 0}, {0, 1}}, {{1, 3, 2}}, {});
  surface bs = make_surface(b.nt, b.d, b.x);
  EXPECT_EQ(bs.tri(1).w(3), -1.0);
  EXPECT_EQ(bs.tri(1).u(1), -1.0);
  EXPECT_EQ(bs.tri(1).u(3), 0.0);
  EXPECT_EQ(bs.tri(1).v(2), 1.0);
  EXPECT_EQ(bs.outward(2, 3), -1.0);  // a node of one triangle takes its normal
  // Angles of the reinforcement directions of the anticlockwise triangle.
  EXPECT_EQ(theta_of(as.tri(1).u), 0.0);
  EXPECT_EQ(phi_of(as.tri(1).u), 0.0);
  EXPECT_NEAR(theta_of(as.tri(1).v), 90.0, 1e-12);
  EXPECT_EQ(phi_of(as.tri(1).v), 0.0);
}

TEST(Geometry, PositionsOfFixedAndFreeNodes) {
  shape m = make_net({{2, 3}, {4, 5}}, {}, {{1, 1}, {1, 2}, {1, 3}});
  m.nt.known(1, 1) = 0.5;
  m.nt.known(1, 2) = -0.5;
  m.nt.known(1, 3) = 7.0;
  m.x(1) = 0.25;
  m.x(2) = 0.125;
  m.x(3) = -1.0;
  fvec3x1 p;
  vertex(m.nt, m.d, m.x, 1, p);
  EXPECT_EQ(p(1), 2.5);
  EXPECT_EQ(p(2), 2.5);
  EXPECT_EQ(p(3), 7.0);
  vertex(m.nt, m.d, m.x, 2, p);
  EXPECT_EQ(p(1), 4.25);
  EXPECT_EQ(p(2), 5.125);
  EXPECT_EQ(p(3), -1.0);
  // With zero prescribed displacements (domica_2) fixed coordinates stay at the plan.
  m.nt.known.fill(0.0);
  vertex(m.nt, m.d, m.x, 1, p);
  EXPECT_EQ(p(1), 2.0);
  EXPECT_EQ(p(3), 0.0);
}

TEST(Geometry, DefinedValuesWhereTheRulesHaveNoDirection) {
  // Triangle 1 stands upright in the x-z plane (normal along y); triangle 2 is
  // folded flat onto a line; node 7 is in no triangle.
  shape m = make_net({{0, 0}, {1, 0}, {0, 1}, {5, 0}, {6, 0}, {5, 1}, {9, 9}}, {{1, 2, 3}, {4, 5, 6}}, {});
  // Lift node 3 to (0, 0, 1): triangle 1 becomes (0,0,0), (1,0,0), (0,0,1).
  m.x(m.d.index(3, 2)) = -1.0;
  m.x(m.d.index(3, 3)) = 1.0;
  // Move node 6 onto the line of nodes 4 and 5.
  m.x(m.d.index(6, 2)) = -1.0;
  surface ms = make_surface(m.nt, m.d, m.x);
  const frame& up = ms.tri(1);
  EXPECT_EQ(up.w(2), -1.0);
  EXPECT_EQ(up.u(1), 1.0);  // global x as the first axis
  EXPECT_EQ(up.u(2), 0.0);
  EXPECT_EQ(up.v(3), 1.0);
  const frame& flat = ms.tri(2);
  EXPECT_EQ(flat.w(3), 1.0);
  EXPECT_EQ(flat.u(1), 1.0);
  EXPECT_EQ(ms.outward(7, 3), 1.0);
  // The angle functions never give NaN: an axis straight up, and a vertical
  // component rounded just beyond 1.
  fvec3x1 vertical{{0.0, 0.0, 1.0}}, beyond{{0.0, 0.0, 1.0000000000000002}};
  EXPECT_EQ(theta_of(vertical), 0.0);
  EXPECT_NEAR(phi_of(beyond), 90.0, 1e-12);
  std::string text = ansys_text(m.nt, ms, shell());
  EXPECT_EQ(text.find("nan"), std::string::npos);
  EXPECT_EQ(text.find("NAN"), std::string::npos);
  // A non-finite shape is a failed solution, not a file.
  m.x(1) = NAN;
  EXPECT_THROW(make_surface(m.nt, m.d, m.x), failure);
}

TEST(Geometry, FramesWhereSquaredLengthsUnderflow) {
  // A thin triangle, 1 by 1e-100, and a net scaled to 1e-50: the squares of
  // the in-plane axis underflow, so that axis comes from scaled vectors; the
  // ordinary triangle 3 keeps the frame of the rules.
  shape m = make_net({{0, 0}, {1, 0}, {0, 1e-100}, {0, 0}, {1e-50, 0}, {0, 1e-50}, {5, 0}, {6, 0}, {5, 1}},
                     {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}}, {});
  surface ms = make_surface(m.nt, m.d, m.x);
  for (int e = 1; e <= 3; ++e) {
    SCOPED_TRACE(e);
    const frame& f = ms.tri(e);
    EXPECT_EQ(f.u(1), 1.0);
    EXPECT_EQ(f.v(2), 1.0);
    EXPECT_EQ(f.w(3), 1.0);
  }
  std::string text = ansys_text(m.nt, ms, shell());
  EXPECT_EQ(text.find("NAN"), std::string::npos);
  EXPECT_EQ(text.find("nan"), std::string::npos);
  // A node moved by half the thickness beyond the range of double: no text.
  ms.pos(9, 3) = 1.7e308;
  shell_rec thick = shell();
  thick.thick = 1e308;
  try {
    ansys_text(m.nt, ms, thick);
    ADD_FAILURE() << "an infinite node was written";
  } catch (const failure& f) {
    EXPECT_EQ(f.status, exit_solution);
    EXPECT_EQ(std::string(f.what()).rfind("ansys.txt: node 18 of the solid model", 0), 0u) << f.what();
  }
}

TEST(Writers, ShellFileErrorsNameFileAndLine) {
  std::string dir = test::temp_dir("shellerr");
  auto error = [&](const std::string& text) -> std::string {
    test::write(dir + "/shell.txt", text);
    try {
      read_shell(dir + "/shell.txt", "shell.txt");
    } catch (const failure& f) {
      EXPECT_EQ(f.status, exit_input);
      return f.what();
    }
    return "no error";
  };
  std::string good = test::shell_text;
  EXPECT_EQ(error(good), "no error");
  EXPECT_EQ(error(good.substr(0, good.find("2e11"))), "shell.txt:7: expected a real number (steel ex), found the end of the file");
  std::string bad = good;
  bad.replace(bad.find("2500"), 4, "2,500");
  EXPECT_EQ(error(bad), "shell.txt:5: expected a real number (concrete dens), found \"2,500\"");
  EXPECT_EQ(error("no sections\n"),
            "shell.txt:2: expected the line that opens the shell data (a line beginning with ':'), found the end of the file");
  // Values of one section may run over several lines; comment lines before a
  // section are skipped and a blank before ':' is not a section line.
  shell_rec s;
  test::write(dir + "/shell.txt", "c\n :x\n:a\n0.2\n-9.81 -500\n20 rest\nc\n:b\n3e10 0.2 2500 1e-5 -1 3e6 0.3 0.9\n:s\n2e11 7850 1.2e-5 0.01");
  s = read_shell(dir + "/shell.txt", "shell.txt");
  EXPECT_EQ(s.temp, 20.0);
  EXPECT_EQ(s.steel.vr, 0.01);
  EXPECT_EQ(s.concrete.mat, 1);
  EXPECT_EQ(s.steel.mat, 2);
}

TEST(Writers, AFailedWriteLeavesNoPartialFile) {
  namespace fs = std::filesystem;
  std::string dir = test::temp_dir("atomic");
  std::string path = dir + "/ansys.txt";
  write_file(path, "ansys.txt", "complete earlier file\n");
  // Limit the file size so that the write fails half-way, as on a full disk.
  struct rlimit old;
  getrlimit(RLIMIT_FSIZE, &old);
  auto previous = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = old;
  small.rlim_cur = 4096;
  setrlimit(RLIMIT_FSIZE, &small);
  bool failed = false;
  try {
    write_file(path, "ansys.txt", std::string(100000, 'x'));
  } catch (const failure& f) {
    failed = true;
    EXPECT_EQ(f.status, exit_output);
    EXPECT_EQ(std::string(f.what()).rfind("ansys.txt: cannot write the file: ", 0), 0u) << f.what();
  }
  setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, previous);
  EXPECT_TRUE(failed);
  EXPECT_EQ(test::read(path), "complete earlier file\n");
  int files = 0;
  for (const auto& entry : fs::directory_iterator(dir)) files += entry.is_regular_file();
  EXPECT_EQ(files, 1);  // no temporary file left behind
  // A folder that does not exist: nothing is created.
  EXPECT_THROW(write_file(dir + "/missing/autocad.scr", "autocad.scr", "x"), failure);
  // A set fails as a whole: the second target is a directory, so the first
  // file keeps its earlier text too.
  write_file(dir + "/autocad.scr", "autocad.scr", "earlier\n");
  fs::create_directory(dir + "/shell.vtu");
  EXPECT_THROW(write_set({{dir + "/autocad.scr", "autocad.scr", "new\n"}, {dir + "/shell.vtu", "shell.vtu", "new\n"}}), failure);
  EXPECT_EQ(test::read(dir + "/autocad.scr"), "earlier\n");
  write_set({{dir + "/autocad.scr", "autocad.scr", "new\n"}, {dir + "/ansys.txt", "ansys.txt", "new\n"}});
  EXPECT_EQ(test::read(dir + "/autocad.scr") + test::read(dir + "/ansys.txt"), "new\nnew\n");
  files = 0;
  for (const auto& entry : fs::directory_iterator(dir)) files += entry.is_regular_file();
  EXPECT_EQ(files, 2);
}

TEST(Writers, ASignalWhileWritingLeavesNoTemporaryFile) {
  namespace fs = std::filesystem;
  std::string dir = test::temp_dir("signal");
  write_file(dir + "/ansys.txt", "ansys.txt", "earlier\n");
  std::string big(64 << 20, 'x');
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    guard_outputs();
    try {
      for (;;) write_set({{dir + "/autocad.scr", "autocad.scr", big}, {dir + "/ansys.txt", "ansys.txt", big}});
    } catch (...) {
    }
    _exit(0);
  }
  usleep(200000);
  kill(child, SIGTERM);
  int raw = 0;
  waitpid(child, &raw, 0);
  EXPECT_TRUE(WIFSIGNALED(raw) && WTERMSIG(raw) == SIGTERM);
  // The files are a whole earlier set or a whole new one, never a temporary.
  std::string ansys = test::read(dir + "/ansys.txt");
  EXPECT_TRUE(ansys == "earlier\n" || ansys == big);
  for (const auto& entry : fs::directory_iterator(dir)) {
    std::string name = entry.path().filename().string();
    EXPECT_TRUE(name == "ansys.txt" || name == "autocad.scr") << name;
  }
}

TEST(Console, FieldsRoundingAndWideNumbers) {
  EXPECT_EQ(major_line(1, 37), "Major =     1   Minor =    37\n");
  EXPECT_EQ(major_line(123456, 7654321), "Major = 123456   Minor = 7654321\n");  // wider than the field: in full
  EXPECT_EQ(not_attained_line(3), "Convergence was not attained at major =     3\n");
  EXPECT_EQ(elapsed_line(2.5), "Elapsed time =           3 seconds\n");
  EXPECT_EQ(elapsed_line(2.4), "Elapsed time =           2 seconds\n");
  EXPECT_EQ(elapsed_line(1.5), "Elapsed time =           2 seconds\n");
  EXPECT_EQ(elapsed_line(0.49), "Elapsed time =           0 seconds\n");
  EXPECT_EQ(elapsed_line(123456789012.0), "Elapsed time = 123456789012 seconds\n");
}
