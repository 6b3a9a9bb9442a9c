#!/usr/bin/python3
"""Whole runs of the headless program, timed from outside: a sequence file of
3d (n=3 l=2 m=0) at extent 13 makes its point, XYZ and viewer files, page and
index. Each size runs several times in a fresh folder (in memory when the
machine has /dev/shm) with VANTREL_SEED set; the peer's sampling of the same
number of points is measured between the runs, and the medians and their
ratio are printed.

usage: whole_run.py [--program build/vantrel] [--peer PATH] [--runs 5]
                    [--points 320000,10000000] [--big-runs 3]
"""
import os
import resource
import subprocess
import sys
import time

from peerclock import REPO, PeerOrbital, load_note, load_peer, median, peer_arguments, remove, scratch_dir

BIG = 1_000_000  # runs of this many points or more are repeated --big-runs times
EXPECTED = ["3_2_0_.csv", "3_2_0_.xyz", "3_2_0_.xyz.js", "3_2_0_.htm", "index.htm"]


def run_once(program, sequence, home, points):
    remove(home)
    env = dict(os.environ, VANTREL_HOME=home, VANTREL_SEED="1", QT_QPA_PLATFORM="offscreen")
    used = resource.getrusage(resource.RUSAGE_CHILDREN)
    t0 = time.perf_counter()
    done = subprocess.run([program, sequence], env=env, capture_output=True, text=True)
    seconds = time.perf_counter() - t0
    now = resource.getrusage(resource.RUSAGE_CHILDREN)
    cpu = now.ru_utime + now.ru_stime - used.ru_utime - used.ru_stime
    files = os.path.join(home, "files")
    missing = [f for f in EXPECTED if not os.path.isfile(os.path.join(files, f))]
    if done.returncode != 0 or missing or f"{points} points" not in done.stdout:
        sys.exit(f"The run of {points} points failed (exit {done.returncode}, missing {missing}):\n"
                 f"{done.stdout}{done.stderr}")
    return seconds, cpu


def main():
    ap = peer_arguments(__doc__, 2_000_000)
    ap.add_argument("--program", default=os.path.join(REPO, "build", "vantrel"))
    ap.add_argument("--runs", type=int, default=5)
    ap.add_argument("--big-runs", type=int, default=3)
    ap.add_argument("--points", default="320000,10000000")
    a = ap.parse_args()

    peer = PeerOrbital(load_peer(a.peer), 3, 2, 0, 13)
    scratch = scratch_dir()
    try:
        print(f"before: {load_note()}")
        for points in (int(p) for p in a.points.split(",")):
            sequence = os.path.join(scratch, f"run{points}.txt")
            with open(sequence, "w") as f:
                f.write(f"maxpoints={points} extent=13\n3 2 0\n")
            ours, cpus, theirs = [], [], []
            for _ in range(a.big_runs if points >= BIG else a.runs):
                ns, accepted = peer.measure(a.peer_trials)
                theirs.append(points / accepted * ns * 1e-9)  # the peer's seconds to sample as many points
                seconds, cpu = run_once(a.program, sequence, os.path.join(scratch, "vantrel"), points)
                ours.append(seconds)
                cpus.append(cpu)
            mine, peers = median(ours), median(theirs)
            print(f"{points} points of 3d, extent 13, all files: median {mine:.3f} s "
                  f"(runs {', '.join(f'{s:.3f}' for s in ours)}; CPU time {median(cpus):.3f} s); "
                  f"the peer's sampling alone {peers:.2f} s; "
                  f"ratio {peers / mine:.1f}x", flush=True)
        print(f"after: {load_note()}")
    finally:
        remove(scratch)


if __name__ == "__main__":
    main()
