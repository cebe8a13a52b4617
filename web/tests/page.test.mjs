// The web page in headless Chromium, against lorvane01-render: the same pixels above the captions
// as --fit at the canvas's device-pixel size, the captions in the same places, on screens from a
// phone's to a wide one; the recipe in the address and the picture's name in the title; next,
// back, the keys and the browser's Back; the picture painting itself; Save PNG, Save animation,
// Copy link, full screen, and addresses that name no picture.
import assert from 'node:assert/strict';
import { existsSync, readdirSync, readFileSync } from 'node:fs';
import { execFileSync } from 'node:child_process';
import path from 'node:path';
import { after, before, describe, test } from 'node:test';
import {
  CAPTION_TOP, addressOf, canvasPixels, captionBoxes, crop, decodeFrame, decodePng, fillPixels, firstDifference,
  launchBrowser, load, openPage, pageFit, pngChunks, recipeOfAddress, render, renderFitPng, renderPng, scratchFolder,
  startServer,
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

// A fresh page at this device pixel ratio (and size) for `body`, which must leave no error behind.
async function withPage(scale, body, size) {
  const page = await openPage(browser, scale, size);
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

// The canvas against lorvane01-render --fit at the canvas's size, above the captions, and the
// captions' ink boxes in the picture.
async function expectSamePicture(page, recipe) {
  const shown = await canvasPixels(page);
  const expected = await renderFitPng(page, recipe, shown.width, shown.height);
  const fit = await pageFit(page);
  const rows = fit.placed.y + Math.round(CAPTION_TOP * fit.scale);
  // However the picture is placed, more than half the canvas lies above its captions.
  assert.ok(rows > shown.height / 2, `${rows} rows of ${shown.height} compared`);
  const difference = firstDifference(shown, expected, rows);
  const where = `${addressOf(recipe)} at --fit ${shown.width}x${shown.height}`;
  assert.equal(difference, null, `${where}: ${JSON.stringify(difference)}`);
  const fills = await fillPixels(page);
  const boxes = captionBoxes(crop(shown, fit.placed), fills, fit.scale);
  const expectedBoxes = captionBoxes(crop(expected, fit.placed), fills, fit.scale);
  boxes.forEach((box, i) => {
    for (const side of ['left', 'top', 'right', 'bottom']) {
      assert.ok(Number.isFinite(box[side]), `${where}: caption ${i} has no ink`);
      assert.ok(Math.abs(box[side] - expectedBoxes[i][side]) <= 2,
        `${where}, caption ${i}: ${JSON.stringify(box)} against ${JSON.stringify(expectedBoxes[i])}`);
    }
  });
}

// The mean of each colour channel over an image.
function meanColour({ rgba }) {
  const sums = [0, 0, 0];
  for (let i = 0; i < rgba.length; i += 4) {
    for (let c = 0; c < 3; ++c) {
      sums[c] += rgba[i + c];
    }
  }
  return sums.map((sum) => sum / (rgba.length / 4));
}

// Where each control and the canvas are, in CSS pixels, and whether each control is the
// element at its own centre (not covered); the document's scrolling width.
function layout(page) {
  return page.evaluate(() => {
    const box = (element) => element.getBoundingClientRect().toJSON();
    const controls = [...document.querySelectorAll('button')].map((button) => {
      const { left, top, right, bottom, width, height } = box(button);
      const hit = document.elementFromPoint((left + right) / 2, (top + bottom) / 2);
      return { id: button.id, left, top, right, bottom, width, height, onTop: button.contains(hit) };
    });
    return {
      innerWidth, innerHeight, scrollWidth: document.documentElement.scrollWidth,
      scrollHeight: document.documentElement.scrollHeight, canvas: box(document.getElementById('picture')), controls,
    };
  });
}

const title = (page) => page.evaluate(() => document.title);

// Sends the page's downloads to a new folder, does `action`, and gives the bytes of the file
// `name` once it is there.
async function downloaded(page, name, action) {
  const folder = scratchFolder('downloads');
  const session = await page.createCDPSession();
  await session.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: folder });
  await action();
  const saved = path.join(folder, name);
  for (let waited = 0; !existsSync(saved) && waited < 200; ++waited) {
    await new Promise((resolve) => setTimeout(resolve, 50));
  }
  return { saved, bytes: readFileSync(saved) };
}

// Presses a key (with Alt or Ctrl held when asked) and gives the picture shown then.
async function press(page, key, modifier) {
  if (modifier) {
    await page.keyboard.down(modifier);
  }
  await page.keyboard.press(key);
  if (modifier) {
    await page.keyboard.up(modifier);
  }
  return recipeOfAddress(await shownAddress(page));
}

