// The benchmark's own driver for headless Chromium: the DevTools protocol on
// a pipe, with only the Page and Runtime domains on. Playwright, which the
// browser tests use, also tracks the network, and the page's own data URL
// passing through that tracking adds 0.1–0.7 s to the times measured here.
'use strict';

const { spawn } = require('node:child_process');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const { CHROMIUM } = require('../tests/viewer/chromium.js');

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
async function launch() {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'vantrel-chromium-'));
  const args = [
    '--headless', '--no-sandbox', '--disable-gpu', '--use-gl=angle', '--use-angle=swiftshader',
    '--enable-unsafe-swiftshader', '--user-data-dir=' + profile, '--remote-debugging-pipe',
    '--disable-background-networking', '--disable-component-update', '--disable-sync',
    '--disable-default-apps', '--disable-extensions', '--no-first-run', '--no-default-browser-check',
    '--metrics-recording-only', '--mute-audio', '--hide-scrollbars', '--force-device-scale-factor=1',
    '--proxy-server=127.0.0.1:9', '--proxy-bypass-list=<-loopback>', 'about:blank',
  ];
  const child = spawn(CHROMIUM, args, { stdio: ['ignore', 'ignore', 'ignore', 'pipe', 'pipe'] });
  const browser = new Browser(child, profile);
  await new Promise((resolve, reject) => child.once('spawn', resolve).once('error', reject));
  return browser;
}

// A page of the given size; `evaluate` runs in the top frame or in a frame
// that frameList gave.
async function openPage(browser, width, height) {
  const { targetId } = await browser.send('Target.createTarget', { url: 'about:blank' });
  const { sessionId } = await browser.send('Target.attachToTarget', { targetId, flatten: true });
  const send = (method, params) => browser.send(method, params, sessionId);
  const contexts = new Map(); // frame id -> its page's script context
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
  return {
    async navigate(url) {
      const loaded = new Promise((resolve) => {
        const off = browser.on((m) => {
          if (m.sessionId === sessionId && m.method === 'Page.loadEventFired') { off(); resolve(); }
        });
      });
      await send('Page.navigate', { url });
      await loaded;
    },
    // The frames, top frame first.
    async frameList() {
      const { frameTree } = await send('Page.getFrameTree');
      const out = [];
      const walk = (node) => {
        out.push({ id: node.frame.id, url: node.frame.url, name: node.frame.name });
        (node.childFrames || []).forEach(walk);
      };
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
      if (r.exceptionDetails) {
        const e = r.exceptionDetails;
        throw new Error('evaluate: ' + (e.exception ? e.exception.description : e.text));
      }
      return r.result.value;
    },
    async screenshotFile(file) {
      fs.writeFileSync(file, Buffer.from((await send('Page.captureScreenshot', { format: 'png' })).data, 'base64'));
    },
  };
}

module.exports = { launch, openPage };
