// The web page's speed in headless Chromium, from a local server: load to first picture, next
// (record and paint), Save animation, and the size of the code the page loads. Figures, not a test.
//
//     make web-bench
import { statSync } from 'node:fs';
import path from 'node:path';
import { PAGE_CODE, PAGE_CODE_GOAL, launchBrowser, openPage, startServer, webDir } from './harness.mjs';

const LOADS = 20;
const NEXTS = 200;
const ANIMATIONS = 20;
// One saved picture, so that every run times the same pictures.
const RECIPE = '#seed=20798.984&picture=4&at=20261208054638';

function median(values) {
  const sorted = [...values].sort((a, b) => a - b);
  const middle = sorted.length >> 1;
  return sorted.length % 2 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2;
}

// Milliseconds of each of NEXTS pictures on a page at the given device pixel ratio: `record` is
// what the goal names, the core drawing the next picture and the canvas painted with it; `press`
// is a whole press of "next", which also puts the new address in the browser's history.
async function timeNexts(browser, pixelRatio) {
  const page = await openPage(browser, pixelRatio);
  await page.goto(`${server.url}${RECIPE}`);
  await page.waitForSelector('html[data-ready="true"]');
  const times = await page.evaluate(async (count) => {
    const { page: lorvane } = await import('./lorvane01.js');
    const { paint } = await import('./picture_painting.js');
    const button = document.getElementById('next');
    const context = document.getElementById('picture').getContext('2d');
    // Reading one pixel back waits for the painting to be done.
    const painted = () => context.getImageData(0, 0, 1, 1);
    const record = [];
    const press = [];
    for (let i = 0; i < count; ++i) {
      const start = performance.now();
      const picture = lorvane.draw(lorvane.shown.recipe.replace(/picture=\d+/, `picture=${5 + i}`));
      paint(context, picture, window.devicePixelRatio);
      painted();
      record.push(performance.now() - start);
    }
    for (let i = 0; i < count; ++i) {
      const start = performance.now();
      button.click();
      painted();
      press.push(performance.now() - start);
    }
    return { record, press };
  }, NEXTS);
  await page.close();
  return times;
}

// Milliseconds of each of ANIMATIONS animated PNGs of the same picture at device pixel ratio 1,
// from the press to the file's bytes; the first includes the code's warming up.
async function timeAnimations(browser) {
  const page = await openPage(browser, 1);
  await page.goto(`${server.url}${RECIPE}`);
  await page.waitForSelector('html[data-ready="true"]');
  const times = await page.evaluate(async (count) => {
    const { page: lorvane } = await import('./lorvane01.js');
    const made = [];
    for (let i = 0; i < count; ++i) {
      const start = performance.now();
      await lorvane.animation();
      made.push(performance.now() - start);
    }
    return made;
  }, ANIMATIONS);
  await page.close();
  return times;
}

const server = await startServer();
const browser = await launchBrowser();
try {
  const loads = [];
  for (let i = 0; i < LOADS; ++i) {
    const page = await openPage(browser, 1);
    // A fresh page each time, the browser's cache left on as a visitor's would be after the first.
    await page.goto(`${server.url}${RECIPE}`);
    await page.waitForSelector('html[data-ready="true"]');
    // From the start of navigation to the first picture painted (the module's mark).
    loads.push(await page.evaluate(() => performance.getEntriesByName('lorvane01-first-picture')[0].startTime));
    await page.close();
  }

  const nexts = await timeNexts(browser, 1);
  const nextsAt2 = await timeNexts(browser, 2);
  const animations = await timeAnimations(browser);

  const size = (name) => statSync(path.join(webDir, name)).size;
  const code = PAGE_CODE;
  const codeBytes = code.reduce((sum, name) => sum + size(name), 0);
  const figure = (value, goal, unit) => `${value.toFixed(unit === 'KB' ? 1 : 2)} ${unit} (goal ≤ ${goal} ${unit}: ${value <= goal ? 'met' : 'MISSED'})`;
  console.log(`load to first picture, median of ${LOADS}: ${figure(median(loads), 150, 'ms')}, worst ${Math.max(...loads).toFixed(1)} ms`);
  console.log(`next, record and paint, median of ${NEXTS}: ${figure(median(nexts.record), 2, 'ms')}; at devicePixelRatio 2: ${median(nextsAt2.record).toFixed(2)} ms`);
  console.log(`a whole press of next, the new address included, median of ${NEXTS}: ${median(nexts.press).toFixed(2)} ms; at devicePixelRatio 2: ${median(nextsAt2.press).toFixed(2)} ms`);
  console.log(`Save animation at devicePixelRatio 1, median of ${ANIMATIONS}: ${figure(median(animations), 300, 'ms')}, the first ${animations[0].toFixed(1)} ms`);
  console.log(`wasm + JS: ${figure(codeBytes / 1000, PAGE_CODE_GOAL / 1000, 'KB')} (${code.map((name) => `${name} ${size(name)}`).join(', ')} bytes); index.html ${size('index.html')} bytes, font ${size('DejaVuSans.ttf')} bytes`);
} finally {
  await browser.close();
  server.stop();
}
