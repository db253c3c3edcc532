// Every way the piece's files can be wrong is named on the page, and the
// piece does what the native one does with such a file: an atlas that is not
// the piece's is shown as it is, music that cannot play leaves the run silent,
// a program that cannot load says which file failed. Also a page without
// JavaScript, without its own script, and a canvas larger than WebGL draws.
import assert from 'node:assert/strict';
import {randomBytes} from 'node:crypto';
import {mkdir, readFile, writeFile} from 'node:fs/promises';
import {join} from 'node:path';
import {after, before, describe, test} from 'node:test';

import {openBrowser, openPage, untilMusicInStep, waitForState} from './browser.mjs';
import {kSite, kWebBuild} from './native.mjs';

const kAtlasBytes = 18 + 1024 * 1024 * 4;
const shots = join(kWebBuild, 'screens');
const html = '<!DOCTYPE html>\n<html><head><title>Not here</title></head><body>Moved</body></html>\n';

let session;
before(async () => {
  session = await openBrowser({folder: kSite});
});
after(async () => {
  if (session) await session.close();
});

// A page from a server that plays the given broken host.
async function withPage(serve, query, body) {
  const url = await session.serveAlso(serve);
  const page = await openPage({browser: session.browser, url}, query);
  try {
    await body(page);
  } finally {
    await page.close();
  }
}

const problems = page => page.evaluate(() => window.quorvane.problems.join('\n'));
const shownProblems = page => page.$eval('#problems', list => list.textContent);

function tgaHeader() {
  const header = Buffer.alloc(18);
  header[2] = 2;
  header.writeUInt16LE(1024, 12);
  header.writeUInt16LE(1024, 14);
  header[16] = 32;
  return header;
}

