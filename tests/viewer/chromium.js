// Drives headless Chromium over the DevTools protocol on a pipe (no port,
// no network), takes screenshots and decodes them, for the browser tests
// and the benchmark. Node's standard library only.
'use strict';

const { spawn } = require('node:child_process');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');

const CHROMIUM = process.env.VANTREL_CHROMIUM || '/usr/bin/chromium';

class Browser {
  constructor(child, profile) {
    this.child = child;
    this.profile = profile;
    this.nextId = 1;
    this.pending = new Map();
    this.listeners = [];
    this.buffer = Buffer.alloc(0);
    child.stdio[4].on('data', (chunk) => this.receive(chunk));
    this.exited = new Promise((resolve) => child.on('exit', resolve));
  }

  receive(chunk) {
    this.buffer = Buffer.concat([this.buffer, chunk]);
    let end;
    while ((end = this.buffer.indexOf(0)) >= 0) {
      const message = JSON.parse(this.buffer.subarray(0, end).toString('utf8'));
      this.buffer = this.buffer.subarray(end + 1);
      if (message.id !== undefined && this.pending.has(message.id)) {
        const { resolve, reject, method } = this.pending.get(message.id);
        this.pending.delete(message.id);
        if (message.error) reject(new Error(method + ': ' + message.error.message));
        else resolve(message.result);
      } else if (message.method) {
        for (const listener of this.listeners.slice()) listener(message);
      }
    }
  }

  send(method, params = {}, sessionId = undefined) {
    const id = this.nextId++;
    const message = { id, method, params };
    if (sessionId) message.sessionId = sessionId;
    return new Promise((resolve, reject) => {
      this.pending.set(id, { resolve, reject, method });
      this.child.stdio[3].write(JSON.stringify(message) + '\0');
    });
  }

  on(listener) {
    this.listeners.push(listener);
    return () => { this.listeners = this.listeners.filter((l) => l !== listener); };
  }

  async close() {
    try {
      await Promise.race([this.send('Browser.close'), new Promise((r) => setTimeout(r, 3000))]);
    } catch (e) { /* already gone */ }
    const timer = setTimeout(() => this.child.kill('SIGKILL'), 5000);
    await this.exited;
    clearTimeout(timer);
    fs.rmSync(this.profile, { recursive: true, force: true });
  }
}

// A fresh profile each time; software WebGL; nothing that reaches the network.
async function launch(extraArgs = []) {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'vantrel-chromium-'));
  const args = [
    '--headless', '--no-sandbox', '--disable-gpu', '--use-gl=angle', '--use-angle=swiftshader',
    '--enable-unsafe-swiftshader', '--user-data-dir=' + profile, '--remote-debugging-pipe',
    '--disable-background-networking', '--disable-component-update', '--disable-sync',
    '--disable-default-apps', '--disable-extensions', '--no-first-run', '--no-default-browser-check',
    '--metrics-recording-only', '--mute-audio', '--hide-scrollbars', '--force-device-scale-factor=1',
    ...extraArgs, '--proxy-server=127.0.0.1:9', '--proxy-bypass-list=<-loopback>', 'about:blank',
  ];
  const child = spawn(CHROMIUM, args, { stdio: ['ignore', 'ignore', 'ignore', 'pipe', 'pipe'] });
  const browser = new Browser(child, profile);
  await new Promise((resolve, reject) => child.once('spawn', resolve).once('error', reject));
  return browser;
}

