// The page on a slow link (1.6 Mbit/s, 150 ms, throttled by Chromium): the
// start is offered once the program and the compressed atlas are in, the
// music streams behind it and still plays in step, and a reload moves almost
// nothing. A download that stops moving ends with a message and a retry.
import assert from 'node:assert/strict';
import {test} from 'node:test';

import {openBrowser, untilMusicInStep, waitForState} from './browser.mjs';
import {kSite} from './native.mjs';

const kSlowLink = {offline: false, latency: 150, downloadThroughput: 1.6e6 / 8,
                   uploadThroughput: 1.6e6 / 8};

// Bytes over the wire (headers included) until `done` resolves, by file: a
// finished request's own count, or what arrived of one still streaming.
async function transferred(cdp, done) {
  const requests = new Map();
  const onRequest = e => requests.set(e.requestId, {
    name: new URL(e.request.url).pathname.slice(1) || 'index.html', bytes: 0});
  const onData = e => {
    const request = requests.get(e.requestId);
    if (request) request.bytes += e.encodedDataLength;
  };
  const onFinished = e => {
    const request = requests.get(e.requestId);
    if (request) request.bytes = e.encodedDataLength;
  };
  cdp.on('Network.requestWillBeSent', onRequest);
  cdp.on('Network.dataReceived', onData);
  cdp.on('Network.loadingFinished', onFinished);
  try {
    await done();
  } finally {
    cdp.off('Network.requestWillBeSent', onRequest);
    cdp.off('Network.dataReceived', onData);
    cdp.off('Network.loadingFinished', onFinished);
  }
  const bytes = new Map();
  for (const {name, bytes: n} of requests.values()) bytes.set(name, (bytes.get(name) ?? 0) + n);
  return bytes;
}

const total = bytes => [...bytes.values()].reduce((a, b) => a + b, 0);

test('on a slow link the start comes early, the music streams in step, a reload is cheap',
     {timeout: 240000}, async () => {
       const session = await openBrowser({folder: kSite});
       try {
         const page = await session.browser.newPage();
         page.messages = [];
         const cdp = await page.createCDPSession();
         await cdp.send('Network.enable');
         await cdp.send('Network.emulateNetworkConditions', kSlowLink);
         let seconds = 0;
         const first = await transferred(cdp, async () => {
           const t0 = Date.now();
           await page.goto(session.url);
           await waitForState(page, 'ready', 120000);
           seconds = (Date.now() - t0) / 1000;
         });
         console.log(`first load: start offered after ${seconds.toFixed(1)} s, ${total(first)} ` +
                     `bytes: ${JSON.stringify(Object.fromEntries(first))}`);
         assert.ok(!first.has('TEX.tga'), 'the atlas came compressed');
         assert.ok(seconds < 20, `${seconds} s until the start is offered`);
         assert.ok(total(first) < 1.3e6, `${total(first)} bytes before the start`);

         await page.keyboard.press('KeyA');
         await waitForState(page, 'running', 5000);
         await untilMusicInStep(page);
         await page.keyboard.press('Escape');
         await waitForState(page, 'ended', 5000);

         const again = await transferred(cdp, async () => {
           const t0 = Date.now();
           await page.reload();
           await waitForState(page, 'ready', 120000);
           seconds = (Date.now() - t0) / 1000;
         });
         const program = ['index.html', 'page.js', 'quorvane.js', 'quorvane.wasm', 'TEX.tga.gz'];
         const reloaded = program.reduce((sum, name) => sum + (again.get(name) ?? 0), 0);
         console.log(`reload: start offered after ${seconds.toFixed(1)} s, ${total(again)} bytes: ` +
                     `${JSON.stringify(Object.fromEntries(again))}`);
         assert.ok(reloaded < 20000, `the reload moved ${reloaded} bytes of unchanged files`);
       } finally {
         await session.close();
       }
     });

test('a download that stops moving ends after 20 s with a message and a retry', {timeout: 90000},
     async () => {
       const session = await openBrowser({folder: kSite, serve: {stalled: ['TEX.tga.gz']}});
       try {
         const page = await session.browser.newPage();
         page.messages = [];
         await page.goto(session.url);
         await waitForState(page, 'failed', 40000);
         assert.match(await page.$eval('#problems', l => l.textContent),
                      /TEX\.tga\.gz stopped arriving: nothing came for 20 s/);
         assert.ok(await page.$eval('#retry', b => !b.hidden));
         assert.equal(await page.evaluate(() => document.activeElement.id), 'retry');
         const reloaded = page.waitForNavigation();
         await page.click('#retry');
         await reloaded;
         await page.waitForFunction(() => window.quorvane?.state === 'loading');
       } finally {
         await session.close();
       }
     });
