// A picture's recipe in the page's address, and the recipes the page makes: named now, seeded
// from the time of day, as the window does.
export const LAST_PICTURE = 10000000;
// No recipe comes near this; a longer address is refused before it is decoded.
const LONGEST_ADDRESS = 1000;

// "seed=20798.984 picture=4 at=20261208054638" to its parts; only for the core's own text.
export function recipeParts(text) {
  const [, seed, picture, at] = /^seed=(\S+) picture=(\d+) at=(\d{14})$/.exec(text);
  return { seed, picture: Number(picture), at };
}

export function recipeText({ seed, picture, at }) {
  return `seed=${seed} picture=${picture} at=${at}`;
}

export function addressOf(recipe) {
  const { seed, picture, at } = recipeParts(recipe);
  return `#seed=${seed}&picture=${picture}&at=${at}`;
}

// The recipe text an address names, or { error } when it cannot be one.
export function recipeOfAddress(hash) {
  if (hash.length > LONGEST_ADDRESS) {
    return { error: `the address is ${hash.length} characters long, far longer than a recipe` };
  }
  let decoded;
  try {
    decoded = decodeURIComponent(hash.replace(/^#/, ''));
  } catch {
    return { error: 'the address is not readable text' };
  }
  if (decoded.includes('\0')) {
    return { error: 'the address holds a NUL character' };
  }
  return { text: decoded.split('&').join(' ') };
}

function digits(number, width) {
  return String(number).padStart(width, '0');
}

// Now, as the window names a picture: YYYYMMDDhhmmss, local time.
export function nowDigits(now = new Date()) {
  return digits(now.getFullYear(), 4) + digits(now.getMonth() + 1, 2) + digits(now.getDate(), 2) +
         digits(now.getHours(), 2) + digits(now.getMinutes(), 2) + digits(now.getSeconds(), 2);
}

// As the window seeds itself: the seconds since local midnight, with their fraction, as a float.
export function timeOfDaySeed(now = new Date()) {
  const midnight = new Date(now.getFullYear(), now.getMonth(), now.getDate());
  return Math.fround((now - midnight) / 1000);
}
