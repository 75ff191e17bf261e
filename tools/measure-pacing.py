#!/usr/bin/env python3
"""Frame rate and processor use of the demo in a real window, unpaced and paced.

Runs the demo game (game/) in a window on a private virtual display (Xvfb),
once with the flip's wait for the display's refresh turned off by the player's
own setting (SDL12COMPAT_SYNC_TO_VBLANK=0) and once as the engine starts it
(paced), one after the other in this one run, and prints both side by side.

Frames are counted by the game itself: a timed event of period 0, added after
the demo's own start-up script, runs once in every frame, and each run writes
its "Event: 9901 going off now!" line to the log. Processor use is the process's
own CPU time (user + system, all threads) from /proc, over the measuring time
after a warm-up, as a share of one core.

    python3 tools/measure-pacing.py                  # builds build-release/vond first
    python3 tools/measure-pacing.py --vond PATH --rounds 3
"""
import argparse
import os
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
COUNTER_ID = 9901
COUNTER_LINE = "Event: %d going off now!" % COUNTER_ID
CAPTION = "^The Grand Vond Venture$"


def build_vond():
    build = os.path.join(ROOT, "build-release")
    subprocess.run(["cmake", "-S", ROOT, "-B", build, "-DCMAKE_BUILD_TYPE=Release",
                    "-DVOND_TESTS=OFF"], check=True, stdout=subprocess.DEVNULL)
    subprocess.run(["cmake", "--build", build, "-j", str(os.cpu_count() or 2),
                    "--target", "vond"], check=True, stdout=subprocess.DEVNULL)
    return os.path.join(build, "vond")


def start_xvfb():
    """A private display; returns (process, ":N", pipe kept open while it runs)."""
    read_end, write_end = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-noreset", "-screen", "0",
                             "1024x768x24", "-nolisten", "tcp"],
                            pass_fds=(write_end,), stderr=subprocess.DEVNULL)
    os.close(write_end)
    # A server that cannot keep a display it tried writes again: read until a
    # quiet spell and take the last number.
    written = os.read(read_end, 64)
    while select.select([read_end], [], [], 0.2)[0]:
        more = os.read(read_end, 64)
        if not more:
            break
        written += more
    numbers = written.split()
    if not numbers or xvfb.poll() is not None:
        raise SystemExit("Xvfb did not start")
    return xvfb, ":" + numbers[-1].decode(), read_end


def cpu_seconds(pid):
    """User + system time of the whole process (all its threads)."""
    with open("/proc/%d/stat" % pid) as f:
        fields = f.read().rsplit(")", 1)[1].split()
    # Fields 14 and 15 of stat; the split above starts at field 3.
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def counted_frames(log_path):
    with open(log_path, errors="replace") as f:
        return sum(1 for line in f if line.startswith(COUNTER_LINE))


def measure(vond, paced, warmup, seconds):
    xvfb, display, display_pipe = start_xvfb()
    game = tempfile.mkdtemp(prefix="vondpacing.")
    try:
        shutil.copytree(os.path.join(ROOT, "game"), game, dirs_exist_ok=True)
        with open(os.path.join(game, "scripts", "monkey.lua"), "a") as f:
            f.write('\naddTimedEvent(%d, 0, 1, 0, "vondFrames = 1")\n' % COUNTER_ID)
        env = dict(os.environ, DISPLAY=display, SDL_VIDEODRIVER="x11", SDL_AUDIODRIVER="dummy")
        env.pop("SDL12COMPAT_SYNC_TO_VBLANK", None)
        if not paced:
            env["SDL12COMPAT_SYNC_TO_VBLANK"] = "0"
        game_process = subprocess.Popen([vond], cwd=game, env=env,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        subprocess.run(["xdotool", "search", "--sync", "--name", CAPTION], env=env, check=True,
                       stdout=subprocess.DEVNULL, timeout=60)
        time.sleep(warmup)
        log = os.path.join(game, "vonderror.log")
        frames0, cpu0, t0 = counted_frames(log), cpu_seconds(game_process.pid), time.monotonic()
        server0 = cpu_seconds(xvfb.pid)
        time.sleep(seconds)
        frames1, cpu1, t1 = counted_frames(log), cpu_seconds(game_process.pid), time.monotonic()
        server1 = cpu_seconds(xvfb.pid)
        game_process.send_signal(signal.SIGTERM)  # a quit event: the game ends with status 0
        status = game_process.wait(timeout=30)
        elapsed = t1 - t0
        return {"fps": (frames1 - frames0) / elapsed, "core": 100 * (cpu1 - cpu0) / elapsed,
                "server": 100 * (server1 - server0) / elapsed,
                "frames": frames1 - frames0, "elapsed": elapsed, "status": status}
    finally:
        xvfb.terminate()
        xvfb.wait()
        os.close(display_pipe)
        shutil.rmtree(game, ignore_errors=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--vond", help="the vond binary (default: build build-release/vond)")
    parser.add_argument("--warmup", type=float, default=3.0, help="seconds before measuring")
    parser.add_argument("--seconds", type=float, default=6.0, help="seconds measured")
    parser.add_argument("--rounds", type=int, default=1, help="unpaced/paced pairs to run")
    args = parser.parse_args()
    vond = os.path.abspath(args.vond) if args.vond else build_vond()

    with open("/proc/loadavg") as f:
        load = " ".join(f.read().split()[:3])
    rows = []
    for round_number in range(1, args.rounds + 1):
        for paced in (False, True):
            r = measure(vond, paced, args.warmup, args.seconds)
            r["mode"] = "paced (as the engine starts)" if paced else \
                "unpaced (SDL12COMPAT_SYNC_TO_VBLANK=0)"
            r["round"] = round_number
            rows.append(r)
            print("round %d, %s: %d frames in %.2f s, exit status %d" %
                  (round_number, r["mode"], r["frames"], r["elapsed"], r["status"]),
                  file=sys.stderr, flush=True)

    print("Demo in a window under Xvfb (1024x768), %.0f s measured after %.0f s of warm-up"
          % (args.seconds, args.warmup))
    print()
    print("| round | run | frames a second | vond: % of one core | Xvfb: % of one core |")
    print("|---|---|---|---|---|")
    for r in rows:
        print("| %d | %s | %.1f | %.1f | %.1f |" %
              (r["round"], r["mode"], r["fps"], r["core"], r["server"]))
    print()
    print("Load average before the first run: %s" % load)
    return 0 if all(r["status"] == 0 for r in rows) else 1


if __name__ == "__main__":
    sys.exit(main())
