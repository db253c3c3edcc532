#!/usr/bin/env python3
"""Flashes in a capture of the piece, by the area-based method of WCAG 2.3.1
and ITU-R BT.1702.

    bench/flash_analysis.py CAPTURE [--fps 60] [--cell N] [--field WxH] [--json FILE]

CAPTURE is a folder of PNG frames (quorvane-capture ... frames/) or a video
file; either is read through ffmpeg. Use a lossless one: PNG frames, since an
H.264 capture's chroma is subsampled even at --crf 0. Needs ffmpeg, ffprobe
and numpy (Debian: ffmpeg python3-numpy).

The method, per pixel and then per area:
- Relative luminance L from the sRGB values (WCAG's formula). A transition is
  the change between adjacent peaks and valleys of L over time, found with a
  hysteresis of 0.1: a general transition changes L by at least 0.1 and its
  darker end is below 0.8. A red transition changes max(0, (R-G-B)*320), from
  the linear R, G, B, by more than 20, to or from a saturated red
  (R/(R+G+B) >= 0.8). Smaller wiggles between two peaks belong to the swing.
- A flash is a pair of opposing transitions. Flashes count together when
  they are in phase: an area makes a transition in a frame where more than
  25% of it completes a transition the same way, and the next one counts
  when it goes the other way. An area flashes too often when it makes more
  than six transitions (more than three flashes) within the second that
  ends at a frame.
- The areas are every 10-degree field on the screen (WCAG: 341x256 of a
  1024x768 screen, a third of each side, so a third of the capture's width
  and height here) and the whole screen (BT.1702). Beside the verdict, the
  report gives the share of a field changing one way at once, and where
  pixels that each flash more than three times a second, in whatever phase,
  cover more than 25% of a field (a stricter reading of "concurrently").
Each second of the piece fails when a frame in it fails. --cell N averages
NxN pixels in linear light first, for a capture larger than needed.
"""
import argparse
import json
import os
import re
import subprocess
import sys

import numpy as np

kLuminanceStep = 0.1
kDarkerBelow = 0.8
kRedStep = 20.0
kSaturatedRed = 0.8
kMostFlashesPerSecond = 3
kAreaShare = 0.25


def srgb_to_linear_table():
    c = np.arange(256, dtype=np.float64) / 255
    return np.where(c <= 0.04045, c / 12.92, ((c + 0.055) / 1.055) ** 2.4).astype(np.float32)


kLinear = srgb_to_linear_table()


def linear_rgb(frame, cell=1):
    """Linear R, G, B of an HxWx3 uint8 frame, averaged over cell x cell blocks."""
    rgb = kLinear[frame]
    if cell > 1:
        h, w = rgb.shape[0] // cell, rgb.shape[1] // cell
        rgb = rgb[:h * cell, :w * cell].reshape(h, cell, w, cell, 3).mean(axis=(1, 3))
    return rgb


def luminance(rgb):
    return rgb[..., 0] * 0.2126 + rgb[..., 1] * 0.7152 + rgb[..., 2] * 0.0722


def red_measure(rgb):
    """(R-G-B)*320, negatives as zero, and whether each pixel is a saturated red."""
    r, g, b = rgb[..., 0], rgb[..., 1], rgb[..., 2]
    total = r + g + b
    saturated = (total > 0) & (r >= kSaturatedRed * total)
    return np.maximum(0, (r - g - b) * 320), saturated


