"""Sweeps on a dask LocalCluster and on the local process pool give the serial results."""
import numpy as np

import domica
from conftest import example


def pressures(n):
    p = example("pneumatic_dome/domica_3", "domica_3")
    return [domica.Problem(p.program, p.nodes, p.triangles, p.fixed, p.loads, {**p.material, "pressure": -0.5 - 0.25 * k}, p.solver)
            for k in range(n)]


def test_sweeps_on_a_cluster_and_a_pool_equal_the_serial_loop():
    from distributed import Client, LocalCluster

    problems = pressures(4)
    serial = [domica.solve(p, threads=1) for p in problems]
    with LocalCluster(n_workers=2, threads_per_worker=1, processes=True, dashboard_address=None) as cluster, Client(cluster) as client:
        on_cluster = domica.sweep(problems, client=client)
    on_pool = domica.sweep(problems)
    for a, b, c in zip(serial, on_cluster, on_pool):
        assert np.array_equal(a.positions, b.positions) and np.array_equal(a.positions, c.positions)
        assert a.calls == b.calls == c.calls
    rises = [r.summary["rise"] for r in serial]
    assert rises == sorted(rises)  # more pressure, more rise
    assert domica.sweep([]) == []
