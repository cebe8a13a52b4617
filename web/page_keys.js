// The page's keys, as one table: those of the full-screen view, f for full screen, p to paint the
// picture again, and the window's Ctrl+S and Ctrl+C. Alt is never taken, so the browser's Alt+Left
// and Alt+Right stay its own Back and Forward.
export const KEYS = new Map([
  ['ArrowRight', 'forward'], ['Space', 'forward'], ['PageDown', 'forward'],
  ['ArrowLeft', 'back'], ['Backspace', 'back'], ['PageUp', 'back'],
  ['Home', 'first'], ['End', 'newest'],
  ['f', 'fullScreen'], ['p', 'paint'],
  ['Ctrl+S', 'save'], ['Ctrl+C', 'copy'],
]);

// A key event as the table names it ("Space", "Ctrl+S", "Shift+ArrowRight"); Command counts as
// Ctrl. null with Alt.
export function keyName(event) {
  if (event.altKey) {
    return null;
  }
  const ctrl = event.ctrlKey || event.metaKey;
  const key = event.key === ' ' ? 'Space' : ctrl && event.key.length === 1 ? event.key.toUpperCase() : event.key;
  const shift = event.shiftKey && (ctrl || key.length > 1);
  return `${ctrl ? 'Ctrl+' : ''}${shift ? 'Shift+' : ''}${key}`;
}
