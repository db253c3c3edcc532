// The static server the tests (and `make serve-web`) use answers as a good
// web host does: compressed where it helps, validators for a cheap reload,
// byte ranges for streaming music; and it misbehaves on request. Plain Node.
import assert from 'node:assert/strict';
import {mkdtemp, rm, utimes, writeFile} from 'node:fs/promises';
import {request} from 'node:http';
import {tmpdir} from 'node:os';
import {join} from 'node:path';
import {after, before, describe, test} from 'node:test';
import {gunzipSync} from 'node:zlib';

import {startServer} from '../../scripts/serve_web.mjs';

// One request; the body as it came over the wire (not unpacked).
function get(url, headers = {}, {firstBytesOnly = false} = {}) {
  return new Promise((resolve, reject) => {
    const req = request(url, {headers}, response => {
      const chunks = [];
      response.on('data', chunk => {
        chunks.push(chunk);
        if (firstBytesOnly) {
          response.destroy();
          resolve({status: response.statusCode, headers: response.headers, body: Buffer.concat(chunks)});
        }
      });
      response.on('end', () =>
          resolve({status: response.statusCode, headers: response.headers, body: Buffer.concat(chunks)}));
      response.on('error', reject);
    });
    req.on('error', reject);
    req.end();
  });
}

describe('the static server', () => {
  let folder;
  let server;
  const script = Buffer.from('const x = 1;\n'.repeat(2000));
  const music = Buffer.from(Array.from({length: 10000}, (_, i) => i & 0xff));

  before(async () => {
    folder = await mkdtemp(join(tmpdir(), 'quorvane-serve-'));
    await writeFile(join(folder, 'page.js'), script);
    await writeFile(join(folder, 'RX_muc.mp3'), music);
    await writeFile(join(folder, 'empty.mp3'), '');
    server = await startServer(folder, {
      hidden: ['secret.js'],
      replaced: {'TEX.tga': '<html>'},
      stalled: ['RX_muc.mp3.slow'],
      headers: {'Content-Security-Policy': "media-src 'none'"},
    });
    await writeFile(join(folder, 'RX_muc.mp3.slow'), music);
  });
  after(async () => {
    await server?.close();
    await rm(folder, {recursive: true, force: true});
  });

  test('compresses what shrinks, for clients that accept it, and says so', async () => {
    const packed = await get(`${server.url}page.js`, {'Accept-Encoding': 'gzip, deflate'});
    assert.equal(packed.headers['content-encoding'], 'gzip');
    assert.equal(packed.headers.vary, 'Accept-Encoding');
    assert.ok(packed.body.length < script.length / 10);
    assert.deepEqual(gunzipSync(packed.body), script);
    const plain = await get(`${server.url}page.js`);
    assert.equal(plain.headers['content-encoding'], undefined);
    assert.deepEqual(plain.body, script);
    assert.notEqual(plain.headers.etag, packed.headers.etag, 'each encoding its own tag');
    const mp3 = await get(`${server.url}RX_muc.mp3`, {'Accept-Encoding': 'gzip'});
    assert.equal(mp3.headers['content-encoding'], undefined, 'MP3 is already compressed');
    assert.equal(packed.headers['content-security-policy'], "media-src 'none'");
  });

  test('answers an unchanged file with 304, and a changed one in full', async () => {
    const first = await get(`${server.url}page.js`, {'Accept-Encoding': 'gzip'});
    const again = await get(`${server.url}page.js`,
                            {'Accept-Encoding': 'gzip', 'If-None-Match': first.headers.etag});
    assert.equal(again.status, 304);
    assert.equal(again.body.length, 0);
    const byDate = await get(`${server.url}page.js`, {'If-Modified-Since': first.headers['last-modified']});
    assert.equal(byDate.status, 304);
    const later = new Date(Date.now() + 5000);
    await utimes(join(folder, 'page.js'), later, later);
    const changed = await get(`${server.url}page.js`,
                              {'Accept-Encoding': 'gzip', 'If-None-Match': first.headers.etag});
    assert.equal(changed.status, 200);
    assert.notEqual(changed.headers.etag, first.headers.etag);
  });

  test('serves byte ranges, so that music can stream and seek', async () => {
    const cases = [
      ['bytes=100-199', 206, 'bytes 100-199/10000', music.subarray(100, 200)],
      ['bytes=9990-', 206, 'bytes 9990-9999/10000', music.subarray(9990)],
      ['bytes=-10', 206, 'bytes 9990-9999/10000', music.subarray(9990)],
      ['bytes=9000-20000', 206, 'bytes 9000-9999/10000', music.subarray(9000)],
      ['bytes=20000-', 416, 'bytes */10000', null],
      ['bytes=5-2', 200, undefined, music],
      ['lines=1-2', 200, undefined, music],
    ];
    for (const [range, status, contentRange, body] of cases) {
      const answer = await get(`${server.url}RX_muc.mp3`, {Range: range});
      assert.equal(answer.status, status, range);
      assert.equal(answer.headers['content-range'], contentRange, range);
      if (body) assert.deepEqual(answer.body, body, range);
    }
    const stale = await get(`${server.url}RX_muc.mp3`, {Range: 'bytes=0-9', 'If-Range': '"old"'});
    assert.equal(stale.status, 200, 'a range of another version is answered whole');
    const empty = await get(`${server.url}empty.mp3`);
    assert.equal(empty.status, 200);
    assert.equal(empty.body.length, 0);
  });

  test('plays the broken host a test asks for', async () => {
    assert.equal((await get(`${server.url}secret.js`)).status, 404);
    assert.equal((await get(`${server.url}../etc/passwd`)).status, 404);
    assert.equal((await get(`${server.url}%2e%2e/x`)).status, 404);
    assert.equal((await get(`${server.url}TEX.tga`)).body.toString(), '<html>');
    const slow = await get(`${server.url}RX_muc.mp3.slow`, {}, {firstBytesOnly: true});
    assert.equal(slow.status, 200);
    assert.equal(Number(slow.headers['content-length']), music.length);
    assert.ok(slow.body.length <= music.length / 2);
  });
});
