"""What the Python tests share: the built tool, the demo profiles, running
"kelview-cli" and reading its JSON."""
import json
import os
import subprocess

SOURCE_DIR = os.environ["KELVIEW_SOURCE_DIR"]
CLI = os.environ["KELVIEW_CLI"]
DEMO_DIR = os.path.join(SOURCE_DIR, "demo")
DEMO_PROFILES = [os.path.join(DEMO_DIR, n) for n in ("breath-01.kel", "breath-02.kel", "headspace-01.kel",
                                                     "room-air.kel")]
DEMO_KINETICS = os.path.join(DEMO_DIR, "demo-kinetics.txt")
MODES = ("rate", "ppb", "dh")


def cli(*args):
    """The tool's standard output; fails when it does not succeed."""
    done = subprocess.run([CLI, *args], capture_output=True, check=False)
    if done.returncode != 0:
        raise AssertionError(f"kelview-cli {' '.join(args)}: status {done.returncode}: {done.stderr.decode()}")
    return done.stdout.decode("utf-8")


def cli_json(*args):
    return json.loads(cli(*args))
