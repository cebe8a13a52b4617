// lorvane01 in a web browser: the core (WebAssembly, web_picture.cpp) draws the picture a recipe
// names as a short list of items; this module shows it at the largest scale that fits the window's
// device pixels, keeps the recipe in the address and the picture's name in the title, paints it
// again on request, and saves it as a PNG or an animated PNG that carries its recipe.
import LorvaneCore from './lorvane01_core.js';
import { readAnswer } from './core_answer.js';
import { KEYS, keyName } from './page_keys.js';
import { LAST_PICTURE, addressOf, nowDigits, recipeOfAddress, recipeParts, recipeText, timeOfDaySeed } from './picture_address.js';
import { fitPicture } from './picture_fit.js';
import {
  FONT_FAMILY, Painting, PixelContext, deviceArea, deviceSize, paintBackground, paintItems, played,
} from './picture_painting.js';
import { animatedPng, compressedRectangle, withTextChunks } from './png_file.js';

class Page {
  constructor(core, document) {
    this.core = core;
    this.canvas = document.getElementById('picture');
    // Painted on the processor: the tests and saving read it back.
    this.context = this.canvas.getContext('2d', { alpha: false, willReadFrequently: true });
    this.message = document.getElementById('message');
    this.buttons = Object.fromEntries(['back', 'next', 'paint', 'save', 'animation', 'link', 'full'].map((id) => [id, document.getElementById(id)]));
    this.shown = null;
    // The picture as last played: { picture, scale, canvas }.
    this.played = null;
    // The shown picture painting itself, while it does: a Painting.
    this.painting = null;
    this.paintingFrame = 0;
    this.fit = null;
    // The time each picture of this visit was named at, so that going back or forward to it
    // shows it as it was, and the newest picture of each seed.
    this.times = new Map();
    this.newest = new Map();
  }

  // Asks the core for the picture a recipe text names (an address is at most 1,000 characters,
  // which the core's stack holds); the heap is read after the call, which may have grown it.
  draw(text) {
    const answer = this.core.draw(text);
    return readAnswer(this.core.heap(), answer);
  }

  show(picture) {
    this.stopPainting();
    this.shown = picture;
    const { seed, picture: number, at } = recipeParts(picture.recipe);
    this.times.set(`${seed} ${number}`, at);
    this.newest.set(seed, Math.max(number, this.newest.get(seed) ?? 0));
    this.present();
    document.title = `${picture.name} — lorvane01`;
    // What a screen reader says of the picture, new with every picture shown.
    this.canvas.ariaLabel = `${picture.name}, picture ${number} of seed ${seed}`;
    this.buttons.back.disabled = number <= 1;
    this.buttons.next.disabled = number >= LAST_PICTURE;
  }

  // The canvas covers the picture's area, one backing pixel for each device pixel.
  resize(width, height) {
    if (width !== this.canvas.width || height !== this.canvas.height) {
      Object.assign(this.canvas, { width, height });
      this.present();
    }
  }

  // Black, and the picture in its place at the scale that fits; played again only when the
  // picture or the scale changed.
  present() {
    if (!this.shown) {
      return;
    }
    const fit = fitPicture(this.canvas.width, this.canvas.height);
    if (this.played?.picture !== this.shown || this.played.scale !== fit.scale) {
      this.played = { picture: this.shown, scale: fit.scale, canvas: played(this.shown, fit.scale, this.played?.canvas) };
    }
    this.fit = fit;
    if (this.painting && this.painting.scale !== fit.scale) {
      this.stopPainting();
    }
    const { x, y, width, height } = fit.placed;
    this.context.setTransform(1, 0, 0, 1, 0, 0);
    this.context.fillStyle = '#000';
    this.context.fillRect(0, 0, this.canvas.width, this.canvas.height);
    this.context.imageSmoothingQuality = 'high';
    this.context.drawImage((this.painting ?? this.played).canvas, x, y, width, height);
  }

