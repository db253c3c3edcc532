// The native build's tools as references: the simulation hashes and the
// capture tool's frames. Also where the builds are and the picture metric.
import {execFile} from 'node:child_process';
import {mkdtemp, readFile, rm} from 'node:fs/promises';
import {tmpdir} from 'node:os';
import {dirname, join, resolve} from 'node:path';
import {fileURLToPath} from 'node:url';
import {promisify} from 'node:util';
import {PNG} from 'pngjs';

const run = promisify(execFile);
const root = resolve(dirname(fileURLToPath(import.meta.url)), '../..');

export const kNativeBuild = resolve(process.env.QUORVANE_BUILD || join(root, 'build'));
export const kWebBuild = resolve(process.env.QUORVANE_WEB_BUILD || join(root, 'build-web'));
// What `make web` gathers to publish: the tests serve exactly that.
export const kSite = join(kWebBuild, 'site');
export const kFramesPerSecond = 60;
// The photosensitivity warning's words, which every place the piece starts
// from shows.
export const kWarningFile = join(root, 'packaging/photosensitivity_warning.txt');

// The version the project declares, which every program and page shows.
export async function projectVersion() {
  const cmake = await readFile(join(root, 'CMakeLists.txt'), 'utf8');
  const m = /^project\(quorvane VERSION (\d+\.\d+\.\d+)/m.exec(cmake);
  if (!m) throw new Error('no version in CMakeLists.txt');
  return m[1];
}

// {frame, elapsedMs, state, random} for each line of quorvane-sim-hashes.
export async function nativeCheckpoints() {
  const {stdout} = await run(join(kNativeBuild, 'quorvane-sim-hashes'));
  return stdout.trim().split('\n').map(line => {
    const m = /^frame\s+(\d+)\s+elapsedMs\s+(\d+)\s+state\s+(\d+)\s+random\s+(\d+)$/.exec(line.trim());
    if (!m) throw new Error(`unexpected line from quorvane-sim-hashes: ${line}`);
    return {frame: +m[1], elapsedMs: +m[2], state: m[3], random: +m[4]};
  });
}

// Frame k of the 60 fps schedule as the capture tool draws it, as a PNG.
export async function captureFrame(k, width, height) {
  const folder = await mkdtemp(join(tmpdir(), 'quorvane-capture-'));
  try {
    await run(join(kNativeBuild, 'quorvane-capture'),
              ['--quiet', '--size', `${width}x${height}`, '--from',
               String((k - 1) / kFramesPerSecond), '--to', String(k / kFramesPerSecond),
               `${folder}/frames/`],
              {cwd: kNativeBuild});
    return await readFile(join(folder, 'frames', `frame_${String(k).padStart(6, '0')}.png`));
  } finally {
    await rm(folder, {recursive: true, force: true});
  }
}

export function decodePng(bytes) {
  return PNG.sync.read(bytes);
}

// Peak signal-to-noise ratio over the red, green and blue channels, in dB.
export function psnr(a, b) {
  if (a.width !== b.width || a.height !== b.height)
    throw new Error(`sizes differ: ${a.width}x${a.height} and ${b.width}x${b.height}`);
  let sum = 0;
  for (let i = 0; i < a.data.length; i += 4) {
    for (let c = 0; c < 3; ++c) {
      const d = a.data[i + c] - b.data[i + c];
      sum += d * d;
    }
  }
  const mse = sum / (a.width * a.height * 3);
  return mse === 0 ? Infinity : 10 * Math.log10(255 * 255 / mse);
}

// The extent of the bright part of a picture (or of the box {x, y, width,
// height} in it): the rows and columns where at least `share` of the pixels
// are brighter than `threshold`, so that single stars do not count. Around
// 10 to 20 s of the piece that is the swarm's sphere.
export function brightExtent(image, box = {x: 0, y: 0, width: image.width, height: image.height},
                             {threshold = 200, share = 0.02} = {}) {
  const rows = new Array(box.height).fill(0);
  const columns = new Array(box.width).fill(0);
  for (let y = 0; y < box.height; ++y) {
    for (let x = 0; x < box.width; ++x) {
      const i = ((box.y + y) * image.width + box.x + x) * 4;
      if ((image.data[i] + image.data[i + 1] + image.data[i + 2]) / 3 > threshold) {
        ++rows[y];
        ++columns[x];
      }
    }
  }
  const span = (counts, least) => {
    const first = counts.findIndex(c => c >= least);
    return first < 0 ? null : [first, counts.findLastIndex(c => c >= least)];
  };
  const vertical = span(rows, Math.max(3, share * box.width));
  const horizontal = span(columns, Math.max(3, share * box.height));
  if (!vertical || !horizontal) return null;
  const width = horizontal[1] - horizontal[0] + 1;
  const height = vertical[1] - vertical[0] + 1;
  return {
    width, height,
    aspect: height / width,            // 1 for a circle
    heightShare: height / box.height,  // how much of the picture it fills
    centerX: (horizontal[0] + width / 2) / box.width,
  };
}
