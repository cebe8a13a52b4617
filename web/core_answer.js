// The core's answer (see web_picture.h): a drawn picture's recipe, name, saved texts, items and
// how it paints itself, read from the WebAssembly heap.
export const FILL = 0;
export const LINE = 1;
export const TEXT = 2;

const utf8 = new TextDecoder();

// { recipe, name, texts, background, items, steps, delays } for a drawn picture, { error } for a refused recipe.
export function readAnswer(heap, pointer) {
  const view = new DataView(heap.buffer, pointer);
  let at = 0;
  const u32 = () => { const v = view.getUint32(at, true); at += 4; return v; };
  const i32 = () => { const v = view.getInt32(at, true); at += 4; return v; };
  const text = () => {
    const size = u32();
    const value = utf8.decode(heap.subarray(pointer + at, pointer + at + size));
    at += size;
    return value;
  };
  const size = u32();
  if (u32() !== 0) {
    return { error: text() };
  }
  const recipe = text();
  const name = text();
  const texts = Array.from({ length: u32() }, () => [text(), text()]);
  const background = u32();
  const count = u32();
  const items = new Array(count);
  for (let i = 0; i < count; ++i) {
    const kind = u32();
    if (kind === TEXT) {
      const x = view.getFloat64(at, true);
      const y = view.getFloat64(at + 8, true);
      at += 16;
      const linesBelow = i32();
      const points = view.getFloat32(at, true);
      at += 4;
      items[i] = { kind, x, y, linesBelow, points, colour: u32(), text: text() };
    } else {
      items[i] = { kind, a: i32(), b: i32(), c: i32(), d: i32(), colour: u32() };
    }
  }
  const steps = Array.from({ length: u32() }, () => ({
    first: u32(), end: u32(), area: { left: i32(), top: i32(), right: i32(), bottom: i32() },
  }));
  const delays = Array.from({ length: steps.length + 1 }, u32);
  if (at !== size) {
    throw new Error(`the core's answer is ${size} bytes, ${at} were read`);
  }
  return { recipe, name, texts, background, items, steps, delays };
}
