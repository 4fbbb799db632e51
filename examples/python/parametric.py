"""Rise and largest compression of a pressure dome against the pressure.

The dome is found as a membrane inflated from below (in tension); turned to
carry the same load from above it is a shell in compression, its largest
compression the inflated form's largest tension. One plot, saved as a PNG.

    python3 parametric.py [--rings 8] [--count 8] [--out parametric.png]
"""
import argparse

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402
import numpy as np  # noqa: E402

import domica  # noqa: E402
from disc_net import dome  # noqa: E402


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--rings", type=int, default=8)
    ap.add_argument("--count", type=int, default=8, help="pressures from 0.25 to 2")
    ap.add_argument("--out", default="parametric.png")
    args = ap.parse_args()
    pressures = np.linspace(0.25, 2.0, args.count)
    rise, compression = [], []
    for p in pressures:
        r = domica.solve(dome(args.rings, pressure=-p))
        s = r.summary
        rise.append(s["rise"])
        compression.append(s["largest_tension"] or 0.0)
        print(f"pressure {p:5.2f}: rise {s['rise']:.4f}, largest compression {compression[-1]:.4f}, {s['calls']} calls")
    fig, ax = plt.subplots(figsize=(6, 4))
    ax.plot(pressures, rise, "o-", color="tab:blue")
    ax.set_xlabel("pressure")
    ax.set_ylabel("rise", color="tab:blue")
    ax2 = ax.twinx()
    ax2.plot(pressures, compression, "s--", color="tab:red")
    ax2.set_ylabel("largest compression (force per length)", color="tab:red")
    ax.set_title(f"Pressure dome, {args.rings} rings")
    fig.tight_layout()
    fig.savefig(args.out, dpi=100)
    print(f"wrote {args.out}")


if __name__ == "__main__":
    main()
