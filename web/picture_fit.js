// Where the picture goes in an area of device pixels, by the rule full screen, the screensaver and
// lorvane01-render --fit follow (players/picture_fit.cpp, FitPicture): played at the largest
// scale that fits, from 1 to 16, the same both ways, and centred. In an area smaller than 600 x 450
// it is played at scale 1 and shown smaller, keeping its shape. The tests hold this to the
// desktop's rule size by size and pixel by pixel.
const WIDTH = 600;
const HEIGHT = 450;
const LARGEST_SCALE = 16;

// { scale, placed: { x, y, width, height } } for an area of whole device pixels.
export function fitPicture(areaWidth, areaHeight) {
  const width = Math.max(areaWidth, 1);
  const height = Math.max(areaHeight, 1);
  const fits = Math.min(width / WIDTH, height / HEIGHT);
  const scale = Math.min(Math.max(fits, 1), LARGEST_SCALE);
  const shown = Math.min(scale, fits);
  const placedWidth = Math.min(width, Math.round(WIDTH * shown));
  const placedHeight = Math.min(height, Math.round(HEIGHT * shown));
  return {
    scale,
    placed: {
      x: Math.floor((width - placedWidth) / 2), y: Math.floor((height - placedHeight) / 2),
      width: placedWidth, height: placedHeight,
    },
  };
}
