// The page's URL parameters, for tests and measurements:
//   frame=K          draw frame K of a 60 fps run (frames K-1 and K drawn, as the
//                    capture tool draws a still) instead of playing the piece,
//                    and report the simulation state at the checkpoint frames
//   size=WxH         the canvas in device pixels (default: the piece's shape
//                    on the screen, or on the window where full screen is not
//                    offered)
//   speed=N          the piece's clock (and its music, from 1/16 to 16) runs N times
//                    real time
// Apart from the page so that any query string can be tried on it in Node.

export const kFastestSpeed = 1000;

// What a query string (location.search) asks for, within the piece's
// `lastFrame` and `largestSide` (the page passes them from piece_facts.js,
// which the build derives from the programs' header). Bad parameters are
// named in `problems` and left at their defaults rather than guessed at.
export function readParameters(search, {lastFrame, largestSide}) {
  const params = new URLSearchParams(search);
  const read = {frame: 0, size: null, speed: 1, problems: []};
  if (params.has('frame')) {
    const frame = Number(params.get('frame'));
    if (Number.isInteger(frame) && frame >= 1 && frame <= lastFrame) read.frame = frame;
    else read.problems.push(`frame must be a whole number from 1 to ${lastFrame}`);
  }
  if (params.has('size')) {
    const match = /^(\d{1,5})x(\d{1,5})$/.exec(params.get('size'));
    const [width, height] = match ? [+match[1], +match[2]] : [0, 0];
    if (Math.min(width, height) >= 1 && Math.max(width, height) <= largestSide)
      read.size = [width, height];
    else read.problems.push(`size must be WIDTHxHEIGHT, 1 to ${largestSide} pixels each`);
  }
  if (params.has('speed')) {
    const speed = Number(params.get('speed'));
    if (speed > 0 && speed <= kFastestSpeed) read.speed = speed;
    else read.problems.push(`speed must be above 0 and at most ${kFastestSpeed}`);
  }
  return read;
}
