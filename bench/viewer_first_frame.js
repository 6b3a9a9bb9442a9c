#!/usr/bin/env node
// First-frame time of a big orbital page in headless Chromium with software
// WebGL (SwiftShader), opened from disk. Run by hand, not by ctest:
//
//   node bench/viewer_first_frame.js [build/vantrel] [--points N] [--runs N] [--screenshot FILE]
//
// The program writes the page (points sampled into a fresh main directory);
// each run opens it in a fresh page. Reported: time from the start of the
// navigation to the end of the first drawn frame, as the page measures it
// (performance.now() after the drawing has finished), with its steps, and
// the rate of frames drawn one after another in software rendering; then
// a like orbital (3d, m = 1) as a four-panel page: time until all four
// views have drawn (--four 0 leaves it out).
'use strict';

const { execFileSync } = require('node:child_process');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const devtools = require('./devtools.js');
const { waitFor } = require('../tests/viewer/chromium.js');

function option(name, fallback) {
  const at = process.argv.indexOf(name);
  return at > 0 && at + 1 < process.argv.length ? process.argv[at + 1] : fallback;
}

const exe = path.resolve(process.argv[2] && !process.argv[2].startsWith('--') ? process.argv[2] : 'build/vantrel');
const points = parseInt(option('--points', '320000'), 10);
const runs = parseInt(option('--runs', '5'), 10);
const screenshot = option('--screenshot', '');
const fourRuns = parseInt(option('--four', '3'), 10);
const target = points > 400000 ? 2500 : 1000;

function writePage(root) {
  const program = path.join(root, 'program');
  const work = path.join(root, 'work');
  fs.mkdirSync(program);
  fs.mkdirSync(work);
  for (const name of ['vantrel', 'frames.ht', 'vantrel-viewer.js'])
    fs.copyFileSync(path.join(path.dirname(exe), name), path.join(program, name));
  fs.chmodSync(path.join(program, 'vantrel'), 0o755);
  fs.writeFileSync(path.join(work, 'index.htm'), 'help');
  const sequence = path.join(root, 'big.txt');
  fs.writeFileSync(sequence, 'maxpoints=' + points + ' extent=0 energy\r\njmol jmolbox jmolaxes\r\n3 2 0\r\n' +
    (fourRuns > 0 ? 'four\r\n3 2 1\r\n' : ''));
  const home = path.join(root, 'main_vantrel');
  const started = Date.now();
  execFileSync(path.join(program, 'vantrel'), [sequence], {
    cwd: work, stdio: 'ignore', timeout: 600000,
    env: { PATH: process.env.PATH, VANTREL_HOME: home, VANTREL_SEED: '7', HOME: root, QT_QPA_PLATFORM: 'offscreen' },
  });
  console.log('pages written in ' + (Date.now() - started) + ' ms (sampling, XYZ file, companion, pages)');
  return path.join(home, 'files', '3_2_0_.htm');
}

// The four views of the four-panel page, each measured in its own frame:
// the last one's first frame, from the start of the top page's navigation.
async function fourViews(url) {
  const browser = await devtools.launch();
  try {
    const tab = await devtools.openPage(browser, 1000, 800);
    await tab.navigate(url);
    return await waitFor(async () => {
      const frames = (await tab.frameList()).filter((f) => /^fraView/.test(f.name));
      const top = await tab.evaluate('performance.timeOrigin');
      const done = [];
      for (const f of frames) {
        const at = await tab.evaluate(`(() => { const v = window.vantrelViewer && window.vantrelViewer.viewers[0];
          return v && v.firstFrameMs ? performance.timeOrigin + v.firstFrameMs : 0; })()`, f.id).catch(() => 0);
        if (at) done.push(at - top);
      }
      return done.length === 4 ? Math.max(...done) : null;
    }, 60000, 'four views');
  } finally {
    await browser.close();
  }
}

(async () => {
  const root = fs.mkdtempSync(path.join(os.tmpdir(), 'viewer-bench-'));
  try {
    const page = writePage(root);
    const companion = page.replace(/\.htm$/, '.xyz.js');
    console.log('companion ' + (fs.statSync(companion).size / 1e6).toFixed(1) + ' MB, XYZ ' +
      (fs.statSync(page.replace(/\.htm$/, '.xyz')).size / 1e6).toFixed(1) + ' MB');
    const url = 'file://' + page.split('/').map(encodeURIComponent).join('/');
    const times = [];
    let fps = 0, count = 0;
    for (let run = 0; run < runs; run++) {
      const browser = await devtools.launch();
      try {
        const tab = await devtools.openPage(browser, 1000, 800);
        await tab.navigate(url);
        const state = await waitFor(() => tab.evaluate(
          `(() => { const v = window.vantrelViewer && window.vantrelViewer.viewers[0];
                    return v && v.firstFrameMs ? { ms: v.firstFrameMs, count: v.count } :
                      (document.querySelector('[data-vantrel-viewer=error]') ? { error: document.querySelector('[data-vantrel-viewer=error]').getAttribute('data-vantrel-message') } : null); })()`),
        60000, 'the first frame');
        if (state.error) throw new Error(state.error);
        times.push(state.ms);
        const t = await tab.evaluate('window.vantrelViewer.viewers[0].timings');
        console.log('run ' + (run + 1) + ': points loaded ' + t.dataLoaded.toFixed(0) + ' ms, decoded ' + t.decoded.toFixed(0) +
          ' ms, scene built ' + t.built.toFixed(0) + ' ms, first frame done ' + state.ms.toFixed(0) + ' ms');
        count = state.count;
        if (run === 0) {
          // Frames drawn one after the other, each waited for: the software
          // renderer's rate for turning the cloud.
          fps = await tab.evaluate(`(() => {
            const v = window.vantrelViewer.viewers[0];
            v.drawNow();
            const start = performance.now();
            for (let i = 0; i < 10; i++) v.drawNow();
            return 10000 / (performance.now() - start);
          })()`);
          if (screenshot) await tab.screenshotFile(screenshot);
        }
      } finally {
        await browser.close();
      }
    }
    times.sort((a, b) => a - b);
    const median = times[Math.floor(times.length / 2)];
    console.log('atoms drawn: ' + count);
    console.log('first frame: median ' + median.toFixed(0) + ' ms, best ' + times[0].toFixed(0) + ' ms, worst ' +
      times[times.length - 1].toFixed(0) + ' ms over ' + times.length + ' runs (target < ' + target + ' ms)');
    console.log('frames drawn one after another (software rendering): ' + fps.toFixed(1) + ' per second');
    if (fourRuns > 0) {
      const fourUrl = url.replace(/3_2_0_\.htm$/, '3_2_1_.htm');
      const all = [];
      for (let run = 0; run < fourRuns; run++) all.push(await fourViews(fourUrl));
      all.sort((a, b) => a - b);
      console.log('four-panel page, all four views drawn: median ' + all[Math.floor(all.length / 2)].toFixed(0) +
        ' ms, best ' + all[0].toFixed(0) + ' ms, worst ' + all[all.length - 1].toFixed(0) + ' ms over ' + all.length +
        ' runs (target < 2500 ms)');
    }
    console.log('machine: ' + os.cpus().length + ' cores, ' + os.cpus()[0].model);
  } finally {
    fs.rmSync(root, { recursive: true, force: true });
  }
})().catch((e) => {
  console.error(e.message);
  process.exit(1);
});
