"""Many solutions at once: on a dask.distributed cluster or a local process pool."""

import concurrent.futures
import functools
import multiprocessing
import os

from ._domica import solve


def _solve(problem, **options):
    return solve(problem, **options)


def sweep(problems, client=None, **solve_options):
    """Solve every problem of `problems` and return their Results in the same order.

    With client (a dask.distributed.Client) the solutions run on that cluster's
    workers (client.map and client.gather); a worker needs the domica package
    installed. Without one they run on a local process pool of as many workers
    as CPUs this process may use (os.sched_getaffinity). solve_options go to
    solve() (threads, solver, method); each solution runs on one thread unless threads
    says otherwise. The first exception of a solution is raised here.

    The local pool starts its workers from a fork server: a script that sweeps
    keeps its work under `if __name__ == "__main__":`, as it must for a
    LocalCluster too.
    """
    problems = list(problems)
    if "progress" in solve_options:
        raise TypeError("sweep takes no progress callable: the solutions run in other processes")
    solve_options.setdefault("threads", 1)
    one = functools.partial(_solve, **solve_options)
    if not problems:
        return []
    if client is not None:
        futures = client.map(one, problems, pure=False)
        return client.gather(futures)
    workers = min(len(os.sched_getaffinity(0)), len(problems))
    context = multiprocessing.get_context("forkserver")
    with concurrent.futures.ProcessPoolExecutor(max_workers=workers, mp_context=context) as pool:
        return list(pool.map(one, problems))
