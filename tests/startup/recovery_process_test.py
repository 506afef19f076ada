#!/usr/bin/env python3
"""The real editor on a real X server (run under xvfb-run with a window
manager): a killed editor leaves its lock and copy behind, the next start
offers the copy and Restore brings the text back byte for byte, Save writes
it to its file, and a clean exit leaves no copy and no lock.

usage: recovery_process_test.py PATH/TO/tarlo
"""
import glob
import os
import signal
import subprocess
import sys
import tempfile
import time

failures = []


def check(ok, what):
    print(("ok      " if ok else "FAILED  ") + what, flush=True)
    if not ok:
        failures.append(what)
    return ok


def wait_for(pred, seconds=60.0):
    deadline = time.monotonic() + seconds
    while True:
        value = pred()
        if value or time.monotonic() > deadline:
            return value
        time.sleep(0.1)


def xdotool(*args):
    return subprocess.run(["xdotool", *args], stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                          text=True)


def find_window(name, pid, seconds=90.0):
    """The visible window of process pid whose title matches name."""
    def look():
        r = xdotool("search", "--onlyvisible", "--pid", str(pid), "--name", name)
        ids = r.stdout.split()
        return ids[-1] if ids else None
    return wait_for(look, seconds)


def read_copy(path):
    """The (path, text) of a copy, as the editor writes it."""
    with open(path, "rb") as f:
        data = f.read()
    head = b"Tarlo recovery copy 1\n"
    assert data.startswith(head), data[:40]
    rest = data[len(head):]
    fields = []
    for name in (b"path", b"text"):
        line, rest = rest.split(b"\n", 1)
        key, length = line.split(b" ")
        assert key == name
        fields.append(rest[:int(length)])
        rest = rest[int(length):]
        if name == b"path":
            assert rest[:1] == b"\n"
            rest = rest[1:]
    assert rest == b""
    return fields[0].decode(), fields[1]


def copies(folder):
    return sorted(glob.glob(os.path.join(folder, "*.copy")))


