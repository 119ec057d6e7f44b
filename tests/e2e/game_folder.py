"""Files of a game folder: placing them, and what a run changed."""

import os


def place(root, files):
    """files: {relative path with '/': bytes, or None for an empty folder}."""
    for path, content in files.items():
        full = os.path.join(root, *path.split("/"))
        if content is None:
            os.makedirs(full, exist_ok=True)
            continue
        os.makedirs(os.path.dirname(full), exist_ok=True)
        with open(full, "wb") as out:
            out.write(content)


def snapshot(root):
    """{relative path: (bytes, modification time)} of every file, and every folder as None."""
    found = {}
    for folder, subfolders, names in os.walk(root):
        for name in subfolders:
            found[os.path.relpath(os.path.join(folder, name), root).replace(os.sep, "/")] = None
        for name in names:
            full = os.path.join(folder, name)
            with open(full, "rb") as source:
                content = source.read()
            relative = os.path.relpath(full, root).replace(os.sep, "/")
            found[relative] = (content, os.stat(full).st_mtime_ns)
    return found


def changes(before, after, expected_writes, describe, ignored=()):
    """Faults: files written that should not be, and writes that differ.

    expected_writes: {path: bytes} that the run must leave; every other file
    and folder must be exactly as before, modification time included, but
    the ignored ones, which the harness itself rewrites.
    describe(expected, actual) explains a difference in content.
    """
    faults = []
    for path in sorted((set(before) | set(after) | set(expected_writes)) - set(ignored)):
        now = after.get(path)
        if path in expected_writes:
            if now is None:
                faults.append("%s was not written" % path)
            elif now[0] != expected_writes[path]:
                faults.append("%s: %s" % (path, describe(expected_writes[path], now[0])))
        elif path not in after:
            faults.append("%s disappeared" % path)
        elif path not in before:
            faults.append("%s appeared" % path)
        elif now != before[path]:
            faults.append("%s changed" % path)
    return faults
