// What happens to a run while the visitor's browser does other things: the
// tab hidden during full screen, the WebGL context lost and given back (or
// not), and many runs in one page.
import assert from 'node:assert/strict';
import {mkdir, writeFile} from 'node:fs/promises';
import {join} from 'node:path';
import {after, before, describe, test} from 'node:test';

import {begin as beginRun, events, openBrowser, openPage, sleep, waitForState} from './browser.mjs';
import {captureFrame, decodePng, kSite, kWebBuild, nativeCheckpoints, psnr} from './native.mjs';

const shots = join(kWebBuild, 'screens');
const frames = page => page.evaluate(() => window.quorvane.frames);
const notice = page => page.evaluate(() => document.getElementById('notice')?.textContent ?? null);

async function begin(page) {
  await beginRun(page);
  await page.waitForFunction(() => window.quorvane.frames > 5, {timeout: 20000});
}

// The canvas's context and its loss extension, kept by the page under test.
function loseContext(page) {
  return page.evaluate(() => {
    window.testLoss = document.getElementById('canvas').getContext('webgl')
                          .getExtension('WEBGL_lose_context');
    window.testLoss.loseContext();
  });
}

// A run whose context is lost and not given back, until the page says so.
async function runUntilGivenUpOnContext(page) {
  await begin(page);
  await loseContext(page);
  await page.waitForFunction(() => /did not come back/.test(
      document.getElementById('notice')?.textContent), {timeout: 10000});
}

