"""The module gives what the console programs give, on every golden case."""
import pickle

import numpy as np
import pytest

import domica
from conftest import GOLDEN, golden_cases


@pytest.mark.parametrize("case,folder,program", golden_cases(), ids=[c[0] for c in golden_cases()])
def test_read_and_arrays_give_the_console_files(case, folder, program, case_folder, tmp_path):
    work = case_folder(folder)
    p = domica.read_problem(work, program)
    r = domica.solve(p)
    r.write(work)
    expected = GOLDEN / "expected" / case
    for name in ("autocad.scr", "ansys.txt"):
        assert (work / name).read_bytes() == (expected / name).read_bytes(), name
    # The console's standard output, less its elapsed-time line, arrives as "line" events.
    stdout = (expected / "stdout.txt").read_text().split("\nElapsed time")[0]
    # The same problem from its arrays solves to the same bits.
    q = domica.Problem(p.program, p.nodes, p.triangles, p.fixed, p.loads, p.material, p.solver, p.shell)
    events = []
    s = domica.solve(q, progress=events.append)
    assert np.array_equal(s.positions, r.positions)
    assert "".join(e["text"] for e in events if e["kind"] == "line") == stdout
    assert s.status == r.status == (0 if r.converged else 1)
    # The displacements are those from the plan.
    plan = np.column_stack([p.nodes, np.zeros(p.nn)])
    assert np.allclose(r.positions - plan, r.displacements, rtol=0, atol=1e-12 * max(1.0, np.abs(plan).max()))


def test_write_adds_the_files_of_the_options_and_pickled_results_write_the_same(tmp_path):
    p = domica.read_problem(GOLDEN / "nets" / "domica_2-rect-load-pressure", "domica_2")
    r = domica.solve(p)
    a, b = tmp_path / "a", tmp_path / "b"
    a.mkdir()
    b.mkdir()
    written = r.write(a, vtu=True, ccx=True)
    assert sorted(pathlib_names(written)) == ["ansys.txt", "autocad.scr", "shell.inp", "shell.vtu"]
    back = pickle.loads(pickle.dumps(r))
    back.write(b, vtu=True, ccx=True)
    for name in pathlib_names(written):
        assert (a / name).read_bytes() == (b / name).read_bytes(), name
    assert back.summary == {**r.summary, "seconds": r.seconds}
    assert np.array_equal(back.forces["n2_node"], r.forces["n2_node"])
    q = pickle.loads(pickle.dumps(p))
    assert (q.program, q.material, q.solver, q.shell) == (p.program, p.material, p.solver, p.shell)
    for k in ("nodes", "triangles", "fixed", "loads"):
        assert np.array_equal(getattr(q, k), getattr(p, k)), k


def pathlib_names(paths):
    import os
    return [os.path.basename(x) for x in paths]
