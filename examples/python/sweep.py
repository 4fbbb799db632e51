"""A sweep over a grid of support heights on a dask LocalCluster: the edge of
a pressure dome is lifted by a tilt hx * x / R + hy * y / R, each grid point
one solution on one of two worker processes.

    python3 sweep.py [--rings 6] [--grid 3]
"""
import argparse
import time

import numpy as np
from distributed import Client, LocalCluster

import domica
from disc_net import dome


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--rings", type=int, default=6)
    ap.add_argument("--grid", type=int, default=3, help="heights per direction, from 0 to 2")
    args = ap.parse_args()
    heights = np.linspace(0.0, 2.0, args.grid)
    grid = [(hx, hy) for hx in heights for hy in heights]
    problems = [dome(args.rings, edge_z=lambda x, y, hx=hx, hy=hy: hx * x / 10 + hy * y / 10) for hx, hy in grid]
    with LocalCluster(n_workers=2, threads_per_worker=1, processes=True, dashboard_address=None) as cluster, Client(cluster) as client:
        began = time.perf_counter()
        results = domica.sweep(problems, client=client)
        seconds = time.perf_counter() - began
    print("   hx    hy   top z   rise   converged")
    for (hx, hy), r in zip(grid, results):
        s = r.summary
        print(f"{hx:5.2f} {hy:5.2f} {s['highest_z']:7.4f} {s['rise']:6.4f}   {r.converged}")
    print(f"{len(problems)} solutions in {seconds:.2f} s")


if __name__ == "__main__":
    main()
