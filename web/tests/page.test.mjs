// The web page in headless Chromium, against lorvane01-render: the same pixels above the captions
// at device pixel ratios 1 and 2, the captions in the same places, the recipe in the address,
// next, back and the browser's Back, Save PNG, and addresses that name no picture.
import assert from 'node:assert/strict';
import { existsSync, readdirSync, readFileSync } from 'node:fs';
import { execFileSync } from 'node:child_process';
import path from 'node:path';
import { after, before, describe, test } from 'node:test';
import {
  CAPTION_TOP, addressOf, canvasPixels, captionBoxes, decodePng, fillPixels, firstDifference, launchBrowser,
  load, openPage, recipeOfAddress, render, renderPng, scratchFolder, startServer,
} from './harness.mjs';

// Twenty recipes: seeds of every kind (negative, zero, tiny, huge, the window's time-of-day
// range), first pictures and far ones.
const RECIPES = [
  ['20798.984', 4], ['0.1', 1], ['32702.5', 3], ['86399.99', 2], ['0', 1], ['-1234.5', 17], ['1e-07', 5],
  ['3e+38', 9999999], ['45000', 10000000], ['12345.678', 250], ['7', 2], ['61234.56', 99],
  ['-0.001', 8], ['1', 1], ['43210.125', 12], ['99999', 3], ['0.5', 640], ['25000.25', 1], ['3600', 7],
  ['59999.996', 42],
].map(([seed, picture], i) => ({ seed, picture, at: `202612${String(1 + i).padStart(2, '0')}054638` }));

let server;
let browser;

before(async () => {
  assert.ok(existsSync(render), `${render} is missing: make build`);
  server = await startServer();
  browser = await launchBrowser();
});

after(async () => {
  await browser?.close();
  server?.stop();
});

// A fresh page at this device pixel ratio for `body`, which must leave no error behind.
async function withPage(scale, body) {
  const page = await openPage(browser, scale);
  await body(page);
  assert.deepEqual(page.errors, []);
  await page.close();
}

async function shownAddress(page) {
  return page.evaluate(() => location.hash);
}

async function message(page) {
  return page.$eval('#message', (element) => element.textContent);
}

// The canvas against lorvane01-render above the captions, and the captions' ink boxes.
async function expectSamePicture(page, recipe, scale) {
  const expected = await renderPng(page, recipe, scale);
  const shown = await canvasPixels(page);
  const rows = Math.round(CAPTION_TOP * scale);
  const difference = firstDifference(shown, expected, rows);
  assert.equal(difference, null, `${addressOf(recipe)} at ${scale}: ${JSON.stringify(difference)}`);
  const fills = await fillPixels(page);
  const boxes = captionBoxes(shown, fills, scale);
  const expectedBoxes = captionBoxes(expected, fills, scale);
  boxes.forEach((box, i) => {
    for (const side of ['left', 'top', 'right', 'bottom']) {
      assert.ok(Number.isFinite(box[side]), `${addressOf(recipe)} caption ${i} has no ink`);
      assert.ok(Math.abs(box[side] - expectedBoxes[i][side]) <= 2,
        `${addressOf(recipe)} at ${scale}, caption ${i}: ${JSON.stringify(box)} against ${JSON.stringify(expectedBoxes[i])}`);
    }
  });
}