  // The shown picture paints itself again from its background, at the scale it is shown at; the
  // finished picture stays.
  paintItself() {
    this.stopPainting();
    this.painting = new Painting(this.shown, this.fit.scale);
    const frame = (now) => {
      const finished = this.painting.advance(now);
      if (finished) {
        this.painting = null;
      } else {
        this.paintingFrame = requestAnimationFrame(frame);
      }
      this.present();
    };
    this.present();
    this.paintingFrame = requestAnimationFrame(frame);
  }

  stopPainting() {
    cancelAnimationFrame(this.paintingFrame);
    this.painting = null;
  }

  say(text) {
    this.message.textContent = text;
  }

  fresh() {
    return this.draw(recipeText({ seed: String(timeOfDaySeed()), picture: 1, at: nowDigits() }));
  }

  // Shows the picture the address names; a new one, and why, when it names none.
  showAddress() {
    if (this.shown && location.hash === addressOf(this.shown.recipe)) {
      return;
    }
    this.say('');
    let picture = null;
    if (location.hash.length > 1) {
      const asked = recipeOfAddress(location.hash);
      picture = asked.error ? asked : this.draw(asked.text);
      if (picture.error) {
        this.say(`This address names no picture (${picture.error}); here is a new one.`);
        picture = null;
      }
    }
    picture ??= this.fresh();
    this.show(picture);
    history.replaceState(null, '', addressOf(picture.recipe));
  }

  // Shows picture `number` of the shown seed: as it was shown before, or named now.
  goTo(number) {
    const { seed, picture: shown } = recipeParts(this.shown.recipe);
    if (number < 1 || number > LAST_PICTURE || number === shown) {
      return;
    }
    const at = this.times.get(`${seed} ${number}`) ?? nowDigits();
    const picture = this.draw(recipeText({ seed, picture: number, at }));
    this.say('');
    this.show(picture);
    history.pushState(null, '', addressOf(picture.recipe));
  }

  step(by) {
    this.goTo(recipeParts(this.shown.recipe).picture + by);
  }

  // The file's name: the picture's name and number, and what it holds.
  fileName(suffix) {
    return `${this.shown.name}-${recipeParts(this.shown.recipe).picture}${suffix}`;
  }

  async png() {
    const blob = await new Promise((resolve) => played(this.shown, window.devicePixelRatio || 1).toBlob(resolve, 'image/png'));
    return { bytes: withTextChunks(new Uint8Array(await blob.arrayBuffer()), this.shown.texts), name: this.fileName('.png') };
  }

  // The shown picture painting itself as an animated PNG at the device's pixel ratio: the
  // background, then each painting step's rectangle, then the finished picture held; a reader
  // that knows no animation shows the finished picture.
  async animation() {
    const picture = this.shown;
    const scale = window.devicePixelRatio || 1;
    const { width, height } = deviceSize(scale);
    const context = new PixelContext(width, height);
    const whole = { x: 0, y: 0, width, height };
    paintBackground(context, picture, scale);
    const frames = [{ ...compressedRectangle(context.pixels(), whole), delay: picture.delays[0] }];
    picture.steps.forEach(({ first, end, area }, i) => {
      paintItems(context, picture, scale, first, end);
      frames.push({ ...compressedRectangle(context.pixels(), deviceArea(area, scale)), delay: picture.delays[i + 1] });
    });
    const bytes = animatedPng(compressedRectangle(context.pixels(), whole), frames);
    return { bytes: withTextChunks(bytes, this.shown.texts), name: this.fileName('-painting.png') };
  }

  async save(made) {
    const { bytes, name } = await made;
    const link = document.createElement('a');
    link.href = URL.createObjectURL(new Blob([bytes], { type: 'image/png' }));
    link.download = name;
    link.click();
    setTimeout(() => URL.revokeObjectURL(link.href), 10000);
  }

  async copyPng() {
    const { bytes } = await this.png();
    await navigator.clipboard.write([new ClipboardItem({ 'image/png': new Blob([bytes], { type: 'image/png' }) })]);
  }

  async copyLink() {
    await navigator.clipboard.writeText(location.href);
    this.say('The link to this picture is on the clipboard.');
  }

