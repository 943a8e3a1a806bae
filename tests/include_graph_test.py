#!/usr/bin/env python3
"""The layer check of tools/include_graph.py on made-up trees: every declared
folder with one source, a README tour in order, and one fault at a time."""
import importlib.util
import os
import tempfile
import unittest

TOOL = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tools", "include_graph.py")
module_spec = importlib.util.spec_from_file_location("include_graph", TOOL)
include_graph = importlib.util.module_from_spec(module_spec)
module_spec.loader.exec_module(include_graph)
LAYERS = include_graph.declared_layers()


class LayerCheck(unittest.TestCase):
    def setUp(self):
        self.scratch = tempfile.TemporaryDirectory()
        self.root = self.scratch.name
        for path, _ in LAYERS:
            os.makedirs(os.path.join(self.root, path))
            self.write(path, "Unit.h", "#pragma once\n")
        self.write_readme([path for path, _ in LAYERS])

    def tearDown(self):
        self.scratch.cleanup()

    def write(self, folder, name, text):
        with open(os.path.join(self.root, folder, name), "w", encoding="utf-8") as source:
            source.write(text)

    def write_readme(self, tour):
        self.write(".", "README.md", "## Layout\n\n" + "".join(f"    {path}/  text\n" for path in tour))

    def problems(self):
        return include_graph.check(self.root)[1]

    def test_a_tree_in_order_passes(self):
        self.write("Code/Src/ascii", "Writer.cpp", '#include "timebuf/Unit.h"\n#include "base/Unit.h"\n')
        self.write("app", "main.cpp", '#include "run/Unit.h"\n#include <vector>\n')
        self.assertEqual(self.problems(), [])

    def test_an_include_up_or_across_the_layers_fails(self):
        for folder, target in (("Code/Src/timebuf", "display"), ("Code/Src/trace", "display"),
                               ("Code/Src/base", "run"), ("lib", "app")):
            with self.subTest(folder=folder, target=target):
                self.write(folder, "Bad.cpp", f'// uses\n#include "{target}/Unit.h"\n')
                name = folder.rsplit("/", 1)[-1]
                self.assertEqual(self.problems(), [f'{folder}/Bad.cpp:2: #include "{target}/Unit.h": '
                                                   f"{target}/ is not below {name}/"])
                os.remove(os.path.join(self.root, folder, "Bad.cpp"))

    def test_undeclared_and_missing_folders_fail(self):
        os.makedirs(os.path.join(self.root, "Code/Src/scratch"))
        os.rename(os.path.join(self.root, "Code/Src/waterfall"), os.path.join(self.root, "Code/Src/gone"))
        self.assertEqual(self.problems(), [
            "Code/Src/waterfall: declared in the layers but missing",
            "Code/Src/gone: not declared in the layers of tools/include_graph.py",
            "Code/Src/scratch: not declared in the layers of tools/include_graph.py",
        ])

    def test_a_readme_tour_out_of_order_fails(self):
        tour = [path for path, _ in LAYERS]
        tour.remove("Code/Src/trace")
        tour.append("Code/Src/trace")
        self.write_readme(tour)
        self.assertEqual(self.problems(), ["README.md: the tour names Code/Src/trace/ after app/, against the layers"])


if __name__ == "__main__":
    unittest.main()
