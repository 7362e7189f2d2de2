# Close-all: one start closes every window of every running copy, through the shared list,
# however many copies open and close at once.
import random
import subprocess

from harness import GREEN, OTHER, TOOL, WINE, Journey, windows_path, xdotool

LIST_KEY = r"HKCU\Software\Velvane\Velvane.2"


class CloseAllTest(Journey):
    def setUp(self):
        super().setUp()  # with an empty list of open windows
        self.images = '"%s" "%s" dontloadeffect' % (windows_path(self.image("a.png", 80, 60)),
                                                   windows_path(self.image("b.png", 40, 30, GREEN)))

    def listed(self):
        # The shared list of open windows: the count as text, the handles sorted.
        rows = [line.split() for line in self.tool("query", LIST_KEY, program="reg").splitlines()]
        values = {r[0]: r[2] for r in rows if len(r) == 3 and r[1].startswith("REG_")}
        return values.pop("Count", None), sorted(int(values[str(k)]) for k in range(1, len(values) + 1))

    def test_closeall_reaches_every_copy_and_keeps_the_list_exact(self):
        other = self.other_program()  # Wine passes a global key on only while one of its windows has the keyboard
        copies = [self.start(self.images)]  # the first holds the global keys
        self.wait_windows(2)
        copies += [self.start(self.images) for _ in range(2)]
        found = self.wait_windows(6)  # each listed: hide and show reach them through the list
        for word, visible in (("hide", 0), ("ctrl+alt+h", 1), ("ctrl+alt+h", 0), ("icon", 1), ("hide", 0), ("show", 1), ("hide", 0)):
            if word == "icon":  # one copy's icon, "Show All": every copy's windows
                self.icon_menu(self.wait_for(self.tray, "the icons of hidden windows")[0], "Down", "Return")
            elif "+" in word:
                xdotool("key", word)
            else:
                self.assertEqual(self.wait_exit(self.start(word)), 0, word + " ends by itself, opening nothing")
            self.wait_for(lambda: [w.visible for w in self.windows()] == [visible] * 6, word + ": every window of every copy")
        self.assertEqual(self.listed(), ("6", sorted(w.hwnd for w in found)), "hidden windows stay listed, for closeall")
        # The copy holding the keys ends (a close from outside ends it whole): the next takes them.
        self.tool("close", next(w.hwnd for w in found if w.pid == copies[0].windows_pid))
        self.assertEqual(self.wait_exit(copies.pop(0)), 0)
        xdotool("key", "ctrl+alt+h")
        self.wait_for(lambda: [w.visible for w in self.windows()] == [1] * 4, "Ctrl+Alt+H in the copy that took the keys")
        self.assertEqual(self.wait_exit(self.start("closeall")), 0)
        for copy in copies:
            self.assertEqual(self.wait_exit(copy, "every copy to end"), 0)
        self.assertEqual(self.listed(), ("0", []), "the list is empty")

        # A stale entry naming another program's window (a window listed twice: the list's own tests).
        self.tool("add", LIST_KEY, "/v", "Count", "/d", "1", "/f", program="reg")
        self.tool("add", LIST_KEY, "/v", "1", "/d", str(other.hwnd), "/f", program="reg")
        self.assertEqual(self.wait_exit(self.start("CloseAll " + self.images)), 0, "any letter case; the images named are not opened")
        self.assertEqual(len(self.windows(OTHER)), 1, "another program's window named by a stale entry was closed")
        self.assertEqual(self.listed(), ("0", []), "the stale entry is removed all the same")

        # Stress: copies start together, then half of all windows close together, for a few rounds.
        rng, open_count = random.Random(4), 0
        for _ in range(2):
            for _ in range(8):
                self.start(self.images)
            open_count += 16
            found = self.wait_windows(open_count, timeout=60)
            for closer in [subprocess.Popen([WINE, TOOL, "closeone", str(w.hwnd)]) for w in rng.sample(found, len(found) // 2)]:
                closer.wait(timeout=60)  # all started first, so that they close together
            open_count -= len(found) // 2
            self.wait_windows(open_count, timeout=60)
            self.wait_for(lambda: self.listed() == (str(open_count), sorted(w.hwnd for w in self.windows())),
                          "the list to name exactly the %d open windows, not %s" % (open_count, self.listed()))
        self.assertEqual(self.wait_exit(self.start("closeall"), timeout=60), 0)
        self.wait_for(lambda: self.windows() == [], "every window to close", timeout=60)
        self.assertEqual(self.listed(), ("0", []))
