"""The Python examples run on small nets."""
import os
import subprocess
import sys

import domica
from conftest import ROOT

EXAMPLES = ROOT / "examples" / "python"


def run(script, *args, cwd):
    # The scripts import the domica these tests import, wherever they run.
    env = {**os.environ, "PYTHONPATH": os.path.dirname(os.path.dirname(domica.__file__))}
    return subprocess.run([sys.executable, str(EXAMPLES / script), *args], cwd=cwd, env=env, capture_output=True, text=True, timeout=120,
                          check=True)


def test_parametric_plots_rise_and_compression(tmp_path):
    out = run("parametric.py", "--rings", "4", "--count", "3", "--out", str(tmp_path / "p.png"), cwd=tmp_path)
    assert (tmp_path / "p.png").read_bytes()[:8] == b"\x89PNG\r\n\x1a\n"
    assert out.stdout.count("pressure ") == 3


def test_sweep_over_support_heights_on_a_local_cluster(tmp_path):
    out = run("sweep.py", "--rings", "3", "--grid", "2", cwd=tmp_path)
    rows = [line.split() for line in out.stdout.splitlines()[1:5]]
    assert len(rows) == 4 and all(r[-1] == "True" for r in rows)
    assert float(rows[0][2]) < float(rows[3][2])  # a higher edge lifts the top
