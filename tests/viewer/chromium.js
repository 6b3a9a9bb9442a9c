// Debian's headless Chromium, driven through Playwright, for the browser
// tests and the benchmark: screenshots come back decoded.
'use strict';

const { chromium } = require('playwright-core');

const CHROMIUM = process.env.VANTREL_CHROMIUM || '/usr/bin/chromium';

// A fresh profile each time; software WebGL; nothing that reaches the network.
function launch(extraArgs = []) {
  return chromium.launch({
    executablePath: CHROMIUM,
    // Playwright itself adds --no-sandbox, --disable-background-networking and the like.
    args: ['--disable-gpu', '--use-gl=angle', '--use-angle=swiftshader', '--enable-unsafe-swiftshader', ...extraArgs,
      '--proxy-server=127.0.0.1:9', '--proxy-bypass-list=<-loopback>'],
  });
}

// A page of the given size (`tab`, Playwright's own); `evaluate` runs in the
// top frame or in a frame that frameList gave.
async function openPage(browser, width, height) {
  const tab = await browser.newPage({ viewport: { width, height }, deviceScaleFactor: 1 });
  // A blank page apart decodes the screenshots, out of sight of the pages tested.
  const decoder = await browser.newPage();
  return {
    tab,
    navigate: (url) => tab.goto(url),
    // The frames, top frame first; `id` is the frame itself.
    frameList: () => tab.frames().map((frame) => ({ id: frame, url: frame.url(), name: frame.name() })),
    evaluate: (expression, frame = tab.mainFrame()) => frame.evaluate(expression),
    screenshot: async () => decodePng(decoder, await tab.screenshot()),
    screenshotFile: (path) => tab.screenshot({ path }),
    decodePng: (png) => decodePng(decoder, png),
    async drag(x0, y0, x1, y1) {
      await tab.mouse.move(x0, y0);
      await tab.mouse.down();
      await tab.mouse.move(x1, y1, { steps: 10 });
      await tab.mouse.up();
    },
  };
}

async function waitFor(check, timeoutMs, what) {
  const start = Date.now();
  let last;
  for (;;) {
    try {
      last = await check();
      if (last) return last;
    } catch (e) {
      last = e.message;
    }
    if (Date.now() - start > timeoutMs) throw new Error('timed out waiting for ' + what + (last ? ' (' + last + ')' : ''));
    await new Promise((r) => setTimeout(r, 50));
  }
}

// Chromium's own decoder: the PNG's RGBA pixels exactly (no colour management).
async function decodePng(decoder, png) {
  const [width, height, pixels] = await decoder.evaluate(async (base64) => {
    const bytes = Uint8Array.from(atob(base64), (c) => c.charCodeAt(0));
    const bitmap = await createImageBitmap(new Blob([bytes], { type: 'image/png' }),
      { colorSpaceConversion: 'none', premultiplyAlpha: 'none' });
    const context = new OffscreenCanvas(bitmap.width, bitmap.height).getContext('2d');
    context.drawImage(bitmap, 0, 0);
    const rgba = context.getImageData(0, 0, bitmap.width, bitmap.height).data;
    let text = '';
    for (let i = 0; i < rgba.length; i += 0x8000) text += String.fromCharCode(...rgba.subarray(i, i + 0x8000));
    return [bitmap.width, bitmap.height, btoa(text)];
  }, png.toString('base64'));
  const rgba = Buffer.from(pixels, 'base64');
  return { width, height, rgba, at(x, y) { const i = (y * width + x) * 4; return [rgba[i], rgba[i + 1], rgba[i + 2]]; } };
}

module.exports = { launch, openPage, waitFor, CHROMIUM };
