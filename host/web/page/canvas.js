// The canvas: its size and proportions on any screen, full screen, and a
// WebGL context that the browser may take away and give back. The program
// never sets the viewport; the canvas's shape is the page's to choose.
import {hideNotice, note, reportProblem, showNotice} from './notes.js';

// Screens within this factor of the piece's proportions are covered whole,
// the picture a little stretched as the native one is (16:9, 16:10, 3:2);
// others (phones, narrow frames) get black bars around the piece's shape.
const kCoverWithin = 1.2;
const kRestoreWaitSeconds = 5;
// A full-screen exit this soon after the tab was shown again is the one the
// browser made when it hid the tab, delivered late: some 10 ms later usually,
// over a second on a busy machine. A deliberate exit so soon after coming
// back is taken the same way: the run goes on in the window, where Escape
// still ends it.
const kShownRecentlyMs = 5000;
// Or the exit comes first and the tab's hiding after it, on a busy machine
// tens of milliseconds later: an exit counts as the visitor's only once this
// long has passed with the tab in view.
const kHidingAfterExitMs = 1000;

let options = null;
let canvas = null;
let listening = null;
let aspect = 16 / 9;
// Between the request and the browser's answer the canvas is sized for the
// screen, so that it is right from the first frame; once the answer is in
// (granted, refused, or full screen left) the canvas follows what it covers.
let fullscreenPending = false;
// Only a full screen that this run entered can be left on purpose; an exit
// still under way from the previous run is not this run's.
let fullscreenEntered = false;
let hiddenSinceFullscreen = false;
let leaving = Promise.resolve();
let shownAt = -Infinity;
let restoreTimer = 0;
let leaveTimer = 0;
// The size asked for, within what this browser draws; and when it had to be
// reduced, the line said over the run.
let fixedSize = null;
let reducedNote = null;

// `size`: a fixed drawing-buffer size or null; `largestSide`: what the
// browser's WebGL can draw; `isRunning()`, and what to do when full screen is
// left on purpose (`onLeave`) or the graphics do not come back (`onGiveUp`).
export function initCanvas(given) {
  options = given;
  if (options.size) {
    fixedSize = withinLimits(options.size);
    if (Math.max(...options.size) > options.largestSide)
      reducedNote = reducedText(fixedSize, options.size);
  }
  window.addEventListener('resize', fitCanvas);
  document.addEventListener('fullscreenchange', onFullscreenChange);
  document.addEventListener('visibilitychange', () => {
    note(document.hidden ? 'tab-hidden' : 'tab-shown');
    if (document.hidden) hiddenSinceFullscreen = true;
    else shownAt = performance.now();
  });
}

// The picture's shape in an area of the given shape, in device pixels.
function fit(width, height, shape) {
  const areaShape = width / height;
  if (areaShape <= shape * kCoverWithin && areaShape >= shape / kCoverWithin) return [width, height];
  return areaShape > shape ? [Math.round(height * shape), height] : [width, Math.round(width / shape)];
}

const reducedText = (drawn, asked) =>
    `Drawn at ${drawn.join('x')}, the largest this browser draws ` +
    `(${asked.join('x')} was asked for).`;

function withinLimits([width, height]) {
  const largest = options.largestSide;
  if (Math.max(width, height) <= largest) return [width, height];
  const scale = largest / Math.max(width, height);
  const reduced = [Math.max(1, Math.floor(width * scale)), Math.max(1, Math.floor(height * scale))];
  reportProblem(`This browser cannot draw a ${width}x${height} canvas (at most ${largest} pixels ` +
                `a side): the piece is drawn at ${reduced[0]}x${reduced[1]}.`);
  return reduced;
}

// What the canvas covers: the screen while full screen is on its way, else
// the window (which is the screen in full screen).
function area() {
  const ratio = window.devicePixelRatio || 1;
  const screenComing = fullscreenPending && !document.fullscreenElement;
  const [width, height] = screenComing ? [screen.width, screen.height] : [innerWidth, innerHeight];
  return {width: Math.round(width * ratio), height: Math.round(height * ratio), ratio};
}

function fitCanvas() {
  if (!canvas) return;
  const {width, height, ratio} = area();
  const [pixelsWide, pixelsHigh] =
      options.size ? [canvas.width, canvas.height] : withinLimits(fit(width, height, aspect));
  if (!options.size && (canvas.width !== pixelsWide || canvas.height !== pixelsHigh)) {
    [canvas.width, canvas.height] = [pixelsWide, pixelsHigh];
    note('canvas-size', `${pixelsWide}x${pixelsHigh}`);
  }
  // On the page, the drawing buffer's own shape, as large as the area allows.
  const scale = Math.min(width / pixelsWide, height / pixelsHigh);
  canvas.style.width = `${(pixelsWide * scale) / ratio}px`;
  canvas.style.height = `${(pixelsHigh * scale) / ratio}px`;
}