def main():
    tarlo = sys.argv[1]
    with tempfile.TemporaryDirectory() as top:
        env = dict(os.environ)
        for var, sub in (("HOME", "home"), ("XDG_CONFIG_HOME", "config"),
                         ("XDG_DATA_HOME", "data"), ("XDG_CACHE_HOME", "cache"),
                         ("XDG_STATE_HOME", "state"), ("XDG_RUNTIME_DIR", "runtime")):
            os.makedirs(os.path.join(top, sub), mode=0o700)
            env[var] = os.path.join(top, sub)
        env["QT_QPA_PLATFORM"] = "xcb"
        env["TARLO_RECOVERY_TIMING"] = "300,1000"
        folder = os.path.join(top, "state", "Tarlo", "recovery")
        document = os.path.join(top, "filing.html")
        original = b"<html><body><p>first draft</p></body></html>\r\n"
        with open(document, "wb") as f:
            f.write(original)

        # --- a run that is killed: its lock stays behind, held by no one
        first = subprocess.Popen([tarlo, document], env=env)
        try:
            main_window = find_window("filing.html", first.pid)
            if not check(main_window is not None, "the editor's window shows"):
                return 1
            check(wait_for(lambda: os.path.isdir(folder), 30)
                  and (os.stat(folder).st_mode & 0o777) == 0o700,
                  "the recovery folder is private (0700)")
            check(copies(folder) == [], "an unchanged document has no copy")
            locks = glob.glob(os.path.join(folder, f"{first.pid}-*.lock"))
            if not check(len(locks) == 1, "the run holds a lock named by its process and start"):
                return 1
            # The user clicks into the page (the lower half of the window at
            # its start size), types and pauses: the run keeps the edit in its
            # copy. A busy machine may still be settling the window when the
            # first click comes, so the user tries again, as a person would.
            # The window found first may have been one the editor replaced
            # while starting: it is looked up again until one tells its size.
            def window_size():
                found = xdotool("search", "--onlyvisible", "--pid", str(first.pid),
                                "--name", "filing.html").stdout.split()
                for window in reversed(found):
                    shell = xdotool("getwindowgeometry", "--shell", window).stdout
                    size = dict(line.split("=", 1) for line in shell.split() if "=" in line)
                    if "WIDTH" in size and "HEIGHT" in size:
                        return window, size
                return None

            def typed_copy():
                return [c for c in copies(folder) if b"Zq9" in read_copy(c)[1]]
            found = []
            for attempt in range(3):
                sized = wait_for(window_size, 30)
                if not check(sized is not None, "the editor's window tells its size"):
                    return 1
                main_window, size = sized
                xdotool("windowactivate", "--sync", main_window)
                time.sleep(0.5)
                xdotool("mousemove", "--window", main_window, str(int(size["WIDTH"]) // 2),
                        str(int(size["HEIGHT"]) * 3 // 4), "click", "1")
                time.sleep(1.5)
                xdotool("type", "--delay", "60", "Zq9")
                found = wait_for(typed_copy, 20)
                if found:
                    break
                print(f"attempt {attempt + 1}: no copy with the typed keys yet", flush=True)
            if not check(bool(found), "keys typed in the page reach a copy once they pause"):
                return 1
            kept_path, kept_text = read_copy(found[0])
            check(kept_path == document, "the copy names the document's file")
            check(found[0] == locks[0][:-len(".lock")] + ".copy",
                  "the copy is named by the run, as its lock is")
        finally:
            first.send_signal(signal.SIGKILL)
            first.wait()
        check(os.path.exists(locks[0]), "a killed editor leaves its lock behind")
        check(os.path.exists(found[0]), "a killed editor leaves its copy behind")

        # --- the next start offers it; Restore (the default button) takes it
        second = subprocess.Popen([tarlo], env=env)
        try:
            question = find_window("^Tarlo$", second.pid)
            if not check(question is not None, "the next start asks about the copy"):
                return 1
            xdotool("windowactivate", "--sync", question)
            time.sleep(0.5)
            xdotool("key", "--clearmodifiers", "Return")
            check(wait_for(lambda: not os.path.exists(found[0]), 30),
                  "the restored copy is gone")
            restored = wait_for(lambda: [c for c in copies(folder)
                                         if read_copy(c)[1] == kept_text], 30)
            check(bool(restored) and restored[0] != found[0],
                  "the new run keeps the restored text in a copy of its own")
            main_window = find_window("filing.html", second.pid, 30)
            check(main_window is not None, "the window names the document's file again")
            xdotool("windowactivate", "--sync", main_window)
            xdotool("key", "--clearmodifiers", "ctrl+s")
            # The file gets the restored text as it was kept, byte for byte,
            # with the line break every saved document ends with.
            expected = kept_text + b"\r\n"

            def saved():
                with open(document, "rb") as f:
                    return f.read() == expected
            if not check(wait_for(saved, 30),
                         "Save writes the restored text to the file byte for byte"):
                with open(document, "rb") as f:
                    print("file:", f.read()[:300], "\nkept:", expected[:300])
            check(wait_for(lambda: copies(folder) == [], 30), "a clean save removes the copy")

            # --- a clean exit: File, Exit, and No to saving
            xdotool("key", "--clearmodifiers", "alt+f")
            time.sleep(0.5)
            xdotool("key", "x")
            prompt = find_window("^Tarlo$", second.pid, 30)
            if check(prompt is not None, "Exit asks whether to save"):
                xdotool("windowactivate", "--sync", prompt)
                time.sleep(0.5)
                xdotool("key", "n")
            check(wait_for(lambda: second.poll() is not None, 60) and second.returncode == 0,
                  "the editor ends cleanly")
        finally:
            if second.poll() is None:
                second.send_signal(signal.SIGKILL)
                second.wait()
        check(os.listdir(folder) == [], "a clean exit leaves no copy and no lock")

    print(f"{len(failures)} failed" if failures else "all recovery process checks passed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
