// The piece on screens of every shape: phones in portrait and landscape, a
// window turned or resized mid-run, a narrow embedding frame, and the usual
// desktop shapes. A circle of the piece (the swarm's sphere, 10 to 20 s in)
// must stay round, the size it has in the native picture.
import assert from 'node:assert/strict';
import {mkdir, writeFile} from 'node:fs/promises';
import {join} from 'node:path';
import {after, before, describe, test} from 'node:test';

import {openBrowser, sleep, untilPieceTime, waitForState} from './browser.mjs';
import {brightExtent, captureFrame, decodePng, kSite, kWebBuild} from './native.mjs';

// 10 s: the sphere, bright and whole.
const kSphereFrame = 600;
const kPieceAspect = 1.8;
const portrait = {width: 390, height: 844, deviceScaleFactor: 2, isMobile: true, hasTouch: true};
const landscape = {...portrait, width: 844, height: 390, isLandscape: true};

const shots = join(kWebBuild, 'screens');

// The canvas's box on the page, in device pixels of a screenshot.
async function canvasBox(frame, offset = {x: 0, y: 0}) {
  return frame.evaluate(offset => {
    const r = document.getElementById('canvas').getBoundingClientRect();
    const ratio = devicePixelRatio;
    return {
      x: Math.round((offset.x + r.left) * ratio), y: Math.round((offset.y + r.top) * ratio),
      width: Math.round(r.width * ratio), height: Math.round(r.height * ratio),
      pixels: [document.getElementById('canvas').width, document.getElementById('canvas').height],
      css: [r.width, r.height], view: [innerWidth, innerHeight],
    };
  }, offset);
}

// The sphere as the page shows it, from a screenshot kept for a look. The
// picture must reach every corner of the canvas: a viewport left at an
// earlier, smaller drawing buffer leaves some of it black.
async function sphereOnPage(page, name, box) {
  const png = await page.screenshot();
  await writeFile(join(shots, `${name}.png`), png);
  const image = decodePng(png);
  for (const [qx, qy] of [[0, 0], [1, 0], [0, 1], [1, 1]]) {
    const quarter = {x: box.x + qx * (box.width >> 1), y: box.y + qy * (box.height >> 1),
                     width: box.width >> 1, height: box.height >> 1};
    assert.ok(meanBrightness(image, quarter) > 8, `${name}.png: a quarter of the canvas is black`);
  }
  const sphere = brightExtent(image, box);
  assert.ok(sphere, `no sphere in ${name}.png`);
  return sphere;
}

function meanBrightness(image, box) {
  let sum = 0;
  for (let y = box.y; y < box.y + box.height; ++y)
    for (let x = box.x; x < box.x + box.width; ++x) {
      const i = (y * image.width + x) * 4;
      sum += image.data[i] + image.data[i + 1] + image.data[i + 2];
    }
  return sum / (3 * box.width * box.height);
}

// A frame of the scripted clock is the native frame; a real-time frame comes
// from the browser's own frame times, whose larger steps shape the swarm a
// little differently, hence `tolerance`. Stretching was 3.9 times.
function assertSameSphere(seen, native, what, tolerance = 0.06) {
  console.log(`${what}: sphere ${seen.width}x${seen.height}, height/width ` +
              `${seen.aspect.toFixed(3)} (natively ${native.aspect.toFixed(3)})`);
  assert.ok(Math.abs(seen.aspect / native.aspect - 1) < tolerance,
            `${what}: sphere ${seen.width}x${seen.height} (height/width ${seen.aspect.toFixed(3)}), ` +
            `natively ${native.aspect.toFixed(3)}`);
  assert.ok(Math.abs(seen.heightShare / native.heightShare - 1) < 2 * tolerance,
            `${what}: sphere fills ${seen.heightShare.toFixed(3)} of the picture's height, natively ` +
            `${native.heightShare.toFixed(3)}`);
}


