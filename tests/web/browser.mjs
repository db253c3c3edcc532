// Headless Chromium for the browser tests, and the build served beside it.
// Everything started here is stopped by close(), also when a test fails.
import {mkdtemp, rm} from 'node:fs/promises';
import {tmpdir} from 'node:os';
import {join} from 'node:path';
import puppeteer from 'puppeteer-core';

import {startServer} from '../../scripts/serve_web.mjs';

export const kChromium = process.env.QUORVANE_CHROMIUM || '/usr/bin/chromium';

// WebGL without a GPU: SwiftShader, or Mesa through ANGLE's EGL back end.
// The tests use SwiftShader unless QUORVANE_WEBGL=mesa: a rasteriser of its
// own, so that agreeing pictures do not come from sharing Mesa's.
export const kWebGLRenderers = {
  swiftshader: ['--use-angle=swiftshader', '--enable-unsafe-swiftshader'],
  mesa: ['--use-angle=gl-egl', '--ignore-gpu-blocklist'],
};
const kDefaultRenderer = process.env.QUORVANE_WEBGL === 'mesa' ? 'mesa' : 'swiftshader';

// The networking switches keep Chromium from reaching out, which this
// machine's closed network would refuse.
function chromiumArguments(renderer, width, height) {
  return [
    ...kWebGLRenderers[renderer], `--window-size=${width},${height}`, '--no-sandbox',
    '--disable-quic', '--no-first-run', '--disable-background-networking',
    '--disable-component-update', '--disable-sync', '--disable-default-apps', '--mute-audio',
  ];
}

// `serve` passes options to the server (files hidden, replaced or stalled,
// headers added); see scripts/serve_web.mjs. `serveAlso(serve)` starts one
// more server of the folder, on its own port and so its own origin, for a
// test that needs another broken host without another browser.
export async function openBrowser({folder, serve = {}, width = 1280, height = 720,
                                   renderer = kDefaultRenderer, extraArguments = []}) {
  const profile = await mkdtemp(join(tmpdir(), 'quorvane-chromium-'));
  const servers = [];
  let browser = null;
  const close = async () => {
    if (browser) await browser.close().catch(() => browser.process()?.kill('SIGKILL'));
    await Promise.all(servers.map(server => server.close()));
    await rm(profile, {recursive: true, force: true});
  };
  const serveAlso = async options => {
    const server = await startServer(folder, options);
    servers.push(server);
    return server.url;
  };
  let url;
  try {
    url = await serveAlso(serve);
    browser = await puppeteer.launch({
      executablePath: kChromium,
      headless: true,
      userDataDir: profile,
      args: [...chromiumArguments(renderer, width, height), ...extraArguments],
      defaultViewport: null,
    });
  } catch (e) {
    await close();
    throw e;
  }
  return {browser, url, serveAlso, close};
}

// A new tab whose console and errors are kept for the test's messages.
export async function openPage(session, query = '') {
  const page = await session.browser.newPage();
  const messages = [];
  page.on('console', m => messages.push(`${m.type()}: ${m.text()}`));
  page.on('pageerror', e => messages.push(`pageerror: ${e.message}`));
  page.messages = messages;
  await page.goto(session.url + query);
  return page;
}

export async function waitForState(page, states, timeout = 60000) {
  const wanted = [].concat(states);
  await page.waitForFunction(s => s.includes(window.quorvane?.state), {timeout, polling: 100},
                             wanted)
      .catch(async e => {
        const state = await page.evaluate(() => window.quorvane?.state).catch(() => '?');
        throw new Error(`page state ${state}, not ${wanted.join(' or ')}: ${e.message}\n` +
                        (page.messages ?? []).join('\n'));
      });
}

export const sleep = ms => new Promise(done => setTimeout(done, ms));
export const events = page => page.evaluate(() => window.quorvane.log.map(e => e.event));

// From the start screen into a run, by a key press.
export async function begin(page) {
  await waitForState(page, 'ready');
  await page.keyboard.press('KeyA');
  await waitForState(page, 'running', 5000);
}

// Seconds of the piece's clock so far (its speed given), from the page's log.
export function pieceSeconds(page, speed = 1) {
  return page.evaluate(speed => {
    const start = window.quorvane.log.find(e => e.event === 'clock-start');
    return start ? (performance.now() - start.time) * speed / 1000 : 0;
  }, speed);
}

export async function untilPieceTime(page, seconds, speed = 1) {
  const now = await pieceSeconds(page, speed);
  if (now < seconds) await sleep((seconds - now) * 1000 / speed);
}

// Until the page's music plays within 40 ms of the picture.
export function untilMusicInStep(page) {
  return page.waitForFunction(() => {
    const m = window.quorvane.music();
    return m.playing && m.offsetMs !== null && Math.abs(m.offsetMs) < 40;
  }, {timeout: 20000, polling: 200});
}
