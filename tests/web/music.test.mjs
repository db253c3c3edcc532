// The music in step with the picture for a whole run in real time: the
// offset between the <audio> element's position and the piece's clock,
// measured on the page's own clock at the start, mid-run and near the end,
// and after the tab was hidden and after it was frozen. It takes the piece's
// 230 s; a tiny canvas keeps it light, so run.sh runs it beside the others.
import assert from 'node:assert/strict';
import {after, before, test} from 'node:test';

import {openBrowser, sleep, untilPieceTime, waitForState} from './browser.mjs';
import {kSite} from './native.mjs';

const kInStepMs = 40;

// The median offset over one second, in ms: the music's position minus the
// piece's clock (the program's millisecond reading from its start), positive
// when the music is ahead. Read from the element itself, not the page's sums.
function offsetMs(page) {
  return page.evaluate(async () => {
    const start = window.quorvane.log.find(e => e.event === 'clock-start').detail;
    const offsets = [];
    for (let i = 0; i < 40; ++i) {
      const audio = window.testAudio;
      if (audio && !audio.paused && !audio.seeking)
        offsets.push(audio.currentTime * 1000 - ((Math.floor(performance.now()) >>> 0) - start));
      await new Promise(done => setTimeout(done, 25));
    }
    offsets.sort((a, b) => a - b);
    return offsets.length < 20 ? null : offsets[offsets.length >> 1];
  });
}

// In step within `withinSeconds`: the last offset measured.
async function backInStep(page, withinSeconds) {
  const until = Date.now() + withinSeconds * 1000;
  let offset = null;
  do {
    offset = await offsetMs(page);
    if (offset !== null && Math.abs(offset) <= kInStepMs) return offset;
  } while (Date.now() < until);
  return offset;
}

let session;
before(async () => {
  session = await openBrowser({folder: kSite});
});
after(async () => {
  if (session) await session.close();
});

test('the music keeps in step with the picture through a whole run', {timeout: 300000}, async () => {
  const page = await session.browser.newPage();
  page.messages = [];
  await page.evaluateOnNewDocument(() => {
    const play = HTMLMediaElement.prototype.play;
    HTMLMediaElement.prototype.play = function() {
      window.testAudio = this;
      return play.call(this);
    };
  });
  // A tab to put in front of the piece's later; a new tab comes in front.
  const other = await session.browser.newPage();
  await page.bringToFront();
  await page.goto(`${session.url}?size=64x36`);
  await waitForState(page, 'ready');
  await page.keyboard.press('KeyA');
  await waitForState(page, 'running', 5000);
  const cdp = await page.createCDPSession();
  const show = async () => {
    await other.bringToFront();
    await page.bringToFront();
  };
  const seen = {};

  await untilPieceTime(page, 5);
  seen.start = await offsetMs(page);

  await untilPieceTime(page, 20);
  await other.bringToFront();
  await sleep(3000);
  await page.bringToFront();
  seen['after a hidden tab'] = await backInStep(page, 8);

  await untilPieceTime(page, 40);
  await cdp.send('Page.setWebLifecycleState', {state: 'frozen'});
  await sleep(3000);
  await cdp.send('Page.setWebLifecycleState', {state: 'active'});
  await show();  // a frozen tab is one in the background, resumed when shown
  seen['after a freeze'] = await backInStep(page, 8);

  await untilPieceTime(page, 115);
  seen['mid-run'] = await offsetMs(page);
  await untilPieceTime(page, 222);
  seen['near the end'] = await offsetMs(page);

  console.log('music minus picture, ms:',
              Object.entries(seen).map(([at, ms]) => `${at} ${ms?.toFixed(1)}`).join(', '));
  // What the page knew, for a failure's message.
  const known = await page.evaluate(() => JSON.stringify({
    state: window.quorvane.state, music: window.quorvane.music(), problems: window.quorvane.problems,
    log: window.quorvane.log.slice(-12).map(e => [e.event, e.detail, Math.round(e.time)]),
  }));
  for (const [at, ms] of Object.entries(seen)) {
    assert.ok(ms !== null, `no music playing ${at}: ${known}`);
    assert.ok(Math.abs(ms) <= kInStepMs, `${at}: the music is ${ms.toFixed(1)} ms off`);
  }
  await waitForState(page, 'ended', 30000);
  await other.close();
  await page.close();
});
