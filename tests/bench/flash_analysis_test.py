"""The flash analysis on made-up sequences whose verdict the method decides:
rate, area, the darker state, slow changes, red, and a capture read back
through ffmpeg."""
import importlib.util
import os
import subprocess
import sys
import tempfile
import unittest

import numpy as np

here = os.path.dirname(os.path.abspath(__file__))
spec = importlib.util.spec_from_file_location(
    'flash_analysis', os.path.join(here, '..', '..', 'bench', 'flash_analysis.py'))
fa = importlib.util.module_from_spec(spec)
spec.loader.exec_module(fa)

kFps = 60
kSize = (54, 96)  # the field: 18x32


def srgb(linear):
    """The 8-bit sRGB value whose linear value is nearest `linear`."""
    return int(np.argmin(np.abs(fa.kLinear - linear)))


def sequence(seconds, colour_at, box=None):
    """Frames of a black screen where `box` (y0, y1, x0, x1; the whole screen
    by default) shows colour_at(frame) as 8-bit sRGB."""
    y0, y1, x0, x1 = box or (0, kSize[0], 0, kSize[1])
    for i in range(int(seconds * kFps)):
        frame = np.zeros(kSize + (3,), np.uint8)
        frame[y0:y1, x0:x1] = colour_at(i)
        yield frame


def square_wave(hertz, on, off=(0, 0, 0)):
    half = kFps / hertz / 2
    return lambda i: on if int(i / half) % 2 == 0 else off


def failing(frames, kind=0):
    results, _ = fa.analyse(frames, kFps)
    per_frame = [r[kind] for r in results]
    return (fa.failing_seconds(per_frame, kFps, fa.field_fails),
            fa.failing_seconds(per_frame, kFps, fa.screen_fails))


class GeneralFlashes(unittest.TestCase):
    def test_rate_decides_on_the_whole_screen(self):
        white = (255, 255, 255)
        self.assertEqual(failing(sequence(3, square_wave(5, white))), ([0, 1, 2], [0, 1, 2]))
        # Three flashes a second are allowed; three and a half (seven transitions) are not.
        self.assertEqual(failing(sequence(3, square_wave(3, white))), ([], []))
        # (The first second holds six: the screen starts white.)
        self.assertEqual(failing(sequence(3, square_wave(3.5, white))), ([1, 2], [1, 2]))

    def test_area_within_a_field_and_on_the_screen(self):
        white = (255, 255, 255)
        # 30% of a field flashing fails there but is 3% of the screen; 20% passes.
        small = (0, 9, 0, 19)
        self.assertEqual(failing(sequence(2, square_wave(6, white), small)), ([0, 1], []))
        smaller = (0, 9, 0, 12)
        self.assertEqual(failing(sequence(2, square_wave(6, white), smaller)), ([], []))

    def test_areas_flashing_out_of_phase_do_not_add_up(self):
        # Two patches of 20% of a field each, flashing in opposite phase.
        frames = []
        for a, b in zip(sequence(2, square_wave(6, (255,) * 3), (0, 9, 0, 13)),
                        sequence(2, square_wave(6, (0,) * 3, (255,) * 3), (9, 18, 0, 13))):
            frames.append(np.maximum(a, b))
        results, _ = fa.analyse(frames, kFps)
        general = [r[0] for r in results]
        self.assertEqual(fa.failing_seconds(general, kFps, fa.field_fails), [])
        self.assertEqual(fa.failing_seconds(general, kFps, fa.any_phase_fails), [0, 1])

    def test_the_darker_state_and_the_size_of_a_change(self):
        # Between two bright greys (darker one at 0.85) is no general flash.
        bright = srgb(1.0), srgb(0.85)
        self.assertEqual(failing(sequence(2, square_wave(6, (bright[0],) * 3, (bright[1],) * 3))),
                         ([], []))
        # Steps of 0.09 are too small; 0.12, with the darker at 0.2, count.
        self.assertEqual(failing(sequence(2, square_wave(6, (srgb(0.29),) * 3, (srgb(0.2),) * 3))),
                         ([], []))
        self.assertEqual(failing(sequence(2, square_wave(6, (srgb(0.32),) * 3, (srgb(0.2),) * 3))),
                         ([0, 1], [0, 1]))

    def test_wiggles_on_a_slow_change_are_not_transitions(self):
        # A fade over 2 s with a 0.04 ripple at 10 Hz: one transition, no flash.
        def fade(i):
            level = min(1.0, i / (2 * kFps)) * 0.9 + 0.04 * ((i // 3) % 2)
            return (srgb(level),) * 3
        results, _ = fa.analyse(sequence(3, fade), kFps)
        self.assertEqual(max(r[0]['flashes'] for r in results), 0.5)


class RedFlashes(unittest.TestCase):
    def test_saturated_red_flashing_is_caught_where_luminance_is_not(self):
        # Linear red 0.3 against 0.7: a luminance step of 0.085, a red one of 128.
        red = square_wave(5, (srgb(0.7), 0, 0), (srgb(0.3), 0, 0))
        self.assertEqual(failing(sequence(2, red), kind=0), ([], []))
        self.assertEqual(failing(sequence(2, red), kind=1), ([0, 1], [0, 1]))

    def test_a_red_that_is_not_saturated_is_no_red_flash(self):
        # R/(R+G+B) of 0.7 at the brighter state: a general flash, not a red one.
        pink = square_wave(5, (255, srgb(0.3), srgb(0.13)))
        self.assertEqual(failing(sequence(2, pink), kind=1), ([], []))
        self.assertEqual(failing(sequence(2, pink), kind=0), ([0, 1], [0, 1]))


class Capture(unittest.TestCase):
    def test_a_folder_of_png_frames_read_through_ffmpeg(self):
        with tempfile.TemporaryDirectory() as folder:
            # 4 s: 2 s still, then a 5 Hz white flash over the left half.
            still = np.zeros((kSize[0], kSize[1], 3), np.uint8).tobytes()
            flashing = list(sequence(2, square_wave(5, (255, 255, 255)), (0, 54, 0, 48)))
            raw = still * 2 * kFps + b''.join(f.tobytes() for f in flashing)
            subprocess.run(['ffmpeg', '-v', 'error', '-f', 'rawvideo', '-pix_fmt', 'rgb24',
                            '-s', f'{kSize[1]}x{kSize[0]}', '-i', 'pipe:0', '-start_number', '1',
                            os.path.join(folder, 'frame_%06d.png')], input=raw, check=True)
            out = subprocess.run([sys.executable, spec.origin, folder], check=True,
                                 capture_output=True, text=True).stdout
        self.assertIn('240 frames at 60 fps (4 s), analysed at 96x54, 10-degree field 32x18', out)
        self.assertIn('general flashes: 2 of 4 s fail in a 10-degree field (WCAG 2.3.1), '
                      '2 on the whole screen (BT.1702)', out)
        self.assertIn('failing seconds (field): 2-3', out)
        self.assertIn('red flashes: 0 of 4 s', out)


if __name__ == '__main__':
    unittest.main()