class Swings:
    """The peaks and valleys of one value per pixel, with a hysteresis of
    `step`: a swing turns once the value has come back from its extreme by a
    step. step() returns where a swing became a counted transition this frame,
    rising and falling: once it spans the step (strictly more, if `strict`)
    and `qualifies(self)` holds for its two ends. `mark` rides along with
    each end (saturated red, say)."""

    def __init__(self, step, strict, qualifies):
        self.step_size = step
        self.strict = strict
        self.qualifies = qualifies
        self.hi = None

    def _big(self, change):
        return change > self.step_size if self.strict else change >= self.step_size

    def step(self, value, mark=None):
        if mark is None:
            mark = np.zeros(value.shape, bool)
        if self.hi is None:
            self.hi, self.lo = value.copy(), value.copy()
            self.mark_hi, self.mark_lo = mark.copy(), mark.copy()
            self.direction = np.zeros(value.shape, np.int8)
            self.counted = np.zeros(value.shape, bool)
            none = np.zeros(value.shape, bool)
            return none, none.copy()
        rising = self.direction == 1
        falling = self.direction == -1
        flat = self.direction == 0
        higher = (rising | flat) & (value > self.hi)
        self.hi[higher] = value[higher]
        self.mark_hi[higher] = mark[higher]
        lower = (falling | flat) & (value < self.lo)
        self.lo[lower] = value[lower]
        self.mark_lo[lower] = mark[lower]
        # A swing that turns: the extreme it reached is the new swing's start.
        turn_down = (rising | flat) & self._big(self.hi - value)
        turn_up = (falling | flat) & ~turn_down & self._big(value - self.lo)
        self.direction[turn_down] = -1
        self.lo[turn_down] = value[turn_down]
        self.mark_lo[turn_down] = mark[turn_down]
        self.direction[turn_up] = 1
        self.hi[turn_up] = value[turn_up]
        self.mark_hi[turn_up] = mark[turn_up]
        self.counted[turn_down | turn_up] = False
        new = (~self.counted & (self.direction != 0) & self._big(self.hi - self.lo) &
               self.qualifies(self))
        self.counted |= new
        return new & (self.direction == 1), new & (self.direction == -1)


def general_swings():
    return Swings(kLuminanceStep, False, lambda s: s.lo < kDarkerBelow)


def red_swings():
    return Swings(kRedStep, True, lambda s: s.mark_hi | s.mark_lo)


def window_sums(mask, fh, fw):
    """The count of set pixels in every fh x fw window of `mask`."""
    s = np.zeros((mask.shape[0] + 1, mask.shape[1] + 1), np.int32)
    s[1:, 1:] = mask.cumsum(axis=0, dtype=np.int32).cumsum(axis=1, dtype=np.int32)
    return s[fh:, fw:] - s[:-fh, fw:] - s[fh:, :-fw] + s[:-fh, :-fw]


class Ring:
    """Events per slot over the last second (`fps` frames, this one included)."""

    def __init__(self, shape, fps):
        self.events = np.zeros((fps,) + shape, np.int8)
        self.count = np.zeros(shape, np.int16)
        self.at = 0

    def push(self, now):
        now = now.astype(np.int8)
        self.count += now - self.events[self.at]
        self.events[self.at] = now
        self.at = (self.at + 1) % len(self.events)
        return self.count


class InPhase:
    """Transitions of an area: a frame where more than 25% of it changes the
    same way (each of those pixels completing a transition), counted when it
    goes the other way from the area's previous one."""

    def __init__(self, shape, fps):
        self.last = np.zeros(shape, np.int8)
        self.ring = Ring(shape, fps)

    def step(self, up_sum, down_sum, area):
        up = up_sum * 4 > area
        down = down_sum * 4 > area
        # Both ways at once (a pattern reversing) is one change of the area.
        way = np.where(up & down, np.where(self.last == 1, -1, 1),
                       np.where(up, 1, np.where(down, -1, 0))).astype(np.int8)
        new = (way != 0) & (way != self.last)
        self.last[new] = way[new]
        return self.ring.push(new)


