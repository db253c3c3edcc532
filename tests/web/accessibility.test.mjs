// What a screen reader and a low-vision visitor meet, read from Chromium's
// accessibility tree and the computed styles: a labelled progress bar, no
// empty live region, a named and described picture with the time left during
// the run, and contrast of at least 4.5:1 for text and 3:1 for the controls.
import assert from 'node:assert/strict';
import {after, before, describe, test} from 'node:test';

import {openBrowser, openPage, waitForState} from './browser.mjs';
import {kSite} from './native.mjs';

// Every node of the tree, flattened.
async function treeNodes(page) {
  const nodes = [];
  const walk = node => {
    nodes.push(node);
    for (const child of node.children ?? []) walk(child);
  };
  walk(await page.accessibility.snapshot({interestingOnly: false}));
  return nodes;
}

// Live regions that are there but say nothing: an announcement waiting to
// happen that screen readers may read as an empty alert.
const emptyLiveRegions = page => page.evaluate(() =>
    [...document.querySelectorAll('[role=alert], [role=status], [role=log], [aria-live]')]
        .filter(e => e.getAttribute('aria-live') !== 'off' && !e.textContent.trim())
        .map(e => e.outerHTML));

// Contrast against the black page of every visible text and control border.
const contrasts = page => page.evaluate(() => {
  const luminance = color => {
    const [r, g, b] = color.match(/[\d.]+/g).slice(0, 3).map(v => {
      const c = Number(v) / 255;
      return c <= 0.04045 ? c / 12.92 : ((c + 0.055) / 1.055) ** 2.4;
    });
    return 0.2126 * r + 0.7152 * g + 0.0722 * b;
  };
  const ratio = color => (luminance(color) + 0.05) / 0.05;
  const visible = e => e.getClientRects().length > 0 && getComputedStyle(e).visibility !== 'hidden';
  const found = [];
  for (const e of document.querySelectorAll('body *')) {
    if (!visible(e) || e.closest('.visually-hidden')) continue;
    const style = getComputedStyle(e);
    const ownText = [...e.childNodes].some(n => n.nodeType === Node.TEXT_NODE && n.textContent.trim());
    if (ownText) found.push({what: `text of <${e.localName}>`, ratio: ratio(style.color), least: 4.5});
    if (e.localName === 'button')
      found.push({what: 'a button\'s border', ratio: ratio(style.borderTopColor), least: 3});
  }
  return found;
});

function assertContrast(found) {
  assert.ok(found.length > 0);
  for (const {what, ratio, least} of found)
    assert.ok(ratio >= least, `${what}: contrast ${ratio.toFixed(2)}:1, below ${least}:1`);
}

describe('the page for assistive technology', () => {
  let session;
  before(async () => {
    session = await openBrowser({folder: kSite, serve: {stalled: ['TEX.tga.gz']}});
  });
  after(async () => {
    if (session) await session.close();
  });

  test('while loading: a labelled progress bar and no empty live region', async () => {
    // The stalled atlas keeps the page loading.
    const page = await openPage(session);
    await page.waitForFunction(() => window.quorvane?.state === 'loading');
    const progress = (await treeNodes(page)).find(n => n.role === 'progressbar');
    assert.equal(progress?.name, 'Loading');
    assert.deepEqual(await emptyLiveRegions(page), []);
    assertContrast(await contrasts(page));
    await page.close();
  });
});

describe('the page for assistive technology, loaded', () => {
  let session;
  before(async () => {
    session = await openBrowser({folder: kSite});
  });
  after(async () => {
    if (session) await session.close();
  });

  test('before the run: the button, the version, readable; problems only as they come',
       async () => {
         const page = await openPage(session, '?speed=0');
         await waitForState(page, 'ready');
         const nodes = await treeNodes(page);
         const button = nodes.find(n => n.role === 'button' && !n.ignored);
         assert.match(button?.name ?? '', /to begin/);
         assert.ok(button.focused, 'the start has the focus');
         assert.ok(nodes.some(n => /version \d/.test(n.name ?? '')));
         // The bad parameter above is the one problem: an alert with words.
         assert.ok(nodes.some(n => n.role === 'alert'));
         assert.match(await page.$eval('[role=alert]', a => a.textContent), /^speed must be/);
         assert.deepEqual(await emptyLiveRegions(page), []);
         assertContrast(await contrasts(page));
         await page.close();
       });

  test('during the run: a named, described picture, and the time left', async () => {
    const page = await openPage(session);
    await waitForState(page, 'ready');
    await page.keyboard.press('KeyA');
    await waitForState(page, 'running', 5000);
    await page.waitForFunction(() => window.quorvane.frames > 3, {timeout: 20000});
    const nodes = await treeNodes(page);
    const picture = nodes.find(n => n.role === 'image');
    assert.equal(picture?.name, 'quorvane');
    assert.match(picture.description ?? '', /swarm/);
    assert.ok(picture.focused, 'the picture has the focus');
    assert.ok(nodes.some(n => n.role === 'timer'));
    assert.match(await page.$eval('[role=timer]', t => t.textContent), /^3 min [45]\d s left of the piece$/);
    assert.ok(!nodes.some(n => n.role === 'canvas' || (n.role === 'image' && !n.name)));
    assert.deepEqual(await emptyLiveRegions(page), []);

    await page.keyboard.press('Escape');
    await waitForState(page, 'ended', 5000);
    assert.ok(!(await treeNodes(page)).some(n => n.role === 'timer'), 'no timer after the run');
    assertContrast(await contrasts(page));
    await page.close();
  });
});