  toggleFullScreen() {
    const asked = document.fullscreenElement ? document.exitFullscreen() : document.documentElement.requestFullscreen();
    asked?.catch((error) => this.say(`Full screen is not available: ${error.message}`));
  }

  // What each command of the keys' table and the buttons does; false leaves the key to the browser.
  commands() {
    const failed = (what) => (error) => this.say(`${what}: ${error.message}`);
    return {
      forward: () => this.step(1),
      back: () => this.step(-1),
      first: () => this.goTo(1),
      newest: () => this.goTo(this.newest.get(recipeParts(this.shown.recipe).seed)),
      fullScreen: () => this.toggleFullScreen(),
      save: () => { this.save(this.png()); },
      paint: () => this.paintItself(),
      saveAnimation: () => { this.save(this.animation()).catch(failed('The animation could not be saved')); },
      copy: () => String(window.getSelection()) === '' && void this.copyPng().catch(failed('The picture could not be copied')),
      link: () => { this.copyLink().catch(failed('The link could not be copied')); },
    };
  }

  listen() {
    const commands = this.commands();
    const { back, next, paint: paintButton, save, animation, link, full } = this.buttons;
    next.addEventListener('click', commands.forward);
    back.addEventListener('click', commands.back);
    paintButton.addEventListener('click', commands.paint);
    save.addEventListener('click', commands.save);
    animation.addEventListener('click', commands.saveAnimation);
    link.addEventListener('click', commands.link);
    full.addEventListener('click', commands.fullScreen);
    document.addEventListener('fullscreenchange', () => { full.ariaPressed = String(Boolean(document.fullscreenElement)); });
    window.addEventListener('popstate', () => this.showAddress());
    window.addEventListener('hashchange', () => this.showAddress());
    window.addEventListener('keydown', (event) => {
      const name = keyName(event);
      // Space and Enter on a button press that button.
      if (!KEYS.has(name) || (event.target.closest?.('button') && (name === 'Space' || name === 'Enter'))) {
        return;
      }
      if (commands[KEYS.get(name)]() !== false) {
        event.preventDefault();
      }
    });
    // The canvas's size in device pixels, exactly, whenever it or the pixel ratio changes; the
    // promise is kept once it is first known. Chromium's device emulation (as in the tests)
    // gives the device-pixel box without its pixel ratio: then the CSS size times the ratio.
    return new Promise((sized) => {
      new ResizeObserver(([entry]) => {
        const ratio = window.devicePixelRatio || 1;
        const width = Math.round(entry.contentRect.width * ratio);
        const height = Math.round(entry.contentRect.height * ratio);
        const [box] = entry.devicePixelContentBoxSize ?? [];
        const exact = box && Math.abs(box.inlineSize - width) <= 1 && Math.abs(box.blockSize - height) <= 1;
        this.resize(exact ? box.inlineSize : width, exact ? box.blockSize : height);
        sized();
      }).observe(this.canvas, { box: 'device-pixel-content-box' });
    });
  }
}

// The core's module, given its WebAssembly (fetched beside this module) to run.
async function loadCore() {
  const response = await fetch(new URL('lorvane01_core.wasm', import.meta.url));
  if (!response.ok) {
    throw new Error(`lorvane01_core.wasm could not be fetched (HTTP ${response.status})`);
  }
  const wasm = await response.arrayBuffer();
  // The minimal runtime never answers for a file it cannot compile: tell it here instead.
  if (!WebAssembly.validate(wasm)) {
    throw new Error('lorvane01_core.wasm is not WebAssembly this browser can run');
  }
  return LorvaneCore({ wasm });
}

async function loadFont() {
  const face = new FontFace(FONT_FAMILY, 'url(DejaVuSans.ttf)');
  document.fonts.add(await face.load());
}

export let page = null;

async function start() {
  const [core] = await Promise.all([loadCore(), loadFont()]);
  page = new Page(core, document);
  await page.listen();
  page.showAddress();
  performance.mark('lorvane01-first-picture');
  document.documentElement.dataset.ready = 'true';
}

if (typeof document !== 'undefined') {
  start().catch((error) => {
    document.getElementById('message').textContent = `The page could not start: ${error.message}`;
  });
}
