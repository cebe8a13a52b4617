// What the page takes from its core, appended inside the core's module (the minimal runtime
// exports nothing of its own): the drawing call, with the recipe passed as UTF-8 on the core's
// stack, and the heap as it is after that call, which may have grown it.
Module['draw'] = (text) => {
  const bytes = new TextEncoder().encode(text);
  const top = stackSave();
  const input = stackAlloc(bytes.length + 1);
  HEAPU8.set(bytes, input);
  HEAPU8[input + bytes.length] = 0;
  const answer = _lorvane_draw(input);
  stackRestore(top);
  return answer;
};
Module['heap'] = () => HEAPU8;
