#!/usr/bin/env python3
"""The disc-cost model: trace lines in, sectors of the ISO image and their cost out."""
import importlib.machinery
import importlib.util
import shutil
import sys
import tempfile
import unittest
from pathlib import Path

MEASURE = Path(__file__).resolve().parents[2] / "scripts" / "measure"
sys.path.insert(0, str(MEASURE))  # the helpers disc-cost imports from beside it
loader = importlib.machinery.SourceFileLoader("disc_cost", str(MEASURE / "disc-cost.py"))
spec = importlib.util.spec_from_loader("disc_cost", loader)
dc = importlib.util.module_from_spec(spec)
loader.exec_module(dc)
from disckit import iso  # noqa: E402  (disc-cost put tools/ on the path)


def page(seconds, inode, offset, length=4096):
    return dc.PageRead(seconds, inode, offset, length)


def zisofs_head(size, shift, pointers):
    return (dc.ZISOFS_MAGIC + size.to_bytes(4, "little") + bytes([4, shift, 0, 0]) +
            b"".join(p.to_bytes(4, "little") for p in pointers))


class TraceTest(unittest.TestCase):
    def test_pages_of_the_device_and_its_directories_in_time_order(self):
        text = "\n".join([
            "  discstart-1 [000] ..... 10.500000: mm_filemap_add_to_page_cache: dev 7:3 ino c pfn=0x1 ofs=8192 order=0",
            "  discstart-1 [001] ..... 10.100000: mm_filemap_add_to_page_cache: dev 7:3 ino 1a pfn=0x2 ofs=0 order=2",
            "  other-2     [000] ..... 10.200000: mm_filemap_add_to_page_cache: dev 8:1 ino c pfn=0x3 ofs=0 order=0",
            "  discstart-1 [000] ..... 10.300000: block_bio_queue: 7,3 R 16 + 8 [discstart]",
            "  discstart-1 [000] ..... 10.400000: block_bio_queue: 7,3 R 80 + 8 [discstart]",
            "  discstart-1 [000] ..... 10.450000: block_bio_queue: 7,3 W 16 + 8 [discstart]",
            "garbage",
        ])
        reads = dc.parse_trace(text, "7:3", {2: 99})
        self.assertEqual([(r.seconds, r.inode, r.offset, r.length) for r in reads],
                         [(10.1, 0x1a, 0, 16384), (10.3, 99, 0, 0), (10.5, 0xc, 8192, 4096)])


class ZisofsTest(unittest.TestCase):
    def test_a_page_costs_its_compressed_block_and_pointers(self):
        # Three 32 KiB blocks; the second is all zeros and stored as nothing.
        head = zisofs_head(80000, 15, [32, 3000, 3000, 9000])
        file = dc.ZisofsFile(100, head)
        self.assertEqual(dc.ZisofsFile.table_bytes(head), 32)
        cases = [
            ("first page", 0, 4096, [(100, 101), (100, 102)]),
            ("a page of the zero block", 40000, 4096, [(100, 101)]),
            ("across two blocks", 30000, 8192, [(100, 101), (100, 102), (100, 101)]),
            ("last block", 70000, 4096, [(100, 101), (101, 105)]),
            ("past the end", 200000, 4096, []),
        ]
        for name, offset, length, runs in cases:
            with self.subTest(name):
                self.assertEqual(file.sectors(offset, length), runs)

    def test_a_plain_file_is_its_extents(self):
        file = dc.PlainFile([dc.Extent(10, 3, 5000), dc.Extent(50, 1, 100)])
        self.assertEqual(file.sectors(4096, 4096), [(12, 13), (50, 51)])
        self.assertEqual(file.sectors(8192, 4096), [])


class CostTest(unittest.TestCase):
    files = {"a": dc.PlainFile([dc.Extent(100, 10, 20480)]), "b": dc.PlainFile([dc.Extent(200, 4, 8192)]),
             "d": (20, 1)}
    paths = {1: "a", 2: "b", 3: "d", 4: "elsewhere"}

    def check(self, reads, until, expected):
        cost = dc.cost_of(reads, self.paths, self.files, until)
        self.assertEqual((cost.bytes, cost.extents, cost.jumps), expected)
        return cost

    def test_bytes_extents_and_jumps(self):
        cases = [
            ("one run in order", [page(1, 1, 0), page(2, 1, 4096)], None, (8192, 1, 1)),
            ("backwards", [page(1, 1, 4096), page(2, 1, 0)], None, (8192, 1, 2)),
            ("the same page twice", [page(1, 1, 0), page(2, 1, 0)], None, (4096, 1, 1)),
            ("two files", [page(1, 1, 0), page(2, 2, 0), page(3, 1, 4096)], None, (12288, 2, 3)),
            ("a directory, read once", [page(1, 3, 0), page(2, 1, 0), page(3, 3, 0)], None, (6144, 2, 2)),
            ("not on the image", [page(1, 4, 0), page(2, 1, 0)], None, (4096, 1, 1)),
            ("until a moment", [page(1, 1, 0), page(2, 2, 0)], 1.5, (4096, 1, 1)),
        ]
        for name, reads, until, expected in cases:
            with self.subTest(name):
                self.check(reads, until, expected)

    def test_bytes_by_file(self):
        cost = self.check([page(1, 3, 0), page(2, 2, 0), page(3, 2, 4096)], None, (10240, 2, 2))
        self.assertEqual(cost.per_file, {"d/": 2048, "b": 8192})

    def test_drive_times(self):
        cost = dc.Cost(bytes=3_600_000, extents=2, jumps=5)
        self.assertAlmostEqual(cost.seconds(3.6e6, cost.jumps), 1.5)


@unittest.skipUnless(shutil.which("xorriso"), "needs xorriso")
class ImageTest(unittest.TestCase):
    def test_directories_and_compressed_files_of_a_real_image(self):
        with tempfile.TemporaryDirectory() as work:
            folder = Path(work) / "disc"
            (folder / "qt/lib/deep dir").mkdir(parents=True)
            (folder / "qt/lib/deep dir/lib.so").write_bytes(bytes(range(256)) * 600)
            (folder / "film.avi").write_bytes(b"RIFF" + bytes(5000))
            (folder / "qt/read-order").write_text("disc qt/lib/deep dir/lib.so\n")
            image = Path(work) / "disc.iso"
            iso.write(folder, image, ["film.avi"])
            files = dc.iso_files(image)
        self.assertEqual(sorted(p for p, f in files.items() if isinstance(f, tuple)),
                         ["", "qt", "qt/lib", "qt/lib/deep dir"])
        self.assertIsInstance(files["qt/lib/deep dir/lib.so"], dc.ZisofsFile)
        self.assertIsInstance(files["film.avi"], dc.PlainFile)
        self.assertIsInstance(files["qt/read-order"], dc.PlainFile)
        compressed = files["qt/lib/deep dir/lib.so"]
        self.assertEqual(len(compressed.pointers), 3)  # 153600 bytes in 128 KiB blocks
        # The listed file comes before the content on the disc.
        self.assertLess(compressed.lba, files["film.avi"].extents[0].lba)


if __name__ == "__main__":
    sys.exit(unittest.main())