// Screens people use, from a phone's to a wide one, and which way the picture fills the area
// left above the controls.
const SCREENS = [
  { width: 390, height: 844, ratio: 1, fills: 'width' },
  { width: 390, height: 844, ratio: 3, fills: 'width' },
  { width: 600, height: 450, ratio: 1, fills: 'height' },
  { width: 600, height: 450, ratio: 2, fills: 'height' },
  { width: 1366, height: 768, ratio: 1, fills: 'height' },
  { width: 1920, height: 1080, ratio: 1, fills: 'height' },
];

describe('WebPage', () => {
  for (const scale of [1, 2]) {
    test(`shows each of 20 recipes as lorvane01-render --fit draws them at the canvas's size, pixel for pixel above the captions and with the captions in the same places, at devicePixelRatio ${scale}`, () => withPage(scale, async (page) => {
      for (const recipe of RECIPES) {
        await load(page, server.url + addressOf(recipe));
        assert.equal(await shownAddress(page), addressOf(recipe));
        assert.equal(await message(page), '');
        await expectSamePicture(page, recipe);
      }
    }));
  }

  for (const screen of SCREENS) {
    const { width, height, ratio, fills } = screen;
    test(`at ${width} × ${height} CSS pixels and devicePixelRatio ${ratio}, every control is in view, nothing scrolls sideways, and the picture fills the ${fills} of the canvas as lorvane01-render --fit places it`, () => withPage(ratio, async (page) => {
      const recipe = { seed: '12345.678', picture: 250, at: '20240307090502' };
      await load(page, server.url + addressOf(recipe));
      const seen = await layout(page);
      assert.ok(seen.scrollWidth <= seen.innerWidth, `the page is ${seen.scrollWidth} px wide`);
      assert.ok(seen.scrollHeight <= seen.innerHeight, `the page is ${seen.scrollHeight} px high`);
      assert.deepEqual(seen.controls.map((control) => control.id), ['back', 'next', 'paint', 'save', 'animation', 'link', 'full']);
      for (const control of seen.controls) {
        assert.ok(control.width > 0 && control.height > 0 && control.onTop, JSON.stringify(control));
        assert.ok(control.left >= 0 && control.top >= 0 && control.right <= seen.innerWidth &&
          control.bottom <= seen.innerHeight, JSON.stringify(control));
      }
      assert.equal(seen.canvas.left, 0);
      assert.equal(seen.canvas.width, width);

      const shown = await canvasPixels(page);
      assert.equal(shown.width, width * ratio);
      assert.equal(shown.height, Math.round(seen.canvas.height * ratio));
      const { placed } = await pageFit(page);
      assert.equal(fills === 'width' ? placed.width : placed.height, fills === 'width' ? shown.width : shown.height);
      if (shown.width >= 600 && shown.height >= 450) {
        await expectSamePicture(page, recipe);
        return;
      }
      // Smaller than the picture: all of it, shrunk, centred on black.
      assert.equal(placed.x, Math.floor((shown.width - placed.width) / 2));
      assert.equal(placed.y, Math.floor((shown.height - placed.height) / 2));
      assert.equal(Math.round(placed.width * 3 / 4), placed.height);
      const black = (rows) => crop(shown, { x: 0, y: rows[0], width: shown.width, height: rows[1] - rows[0] }).rgba
        .every((value, i) => value === (i % 4 === 3 ? 255 : 0));
      assert.ok(black([0, placed.y]) && black([placed.y + placed.height, shown.height]));
      const got = meanColour(crop(shown, placed));
      const expected = meanColour(await renderPng(page, recipe, 1));
      got.forEach((value, c) => assert.ok(Math.abs(value - expected[c]) < 2, `mean ${got} against ${expected}`));
    }, { width, height }));
  }

  test('the keys step as in full screen: Right, Space and Page Down forward, Left, Backspace and Page Up back, Home the first picture and End the newest; the title names each picture', () => withPage(1, async (page) => {
    const start = { seed: '61234.56', picture: 4, at: '20240307090502' };
    await load(page, server.url + addressOf(start));
    assert.equal(await title(page), 'T20240307090502 — lorvane01');
    const steps = [
      ['ArrowRight', 5], ['Space', 6], ['PageDown', 7], ['ArrowLeft', 6], ['Backspace', 5], ['PageUp', 4],
      ['Home', 1], ['ArrowLeft', 1], ['End', 7], ['ArrowRight', 8], ['End', 8],
    ];
    const names = new Map([[4, start.at]]);
    for (const [key, number] of steps) {
      const shown = await press(page, key);
      assert.equal(shown.seed, start.seed, key);
      assert.equal(shown.picture, number, `${key} to ${number}`);
      // A picture shown before keeps its name; a new one is named when it is made.
      assert.equal(shown.at, names.get(number) ?? shown.at, `${key} to ${number}`);
      names.set(number, shown.at);
      assert.equal(await title(page), `T${shown.at} — lorvane01`, key);
      assert.equal(await page.$eval('#back', (button) => button.disabled), number === 1, key);
    }
    await expectSamePicture(page, recipeOfAddress(await shownAddress(page)));
    // The browser keeps Alt+Left and Alt+Right; Shift and Ctrl with an arrow do nothing here.
    assert.equal((await press(page, 'ArrowRight', 'Shift')).picture, 8);
    assert.equal((await press(page, 'ArrowRight', 'Control')).picture, 8);
    assert.deepEqual(page.errors, []);
  }));

  test('a screen reader finds the picture by its name, the buttons by theirs and the message line as a live region; next and back and a new address rename the picture; the keyboard\'s focus is outlined', () => withPage(1, async (page) => {
    // The accessibility tree as Chromium gives it to screen readers, flattened.
    const nodes = async () => {
      const all = [];
      const walk = (node) => { all.push(node); node.children?.forEach(walk); };
      walk(await page.accessibility.snapshot());
      return all;
    };
    const pictureNames = async () => (await nodes()).filter((node) => node.role === 'image').map((node) => node.name);
    const start = { seed: '32702.5', picture: 3, at: '20240307090502' };
    await load(page, server.url + addressOf(start));
    assert.deepEqual(await pictureNames(), ['T20240307090502, picture 3 of seed 32702.5']);
    const found = await nodes();
    assert.deepEqual(found.filter((node) => node.role === 'button').map((node) => node.name),
      ['back', 'next', 'Paint', 'Save PNG', 'Save animation', 'Copy link', 'Full screen']);
    assert.deepEqual(found.filter((node) => node.role === 'status').map((node) => node.live), ['polite']);

    await (await page.$('::-p-aria([name="next"][role="button"])')).click();
    const fourth = recipeOfAddress(await shownAddress(page));
    assert.deepEqual(await pictureNames(), [`T${fourth.at}, picture 4 of seed 32702.5`]);
    await (await page.$('::-p-aria([name="back"][role="button"])')).click();
    assert.deepEqual(await pictureNames(), ['T20240307090502, picture 3 of seed 32702.5']);
    await page.evaluate(() => { location.hash = '#seed=0.1&picture=9&at=20251231235959'; });
    await page.waitForFunction(() => document.title.startsWith('T20251231235959'));
    assert.deepEqual(await pictureNames(), ['T20251231235959, picture 9 of seed 0.1']);

    // Tab to a button: an outline of at least two pixels around it.
    await page.keyboard.press('Tab');
    const outline = await page.evaluate(() => {
      const style = getComputedStyle(document.activeElement);
      return { tag: document.activeElement.tagName, style: style.outlineStyle, width: parseFloat(style.outlineWidth) };
    });
    assert.equal(outline.tag, 'BUTTON');
    assert.ok(outline.style !== 'none' && outline.width >= 2, JSON.stringify(outline));
  }));

  test('back and next are disabled where they can do nothing, and their keys do nothing there', () => withPage(1, async (page) => {
    const disabled = () => page.$$eval('#back, #next', (buttons) => buttons.map((button) => button.disabled));
    for (const [picture, expected, key] of [[1, [true, false], 'ArrowLeft'], [2, [false, false], null],
      [10000000, [false, true], 'ArrowRight']]) {
      await load(page, server.url + addressOf({ seed: '7', picture, at: '20240307090502' }));
      assert.deepEqual(await disabled(), expected, `picture ${picture}`);
      if (key) {
        assert.equal((await press(page, key)).picture, picture, `${key} at picture ${picture}`);
      }
    }
  }));

  test('Copy link puts the address of the picture shown on the clipboard, and it shows that picture again', () => withPage(1, async (page) => {
    await browser.defaultBrowserContext().overridePermissions(server.url.replace(/\/$/, ''), ['clipboard-read', 'clipboard-write', 'clipboard-sanitized-write']);
    const recipe = { seed: '43210.125', picture: 12, at: '20240307090502' };
    await load(page, server.url + addressOf(recipe));
    await page.click('#next');
    await page.click('#link');
    await page.waitForFunction(() => document.getElementById('message').textContent !== '');
    const link = await page.evaluate(() => navigator.clipboard.readText());
    assert.equal(link, server.url + addressOf(recipeOfAddress(await shownAddress(page))));
    assert.equal(recipeOfAddress(new URL(link).hash).picture, 13);
    await load(page, link);
    assert.equal(recipeOfAddress(await shownAddress(page)).picture, 13);
  }));

  test('f and the Full screen button take the page to full screen and back', () => withPage(1, async (page) => {
    await load(page, server.url + addressOf({ seed: '7', picture: 2, at: '20240307090502' }));
    // Full screen or not, and the button's state saying so.
    const fullScreen = (on) => page.waitForFunction((on) => (document.fullscreenElement === document.documentElement) === on &&
      document.getElementById('full').getAttribute('aria-pressed') === String(on), { timeout: 5000 }, on);
    await page.keyboard.press('f');
    await fullScreen(true);
    await page.click('#full');
    await fullScreen(false);
    await page.click('#full');
    await fullScreen(true);
    await page.keyboard.press('f');
    await fullScreen(false);
    assert.equal(recipeOfAddress(await shownAddress(page)).picture, 2);
  }));

  test('next and back step through the seed\'s pictures and put each in the address; the browser\'s Back and Forward follow them', () => withPage(1, async (page) => {
    const start = { seed: '20798.984', picture: 4, at: '20261208054638' };
    await load(page, server.url + addressOf(start));
    const historyLength = await page.evaluate(() => history.length);

    await page.click('#next');
    const fifth = recipeOfAddress(await shownAddress(page));
    assert.equal(fifth.seed, start.seed);
    assert.equal(fifth.picture, 5);
    await expectSamePicture(page, fifth);
    await page.click('#next');
    assert.equal(recipeOfAddress(await shownAddress(page)).picture, 6);

    // back shows the picture as it was shown, its name included.
    await page.click('#back');
    assert.deepEqual(recipeOfAddress(await shownAddress(page)), fifth);
    await page.click('#back');
    assert.equal(await shownAddress(page), addressOf(start));
    await expectSamePicture(page, start);
    assert.equal(await page.evaluate(() => history.length), historyLength + 4);

    await page.goBack();
    assert.deepEqual(recipeOfAddress(await shownAddress(page)), fifth);
    await expectSamePicture(page, fifth);
    await page.goBack();
    assert.equal(recipeOfAddress(await shownAddress(page)).picture, 6);
    await page.goForward();
    assert.deepEqual(recipeOfAddress(await shownAddress(page)), fifth);
    await expectSamePicture(page, fifth);

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
      const { saved, bytes } = await downloaded(page, 'T20240307090502-3.png', async () => {
        await page.keyboard.down('Control');
        await page.keyboard.press('s');
        await page.keyboard.up('Control');
      });
      const png = await decodePng(page, bytes);
      assert.equal(png.width, 600 * scale);
      assert.equal(png.height, 450 * scale);
      assert.equal(png.text['lorvane01-recipe'], 'seed=32702.5 picture=3 at=20240307090502');
      assert.equal(png.text.Title, 'T20240307090502');
      assert.equal(firstDifference(png, await renderPng(page, recipe, scale), Math.round(CAPTION_TOP * scale)), null);

      const out = scratchFolder('from');
      execFileSync(render, ['--from', saved, '--scale', String(scale), '--out', out]);
      const again = await decodePng(page, readFileSync(path.join(out, readdirSync(out)[0])));
      assert.equal(firstDifference(png, again, Math.round(CAPTION_TOP * scale)), null);
    }));
  }

  test('Paint and p paint the shown picture again from its background, step by step, and leave it finished as it was; next while painting ends it at once and goes on as ever', () => withPage(1, async (page) => {
    const recipe = { seed: '20798.984', picture: 4, at: '20261208054638' };
    await load(page, server.url + addressOf(recipe));
    const finished = await canvasPixels(page);
    const painting = () => page.waitForFunction(async () => (await import('./lorvane01.js')).page.painting?.done > 0);
    await page.keyboard.press('p');
    await painting();
    // Partway: the canvas is the background and the first steps' items, and not yet the picture.
    const partway = await page.evaluate(async () => {
      const { painting, fit, shown } = (await import('./lorvane01.js')).page;
      const { paintBackground, paintItems } = await import('./picture_painting.js');
      const expected = new OffscreenCanvas(fit.placed.width, fit.placed.height).getContext('2d', { alpha: false });
      paintBackground(expected, shown, fit.scale);
      paintItems(expected, shown, fit.scale, 0, shown.steps[painting.done - 1].end);
      const { x, y, width, height } = fit.placed;
      const got = document.getElementById('picture').getContext('2d').getImageData(x, y, width, height).data;
      const want = expected.getImageData(0, 0, width, height).data;
      return { done: painting.done, steps: shown.steps.length, differing: got.filter((value, i) => value !== want[i]).length };
    });
    assert.ok(partway.done < partway.steps, JSON.stringify(partway));
    assert.equal(partway.differing, 0);
    assert.notEqual(firstDifference(await canvasPixels(page), finished, finished.height), null);
    await page.waitForFunction(async () => (await import('./lorvane01.js')).page.painting === null, { timeout: 10000 });
    assert.equal(firstDifference(await canvasPixels(page), finished, finished.height), null);

    await page.click('#paint');
    await painting();
    assert.equal((await press(page, 'ArrowRight')).picture, 5);
    assert.equal(await page.evaluate(async () => (await import('./lorvane01.js')).page.painting), null);
    await expectSamePicture(page, recipeOfAddress(await shownAddress(page)));
  }));

  for (const scale of [1, 2]) {
    test(`Save animation writes an animated PNG of the picture painting itself, the finished picture for readers that know no animation, with its recipe for lorvane01-render --from, at devicePixelRatio ${scale}`, () => withPage(scale, async (page) => {
      const recipe = { seed: '32702.5', picture: 3, at: '20240307090502' };
      await load(page, server.url + addressOf(recipe));
      // The picture as Save PNG writes it.
      const still = await decodePng(page, Buffer.from(await page.evaluate(async () =>
        [...(await (await import('./lorvane01.js')).page.png()).bytes])));
      const { saved, bytes } = await downloaded(page, 'T20240307090502-3-painting.png', () => page.click('#animation'));

      const chunks = pngChunks(bytes);
      const types = chunks.map((chunk) => chunk.type);
      const controls = chunks.filter((chunk) => chunk.type === 'fcTL').map(({ data }) => ({
        width: data.readUInt32BE(4), height: data.readUInt32BE(8), x: data.readUInt32BE(12), y: data.readUInt32BE(16),
        seconds: data.readUInt16BE(20) / data.readUInt16BE(22),
      }));
      const acTL = chunks.find((chunk) => chunk.type === 'acTL').data;
      assert.deepEqual([acTL.readUInt32BE(0), acTL.readUInt32BE(4)], [controls.length, 0]);
      assert.ok(types.indexOf('acTL') < types.indexOf('IDAT') && types.lastIndexOf('IDAT') < types.indexOf('fcTL'), types.join());
      assert.deepEqual(controls[0], { width: still.width, height: still.height, x: 0, y: 0, seconds: controls[0].seconds });
      assert.ok(controls.slice(1).every((frame) => frame.width * frame.height < still.width * still.height / 4));
      const painted = controls.slice(0, -1).reduce((sum, frame) => sum + frame.seconds, 0);
      assert.ok(Math.abs(painted - 4) < 0.01 && controls.at(-1).seconds === 3, `${painted} s, then ${controls.at(-1).seconds} s`);

      // A reader that knows no animation shows the finished picture.
      const plain = Buffer.concat([bytes.subarray(0, 8), ...chunks.filter((chunk) => !['acTL', 'fcTL', 'fdAT'].includes(chunk.type))
        .map(({ type, data }) => bytes.subarray(data.byteOffset - bytes.byteOffset - 8, data.byteOffset - bytes.byteOffset + data.length + 4))]);
      const png = await decodePng(page, plain);
      assert.equal(firstDifference(png, still, still.height), null);
      assert.equal(png.text['lorvane01-recipe'], 'seed=32702.5 picture=3 at=20240307090502');

      // The animation: the background alone, then the finished picture.
      const first = await decodeFrame(page, bytes, 0);
      const last = await decodeFrame(page, bytes, -1);
      assert.equal(first.frames, controls.length);
      const background = [...first.rgba.subarray(0, 4)];
      assert.ok(first.rgba.every((value, i) => value === background[i % 4]));
      assert.equal(firstDifference(last, still, still.height), null);

      const out = scratchFolder('from');
      execFileSync(render, ['--from', saved, '--scale', String(scale), '--out', out]);
      const again = await decodePng(page, readFileSync(path.join(out, readdirSync(out)[0])));
      assert.equal(firstDifference(again, still, Math.round(CAPTION_TOP * scale)), null);
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
    await expectSamePicture(page, shown);
  }));
});
