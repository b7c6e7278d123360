#!/usr/bin/env python3
"""Records every line two users get in whole games against a robot, so that
the wire can be compared byte for byte before and after a change:

    scripts/record-wire.py build/bin/wordmoot-server > after.txt
    diff before.txt after.txt

A player (ann) and a watcher (cy) meet a robot on a local server started
for the purpose, once for each judging rule and seed; the server keeps
nothing (--store none), so no game kept before changes what it says. Ann tries a play of
her first two tiles on each turn, exchanges or passes when it is refused,
answers the robot's plays, and sends a few odd lines along the way. Every
line she sends is a reply to one she got, so the record is the same on every
run of the same server."""

import socket
import subprocess
import sys
import time

PORT = 7196
TIMEOUT = 30.0


class User:
    def __init__(self, name, log):
        self.name = name
        self.log = log
        self.sock = socket.create_connection(("127.0.0.1", PORT), timeout=TIMEOUT)
        self.buffer = b""
        self.lines = []
        self.taken = 0

    def send(self, line):
        self.sock.sendall(line + b"\r\n")

    def _read(self):
        data = self.sock.recv(65536)
        if not data:
            raise EOFError(self.name + ": connection closed")
        self.buffer += data
        while b"\r\n" in self.buffer:
            line, self.buffer = self.buffer.split(b"\r\n", 1)
            self.lines.append(line)
            self.log.append(self.name.encode() + b": " + line)

    def expect(self, *prefixes):
        """The first line not yet taken that starts with one of the prefixes."""
        deadline = time.monotonic() + TIMEOUT
        while True:
            for i in range(self.taken, len(self.lines)):
                if self.lines[i].startswith(prefixes):
                    self.taken = i + 1
                    return self.lines[i]
            if time.monotonic() > deadline:
                raise TimeoutError(self.name + " waited for " + repr(prefixes))
            self._read()

    def close(self):
        self.sock.close()


def rack_of(user):
    for line in reversed(user.lines):
        if line.startswith(b"2013 "):
            return line[5:].strip()
    return b""


def play_game(judge, seed, server):
    log = []
    proc = subprocess.Popen([server, "--port", str(PORT), "--seed", str(seed), "--judge", judge,
                             "--robot-delay-ms", "0", "--vote-seconds", "5",
                             "--client-version", "0.9", "--store", "none"],
                            stderr=subprocess.DEVNULL)
    try:
        for _ in range(100):
            try:
                ann = User("ann", log)
                break
            except OSError:
                time.sleep(0.05)
        ann.expect(b"1000")
        for line in [b"VERSION", b"GLIST", b"NAME ann", b"BOGUS", b"x" * 1100, b"SAY a\rb",
                     b"NEWGAME"]:
            ann.send(line)
        ann.expect(b"1180")
        cy = User("cy", log)
        cy.expect(b"1000")
        cy.send(b"NAME cy")
        cy.expect(b"2014 cy has arrived")
        cy.send(b"GINFO 1")
        cy.expect(b"1170")
        cy.send(b"JOIN  1")
        cy.expect(b"1180")
        cy.send(b"OBSERVER")
        cy.expect(b"1120")
        ann.send(b"READY")
        ann.send(b"ROBOT")
        ann.expect(b"2014 Everyone is ready")
        ann.send(b"START")
        ann.expect(b"2014 The game begins")
        challenged = False
        for turn in range(200):
            line = ann.expect(b"1020", b"2003", b"2017", b"2018")
            if line.startswith((b"2017", b"2018")):
                break
            if line.startswith(b"2003"):
                if not line.startswith(b"2003 ann"):
                    ann.send(b"APPROVE" if challenged else b"CHALLENGE")
                    challenged = True
                continue
            if turn % 5 == 0:
                for extra in [b"UNSEEN", b"CHECK qi", b"TELL cy hello", b"REFRESH"]:
                    ann.send(extra)
                ann.expect(b"1020")  # the end of the position sent again
            rack = rack_of(ann)
            if len(rack) >= 2:
                ann.send(b"PLAY 7,7,%c 8,7,%c " % (rack[0], rack[1]))
                answer = ann.expect(b"5", b"2003 ann", b"2002")
                if not answer.startswith(b"5"):
                    continue  # put to the others, or it stands
            if turn % 2 == 0:
                ann.send(b"EXCHANGE " + rack[:2])
                if not ann.expect(b"2002", b"2014 Exchange refused").startswith(b"2014"):
                    continue
            ann.send(b"FORFEIT")
        ann.send(b"LEAVE")
        ann.expect(b"1200")
        cy.expect(b"2014 ann leaves the game")
        cy.send(b"WHO")
        cy.expect(b"2014 ann in the lobby")
        ann.send(b"QUIT")
        ann.expect(b"2014 Goodbye")
        cy.send(b"QUIT")
        cy.expect(b"2014 Goodbye")
        ann.close()
        cy.close()
    except Exception:
        sys.stderr.buffer.write(b"\n".join(log[-30:]) + b"\n")
        raise
    finally:
        proc.terminate()
        proc.wait()
    return log


def main():
    server = sys.argv[1]
    out = sys.stdout.buffer
    for judge in ["challenge", "list", "vote", "none"]:
        for seed in [1, 2]:
            out.write(b"=== %s %d\n" % (judge.encode(), seed))
            for line in play_game(judge, seed, server):
                out.write(line + b"\n")


if __name__ == "__main__":
    main()