describe('WebPage', () => {
  for (const scale of [1, 2]) {
    test(`shows each of 20 recipes as lorvane01-render draws them, pixel for pixel above the captions and with the captions in the same places, at devicePixelRatio ${scale}`, () => withPage(scale, async (page) => {
      for (const recipe of RECIPES) {
        await load(page, server.url + addressOf(recipe));
        assert.equal(await shownAddress(page), addressOf(recipe));
        assert.equal(await message(page), '');
        await expectSamePicture(page, recipe, scale);
      }
    }));
  }

  test('next and back step through the seed\'s pictures and put each in the address; the browser\'s Back and Forward follow them', () => withPage(1, async (page) => {
    const start = { seed: '20798.984', picture: 4, at: '20261208054638' };
    await load(page, server.url + addressOf(start));
    const historyLength = await page.evaluate(() => history.length);

    await page.click('#next');
    const fifth = recipeOfAddress(await shownAddress(page));
    assert.equal(fifth.seed, start.seed);
    assert.equal(fifth.picture, 5);
    await expectSamePicture(page, fifth, 1);
    await page.click('#next');
    assert.equal(recipeOfAddress(await shownAddress(page)).picture, 6);

    // back shows the picture as it was shown, its name included.
    await page.click('#back');
    assert.deepEqual(recipeOfAddress(await shownAddress(page)), fifth);
    await page.click('#back');
    assert.equal(await shownAddress(page), addressOf(start));
    await expectSamePicture(page, start, 1);
    assert.equal(await page.evaluate(() => history.length), historyLength + 4);

    await page.goBack();
    assert.deepEqual(recipeOfAddress(await shownAddress(page)), fifth);
    await expectSamePicture(page, fifth, 1);
    await page.goBack();
    assert.equal(recipeOfAddress(await shownAddress(page)).picture, 6);
    await page.goForward();
    assert.deepEqual(recipeOfAddress(await shownAddress(page)), fifth);
    await expectSamePicture(page, fifth, 1);

    // The keys of a focused button, as in the window.
    await page.focus('#next');
    await page.keyboard.press('Space');
    assert.equal(recipeOfAddress(await shownAddress(page)).picture, 6);

    // At picture 1 there is no picture before.
    await load(page, server.url + addressOf({ ...start, picture: 1 }));
    assert.equal(await page.$eval('#back', (button) => button.disabled), true);
  }));

  for (const scale of [1, 2]) {
    test(`Save PNG writes the picture with its recipe, and lorvane01-render --from makes the same picture from it, at devicePixelRatio ${scale}`, () => withPage(scale, async (page) => {
      const recipe = { seed: '32702.5', picture: 3, at: '20240307090502' };
      await load(page, server.url + addressOf(recipe));
      const downloads = scratchFolder('downloads');
      const session = await page.createCDPSession();
      await session.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: downloads });
      await page.keyboard.down('Control');
      await page.keyboard.press('s');
      await page.keyboard.up('Control');
      const saved = path.join(downloads, 'T20240307090502-3.png');
      for (let waited = 0; !existsSync(saved) && waited < 100; ++waited) {
        await new Promise((resolve) => setTimeout(resolve, 50));
      }
      const png = await decodePng(page, readFileSync(saved));
      assert.equal(png.width, 600 * scale);
      assert.equal(png.height, 450 * scale);
      assert.equal(png.text['lorvane01-recipe'], 'seed=32702.5 picture=3 at=20240307090502');
      assert.equal(png.text.Title, 'T20240307090502');
      assert.equal(firstDifference(png, await canvasPixels(page), png.height), null);

      const out = scratchFolder('from');
      execFileSync(render, ['--from', saved, '--scale', String(scale), '--out', out]);
      const again = await decodePng(page, readFileSync(path.join(out, readdirSync(out)[0])));
      assert.equal(firstDifference(png, again, Math.round(CAPTION_TOP * scale)), null);
    }));
  }

  test('an address that names no picture gives a one-line message and a new picture, never an error', () => withPage(1, async (page) => {
    const hostile = [
      '#seed=NaN&picture=1&at=20261208054638',
      '#seed=1e39&picture=1&at=20261208054638',
      '#seed=inf&picture=1&at=20261208054638',
      '#seed=1&picture=0&at=20261208054638',
      '#seed=1&picture=10000001&at=20261208054638',
      '#seed=1&picture=-3&at=20261208054638',
      '#seed=1&picture=1&at=20261308054638',
      '#seed=1&picture=1&at=20260230054638',
      '#seed=1&picture=1&at=2026120805463',
      '#seed=1&picture=1',
      '#picture=1&seed=1&at=20261208054638',
      '#seed=1&picture=1&at=20261208054638&more=1',
      `#${'junk&'.repeat(2000)}`,
      '#%E0%A4%A',
      '#seed=%00&picture=1&at=20261208054638',
      '#<img src=x onerror=alert(1)>',
    ];
    for (const hash of hostile) {
      await load(page, server.url + hash);
      const said = await message(page);
      assert.match(said, /^This address names no picture \(.+\); here is a new one\.$/, hash);
      assert.ok(!said.includes('\n'), hash);
      const fresh = recipeOfAddress(await shownAddress(page));
      assert.ok(fresh && fresh.picture === 1, `${hash} left the address ${await shownAddress(page)}`);
    }
    // Typed into the address bar of a page already shown: the same.
    await page.evaluate(() => { location.hash = '#seed=NaN&picture=1&at=20261208054638'; });
    await page.waitForFunction(() => document.getElementById('message').textContent !== '');
    assert.equal(recipeOfAddress(await shownAddress(page)).picture, 1);
    assert.equal(await page.$$eval('#message', (elements) => elements.length), 1);
  }));

  test('without an address the page seeds from the time of day, as the window does, and names the picture now', () => withPage(1, async (page) => {
    await load(page, server.url);
    const shown = recipeOfAddress(await shownAddress(page));
    const now = await page.evaluate(() => {
      const date = new Date();
      const midnight = new Date(date.getFullYear(), date.getMonth(), date.getDate());
      return (date - midnight) / 1000;
    });
    assert.equal(shown.picture, 1);
    assert.ok(Math.abs(Number(shown.seed) - now) < 60, `seed ${shown.seed}, now ${now}`);
    await expectSamePicture(page, shown, 1);
  }));
});