class FlashCount:
    """Flashes of one kind (general or red) frame by frame: per frame the
    flashes within the last second of the worst 10-degree field and of the
    whole screen, how much of the worst field changed one way in this frame,
    and how much of the worst field is pixels that flash more than three
    times a second each, in whatever phase."""

    def __init__(self, shape, fps, field, swings):
        self.field = field
        self.swings = swings
        self.pixels = Ring(shape, fps)
        fh, fw = field
        self.fields = InPhase((shape[0] - fh + 1, shape[1] - fw + 1), fps)
        self.screen = InPhase((1, 1), fps)

    def step(self, value, mark=None):
        up, down = self.swings.step(value, mark)
        fh, fw = self.field
        up_sums, down_sums = window_sums(up, fh, fw), window_sums(down, fh, fw)
        fields = self.fields.step(up_sums, down_sums, fh * fw)
        screen = self.screen.step(np.array([[up.sum()]]), np.array([[down.sum()]]), up.size)
        worst = np.unravel_index(np.argmax(fields), fields.shape)
        often = self.pixels.push(up | down) > 2 * kMostFlashesPerSecond
        return {
            'flashes': float(fields[worst]) / 2,
            'at': (int(worst[1]), int(worst[0])),
            'screen_flashes': float(screen[0, 0]) / 2,
            'together': float(max(up_sums.max(), down_sums.max())) / (fh * fw),
            'any_phase': float(window_sums(often, fh, fw).max()) / (fh * fw),
        }


def probe(path):
    """Width, height and frame rate of the first video stream (or image)."""
    out = subprocess.run(
        ['ffprobe', '-v', 'error', '-select_streams', 'v:0', '-show_entries',
         'stream=width,height,avg_frame_rate', '-of', 'csv=p=0', path],
        check=True, capture_output=True, text=True).stdout.strip().split('\n')[0]
    width, height, rate = out.split(',')
    num, _, den = rate.partition('/')
    fps = float(num) / float(den or 1) if float(den or 1) else 0
    return int(width), int(height), fps


def open_capture(path, fps):
    """(width, height, fps, ffmpeg process writing rgb24 frames)."""
    if os.path.isdir(path):
        names = sorted(n for n in os.listdir(path) if re.fullmatch(r'frame_\d{6}\.png', n))
        if not names:
            sys.exit(f'flash_analysis: no frame_NNNNNN.png in {path}')
        width, height, _ = probe(os.path.join(path, names[0]))
        source = ['-framerate', str(fps), '-start_number', names[0][6:12], '-i',
                  os.path.join(path, 'frame_%06d.png')]
    else:
        width, height, probed = probe(path)
        fps = probed or fps
        source = ['-i', path]
    process = subprocess.Popen(['ffmpeg', '-v', 'error', '-nostdin', *source, '-f', 'rawvideo',
                                '-pix_fmt', 'rgb24', 'pipe:1'], stdout=subprocess.PIPE)
    return width, height, fps, process


def frames_of(process, width, height):
    size = width * height * 3
    while True:
        data = process.stdout.read(size)
        if len(data) < size:
            return
        yield np.frombuffer(data, np.uint8).reshape(height, width, 3)


def analyse(frames, fps, cell=1, field=None):
    """Per-frame results for general and red flashes, and the analysed size."""
    general = red = None
    results = []
    for frame in frames:
        rgb = linear_rgb(frame, cell)
        if general is None:
            h, w = rgb.shape[:2]
            field = field or (max(1, round(h / 3)), max(1, round(w / 3)))
            field = (min(field[0], h), min(field[1], w))
            general = FlashCount((h, w), round(fps), field, general_swings())
            red = FlashCount((h, w), round(fps), field, red_swings())
        results.append((general.step(luminance(rgb)), red.step(*red_measure(rgb))))
    return results, field


def failing_seconds(per_frame, fps, fails):
    """The seconds in which some frame ends a failing second."""
    return sorted({int(i / fps) for i, r in enumerate(per_frame) if fails(r)})


def ranges(seconds):
    spans = []
    for s in seconds:
        if spans and spans[-1][1] == s - 1:
            spans[-1][1] = s
        else:
            spans.append([s, s])
    return ', '.join(f'{a}' if a == b else f'{a}-{b}' for a, b in spans) or 'none'


def worst_moments(per_frame, fps, count):
    """In each second the frame ending the most flashes of a field, and of
    those the `count` worst (most of a field changing one way the tie-break)."""
    rank = lambda i: (per_frame[i]['flashes'], per_frame[i]['together'])
    best = {}
    for i in range(len(per_frame)):
        s = int(i / fps)
        if s not in best or rank(i) > rank(best[s]):
            best[s] = i
    frames = sorted(best.values(), key=rank, reverse=True)[:count]
    return [dict(per_frame[i], frame=i + 1, seconds=round(i / fps, 3)) for i in frames]


