#!/usr/bin/env python3
"""Start-up cost of the client against a bare Qt program, side by side in one run.

Each repetition runs the bare program (one phone-sized frame with Chinese text and a little
HTML, written as a PNG) and the client (`qbank --screenshot`, which starts, settles and writes
its home screen as a PNG), alternately, so both meet the same machine state. CPU time is the
child's user + system time and memory its peak resident set, both from wait4(); the medians
and their ratios are printed.

The client talks to a throw-away qbank-server with the sample bank, started here on a free
loopback port with a temporary database, unless --server-url points elsewhere. Each client
run starts from one data folder that a warm-up run has filled (the guest account), so the
figures are those of an ordinary, returning start.
"""

import argparse
import os
import shutil
import socket
import statistics
import subprocess
import sys
import tempfile
import time


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def wait_for_port(port, seconds=20):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        try:
            with socket.create_connection(("127.0.0.1", port), timeout=0.2):
                return True
        except OSError:
            time.sleep(0.05)
    return False


def measure(argv, env):
    """Runs argv to completion; returns (cpu seconds, peak RSS in MiB, wall seconds)."""
    start = time.monotonic()
    proc = subprocess.Popen(argv, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    _, status, usage = os.wait4(proc.pid, 0)
    wall = time.monotonic() - start
    err = proc.stderr.read().decode(errors="replace")
    proc.stderr.close()
    proc.returncode = os.waitstatus_to_exitcode(status)
    if proc.returncode != 0:
        sys.exit(f"{argv[0]} failed with {proc.returncode}:\n{err}")
    return usage.ru_utime + usage.ru_stime, usage.ru_maxrss / 1024.0, wall


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--client", required=True, help="the qbank binary")
    parser.add_argument("--bare", required=True, help="the bare-frame binary")
    parser.add_argument("--server", help="the qbank-server binary (a throw-away one is started)")
    parser.add_argument("--server-url", help="use this server instead, e.g. http://127.0.0.1:8080/PendarWeb/")
    parser.add_argument("--resources", required=True, help="the client's resource folder")
    parser.add_argument("--repetitions", type=int, default=15)
    args = parser.parse_args()
    if not args.server and not args.server_url:
        parser.error("give --server or --server-url")

    work = tempfile.mkdtemp(prefix="qbank-startup-")
    server = None
    try:
        url = args.server_url
        if not url:
            port = free_port()
            server = subprocess.Popen([args.server, "--listen", f"127.0.0.1:{port}",
                                       "--db", os.path.join(work, "server.sqlite")],
                                      stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            if not wait_for_port(port):
                sys.exit("the throw-away server did not start")
            url = f"http://127.0.0.1:{port}/PendarWeb/"
        print(f"server: {url}" + (" (throw-away, temporary database)" if server else ""))

        env = dict(os.environ, QT_QPA_PLATFORM="offscreen", QBANK_RESOURCES=args.resources,
                   QBANK_SERVICE_URL=url, QBANK_DATA_DIR=os.path.join(work, "data"))
        client = [args.client, "--screen", "375x667@2", "--screenshot", os.path.join(work, "client.png")]
        bare = [args.bare, os.path.join(work, "bare.png")]
        measure(client, env)   # warm-up: the guest account, the OS caches
        measure(bare, env)

        runs = {"bare": [], "client": []}
        for _ in range(args.repetitions):
            runs["bare"].append(measure(bare, env))
            runs["client"].append(measure(client, env))

        def median(name, field):
            return statistics.median(r[field] for r in runs[name])

        print(f"{'':8}{'CPU ms':>10}{'peak RSS MiB':>15}{'wall ms':>10}   (medians of {args.repetitions})")
        for name in ("bare", "client"):
            print(f"{name:8}{median(name, 0) * 1000:10.1f}{median(name, 1):15.1f}{median(name, 2) * 1000:10.1f}")
        cpu_ratio = median("client", 0) / median("bare", 0)
        rss_ratio = median("client", 1) / median("bare", 1)
        wall_ratio = median("client", 2) / median("bare", 2)
        print(f"ratio   CPU {cpu_ratio:.2f}x (target <= 1.5)   memory {rss_ratio:.2f}x (target <= 1.3)"
              f"   wall {wall_ratio:.2f}x (target <= 1.5)")
    finally:
        if server:
            server.terminate()
            server.wait()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
