"""What the comparisons with mutagen need: without it, or without a tool
that makes their files, a test says so and is skipped (exit 77)."""
import importlib.util
import shutil
import sys


def skip_without(*tools):
    if importlib.util.find_spec("mutagen") is None:
        print("mutagen is missing (python3-mutagen): skipped")
        sys.exit(77)
    for tool in tools:
        if not shutil.which(tool):
            print(tool + " is missing: skipped")
            sys.exit(77)
