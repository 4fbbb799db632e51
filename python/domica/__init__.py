"""Form finding of thin concrete membrane shells.

A problem comes from a folder's weblar.txt (read_problem) or from numpy
arrays (Problem); solve() finds its form with the problem's program and
returns a Result; sweep() solves many problems on a process pool or a
dask.distributed cluster. Node, triangle and axis numbers are 0-based.

    import domica
    p = domica.read_problem("examples/pneumatic_dome/domica_3", "domica_3")
    r = domica.solve(p)
    r.summary["rise"], r.positions, r.forces["n2"]
    r.write("out")            # autocad.scr and ansys.txt, as domica_3 writes them

Errors: InputError (a ValueError) for bad input, with the console's message;
SolutionError (a RuntimeError) for a failed solution; OSError for files that
cannot be written.
"""

from ._domica import InputError, Problem, Result, SolutionError, __version__, read_problem, solve
from ._sweep import sweep

__all__ = ["InputError", "Problem", "Result", "SolutionError", "read_problem", "solve", "sweep", "__version__"]


def _to_meshio(self):
    """The found shell as a meshio.Mesh: the node positions, one triangle cell
    block, point data displacement (nn, 3), n1 and n2 (the node values of the
    principal forces) and cell data n11, n22, n12, n1, n2."""
    import meshio

    f = self.forces
    return meshio.Mesh(
        points=self.positions,
        cells=[("triangle", self.problem.triangles)],
        point_data={"displacement": self.displacements, "n1": f["n1_node"], "n2": f["n2_node"]},
        cell_data={k: [f[k]] for k in ("n11", "n22", "n12", "n1", "n2")},
    )


Result.to_meshio = _to_meshio