describe('a run while the browser does other things', () => {
  let session;
  before(async () => {
    await mkdir(shots, {recursive: true});
    session = await openBrowser({folder: kSite});
  });
  after(async () => {
    if (session) await session.close();
  });

  test('hiding the tab leaves full screen but not the run, which offers full screen back',
       async () => {
         const page = await openPage(session);
         await begin(page);
         await page.waitForFunction(() => document.fullscreenElement !== null, {timeout: 5000});
         const other = await session.browser.newPage();
         await other.bringToFront();
         await page.waitForFunction(() => document.hidden, {timeout: 5000});
         await sleep(1500);
         await page.bringToFront();
         await page.waitForFunction(() => !document.hidden, {timeout: 5000});
         await sleep(1000);
         assert.equal(await page.evaluate(() => window.quorvane.state), 'running');
         assert.ok((await events(page)).includes('fullscreen-left-hidden'));
         assert.match(await notice(page), /Full screen ended while the tab was hidden/);
         const before = await frames(page);
         await sleep(1000);
         assert.ok(await frames(page) > before, 'the piece goes on in the window');

         // The exit may also come before the browser tells of the hiding.
         const fullScreenAgain = async () => {
           await page.click('#notice button');
           await page.waitForFunction(() => document.fullscreenElement !== null, {timeout: 5000});
         };
         await fullScreenAgain();
         await page.evaluate(() => document.exitFullscreen());
         await other.bringToFront();
         await page.waitForFunction(() => document.hidden, {timeout: 5000});
         await sleep(1500);
         await page.bringToFront();
         await page.waitForFunction(() => !document.hidden, {timeout: 5000});
         assert.equal(await page.evaluate(() => window.quorvane.state), 'running');
         assert.equal((await events(page)).filter(e => e === 'fullscreen-left-hidden').length, 2);

         await fullScreenAgain();
         // Left on purpose now, the tab in view: the run ends, as with Escape.
         await page.evaluate(() => document.exitFullscreen());
         await waitForState(page, 'ended', 5000);
         await other.close();
         await page.close();
       });

  test('a lost context keeps the run going with a quiet note, and drawing resumes on its return',
       async () => {
         const page = await openPage(session);
         await begin(page);
         await loseContext(page);
         await page.waitForSelector('#notice', {timeout: 5000});
         assert.match(await notice(page), /The graphics were lost: the piece goes on/);
         await writeFile(join(shots, 'lost-context.png'), await page.screenshot());
         const lost = await frames(page);
         const timeLeft = await page.$eval('#time-left', t => t.textContent);
         await sleep(2000);
         assert.equal(await frames(page), lost, 'nothing is presented while the context is lost');
         assert.notEqual(await page.$eval('#time-left', t => t.textContent), timeLeft,
                         'the clock runs on');
         assert.equal(await page.evaluate(() => window.quorvane.state), 'running');

         await page.evaluate(() => window.testLoss.restoreContext());
         await page.waitForFunction(() => !document.getElementById('notice'), {timeout: 5000});
         await page.waitForFunction(n => window.quorvane.frames > n + 5, {timeout: 20000}, lost);
         await page.keyboard.press('Escape');
         await waitForState(page, 'ended', 5000);
         await page.close();
       });

  test('the picture after a loss mid-run is the picture before it', async () => {
    // A thousandth of real time holds the opening's textured nebula still, so
    // the frames on either side of the loss should agree; without its atlas,
    // mipmaps or program rebuilt, the picture comes back black or untextured.
    const page = await openPage(session, '?speed=0.001&size=640x360');
    await begin(page);
    const canvas = await page.$('#canvas');
    const before = decodePng(await canvas.screenshot());
    await loseContext(page);
    await page.waitForSelector('#notice', {timeout: 5000});
    const lost = await frames(page);
    await page.evaluate(() => window.testLoss.restoreContext());
    await page.waitForFunction(n => window.quorvane.frames > n + 10, {timeout: 20000}, lost);
    const shot = await canvas.screenshot();
    await writeFile(join(shots, 'restored-mid-run.png'), shot);
    const db = psnr(decodePng(shot), before);
    assert.ok(db >= 30, `PSNR ${db.toFixed(2)} dB against the picture before the loss`);
    await page.keyboard.press('Escape');
    await waitForState(page, 'ended', 5000);
    await page.close();
  });

  test('a context lost and given back during a scripted run: the frame and hashes are native',
       {timeout: 300000}, async () => {
         const k = 6000;
         const [native, checkpoints] = await Promise.all([captureFrame(k, 640, 360), nativeCheckpoints()]);
         const page = await openPage(session, `?frame=${k}&size=640x360`);
         await page.waitForFunction(() => window.quorvane.checkpoints.some(c => c.frame === 600),
                                    {timeout: 120000});
         await loseContext(page);
         await sleep(500);
         await page.evaluate(() => window.testLoss.restoreContext());
         await waitForState(page, ['drawn', 'failed'], 240000);
         const result = await page.evaluate(() => ({
           state: window.quorvane.state,
           checkpoints: window.quorvane.checkpoints,
           picture: document.getElementById('canvas').toDataURL('image/png'),
         }));
         assert.equal(result.state, 'drawn');
         assert.ok((await events(page)).includes('context-restored'));
         assert.deepEqual(result.checkpoints, checkpoints.filter(c => c.frame <= k));
         const png = Buffer.from(result.picture.split(',')[1], 'base64');
         await writeFile(join(shots, 'restored-frame.png'), png);
         const db = psnr(decodePng(png), decodePng(native));
         assert.ok(db >= 30, `PSNR ${db.toFixed(2)} dB against the native frame ${k}`);
         await page.close();
       });

  test('a context that never comes back: the page says so and offers to start again',
       async () => {
         const page = await openPage(session);
         await runUntilGivenUpOnContext(page);
         await writeFile(join(shots, 'context-not-back.png'), await page.screenshot());
         assert.equal(await page.evaluate(() => window.quorvane.state), 'running');
         await page.click('#notice button');
         await page.waitForFunction(
             () => window.quorvane.log.filter(e => e.event === 'clock-start').length === 2,
             {timeout: 10000});
         await page.waitForFunction(() => window.quorvane.frames > 5, {timeout: 20000});
         assert.equal(await page.evaluate(() => window.quorvane.state), 'running');
         assert.ok(await page.evaluate(() => document.fullscreenElement !== null), 'full screen again');
         await page.keyboard.press('Escape');
         await waitForState(page, 'ended', 5000);
         await page.close();
       });

  test('a context back after the page gave up on it: the notice says so, and the run goes on',
       async () => {
         const page = await openPage(session);
         await runUntilGivenUpOnContext(page);
         await page.evaluate(() => window.testLoss.restoreContext());
         await page.waitForFunction(() => /are back/.test(
             document.getElementById('notice')?.textContent), {timeout: 5000});
         assert.equal(await page.evaluate(() => document.querySelector('#notice button')), null);
         assert.equal((await events(page)).filter(e => e === 'clock-start').length, 1);
         const drawn = await frames(page);
         await page.waitForFunction(n => window.quorvane.frames > n + 5, {timeout: 20000}, drawn);
         await page.keyboard.press('Escape');
         await waitForState(page, 'ended', 5000);
         await page.close();
       });

  test('playing again and again leaves no earlier canvas alive', async () => {
    const page = await session.browser.newPage();
    page.messages = [];
    // Every canvas the page makes, held weakly: one still there after a
    // collection is held by something.
    await page.evaluateOnNewDocument(() => {
      window.testCanvases = [];
      const create = Document.prototype.createElement;
      Document.prototype.createElement = function(name, ...rest) {
        const element = create.call(this, name, ...rest);
        if (String(name).toLowerCase() === 'canvas') window.testCanvases.push(new WeakRef(element));
        return element;
      };
    });
    await page.goto(`${session.url}?speed=200`);
    await waitForState(page, 'ready');
    for (let run = 0; run < 4; ++run) {
      await page.keyboard.press(run ? 'Enter' : 'KeyA');
      await waitForState(page, 'running', 5000);
      await waitForState(page, 'ended', 30000);
    }
    const cdp = await page.createCDPSession();
    await cdp.send('HeapProfiler.collectGarbage');
    const [made, alive] = await page.evaluate(
        () => [window.testCanvases.length, window.testCanvases.filter(c => c.deref()).length]);
    assert.ok(made >= 4, `${made} canvases made`);
    assert.equal(alive, 1, 'only the last run\'s canvas');
    await page.close();
  });
});
