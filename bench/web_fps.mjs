// Frames per second of the real-time piece at 1280x720: the native program
// under Xvfb, and the page in headless Chromium with WebGL on SwiftShader and
// on Mesa, run in turn over the same span of the piece; medians of each and
// their ratios to the native rate. A measurement, not a test: the numbers
// depend on the machine and on what else runs on it.
//
//   node bench/web_fps.mjs [RUNS] [FROM_S] [TO_S]     (defaults: 3 runs, 45 to 75 s)
//
// Needs `make web` (build/ and build-web/) and the browser tests' packages
// (scripts/install-web-tests.sh). Native frames are counted by Mesa's own HUD
// (dumped once a second, not drawn), so the program runs unchanged.
import {spawn} from 'node:child_process';
import {mkdtemp, readFile, rm} from 'node:fs/promises';
import {tmpdir} from 'node:os';
import {join} from 'node:path';

import {kWebGLRenderers, openBrowser, openPage, waitForState} from '../tests/web/browser.mjs';
import {kNativeBuild, kSite} from '../tests/web/native.mjs';

const kWidth = 1280;
const kHeight = 720;
const runs = Number(process.argv[2] || 3);
const fromSeconds = Number(process.argv[3] || 45);
const toSeconds = Number(process.argv[4] || 75);

const sleep = ms => new Promise(done => setTimeout(done, ms));
const median = values => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];

function startXvfb() {
  return new Promise((resolve, reject) => {
    const xvfb = spawn('Xvfb', ['-displayfd', '3', '-screen', '0', `${kWidth}x${kHeight}x24`,
                                '-nolisten', 'tcp'],
                       {stdio: ['ignore', 'ignore', 'ignore', 'pipe']});
    xvfb.on('error', reject);
    xvfb.stdio[3].once('data', data => resolve({xvfb, display: `:${String(data).trim()}`}));
  });
}

// The native program from its start to TO_S; frames per second over the span
// from Mesa's per-second dump, which begins with the first frame, a few ms
// after the clock starts: its line n is second n of the piece.
async function nativeRate() {
  const dump = await mkdtemp(join(tmpdir(), 'quorvane-hud-'));
  const {xvfb, display} = await startXvfb();
  try {
    const piece = spawn('./quorvane', [], {
      cwd: kNativeBuild,
      stdio: 'ignore',
      env: {
        ...process.env, DISPLAY: display, SDL_AUDIODRIVER: 'dummy', GALLIUM_HUD: 'fps',
        GALLIUM_HUD_VISIBLE: 'false', GALLIUM_HUD_PERIOD: '1', GALLIUM_HUD_DUMP_DIR: dump,
      },
    });
    let exited = false;
    const ended = new Promise(done => piece.on('exit', () => done(exited = true)));
    const perSecond = async () =>
        (await readFile(join(dump, 'fps'), 'utf8').catch(() => '')).trim().split('\n').map(Number);
    while (!exited && (await perSecond()).length < toSeconds) await sleep(250);
    piece.kill('SIGTERM');
    await ended;
    const span = (await perSecond()).slice(fromSeconds, toSeconds);
    if (span.length < toSeconds - fromSeconds) throw new Error('the native run ended early');
    return span.reduce((a, b) => a + b, 0) / span.length;
  } finally {
    xvfb.kill('SIGTERM');
    await rm(dump, {recursive: true, force: true});
  }
}

// The page from the gesture to TO_S, counting the frames it presents between
// FROM_S and TO_S of its own clock.
async function browserRate(session) {
  const page = await openPage(session, `?size=${kWidth}x${kHeight}`);
  try {
    await waitForState(page, 'ready');
    await page.keyboard.press('KeyA');
    const countAt = seconds => page.waitForFunction(
        ms => {
          const start = window.quorvane.log.find(e => e.event === 'clock-start');
          return start && performance.now() - start.time >= ms &&
                 {frames: window.quorvane.frames, time: performance.now() - start.time};
        },
        {timeout: (toSeconds + 30) * 1000, polling: 10}, seconds * 1000)
        .then(handle => handle.jsonValue());
    const first = await countAt(fromSeconds);
    const last = await countAt(toSeconds);
    return (last.frames - first.frames) * 1000 / (last.time - first.time);
  } finally {
    await page.close();
  }
}

// Each WebGL renderer as Chromium comes, and Mesa once more with a larger ring
// of empty slot spans in Chromium's allocator: llvmpipe frees and allocates
// its per-frame binning memory in blocks of 64 KiB, which the allocator
// otherwise hands back to the kernel (madvise) and takes again every frame.
const kConfigurations = [
  ...Object.keys(kWebGLRenderers).map(renderer => ({name: renderer, renderer})),
  {name: 'mesa+ring', renderer: 'mesa',
   extraArguments: ['--enable-features=PartitionAllocLargeEmptySlotSpanRing']},
];
const renderers = kConfigurations.map(c => c.name);
const sessions = [];
const rates = {native: [], ...Object.fromEntries(renderers.map(r => [r, []]))};
try {
  for (const {renderer, extraArguments} of kConfigurations)
    sessions.push(await openBrowser({folder: kSite, width: kWidth, height: kHeight, renderer,
                                     extraArguments}));
  for (let i = 0; i < runs; ++i) {
    rates.native.push(await nativeRate());
    for (const [j, renderer] of renderers.entries())
      rates[renderer].push(await browserRate(sessions[j]));
    console.log(`run ${i + 1}: ` +
                Object.entries(rates).map(([name, r]) => `${name} ${r[i].toFixed(1)} fps`).join(', '));
  }
} finally {
  for (const session of sessions) await session.close();
}
const native = median(rates.native);
console.log(`${kWidth}x${kHeight}, seconds ${fromSeconds} to ${toSeconds}, medians of ${runs}:`);
console.log(`  native (Xvfb, Mesa llvmpipe)       ${native.toFixed(1)} fps`);
for (const renderer of renderers) {
  const rate = median(rates[renderer]);
  console.log(`  headless Chromium, ${renderer.padEnd(11)}  ${rate.toFixed(1)} fps  ` +
              `${(rate / native * 100).toFixed(0)}% of native`);
}
