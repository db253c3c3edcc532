// The page's URL parameters on any query string, property by property:
// whatever the address, the page reads a frame of the piece, a drawable size
// and a positive speed, or names the parameter it ignored; and every value it
// accepts reads back as written, however the address spells it. Plain Node.
// QUORVANE_FUZZ_SECONDS=N (make fuzz) tries query strings for N seconds a
// property instead of a fixed number of them.
import assert from 'node:assert/strict';
import {test} from 'node:test';

import fc from 'fast-check';

import {kFastestSpeed, readParameters} from '../../host/web/page/parameters.js';

// The piece's own limits; the properties hold for any.
const kLastFrame = 230 * 60;
const kLargestSide = 16384;
const limits = {lastFrame: kLastFrame, largestSide: kLargestSide};

const kNames = ['frame', 'size', 'speed'];
const fuzzSeconds = Number(process.env.QUORVANE_FUZZ_SECONDS ?? 0);

function check(property, examples = []) {
  const settings = fuzzSeconds > 0
      ? {numRuns: Number.MAX_SAFE_INTEGER, interruptAfterTimeLimit: fuzzSeconds * 1000}
      : {numRuns: 2000};
  const details = fc.check(property, {...settings, examples});
  if (details.failed) assert.fail(fc.defaultReportMessage(details));
  if (fuzzSeconds > 0) console.log(`${details.numRuns} runs in ${fuzzSeconds} s`);
}

// Values as people and fuzzers write them: numbers in every JavaScript
// spelling (often at a limit or just past it), sizes, and any text at all.
const limit = fc.constantFrom(0, 1, kLastFrame, kLargestSide, kFastestSpeed)
    .chain(at => fc.constantFrom(at, at + 1, at - 1, at + 1e-9, at - 1e-9));
const number = fc.oneof(fc.integer(), fc.double(), {arbitrary: limit, weight: 3}).map(String);
const value = fc.oneof(
    {arbitrary: number, weight: 3},
    fc.constantFrom('', ' 7 ', '0x10', '1e3', '-0', '+5', 'Infinity', 'NaN', '1e-400', '5e-324',
                    '1_000', '١٢', '%', '%zz', '%E0%A4%A', '16384x16384', '16385x1', '0x5', '7X9',
                    '00640x0360', '640x360x1', ' 640x360', '\u{1F600}', '\0'),
    fc.tuple(fc.oneof(fc.nat(99999), limit), fc.oneof(fc.nat(99999), limit))
        .map(([w, h]) => `${w}x${h}`),
    fc.string({unit: 'binary'}));
const name = fc.oneof({arbitrary: fc.constantFrom(...kNames), weight: 4},
                      fc.constantFrom('Frame', 'frame ', 'size[]', ''), fc.string({maxLength: 6}));
// A query string put together by hand, unescaped, or escaped by URLSearchParams.
const query = fc.oneof(
    fc.array(fc.tuple(name, value), {maxLength: 6})
        .chain(pairs => fc.constantFrom(pairs.map(([n, v]) => `${n}=${v}`).join('&'),
                                        new URLSearchParams(pairs).toString()))
        .map(text => `?${text}`),
    fc.string({unit: 'binary'}),
    fc.string({unit: 'binary'}).map(text => `?${text}`));

test('any address gives values the piece can use, or names what it ignored', () => {
  check(fc.property(query, search => {
    const read = readParameters(search, limits);
    const given = new URLSearchParams(search);
    assert.ok(read.frame === 0 || (Number.isInteger(read.frame) && read.frame >= 1 &&
                                   read.frame <= kLastFrame), `frame ${read.frame}`);
    assert.ok(read.size === null ||
              (read.size.length === 2 && read.size.every(side => Number.isInteger(side) &&
                                                         side >= 1 && side <= kLargestSide)),
              `size ${read.size}`);
    assert.ok(Number.isFinite(read.speed) && read.speed > 0 && read.speed <= kFastestSpeed,
              `speed ${read.speed}`);
    const accepted = {frame: read.frame !== 0, size: read.size !== null,
                      speed: given.has('speed') && read.problems.every(p => !p.startsWith('speed '))};
    for (const key of kNames) {
      const named = read.problems.filter(problem => problem.startsWith(`${key} `)).length;
      assert.equal(named, given.has(key) && !accepted[key] ? 1 : 0,
                   `${key}: ${JSON.stringify(read.problems)}`);
      if (!given.has(key)) assert.ok(!accepted[key], `${key} read without being given`);
    }
    assert.equal(read.problems.length,
                 kNames.filter(key => given.has(key) && !accepted[key]).length);
  }), [['?frame=99999&size=0x5&speed=-1'], ['?speed=5e-324'], ['?size=%E0%A4%A']]);
});

test('every value the page takes reads back as written, among other parameters', () => {
  const frame = fc.integer({min: 1, max: kLastFrame});
  const side = fc.integer({min: 1, max: kLargestSide});
  const speed = fc.double({min: Number.MIN_VALUE, max: kFastestSpeed, noNaN: true});
  const other = fc.tuple(fc.string().filter(key => !kNames.includes(key)), fc.string());
  check(fc.property(frame, side, side, speed, fc.array(other, {maxLength: 3}), fc.boolean(),
                    (k, width, height, n, others, escaped) => {
    const pairs = [...others, ['frame', String(k)], ['size', `${width}x${height}`],
                   ['speed', String(n)]];
    const search = escaped ? `?${new URLSearchParams(pairs)}`
                           : `?${pairs.map(([key, v]) => `${key}=${v}`).join('&')}`;
    // Hand-written pairs are only the page's if no other text is taken for them.
    fc.pre(escaped || others.every(([key, v]) => !/[&=#+%]/.test(key + v)));
    const read = readParameters(search, limits);
    assert.deepEqual(read, {frame: k, size: [width, height], speed: n, problems: []}, search);
  }), [[kLastFrame, kLargestSide, 1, kFastestSpeed, [], false], [1, 1, 1, 5e-324, [], true]]);
});
