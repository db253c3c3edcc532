// The page around the piece in a real browser: start screen, the gesture and
// what follows it, the ways a run ends, playing again, and the conditions a
// visitor's browser may bring (missing files, no WebGL, reduced motion, a
// hidden tab).
import assert from 'node:assert/strict';
import {readFile} from 'node:fs/promises';
import {after, before, describe, test} from 'node:test';

import {begin, events, openBrowser, openPage, sleep, waitForState} from './browser.mjs';
import {kSite, kWarningFile, projectVersion} from './native.mjs';

// At 46 times real time the 230 s of the piece pass in 5 s.
const kFast = 46;

const state = page => page.evaluate(() => window.quorvane.state);
const visible = (page, id) =>
    page.evaluate(id => !document.getElementById(id).closest('[hidden]'), id);

// Whichever event of the run comes first, e.g. that the clock starts before
// the music does.
function assertOrder(seen, order) {
  const at = order.map(event => seen.indexOf(event));
  at.forEach((index, i) => assert.ok(index >= 0, `no ${order[i]} in the log: ${seen}`));
  for (let i = 1; i < at.length; ++i)
    assert.ok(at[i - 1] < at[i], `${order[i - 1]} should come before ${order[i]}: ${seen}`);
}

describe('a visitor with a WebGL browser', () => {
  let session;
  before(async () => {
    session = await openBrowser({folder: kSite});
  });
  after(async () => {
    if (session) await session.close();
  });

  test('sees a quiet start screen that waits for a gesture', async () => {
    const page = await openPage(session);
    await waitForState(page, 'ready');
    assert.ok(await visible(page, 'begin'));
    assert.match(await page.$eval('#begin', b => b.textContent), /click or press a key to begin/);
    assert.equal(await visible(page, 'motion'), false);
    await sleep(1000);
    assert.equal(await state(page), 'ready', 'the piece must not start by itself');
    assert.deepEqual(await page.evaluate(() => window.quorvane.problems), []);
    const version = await projectVersion();
    assert.equal(await page.evaluate(() => window.quorvane.version), version);
    assert.equal(await page.$eval('.version', p => p.textContent), `version ${version}`);
    assert.ok(await page.$eval('.version', p => p.checkVisibility() && p.offsetHeight > 0));
    await page.close();
  });

  test('reads the photosensitivity warning, whole and on screen, before the piece starts',
       async () => {
         const words = (await readFile(kWarningFile, 'utf8')).trim();
         const page = await openPage(session);
         await waitForState(page, 'ready');
         // On a desktop, on a phone either way up: nothing of it cut off or
         // covered by the button.
         for (const viewport of [{width: 1280, height: 720}, {width: 390, height: 844},
                                 {width: 844, height: 390}]) {
           await page.setViewport(viewport);
           const seen = await page.evaluate(() => {
             const box = e => e.getBoundingClientRect();
             const warning = document.getElementById('warning');
             const w = box(warning);
             const b = box(document.getElementById('begin'));
             return {text: warning.textContent, shown: warning.checkVisibility(),
                     inside: w.top >= 0 && w.left >= 0 && w.bottom <= innerHeight &&
                         w.right <= innerWidth && w.height > 0,
                     clear: w.bottom <= b.top || b.bottom <= w.top};
           });
           const at = `${viewport.width}x${viewport.height}`;
           assert.equal(seen.text, words, at);
           assert.ok(seen.shown && seen.inside, `${at}: the warning is not all on screen`);
           assert.ok(seen.clear, `${at}: the button covers the warning`);
         }
         await page.close();
       });

  test('is told about bad URL parameters, which are ignored', async () => {
    const page = await openPage(session, '?frame=99999&size=0x5&speed=-1');
    await waitForState(page, 'ready');
    const problems = await page.evaluate(() => window.quorvane.problems.join('\n'));
    for (const name of ['frame', 'size', 'speed']) assert.match(problems, new RegExp(`^${name} `, 'm'));
    await page.close();
  });

  test('with reduced motion is told what the piece is, and may still begin', async () => {
    const page = await session.browser.newPage();
    await page.emulateMediaFeatures([{name: 'prefers-reduced-motion', value: 'reduce'}]);
    await page.goto(session.url);
    await waitForState(page, 'ready');
    assert.ok(await visible(page, 'motion'));
    await sleep(1000);
    assert.equal(await state(page), 'ready');
    await begin(page);
    await page.keyboard.press('Escape');
    await waitForState(page, 'ended', 5000);
    await page.close();
  });

  test('begins with full screen, then the clock, then the music; Escape ends it', async () => {
    const page = await openPage(session);
    await begin(page);
    await page.waitForFunction(() => window.quorvane.frames > 10, {timeout: 10000});
    assertOrder(await events(page),
                ['begin', 'fullscreen-requested', 'clock-start', 'music-output', 'music-stream',
                 'music-play']);
    assert.ok(await page.evaluate(() => document.fullscreenElement !== null));
    // This headless screen is 4:3, far from the piece's shape: bars above and
    // below, the full width at device pixels.
    const [width, height, screenWidth] = await page.evaluate(() => {
      const c = document.getElementById('canvas');
      return [c.width, c.height, screen.width * devicePixelRatio];
    });
    assert.equal(width, screenWidth);
    assert.ok(Math.abs(width / height - 1.8) < 0.01, `${width}x${height}`);
    assert.ok(await page.evaluate(() => window.quorvane.music().playing));

    await page.keyboard.press('Escape');
    await waitForState(page, 'ended', 5000);
    assert.ok(await visible(page, 'again'));
    assert.ok(await page.evaluate(() => document.activeElement.id === 'again'));
    await page.waitForFunction(() => document.fullscreenElement === null, {timeout: 5000});
    assert.equal(await page.evaluate(() => window.quorvane.music().playing), false);
    await page.close();
  });

  test('leaving full screen ends the run like Escape', async () => {
    const page = await openPage(session);
    await begin(page);
    await page.waitForFunction(() => document.fullscreenElement !== null, {timeout: 5000});
    await page.evaluate(() => document.exitFullscreen());
    await waitForState(page, 'ended', 5000);
    await page.close();
  });

  test('ends by itself at 230 s, and plays again from the start', async () => {
    const page = await openPage(session, `?speed=${kFast}`);
    await begin(page);
    await waitForState(page, 'ended', 30000);
    const firstRun = await page.evaluate(() => window.quorvane.frames);
    assert.ok(firstRun > 20, `only ${firstRun} frames in the first run`);
    assert.ok(await page.evaluate(() => document.fullscreenElement === null));

    await page.keyboard.press('Enter');  // on the focused "play again"
    await waitForState(page, 'running', 5000);
    assert.equal((await events(page)).filter(e => e === 'clock-start').length, 2);
    await page.waitForFunction(() => window.quorvane.frames > 10, {timeout: 10000});
    await page.keyboard.press('Escape');
    await waitForState(page, 'ended', 5000);
    await page.close();
  });

  test('in a hidden tab the clock keeps running and the run still ends on time',
       async () => {
         const page = await openPage(session, `?speed=${kFast}`);
         await begin(page);
         await page.waitForFunction(() => window.quorvane.frames > 5, {timeout: 10000});
         // A hidden tab runs no animation frames at all.
         await page.evaluate(() => { window.requestAnimationFrame = () => 0; });
         const before = await page.evaluate(() => window.quorvane.frames);
         await waitForState(page, 'ended', 30000);
         const after = await page.evaluate(() => window.quorvane.frames);
         assert.ok(after > before, 'frames go on without animation frames');
         await page.close();
       });
});

