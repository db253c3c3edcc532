// The browser draws the same pictures as the native program: frames of a 60
// fps run drawn by the page's scripted clock against the capture tool's, and
// the simulation state against the native hash tool's at every checkpoint.
import assert from 'node:assert/strict';
import {mkdir, rm, writeFile} from 'node:fs/promises';
import {join} from 'node:path';
import {after, before, describe, test} from 'node:test';

import {openBrowser, openPage, waitForState} from './browser.mjs';
import {captureFrame, decodePng, kFramesPerSecond, kSite, kWebBuild, nativeCheckpoints,
        psnr} from './native.mjs';

const kWidth = 1280;
const kHeight = 720;
const kMinimumPsnr = 30;
// Opening, both formations, solids in full, and the closing card after the fade.
const kMoments = [2, 30, 100, 160, 222];
const kDrawTimeout = 240000;

describe('the browser build draws the native pictures', () => {
  let session;
  let checkpoints;
  const folder = join(kWebBuild, 'compared');

  before(async () => {
    await rm(folder, {recursive: true, force: true});
    await mkdir(folder, {recursive: true});
    checkpoints = await nativeCheckpoints();
    session = await openBrowser({folder: kSite});
  });
  after(async () => {
    if (session) await session.close();
  });

  // Frame k drawn by the page, read back from the canvas, with the checkpoints
  // up to k that the page reported and those that the native tool printed.
  async function drawInBrowser(k, width, height) {
    const page = await openPage(session, `?frame=${k}&size=${width}x${height}`);
    try {
      await waitForState(page, ['drawn', 'failed'], kDrawTimeout);
      const result = await page.evaluate(() => ({
        state: window.quorvane.state,
        problems: window.quorvane.problems,
        checkpoints: window.quorvane.checkpoints,
        picture: document.getElementById('canvas').toDataURL('image/png'),
      }));
      assert.equal(result.state, 'drawn', `${result.problems}\n${page.messages.join('\n')}`);
      const png = Buffer.from(result.picture.split(',')[1], 'base64');
      return {png, checkpoints: result.checkpoints, expected: checkpoints.filter(c => c.frame <= k)};
    } finally {
      await page.close();
    }
  }

  test('simulation state and random source equal the native ones at every checkpoint',
       {timeout: kDrawTimeout}, async () => {
         const last = checkpoints[checkpoints.length - 1].frame;
         const seen = await drawInBrowser(last, 64, 36);
         assert.deepEqual(seen.checkpoints, seen.expected);
       });

  const results = [];
  for (const seconds of kMoments) {
    const k = Math.ceil(seconds * kFramesPerSecond);
    test(`frame ${k} (${seconds} s) is within ${kMinimumPsnr} dB of the native capture`,
         {timeout: kDrawTimeout}, async () => {
           const native = await captureFrame(k, kWidth, kHeight);
           const browser = await drawInBrowser(k, kWidth, kHeight);
           const name = String(k).padStart(6, '0');
           await writeFile(join(folder, `native_${name}.png`), native);
           await writeFile(join(folder, `browser_${name}.png`), browser.png);
           assert.deepEqual(browser.checkpoints, browser.expected);
           const db = psnr(decodePng(browser.png), decodePng(native));
           results.push(`${seconds} s (frame ${k}): ${db.toFixed(2)} dB`);
           console.log(`PSNR at ${seconds} s, frame ${k}: ${db.toFixed(2)} dB`);
           assert.ok(db >= kMinimumPsnr, `PSNR ${db.toFixed(2)} dB; pictures in ${folder}`);
         });
  }

  after(async () => {
    await writeFile(join(folder, 'psnr.txt'), results.join('\n') + '\n');
  });
});