def field_fails(r):
    return r['flashes'] > kMostFlashesPerSecond


def screen_fails(r):
    return r['screen_flashes'] > kMostFlashesPerSecond


def any_phase_fails(r):
    return r['any_phase'] > kAreaShare


def report(results, fps, field, size, worst=5):
    seconds = int(np.ceil(len(results) / fps))
    summary = {'frames': len(results), 'fps': fps, 'size': size, 'field': [field[1], field[0]],
               'seconds': seconds}
    lines = [f'{len(results)} frames at {fps:g} fps ({seconds} s), analysed at {size[0]}x{size[1]}, '
             f'10-degree field {field[1]}x{field[0]}']
    for index, name in ((0, 'general'), (1, 'red')):
        per_frame = [r[index] for r in results]
        in_field = failing_seconds(per_frame, fps, field_fails)
        on_screen = failing_seconds(per_frame, fps, screen_fails)
        any_phase = failing_seconds(per_frame, fps, any_phase_fails)
        together = max(range(len(per_frame)), key=lambda i: per_frame[i]['together'])
        moments = worst_moments(per_frame, fps, worst)
        summary[name] = {'failing_seconds_field': in_field, 'failing_seconds_screen': on_screen,
                         'failing_seconds_any_phase': any_phase,
                         'most_together': dict(per_frame[together], frame=together + 1),
                         'worst': moments}
        lines.append(f'{name} flashes: {len(in_field)} of {seconds} s fail in a 10-degree field '
                     f'(WCAG 2.3.1), {len(on_screen)} on the whole screen (BT.1702)')
        lines.append(f'  failing seconds (field): {ranges(in_field)}')
        lines.append(f'  most of a field changing one way in one frame: '
                     f'{per_frame[together]["together"]:.0%} at {together / fps:.2f} s '
                     f'(frame {together + 1})')
        lines.append(f'  pixels each flashing more than 3 times a second, in any phase, over '
                     f'25% of a field: {len(any_phase)} s')
        for m in moments:
            if m['flashes'] == 0:
                break
            lines.append(f'  worst at {m["seconds"]:.2f} s (frame {m["frame"]}): {m["flashes"]:g} '
                         f'flashes in the second before, in the field at x={m["at"][0]} '
                         f'y={m["at"][1]}; {m["together"]:.0%} of a field changing one way')
    return '\n'.join(lines), summary


def main():
    parser = argparse.ArgumentParser(description=__doc__.split('\n\n')[0])
    parser.add_argument('capture', help='a folder of frame_NNNNNN.png or a video file')
    parser.add_argument('--fps', type=float, default=60, help='frame rate of PNG frames (60)')
    parser.add_argument('--cell', type=int, default=1, help='average NxN pixels first (1)')
    parser.add_argument('--field', help='the 10-degree field in analysed pixels, WxH '
                                        '(default: a third of each side)')
    parser.add_argument('--worst', type=int, default=5, help='worst moments listed (5)')
    parser.add_argument('--json', help='also write the results here')
    args = parser.parse_args()
    field = None
    if args.field:
        m = re.fullmatch(r'(\d+)x(\d+)', args.field)
        if not m or min(int(m[1]), int(m[2])) < 1:
            parser.error('--field must be WxH, at least 1x1')
        field = (int(m[2]), int(m[1]))
    if args.cell < 1:
        parser.error('--cell must be at least 1')
    width, height, fps, process = open_capture(args.capture, args.fps)
    results, field = analyse(frames_of(process, width, height), fps, args.cell, field)
    if process.wait() != 0 or not results:
        sys.exit(f'flash_analysis: ffmpeg could not read {args.capture}')
    text, summary = report(results, fps, field, (width // args.cell, height // args.cell),
                           args.worst)
    print(text)
    if args.json:
        with open(args.json, 'w') as f:
            json.dump(summary, f, indent=1)


if __name__ == '__main__':
    main()