describe('a visitor whose download fails', () => {
  let session;
  before(async () => {
    session = await openBrowser({folder: kSite});
  });
  after(async () => {
    if (session) await session.close();
  });
  // A page from a server of its own that does not have these files.
  const pageWithout = async hidden =>
      openPage({browser: session.browser, url: await session.serveAlso({hidden})});

  for (const [file, consequence] of [['TEX.tga', /without its textures/],
                                     ['RX_muc.mp3', /without music/]]) {
    test(`is told that ${file} is missing, and may still play`, async () => {
      const page = await pageWithout([file, `${file}.gz`]);
      await waitForState(page, 'ready');
      await page.waitForSelector('#problems', {timeout: 10000});
      const problems = await page.$eval('#problems', list => list.textContent);
      assert.match(problems, new RegExp(file.replace('.', '\\.') + '.*404'));
      assert.match(problems, consequence);
      await begin(page);
      await page.waitForFunction(() => window.quorvane.frames > 5, {timeout: 10000});
      if (file === 'RX_muc.mp3') assert.ok((await events(page)).includes('music-missing'));
      else
        assert.match(await page.$eval('#notice', n => n.textContent),
                     /TEX\.tga could not be loaded: the piece runs without its textures/);
      await page.keyboard.press('Escape');
      await waitForState(page, 'ended', 5000);
      await page.close();
    });
  }

  test('is told when the program itself does not arrive', async () => {
    const page = await pageWithout(['quorvane.wasm']);
    await waitForState(page, 'failed');
    assert.match(await page.$eval('#problems', l => l.textContent), /could not be started/);
    assert.equal(await visible(page, 'begin'), false);
    await page.close();
  });
});

test('a browser without WebGL is told so and offered nothing to start', async () => {
  const session = await openBrowser({folder: kSite, extraArguments: ['--disable-webgl']});
  try {
    const page = await openPage(session);
    await waitForState(page, 'no-webgl');
    assert.match(await page.$eval('#problems', l => l.textContent), /no WebGL/);
    assert.equal(await visible(page, 'begin'), false);
    await page.keyboard.press('KeyA');
    await sleep(500);
    assert.equal(await state(page), 'no-webgl');
  } finally {
    await session.close();
  }
});
