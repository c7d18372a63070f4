#!/usr/bin/env python3
"""Reads message logs as they grow, every half millisecond, for the latency
checks of the end-to-end tests and benchmarks.

    log_poller.py PATTERN LOG...

PATTERN is a regular expression whose last group is a time in seconds since
1970 that the sender put into its text. For every match, in every complete
line that a log gains, one line is printed: the log's index (0 for the
first), the pattern's other groups, and how many milliseconds after that
time the line was seen. Runs until it is killed."""
import re
import sys
import time

pattern = re.compile(sys.argv[1].encode())
paths = sys.argv[2:]
offsets = [0] * len(paths)
while True:
    for index, path in enumerate(paths):
        try:
            with open(path, "rb") as log:
                log.seek(offsets[index])
                data = log.read()
        except FileNotFoundError:
            continue
        cut = data.rfind(b"\n") + 1
        if not cut:
            continue
        offsets[index] += cut
        now = time.time()
        for found in pattern.finditer(data[:cut]):
            groups = [group.decode() for group in found.groups()]
            print(index, *groups[:-1], "%.3f" % ((now - float(groups[-1])) * 1000), flush=True)
    time.sleep(0.0005)