// A page of the given size; `evaluate` runs in the top frame or in the frame
// whose URL ends with a given name.
async function openPage(browser, width, height) {
  const { targetId } = await browser.send('Target.createTarget', { url: 'about:blank' });
  const { sessionId } = await browser.send('Target.attachToTarget', { targetId, flatten: true });
  const send = (method, params) => browser.send(method, params, sessionId);
  const contexts = new Map(); // frameId -> execution context id
  browser.on((m) => {
    if (m.sessionId !== sessionId) return;
    if (m.method === 'Runtime.executionContextCreated') {
      const c = m.params.context;
      if (c.auxData && c.auxData.isDefault) contexts.set(c.auxData.frameId, c.id);
    } else if (m.method === 'Runtime.executionContextDestroyed') {
      for (const [frame, id] of contexts) if (id === m.params.executionContextId) contexts.delete(frame);
    } else if (m.method === 'Runtime.executionContextsCleared') {
      contexts.clear();
    }
  });
  for (const domain of ['Page', 'Runtime']) await send(domain + '.enable');
  await send('Emulation.setDeviceMetricsOverride', { width, height, deviceScaleFactor: 1, mobile: false });

  const mouse = (type, x, y, extra) => send('Input.dispatchMouseEvent', { type, x, y, button: 'left', ...extra });
  const page = {
    send,
    async navigate(url) {
      const loaded = new Promise((resolve) => {
        const off = browser.on((m) => {
          if (m.sessionId === sessionId && m.method === 'Page.loadEventFired') { off(); resolve(); }
        });
      });
      await send('Page.navigate', { url });
      await loaded;
    },
    // Frame ids with their URLs, top frame first.
    async frameList() {
      const { frameTree } = await send('Page.getFrameTree');
      const out = [];
      const walk = (node) => { out.push({ id: node.frame.id, url: node.frame.url, name: node.frame.name }); (node.childFrames || []).forEach(walk); };
      walk(frameTree);
      return out;
    },
    async evaluate(expression, frameId = undefined) {
      const params = { expression, returnByValue: true, awaitPromise: true };
      if (frameId) {
        if (!contexts.has(frameId)) throw new Error('no script context for frame ' + frameId);
        params.contextId = contexts.get(frameId);
      }
      const r = await send('Runtime.evaluate', params);
      if (r.exceptionDetails) throw new Error('evaluate: ' + (r.exceptionDetails.exception ? r.exceptionDetails.exception.description : r.exceptionDetails.text));
      return r.result.value;
    },
    async screenshot(file = undefined) {
      const png = Buffer.from((await send('Page.captureScreenshot', { format: 'png' })).data, 'base64');
      return file ? fs.writeFileSync(file, png) : decodePng(send, png);
    },
    decodePng(png) { return decodePng(send, png); },
    screenshotFile(file) { return page.screenshot(file); },
    async click(x, y, clickCount = 1) {
      for (const type of ['mousePressed', 'mouseReleased']) await mouse(type, x, y, { clickCount });
    },
    async drag(x0, y0, x1, y1, steps = 10) {
      await mouse('mouseMoved', x0, y0, { button: 'none' });
      await mouse('mousePressed', x0, y0, { clickCount: 1 });
      for (let i = 1; i <= steps; i++) {
        await mouse('mouseMoved', x0 + (x1 - x0) * i / steps, y0 + (y1 - y0) * i / steps, { buttons: 1 });
        await new Promise((r) => setTimeout(r, 16));
      }
      await mouse('mouseReleased', x1, y1, { clickCount: 1 });
    },
  };
  return page;
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

// Chromium's own decoder, in a script world of the page's own that the
// page cannot see: the PNG's RGBA pixels exactly (no colour management).
async function decodePng(send, png) {
  const { frameTree } = await send('Page.getFrameTree');
  const { executionContextId } = await send('Page.createIsolatedWorld', { frameId: frameTree.frame.id, worldName: 'png' });
  const { result, exceptionDetails } = await send('Runtime.evaluate', { contextId: executionContextId, returnByValue: true, awaitPromise: true,
    expression: `(async () => {
      const bytes = Uint8Array.from(atob('${png.toString('base64')}'), (c) => c.charCodeAt(0));
      const bitmap = await createImageBitmap(new Blob([bytes], { type: 'image/png' }),
        { colorSpaceConversion: 'none', premultiplyAlpha: 'none' });
      const context = new OffscreenCanvas(bitmap.width, bitmap.height).getContext('2d');
      context.drawImage(bitmap, 0, 0);
      const rgba = context.getImageData(0, 0, bitmap.width, bitmap.height).data;
      let text = '';
      for (let i = 0; i < rgba.length; i += 0x8000) text += String.fromCharCode(...rgba.subarray(i, i + 0x8000));
      return [bitmap.width, bitmap.height, btoa(text)];
    })()` });
  if (exceptionDetails) throw new Error('decoding a screenshot: ' + exceptionDetails.text);
  const [width, height, pixels] = result.value;
  const rgba = Buffer.from(pixels, 'base64');
  return { width, height, rgba, at(x, y) { const i = (y * width + x) * 4; return [rgba[i], rgba[i + 1], rgba[i + 2]]; } };
}

module.exports = { launch, openPage, waitFor, CHROMIUM };
