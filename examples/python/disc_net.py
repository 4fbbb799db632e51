"""A disc net made in numpy: a centre node and rings of 6, 12, 18, ... nodes,
triangles between neighbouring rings, corners anticlockwise seen from above."""
import numpy as np

import domica


def disc(rings, radius=10.0):
    """Plan nodes (nn, 2), triangles (ne, 3) and the nodes of the edge ring."""
    nodes = [(0.0, 0.0)]
    first = [0]  # first node of each ring
    for k in range(1, rings + 1):
        first.append(len(nodes))
        for j in range(6 * k):
            a = 2 * np.pi * j / (6 * k)
            nodes.append((radius * k / rings * np.cos(a), radius * k / rings * np.sin(a)))
    nodes = np.array(nodes)
    triangles = []
    for k in range(1, rings + 1):
        inner = [0] if k == 1 else list(range(first[k - 1], first[k - 1] + 6 * (k - 1)))
        outer = list(range(first[k], first[k] + 6 * k))
        i = j = 0
        # Zip the two rings together by angle.
        while j < len(outer) or (len(inner) > 1 and i < len(inner)):
            step_outer = len(inner) == 1 or (j + 1) / len(outer) <= (i + 1) / len(inner)
            if step_outer and j < len(outer):
                triangles.append((inner[i % len(inner)], outer[j], outer[(j + 1) % len(outer)]))
                j += 1
            else:
                triangles.append((inner[i % len(inner)], outer[j % len(outer)], inner[(i + 1) % len(inner)]))
                i += 1
    triangles = np.array(triangles)
    edge = np.arange(first[rings], len(nodes))
    return nodes, triangles, edge


def dome(rings, pressure=-1.0, edge_z=None, radius=10.0):
    """A domica_3 problem: the disc held at its edge (in x, y and z, lifted
    there by edge_z(x, y) when given) and inflated by `pressure`."""
    nodes, triangles, edge = disc(rings, radius)
    fixed = [(n, axis, 0.0) for n in edge for axis in (0, 1)]
    fixed += [(n, 2, 0.0 if edge_z is None else edge_z(*nodes[n])) for n in edge]
    return domica.Problem(
        "domica_3", nodes, triangles, fixed, [],
        material={"young": 1000, "poisson": 0.3, "thickness": 0.1, "density": 0, "pressure": pressure},
        solver={"lstol": 0.9, "maxls": 10, "mntol": 1e-7, "maxminor": 2000, "maxmajor": 4, "maxlist": 8})