describe('an atlas that is not the piece\'s', () => {
  const cases = [
    ['cut short', Buffer.concat([tgaHeader(), Buffer.alloc(1000, 0x80)]),
     /TEX\.tga is not the piece's atlas: 1018 bytes, 4193304 bytes short/],
    ['empty', Buffer.alloc(0), /TEX\.tga is not the piece's atlas: 0 bytes, empty/],
    ['an HTML page', Buffer.from(html),
     new RegExp(`TEX\\.tga is not the piece's atlas: ${html.length} bytes, an HTML page`)],
    ['random bytes', randomBytes(kAtlasBytes),
     /TEX\.tga is not the piece's atlas: 4194322 bytes, not a 1024x1024 32-bit uncompressed TGA/],
  ];
  for (const [what, bytes, named] of cases) {
    test(`${what}: named, shown as the native program would, and noted in the run`, async () => {
      const serve = {hidden: ['TEX.tga.gz'], replaced: {'TEX.tga': bytes}};
      await withPage(serve, '?size=64x36', async page => {
        await waitForState(page, 'ready');
        assert.match(await shownProblems(page), named);
        assert.match(await problems(page), /the piece runs with this file/);
        await mkdir(shots, {recursive: true});
        await writeFile(join(shots, `atlas-${what.replaceAll(' ', '-')}.png`), await page.screenshot());
        const loaded = await page.evaluate(() => Array.from(window.Module.FS.readFile('TEX.tga')));
        assert.deepEqual(Buffer.from(loaded), bytes.subarray(0, kAtlasBytes));
        await page.keyboard.press('KeyA');
        await page.waitForFunction(() => window.quorvane.frames > 3, {timeout: 15000});
        assert.match(await page.$eval('#notice', n => n.textContent),
                     /TEX\.tga is not the piece's atlas: the picture is not as it should be/);
        await page.keyboard.press('Escape');
      });
    });
  }

  test('a 100 MB one is read only as far as the piece reads', async () => {
    const huge = Buffer.concat([tgaHeader(), Buffer.alloc(100e6 - 18, 0x40)]);
    await withPage({hidden: ['TEX.tga.gz'], replaced: {'TEX.tga': huge}, compress: false}, '',
                   async page => {
                     await waitForState(page, 'ready');
                     assert.match(await problems(page), /longer than the piece's 4194322 bytes/);
                     assert.equal(await page.evaluate(() => window.Module.FS.stat('TEX.tga').size),
                                  kAtlasBytes);
                     const received = await page.evaluate(() => performance.getEntriesByName(
                         new URL('TEX.tga', location).href)[0]?.encodedBodySize ?? -1);
                     assert.ok(received < 30e6, `${received} bytes of the atlas came in`);
                   });
  });

  for (const [what, copy] of [['broken', Buffer.concat([Buffer.from([0x1f, 0x8b]), randomBytes(5000)])],
                              ['wrong', randomBytes(5000)]]) {
    test(`a ${what} gzip copy gives way to the plain file, silently`, async () => {
      await withPage({replaced: {'TEX.tga.gz': copy}}, '', async page => {
        await waitForState(page, 'ready');
        assert.equal(await problems(page), '');
        const from = await page.evaluate(() =>
            window.quorvane.log.find(e => e.event === 'atlas-from').detail);
        assert.equal(from, 'TEX.tga');
      });
    });
  }
});

describe('music that cannot be played', () => {
  const cases = [
    ['random bytes', {replaced: {'RX_muc.mp3': randomBytes(200000)}}, /RX_muc\.mp3 cannot be played/],
    ['empty', {replaced: {'RX_muc.mp3': Buffer.alloc(0)}}, /RX_muc\.mp3 cannot be played \(the file is empty\)/],
    ['an HTML page', {replaced: {'RX_muc.mp3': Buffer.from(html)}},
     /RX_muc\.mp3 cannot be played \(it is not MP3: an HTML page\)/],
    ['blocked by the site\'s security policy',
     {headers: {'Content-Security-Policy': "media-src 'none'"}},
     /RX_muc\.mp3 is blocked by this site's Content-Security-Policy/],
  ];
  for (const [what, serve, named] of cases) {
    test(`${what}: named before the start, and the run is silent`, async () => {
      await withPage(serve, '', async page => {
        await waitForState(page, 'ready');
        await page.waitForFunction(() => window.quorvane.music().failure?.length > 10,
                                   {timeout: 15000});
        assert.match(await shownProblems(page), named);
        assert.match(await shownProblems(page), /the piece will run without music/);
        await page.keyboard.press('KeyA');
        await waitForState(page, 'running', 5000);
        await page.waitForFunction(() => window.quorvane.frames > 3, {timeout: 15000});
        assert.equal(await page.evaluate(() => window.quorvane.music().playing), false);
      });
    });
  }

  test('refused by the browser: named over the running piece', async () => {
    const page = await session.browser.newPage();
    page.messages = [];
    await page.evaluateOnNewDocument(() => {
      HTMLMediaElement.prototype.play = () =>
          Promise.reject(new DOMException('play() needs a gesture', 'NotAllowedError'));
    });
    await page.goto(await session.serveAlso({}));
    await waitForState(page, 'ready');
    await page.keyboard.press('KeyA');
    await page.waitForSelector('#notice', {timeout: 10000});
    assert.match(await page.$eval('#notice', n => n.textContent),
                 /The browser refused to play RX_muc\.mp3 \(NotAllowedError/);
    assert.equal(await page.evaluate(() => window.quorvane.state), 'running');
    await page.keyboard.press('Escape');
    await page.close();
  });
});

describe('a host that gzips every answer, byte ranges too', () => {
  const serve = {compress: 'always'};

  test('the music, which cannot stream from it, plays whole from memory, in step', async () => {
    await withPage(serve, '?size=64x36', async page => {
      await waitForState(page, 'ready');
      await page.waitForFunction(
          () => window.quorvane.log.some(e => e.event === 'music-whole-file'), {timeout: 20000});
      await page.keyboard.press('KeyA');
      await waitForState(page, 'running', 5000);
      await untilMusicInStep(page);
      assert.equal(await problems(page), '');
      await page.keyboard.press('Escape');
    });
  });

  test('where the whole file does not come either, the message names the compression',
       async () => {
         const page = await session.browser.newPage();
         page.messages = [];
         await page.evaluateOnNewDocument(() => {
           // The whole file does not arrive either (cut off, say).
           const fetch = window.fetch;
           const whole = init => !init?.headers?.Range && (init?.method ?? 'GET') === 'GET';
           window.fetch = (url, init) => String(url).endsWith('RX_muc.mp3') && whole(init)
               ? Promise.reject(new TypeError('Failed to fetch'))
               : fetch(url, init);
         });
         await page.goto(await session.serveAlso(serve));
         await waitForState(page, 'ready');
         await page.waitForFunction(() => window.quorvane.music().failure?.length > 10,
                                    {timeout: 20000});
         assert.match(await shownProblems(page),
                      /cannot be played \(the host sends it compressed \(Content-Encoding: gzip\)/);
         await page.close();
       });
});

describe('a program that cannot load', () => {
  const cases = [
    ['quorvane.js cut short', async () => ({
      'quorvane.js': (await readFile(join(kSite, 'quorvane.js'))).subarray(0, 5000)}),
     /quorvane\.js could not be run \(Uncaught SyntaxError/],
    ['quorvane.js an HTML page', async () => ({'quorvane.js': html}),
     /quorvane\.js could not be run \(Uncaught SyntaxError/],
    ['quorvane.wasm an HTML page', async () => ({'quorvane.wasm': html}),
     /quorvane\.wasm is not the program: \d+ bytes, an HTML page/],
    ['quorvane.wasm cut short', async () => ({
      'quorvane.wasm': (await readFile(join(kSite, 'quorvane.wasm'))).subarray(0, 20000)}),
     /the program stopped while starting/],
  ];
  for (const [what, replaced, named] of cases) {
    test(`${what}: says which file failed, and offers no start`, async () => {
      await withPage({replaced: await replaced()}, '', async page => {
        await waitForState(page, 'failed');
        assert.match(await shownProblems(page), /The program could not be started/);
        assert.match(await shownProblems(page), named);
        assert.ok(await page.$eval('#begin', b => b.hidden));
      });
    });
  }

  test('a page that lacks a hook the program calls stops it at its start, naming the hook',
       async () => {
         const script = await readFile(join(kSite, 'page.js'), 'utf8');
         const renamed = script.replace('clockStarted, takeEndRequest,', 'clockStarted, takeEndRequests: takeEndRequest,');
         assert.notEqual(renamed, script);
         await withPage({replaced: {'page.js': renamed}}, '', async page => {
           await waitForState(page, 'failed');
           assert.match(await shownProblems(page), /the page lacks the hooks takeEndRequest/);
         });
       });

  // The file at fault named, also when it is one that page.js imports.
  for (const file of ['page.js', 'canvas.js', 'music.js']) {
    test(`without ${file}, the page says that its script did not load, naming ${file}`,
         async () => {
           await withPage({hidden: [file]}, '', async page => {
             await page.waitForFunction(
                 file => document.getElementById('loading').textContent.includes(`${file}: HTTP 404`),
                 {timeout: 10000}, file);
             const text = await page.$eval('#loading', p => p.textContent);
             assert.match(text, /could not load its script/);
             if (file !== 'page.js') assert.doesNotMatch(text, /page\.js/);
           });
         });
  }

  test('without JavaScript, the page says that the piece needs it', async () => {
    const page = await session.browser.newPage();
    await page.setJavaScriptEnabled(false);
    await page.goto(session.url);
    const text = await page.evaluate(() => document.body.innerText);
    assert.match(text, /The piece needs JavaScript/);
    assert.doesNotMatch(text, /Loading/);
    await page.close();
  });
});

test('a canvas larger than this browser draws is reduced, and the page says so', async () => {
  await withPage({}, '?frame=2&size=16384x16384', async page => {
    await waitForState(page, ['drawn', 'failed'], 120000);
    assert.equal(await page.evaluate(() => window.quorvane.state), 'drawn');
    const said = await problems(page);
    assert.match(said, /This browser cannot draw a 16384x16384 canvas|gave a \d+x\d+ picture/);
    const size = await page.evaluate(() => {
      const c = document.getElementById('canvas');
      const gl = c.getContext('webgl');
      return [c.width, c.height, gl.drawingBufferWidth, gl.drawingBufferHeight];
    });
    assert.deepEqual(size.slice(0, 2), size.slice(2), 'the canvas is what WebGL gave');
    assert.ok(size[0] < 16384);
  });
});

test('a run on a canvas larger than the browser draws: said before it and over it', async () => {
  await withPage({}, '?size=16384x16384', async page => {
    await waitForState(page, 'ready');
    assert.match(await shownProblems(page), new RegExp(
        'This browser cannot draw a 16384x16384 canvas \\(at most (\\d+) pixels a side\\): ' +
        'the piece is drawn at \\1x\\1\\.'));
    await page.keyboard.press('KeyA');
    await page.waitForFunction(() => window.quorvane.frames > 1, {timeout: 60000});
    assert.match(await page.$eval('#notice', n => n.textContent),
                 /^Drawn at (\d+)x\1, the largest this browser draws \(16384x16384 was asked/);
    await page.keyboard.press('Escape');
  });
});