function onFullscreenChange() {
  fullscreenPending = false;
  fitCanvas();
  if (!options.isRunning()) return;
  if (document.fullscreenElement) {
    fullscreenEntered = true;
    hiddenSinceFullscreen = document.hidden;
    note('fullscreen');
    return;
  }
  if (!fullscreenEntered) return;
  fullscreenEntered = false;
  if (leftForHiddenTab()) return;
  clearTimeout(leaveTimer);
  leaveTimer = setTimeout(() => {
    if (!options.isRunning() || fullscreenEntered || leftForHiddenTab()) return;
    note('fullscreen-left');
    options.onLeave();
  }, kHidingAfterExitMs);
}

// A hidden tab leaves full screen by the browser's doing, not the visitor's:
// the run goes on in the window.
function leftForHiddenTab() {
  if (!document.hidden &&
      !(hiddenSinceFullscreen && performance.now() - shownAt < kShownRecentlyMs))
    return false;
  note('fullscreen-left-hidden');
  showNotice('Full screen ended while the tab was hidden; the piece goes on.',
             {action: 'full screen', onAction: enterFullscreen, seconds: 10});
  return true;
}

// The browser takes the context away (a lost GPU, too many contexts); the
// page asks for it back and says so meanwhile, while the piece runs undrawn.
// What the notice says is checked against the context itself, since its
// return and the page's timer can arrive in either order.
function watchContext(target, signal) {
  const lost = () => target.getContext('webgl')?.isContextLost() ?? true;
  let givenUp = false;
  target.addEventListener('webglcontextlost', event => {
    event.preventDefault();
    note('context-lost');
    if (!options.isRunning()) return;
    givenUp = false;
    showNotice('The graphics were lost: the piece goes on, and its picture returns when the ' +
               'browser restores them.');
    clearTimeout(restoreTimer);
    restoreTimer = setTimeout(() => {
      if (!lost()) return;
      givenUp = true;
      note('context-not-restored');
      showNotice(`The graphics did not come back within ${kRestoreWaitSeconds} s.`, {
        action: 'start again',
        // Back meanwhile: the run recovers by itself and goes on.
        onAction: () => { if (lost()) options.onGiveUp(); },
      });
    }, kRestoreWaitSeconds * 1000);
  }, {signal});
  target.addEventListener('webglcontextrestored', () => {
    clearTimeout(restoreTimer);
    note('context-restored');
    if (givenUp) showNotice('The graphics are back.', {seconds: 4});
    else hideNotice();
    givenUp = false;
  }, {signal});
}

// Hooks of the program.

export function replaceCanvas(pictureAspect) {
  aspect = pictureAspect;
  if (canvas) {
    listening.abort();
    clearTimeout(restoreTimer);
    // Frees the old drawing buffer now rather than at the next collection.
    canvas.getContext('webgl')?.getExtension('WEBGL_lose_context')?.loseContext();
    canvas.remove();
  }
  canvas = document.createElement('canvas');
  canvas.id = 'canvas';
  canvas.setAttribute('role', 'img');
  canvas.setAttribute('aria-label', 'quorvane');
  canvas.setAttribute('aria-describedby', 'picture-description');
  if (fixedSize) [canvas.width, canvas.height] = fixedSize;
  listening = new AbortController();
  watchContext(canvas, listening.signal);
  document.getElementById('stage').appendChild(canvas);
  fitCanvas();
}

// The browser may give a smaller drawing buffer than the canvas asks for.
export function canvasOpened() {
  const gl = canvas.getContext('webgl');
  const [width, height] = [gl.drawingBufferWidth, gl.drawingBufferHeight];
  if (width === canvas.width && height === canvas.height) return;
  reportProblem(`This browser gave a ${width}x${height} picture for the ${canvas.width}x` +
                `${canvas.height} canvas: the piece is drawn at ${width}x${height}.`);
  reducedNote = reducedText([width, height], [canvas.width, canvas.height]);
  [canvas.width, canvas.height] = [width, height];
  fitCanvas();
}

export function enterFullscreen() {
  clearTimeout(leaveTimer);
  note('fullscreen-requested');
  fullscreenEntered = false;
  hiddenSinceFullscreen = false;
  if (!document.fullscreenEnabled) {
    note('fullscreen-unavailable');
    return;
  }
  fullscreenPending = true;
  // After the previous run's exit, or the browser takes this request back.
  leaving.then(() => document.documentElement.requestFullscreen({navigationUI: 'hide'}))
      .catch(e => {
        note('fullscreen-refused', String(e));
        fullscreenPending = false;
        fitCanvas();
      });
}

export function leaveFullscreen() {
  fullscreenPending = false;
  fullscreenEntered = false;
  clearTimeout(restoreTimer);
  clearTimeout(leaveTimer);
  if (document.fullscreenElement) leaving = document.exitFullscreen().catch(() => {});
}

export function currentCanvas() {
  return canvas;
}

export function canvasNote() {
  return reducedNote;
}
