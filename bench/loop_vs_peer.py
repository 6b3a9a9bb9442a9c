#!/usr/bin/python3
"""The sampling loop against the numpy/scipy speed peer, measured in turns in
the same session: build/bench_sampling's loop (a real point file, on one
thread and on every core) and its kernel alone (one thread, and shared out on
every core), then the peer on the same orbitals; repeated, medians printed
as a table with the ratios.

usage: loop_vs_peer.py [--bench build/bench_sampling] [--peer PATH] [--rounds 3]
"""
import json
import os
import subprocess

from peerclock import REPO, PeerOrbital, load_note, load_peer, median, peer_arguments

# the benchmark's orbitals, in its order: n, l, m, extent
ORBITALS = [(1, 0, 0, 2, "1s"), (3, 2, 0, 13, "3d"), (6, 5, 0, 49, "6h"), (4, 3, 2, 23, "4f m = 2")]


def bench_round(bench):
    """ns per trial of each benchmark, by name."""
    out = subprocess.run([bench, "--benchmark_filter=BM_SamplingLoop|BM_Kernel", "--benchmark_format=json"],
                         capture_output=True, text=True, check=True).stdout
    figures = {}
    for b in json.loads(out)["benchmarks"]:
        if "error_occurred" in b and b["error_occurred"]:
            raise SystemExit(f"{b['name']}: {b.get('error_message', 'failed')}")
        figures[b["name"]] = b["per_trial"] * 1e9
        if "cpu_per_trial" in b:
            figures[b["name"] + " cpu"] = b["cpu_per_trial"] * 1e9
    return figures


def main():
    ap = peer_arguments(__doc__, 1_000_000)
    ap.add_argument("--bench", default=os.path.join(REPO, "build", "bench_sampling"))
    ap.add_argument("--rounds", type=int, default=3)
    a = ap.parse_args()

    peer = load_peer(a.peer)
    peers = [PeerOrbital(peer, n, l, m, e) for n, l, m, e, _ in ORBITALS]
    ours, theirs = [], [[] for _ in ORBITALS]
    print(f"before: {load_note()}")
    for _ in range(a.rounds):
        ours.append(bench_round(a.bench))
        for i, p in enumerate(peers):
            theirs[i].append(p.measure(a.peer_trials)[0])
    print(f"after: {load_note()}\n")
    print("| orbital, extent | peer | loop, every core | ratio | its CPU time | loop, one thread | kernel, every core "
          "| kernel, one thread |")
    print("|---|---|---|---|---|---|---|---|")
    for i, (n, l, m, e, name) in enumerate(ORBITALS):
        def fig(key):
            return median([r[key] for r in ours])
        loop_all = fig(f"BM_SamplingLoop/{i}/0/real_time")
        loop_one = fig(f"BM_SamplingLoop/{i}/1/real_time")
        kernel_all = fig(f"BM_KernelShared/{i}/0/real_time")
        kernel_one = fig(f"BM_Kernel/{i}")
        p = median(theirs[i])
        cpu = fig(f"BM_SamplingLoop/{i}/0/real_time cpu")
        print(f"| {name}, {e} Å | {p:.1f} ns | {loop_all:.2f} ns | {p / loop_all:.1f}× | {cpu:.2f} ns "
              f"| {loop_one:.2f} ns | {kernel_all:.2f} ns | {kernel_one:.2f} ns |")


if __name__ == "__main__":
    main()
