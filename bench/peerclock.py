"""Shared pieces of the timing scripts: the numpy/scipy speed peer, loaded as
a module and timed on the same machine in the same session, and a scratch
folder in memory when there is one."""
import argparse
import importlib.util
import os
import shutil
import statistics
import tempfile
import time

REPO = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DEFAULT_PEER = os.path.join(REPO, "..", "shared", "bench", "sampling_peer.py")


def load_peer(path):
    if not os.path.isfile(path):
        raise SystemExit(f"The speed peer {path} is missing: give its place with --peer.")
    spec = importlib.util.spec_from_file_location("sampling_peer", path)
    module = importlib.util.module_from_spec(spec)
    spec.loader.exec_module(module)
    return module


class PeerOrbital:
    """One orbital of the peer, its ceiling estimated once."""

    def __init__(self, peer, n, l, m, extent, seed=12345):
        import numpy as np

        self.peer, self.args = peer, (n, l, m, 1, extent)
        self.rng = np.random.default_rng(seed)
        self.top = peer.ceiling(n, l, m, 1, extent, self.rng)
        peer.sample(*self.args, self.top, 200_000, self.rng)  # warm-up

    def measure(self, trials):
        """ns of the peer's CPU time per trial, and its acceptance rate."""
        c0 = time.thread_time()
        kept = self.peer.sample(*self.args, self.top, trials, self.rng)
        return (time.thread_time() - c0) * 1e9 / trials, kept / trials


def peer_arguments(description, peer_trials):
    """An argument parser with the peer's options (--peer, --peer-trials) already on it."""
    ap = argparse.ArgumentParser(description=description, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--peer", default=DEFAULT_PEER)
    ap.add_argument("--peer-trials", type=int, default=peer_trials)
    return ap


def median(values):
    return statistics.median(values)


def scratch_dir():
    base = "/dev/shm" if os.path.isdir("/dev/shm") and os.access("/dev/shm", os.W_OK) else None
    return tempfile.mkdtemp(prefix="vantrel-bench-", dir=base)


def remove(path):
    shutil.rmtree(path, ignore_errors=True)


def load_note():
    """The machine's load average, to say whether it was quiet."""
    one, five, _ = os.getloadavg()
    return f"load average {one:.2f} (1 min), {five:.2f} (5 min) on {os.cpu_count()} cores"
