// The web page's core, built as WebAssembly, against the same source built natively: the answers
// for 1,000 pictures and a few refused recipes are the same bytes.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { readFileSync } from 'node:fs';
import path from 'node:path';
import { test } from 'node:test';
import { buildDir, scratchFolder, wasmDir } from './harness.mjs';

test('WebCore: the WebAssembly core draws 1,000 pictures into the same bytes as the native build', () => {
  const folder = scratchFolder('dump');
  const native = path.join(folder, 'native.bin');
  const wasm = path.join(folder, 'wasm.bin');
  execFileSync(path.join(buildDir, 'web-core', 'lorvane_web_dump'), [native]);
  execFileSync(process.execPath, [path.join(wasmDir, 'web', 'lorvane_web_dump.js'), wasm]);
  const expected = readFileSync(native);
  const got = readFileSync(wasm);
  assert.ok(expected.length > 1000 * 4000, `only ${expected.length} bytes`);
  const first = expected.findIndex((byte, i) => byte !== got[i]);
  assert.equal(got.length, expected.length);
  assert.equal(first, -1, `the first difference is at byte ${first}`);
});
