import pathlib
import shutil

import pytest

ROOT = pathlib.Path(__file__).resolve().parents[2]
GOLDEN = ROOT / "tests" / "golden"


def golden_cases():
    """(case, folder with weblar.txt, program) of every golden output, as make_golden.sh records them."""
    cases = []
    for example in ["pneumatic_dome/domica_3", "pneumatic_dome/domica_2", "hanging_shell/domica_1", "hanging_shell/domica_3",
                    "support_heights/domica_3", "large_dome/domica_3"]:
        cases.append((example.replace("/", "-"), ROOT / "examples" / example, example.split("/")[1]))
    for d in sorted((GOLDEN / "nets").iterdir()):
        cases.append((d.name, d, d.name.split("-")[0]))
    return cases


@pytest.fixture
def case_folder(tmp_path):
    """A copy of a case's weblar.txt with the frozen shell.txt of the golden outputs."""
    def make(folder):
        shutil.copy(pathlib.Path(folder) / "weblar.txt", tmp_path)
        shutil.copy(GOLDEN / "shell.txt", tmp_path)
        return tmp_path
    return make


def example(name, program):
    import domica
    return domica.read_problem(ROOT / "examples" / name, program)
