#!/usr/bin/env python3
"""The layering check itself: it passes a tree that keeps its layers and names each breach."""

import sys
import tempfile
import unittest
from pathlib import Path

sys.dont_write_bytecode = True  # keep the source tree clean
sys.path.insert(0, str(Path(__file__).resolve().parent))
import check_layers  # noqa: E402

LAYERS = "# top first\napp\nwindow\neffects controls  # peers\nbase\n"
# A tree that keeps its layers: down a layer, within a folder, bare and system includes, the
# entry point above everything.
GOOD = {
    "main.cpp": '#include "app/startup.h"\n#include "base/form.h"\n',
    "app/startup.cpp": '#include "app/startup.h"\n#include "window/frm.h"\n#include "base/form.h"\n',
    "window/frm.cpp": '#include "effects/fade.h"\n#include "controls/button.h"\n#include <QWidget>\n',
    "effects/fade.cpp": '#include "fade.h"\n#include "base/settings.h"\n#include "fade.moc"\n',
    "controls/button.h": '#pragma once\n#include "base/form.h"\n',
    "base/form.h": "#pragma once\n// a comment mentioning #include \"app/startup.h\" is not an include\n",
}


class CheckLayersTest(unittest.TestCase):
    def run_check(self, files, layers=LAYERS):
        with tempfile.TemporaryDirectory() as root:
            src = Path(root)
            (src / "layers.txt").write_text(layers)
            for name, text in files.items():
                (src / name).parent.mkdir(parents=True, exist_ok=True)
                (src / name).write_text(text)
            return check_layers.check(src)

    def test_a_layered_tree_passes(self):
        self.assertEqual(self.run_check(GOOD), [])

    def test_each_breach_is_reported_where_it_is(self):
        cases = [
            ("up one layer", "base/form.cpp", '#include "effects/fade.h"\n',
             'src/base/form.cpp:1: base/ includes "effects/fade.h" from a higher layer'),
            ("up to the top", "controls/button.cpp", '// x\n  #  include "app/startup.h"\n',
             'src/controls/button.cpp:2: controls/ includes "app/startup.h" from a higher layer'),
            ("to a peer", "effects/sounds.cpp", '#include "controls/button.h"\n',
             'src/effects/sounds.cpp:1: effects/ includes "controls/button.h" from a folder on its own layer'),
            ("relative path", "window/frm.h", '#include "../base/form.h"\n',
             'src/window/frm.h:1: "../base/form.h" is relative; name its folder instead'),
            ("unknown folder", "base/x.cpp", '#include "shell/form.h"\n',
             'src/base/x.cpp:1: "shell/form.h" names no folder of layers.txt'),
            ("unplaced folder", "extra/x.cpp", '#include "base/form.h"\n',
             "src/extra/: not placed in layers.txt"),
        ]
        for label, name, text, expected in cases:
            with self.subTest(label):
                self.assertEqual(self.run_check({**GOOD, name: text}), [expected])

    def test_the_layer_list_must_match_the_folders(self):
        problems = self.run_check(GOOD, LAYERS + "platform\nbase\n")
        self.assertIn("platform has no folder under src/", " ".join(problems))
        self.assertIn("base is listed twice", " ".join(problems))


if __name__ == "__main__":
    unittest.main()