describe('the piece on any screen', () => {
  let session;
  let native;

  before(async () => {
    await mkdir(shots, {recursive: true});
    native = brightExtent(decodePng(await captureFrame(kSphereFrame, 540, 300)));
    session = await openBrowser({folder: kSite});
  });
  after(async () => {
    if (session) await session.close();
  });

  async function phonePage(viewport, query) {
    const page = await session.browser.newPage();
    page.messages = [];
    await page.setViewport(viewport);
    await page.goto(session.url + query);
    return page;
  }

  test('a phone in portrait gets the piece between black bars, round, and is asked to tap',
       {timeout: 120000}, async () => {
         const page = await phonePage(portrait, '');
         await waitForState(page, 'ready');
         assert.equal(await page.$eval('#begin', b => b.textContent), 'tap to begin');
         await page.goto(`${session.url}?frame=${kSphereFrame}`);
         await waitForState(page, 'drawn', 90000);
         const box = await canvasBox(page);
         assert.deepEqual(box.pixels, [780, 433], 'the full width at device pixels, 1.8:1');
         assert.equal(box.css[0], portrait.width);
         assert.ok(Math.abs(box.y * 2 + box.height - portrait.height * 2) <= 2, 'centred');
         assertSameSphere(await sphereOnPage(page, 'phone-portrait', box), native, 'portrait');
         await page.close();
       });

  test('a phone in landscape gets bars at the sides when its screen is wider than the piece',
       {timeout: 120000}, async () => {
         const page = await phonePage(landscape, `?frame=${kSphereFrame}`);
         await waitForState(page, 'drawn', 90000);
         const box = await canvasBox(page);
         assert.equal(box.pixels[1], landscape.height * 2);
         assert.ok(Math.abs(box.pixels[0] / box.pixels[1] - kPieceAspect) < 0.01);
         assertSameSphere(await sphereOnPage(page, 'phone-landscape', box), native, 'landscape');
         await page.close();
       });

  test('16:9, 16:10 and 3:2 windows are covered whole, as the native picture covers a screen',
       async () => {
         const page = await phonePage({width: 1280, height: 720}, '?frame=2');
         await waitForState(page, 'drawn', 90000);
         for (const [width, height] of [[1280, 720], [1280, 800], [1200, 800]]) {
           await page.setViewport({width, height});
           await sleep(200);
           const box = await canvasBox(page);
           assert.deepEqual(box.css, [width, height], `${width}x${height}`);
         }
         await page.close();
       });

  // Real time at one device pixel per CSS pixel, so that software WebGL keeps
  // a frame rate at which the swarm still forms its sphere.
  test('turning the phone mid-run re-fits the canvas at device pixels; the sphere stays round',
       {timeout: 120000}, async () => {
         const turned = {...landscape, deviceScaleFactor: 1};
         const page = await phonePage({...portrait, deviceScaleFactor: 1}, '');
         await waitForState(page, 'ready');
         await page.tap('#screen');
         await waitForState(page, 'running', 5000);
         await untilPieceTime(page, 9);
         await page.setViewport(turned);
         await untilPieceTime(page, 12);
         const box = await canvasBox(page);
         assert.deepEqual(box.pixels, [Math.round(turned.height * kPieceAspect), turned.height]);
         assertSameSphere(await sphereOnPage(page, 'phone-turned', box), native, 'turned', 0.12);
         assert.ok(await page.evaluate(() => window.quorvane.state === 'running'));
         await page.close();
       });

  // The browser's window is smaller than its screen; a canvas sized for the
  // screen would be cut off by the window's edges.
  test('full screen refused, or left for another tab: the canvas fits the window', async () => {
    const page = await session.browser.newPage();
    page.messages = [];
    await page.evaluateOnNewDocument(() => {
      Element.prototype.requestFullscreen = () => Promise.reject(new TypeError('refused'));
    });
    await page.setViewport({width: 1000, height: 600});
    await page.goto(session.url);
    await waitForState(page, 'ready');
    await page.keyboard.press('KeyA');
    await waitForState(page, 'running', 5000);
    await page.waitForFunction(
        () => window.quorvane.log.some(e => e.event === 'fullscreen-refused'), {timeout: 5000});
    const box = await canvasBox(page);
    assert.ok(box.css[0] <= box.view[0] && box.css[1] <= box.view[1],
              `canvas ${box.css} in a window of ${box.view}`);
    assert.ok(box.css[0] === box.view[0] || box.css[1] === box.view[1], `${box.css} ${box.view}`);
    await page.keyboard.press('Escape');
    await page.close();
  });

  test('a frame without full screen, resized mid-run, re-fits its canvas and keeps the sphere',
       {timeout: 120000}, async () => {
         const page = await session.browser.newPage();
         page.messages = [];
         await page.setViewport({width: 900, height: 700});
         // An embedding page that does not allow full screen.
         await page.setContent(`<body style="margin:0;background:#222">
           <iframe id="piece" src="${session.url}"
                   style="border:0;width:800px;height:450px"></iframe></body>`,
                           {waitUntil: 'domcontentloaded'});
         const frame = await (await page.$('#piece')).contentFrame();
         await frame.waitForFunction(() => window.quorvane, {timeout: 30000});
         await waitForState(frame, 'ready');
         await frame.click('#screen');
         await waitForState(frame, 'running', 5000);
         assert.ok((await frame.evaluate(() => window.quorvane.log.map(e => e.event)))
                       .includes('fullscreen-unavailable'));
         await untilPieceTime(frame, 9);
         await page.$eval('#piece', f => Object.assign(f.style, {width: '360px', height: '640px'}));
         await untilPieceTime(frame, 12);
         const box = await canvasBox(frame);
         assert.deepEqual(box.pixels, [360, 200]);
         assertSameSphere(await sphereOnPage(page, 'narrow-frame', box), native, 'narrow frame', 0.12);
         await page.close();
       });
});
