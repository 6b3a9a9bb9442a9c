// The pages Vantrel writes, opened from disk in headless Chromium (software
// WebGL, no network). Needs VANTREL_EXE, the built program: the viewer
// script sits beside it.
'use strict';

const test = require('node:test');
const assert = require('node:assert/strict');
const { execFileSync } = require('node:child_process');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const chromium = require('./chromium.js');

const EXE = process.env.VANTREL_EXE;
const CLASS_SYMBOLS = 'O BeArP S SiB B MgNaN I HeC H '.match(/../g).map((s) => s.trim());
const viewer = require(path.join(__dirname, '../../data/vantrel-viewer.js'));
// Class colours that nothing else on a page uses: white (H) and light
// grey (C) also appear in text and backgrounds, so they are left out.
const DISTINCT = new Map(CLASS_SYMBOLS.filter((s) => s !== 'H' && s !== 'C').map((s) => [viewer.elementColour(s).join(), s]));

// One run of the real program makes every page the tests look at.
function makeCache() {
  assert.ok(EXE && fs.existsSync(EXE), 'VANTREL_EXE must name the built program');
  assert.ok(fs.existsSync(chromium.CHROMIUM), chromium.CHROMIUM + ' is missing: run scripts/deps.sh');
  const root = fs.mkdtempSync(path.join(os.tmpdir(), 'viewer-pages-'));
  const [program, work] = ['program', 'work'].map((d) => path.join(root, d));
  [program, work].forEach((d) => fs.mkdirSync(d));
  for (const name of ['vantrel', 'frames.ht', 'vantrel-viewer.js'])
    fs.copyFileSync(path.join(path.dirname(EXE), name), path.join(program, name));
  fs.chmodSync(path.join(program, 'vantrel'), 0o755);
  fs.writeFileSync(path.join(work, 'index.htm'), 'help'); // keeps the help installer out
  const sequence = path.join(root, 'tour.txt');
  fs.writeFileSync(sequence, ['maxpoints=4000 extent=0 energy', 'Z=2 nodes surface slice', '2 1 0',
    'Z=1 probability nosurface noslice', 'jmol jmolbox jmolaxes', '2 1 0', 'nodes', '2 1 0',
    'probability black nojmolbox nojmolaxes', '3 2 0', 'noblack chime four', '3 2 1', 'nofour start', '3 1 0',
    'jmol', '3 1 1', 'nostart', '3 2 1 xz', '3 2 2', ''].join('\r\n'));
  const home = path.join(root, 'main_vantrel');
  execFileSync(path.join(program, 'vantrel'), [sequence], {
    cwd: work,
    env: { PATH: process.env.PATH, VANTREL_HOME: home, VANTREL_SEED: '7', HOME: root, QT_QPA_PLATFORM: 'offscreen' },
    stdio: ['ignore', 'pipe', 'pipe'],
    timeout: 120000,
  });
  const cache = path.join(home, 'files');
  for (const name of ['vantrel-viewer.js', 'three.min.js', 'TrackballControls.js'])
    assert.ok(fs.existsSync(path.join(cache, name)), name + ' was not copied into the cache: is libjs-three installed (scripts/deps.sh)?');
  return { root, cache };
}

// Viewer boxes of every frame, in page coordinates (Playwright adds the
// frames' offsets); a legend that is hidden has none.
async function viewerBoxes(page) {
  const box = (r) => r && { x: r.x, y: r.y, w: r.width, h: r.height };
  const boxes = [];
  for (const frame of page.tab.frames()) {
    for (const e of await frame.$$('[data-vantrel-viewer]').catch(() => [])) { // a frame between documents
      const attribute = async (name) => (await e.getAttribute('data-vantrel-' + name)) || '';
      const legend = await e.$('.vantrel-legend');
      boxes.push({ ...box(await e.boundingBox()), legend: legend && box(await legend.boundingBox()), frame: frame.name(),
        state: await attribute('viewer'), file: await attribute('file'), message: await attribute('message') });
    }
  }
  return boxes;
}

async function settled(page, expected, extra = () => true) {
  return chromium.waitFor(async () => {
    const boxes = await viewerBoxes(page);
    return boxes.length === expected && boxes.every((b) => b.state !== 'loading') && extra(boxes) ? boxes : null;
  }, 30000, expected + ' viewers');
}

// Opens a page and waits until its viewers are drawn.
async function show(page, url, expected = 1) {
  await page.navigate(url);
  const boxes = await settled(page, expected);
  boxes.forEach((b) => assert.equal(b.state, 'ready', b.message));
  return boxes;
}

const pause = (ms) => new Promise((r) => setTimeout(r, ms));

const inside = (b, x, y, margin = 0) => x >= b.x - margin && x < b.x + b.w + margin && y >= b.y - margin && y < b.y + b.h + margin;

// Positions of the pixels inside box b (its legend left out) whose colour
// passes `keep`.
function pixelsWhere(shot, b, keep) {
  const found = [];
  for (let y = Math.max(0, Math.ceil(b.y)); y < Math.min(shot.height, b.y + b.h); y++)
    for (let x = Math.max(0, Math.ceil(b.x)); x < Math.min(shot.width, b.x + b.w); x++)
      if (!(b.legend && inside(b.legend, x, y, 1)) && keep(shot.at(x, y))) found.push([x, y]);
  return found;
}
const ofColour = (rgb) => (c) => c.join() === rgb.join();
const mean = (list, k) => list.reduce((sum, p) => sum + p[k], 0) / list.length;
const spread = (list, k) => Math.sqrt(list.reduce((sum, p) => sum + (p[k] - mean(list, k)) ** 2, 0) / list.length);

// Pixels of the distinct class colours, inside each box (its legend left
// out) and outside all.
function classPixels(shot, boxes) {
  const perBox = boxes.map(() => ({ count: 0, symbols: new Set() }));
  let outside = 0;
  for (const [x, y] of pixelsWhere(shot, { x: 0, y: 0, w: shot.width, h: shot.height }, (c) => DISTINCT.has(c.join()))) {
    if (boxes.some((b) => b.legend && inside(b.legend, x, y, 1))) continue;
    const k = boxes.findIndex((b) => inside(b, x, y, 1));
    if (k < 0) outside++;
    else { perBox[k].count++; perBox[k].symbols.add(DISTINCT.get(shot.at(x, y).join())); }
  }
  return { perBox, outside };
}

// The box's pixels as text, and how many rows of two such pictures differ.
function picture(shot, b) {
  const rows = [];
  for (let y = Math.ceil(b.y); y < Math.floor(b.y + b.h); y++) {
    const row = [];
    for (let x = Math.ceil(b.x); x < Math.floor(b.x + b.w); x++) row.push(shot.at(x, y).join());
    rows.push(row.join(' '));
  }
  return rows;
}
const differingRows = (a, b) => Array.from({ length: Math.max(a.length, b.length) }, (_, i) => a[i] !== b[i]).filter(Boolean).length;

function assertCloud(shot, boxes, background) {
  const { perBox, outside } = classPixels(shot, boxes);
  assert.equal(outside, 0, 'class colours outside the viewer area');
  perBox.forEach((p, k) => {
    assert.ok(p.count >= 30, 'viewer ' + k + ' shows only ' + p.count + ' cloud pixels');
    assert.ok(p.symbols.size >= 3, 'viewer ' + k + ' shows only the classes ' + [...p.symbols]);
    // The corners but the top left one, which holds the legend.
    const b = boxes[k], x0 = Math.ceil(b.x) + 2, y0 = Math.ceil(b.y) + 2, x1 = Math.floor(b.x + b.w) - 3, y1 = Math.floor(b.y + b.h) - 3;
    const corners = [shot.at(x1, y0), shot.at(x0, y1), shot.at(x1, y1)].map((c) => c.join());
    if (background) assert.deepEqual(corners, Array(3).fill(background.join()), 'background of viewer ' + k);
  });
}

// WCAG's contrast of two CSS colours.
function contrast(a, b) {
  const lum = (css) => {
    const [r, g, bl] = css.match(/\d+/g).slice(0, 3).map((v) => (v / 255 <= 0.03928 ? v / 255 / 12.92 : ((v / 255 + 0.055) / 1.055) ** 2.4));
    return 0.2126 * r + 0.7152 * g + 0.0722 * bl;
  };
  const [hi, lo] = [lum(a), lum(b)].sort((x, y) => y - x);
  return (hi + 0.05) / (lo + 0.05);
}

test('pages from disk in headless Chromium', { timeout: 300000 }, async (t) => {
  const { root, cache } = makeCache();
  const url = (name) => 'file://' + path.join(cache, name).split('/').map(encodeURIComponent).join('/');
  const browser = await chromium.launch();
  t.after(async () => {
    await browser.close();
    fs.rmSync(root, { recursive: true, force: true });
  });
  const page = await chromium.openPage(browser, 1000, 800);
  // Opaque dots in the class colours, for the tests that look for them.
  const rendering = async (which) => {
    await page.navigate(url('2_1_0_.htm'));
    await page.evaluate(`localStorage.setItem('vantrel-viewer-rendering', '${which}')`);
  };
  await rendering('dots');

  await t.test('a single page shows the cloud on white, turns, zooms, resets and saves a PNG of the view', async () => {
    const boxes = await show(page, url('2_1_0_.htm'));
    assert.equal(boxes[0].file, '2_1_0_.xyz');
    assert.ok(boxes[0].w > 312, 'the view does not fill the window: ' + boxes[0].w);
    assert.equal(boxes[0].w, boxes[0].h, 'the view is not square');
    const shot = await page.screenshot();
    assertCloud(shot, boxes, [255, 255, 255]);
    const before = picture(shot, boxes[0]);

    const b = boxes[0];
    await page.drag(b.x + b.w * 0.3, b.y + b.h * 0.5, b.x + b.w * 0.7, b.y + b.h * 0.3);
    await pause(300);
    assert.ok(differingRows(before, picture(await page.screenshot(), b)) > 20, 'dragging does not turn the model');

    await page.tab.mouse.dblclick(b.x + b.w / 2, b.y + b.h / 2);
    await pause(300);
    assert.equal(differingRows(before, picture(await page.screenshot(), b)), 0, 'a double click does not reset the view');

    await page.tab.mouse.wheel(0, -400);
    await pause(300);
    const zoomed = await page.screenshot();
    assert.ok(differingRows(before, picture(zoomed, b)) > 20, 'the wheel does not zoom');
    assert.equal(classPixels(zoomed, boxes).outside, 0, 'a zoomed cloud spills out of the viewer area');

    const download = page.tab.waitForEvent('download');
    await page.tab.getByRole('button', { name: 'Save picture' }).click();
    assert.equal((await download).suggestedFilename(), '2_1_0_.png');
    const png = await page.decodePng(fs.readFileSync(await (await download).path()));
    assert.deepEqual([png.width, png.height], [Math.round(b.w), Math.round(b.h)]);
    assert.ok(classPixels(png, [{ x: 0, y: 0, w: png.width, h: png.height }]).perBox[0].count > 30, 'the picture holds no cloud');
  });

  await t.test('a black-background page is black in and around the viewer, its text light', async () => {
    const boxes = await show(page, url('3_2_0_.htm'));
    const shot = await page.screenshot();
    assertCloud(shot, boxes, [0, 0, 0]);
    assert.equal(shot.at(5, shot.height - 5).join(), '0,0,0');
    const colours = await page.evaluate(`(() => {
      const c = (e) => getComputedStyle(e).color;
      return { title: c(document.querySelector('h3')), rows: [...document.querySelectorAll('td font, td b')].map(c),
               links: [...document.querySelectorAll('a')].map(c), body: c(document.body) };
    })()`);
    assert.ok(colours.rows.length >= 3, 'no energy rows');
    for (const [what, list] of Object.entries(colours))
      for (const colour of [].concat(list)) assert.ok(contrast(colour, 'rgb(0,0,0)') >= 4.5, what + ' ' + colour + ' on black');
  });

  await t.test('the four-panel page reads its points once and shows four views that differ by their rotation', async () => {
    const requested = [];
    const note = (request) => requested.push(path.basename(request.url()));
    page.tab.on('request', note);
    const boxes = await show(page, url('3_2_1_.htm'), 4);
    page.tab.off('request', note);
    assert.deepEqual(requested.filter((u) => u.endsWith('.xyz.js')), ['3_2_1_.xyz.js']);
    assert.deepEqual(boxes.map((b) => b.frame).sort(), ['fraView1', 'fraView2', 'fraView3', 'fraView4']);
    const shot = await page.screenshot();
    assertCloud(shot, boxes, [255, 255, 255]);
    const pictures = boxes.map((b) => picture(shot, b));
    for (let i = 0; i < 4; i++)
      for (let j = i + 1; j < 4; j++)
        assert.ok(differingRows(pictures[i], pictures[j]) > 10, boxes[i].frame + ' and ' + boxes[j].frame + ' look the same');
  });

  await t.test('2p_z in the first view: the blue lobe over the red one, the z label at the blue end', async () => {
    const [b] = await show(page, url('2_1_0__n.htm'));
    const shot = await page.screenshot();
    const blue = pixelsWhere(shot, b, ofColour(viewer.elementColour('N'))), red = pixelsWhere(shot, b, ofColour(viewer.elementColour('O')));
    assert.ok(blue.length > 100 && red.length > 100, 'lobes of ' + blue.length + ' and ' + red.length + ' pixels');
    assert.ok(mean(blue, 1) < mean(red, 1) - b.h / 20, 'the blue lobe is not above the red one');
    const z = await page.tab.locator('.vantrel-axis-label', { hasText: /^z$/ }).boundingBox();
    assert.ok(z.y + z.height / 2 < mean(blue, 1), 'the z label is not beyond the blue lobe');
    // Seen from above the xy plane, not along an axis: the lobes overlap
    // on the screen, one behind the other.
    assert.ok(Math.abs(mean(blue, 0) - mean(red, 0)) < b.w / 10);
  });

  await t.test('surfaces written by the run: lit in the sign colours, the control, the legend, the slices', async () => {
    const name = '2_1_0_(z_2)_n';
    assert.ok(fs.existsSync(path.join(cache, name + '.surface.js')), 'no surfaces beside the page');
    const [b] = await show(page, url(name + '.htm'));
    const legend = await page.tab.innerText('.vantrel-legend');
    assert.match(legend, /Surfaces[\s\S]*\u03c8 = \+c[\s\S]*\u03c8 = \u2212c/);
    assert.match(legend, /90 % inside \|\u03c8\| = \d[\d.e-]* \u00c5/);
    const slices = await page.evaluate(`[...document.querySelectorAll('a > img')].map(i => [i.parentNode.getAttribute('href'), i.naturalWidth])`);
    assert.deepEqual(slices.map((s) => s[0]), ['xy', 'yz', 'xz'].map((p) => name + '.' + p + '.png'));
    slices.forEach((s) => assert.ok(s[1] > 100, s[0] + ' does not load'));

    // Each choice shows something else; the legend stays out of the pictures.
    await page.evaluate(`document.querySelector('.vantrel-legend').style.display = 'none'`);
    const showing = async (which) => {
      await page.tab.selectOption('.vantrel-show', which);
      await pause(300);
      return page.screenshot();
    };
    const shots = {};
    for (const which of ['surfaces', 'cloud', 'both']) shots[which] = await showing(which);
    const pictures = Object.fromEntries(Object.entries(shots).map(([k, shot]) => [k, picture(shot, b)]));
    for (const [one, other] of [['surfaces', 'cloud'], ['surfaces', 'both'], ['cloud', 'both']])
      assert.ok(differingRows(pictures[one], pictures[other]) > 20, one + ' and ' + other + ' look the same');

    // The surfaces alone: the blue one above the red one.
    // Pixels where channel k leads the other two by 60.
    const hue = (shot, k) => pixelsWhere(shot, b, (c) => [0, 1, 2].every((i) => i === k || c[k] > c[i] + 60));
    const blue = hue(shots.surfaces, 2), red = hue(shots.surfaces, 0);
    assert.ok(blue.length > 300 && red.length > 300, 'surfaces of ' + blue.length + ' and ' + red.length + ' pixels');
    assert.ok(mean(blue, 1) < mean(red, 1) - b.h / 20, 'the blue surface is not above the red one');
  });

  await t.test('a run in the xz plane is seen face on', async () => {
    const [b] = await show(page, url('3_2_1_xz.htm'));
    const shot = await page.screenshot();
    const cloud = pixelsWhere(shot, b, (c) => DISTINCT.has(c.join()) && !['O', 'B', 'N', 'He'].includes(DISTINCT.get(c.join())));
    assert.ok(cloud.length > 200, 'only ' + cloud.length + ' cloud pixels');
    const [across, down] = [spread(cloud, 0), spread(cloud, 1)];
    assert.ok(Math.min(across, down) > Math.max(across, down) / 3, 'the points lie along a line: ' + [across, down]);
  });

  await t.test('the legend shows the classes in use and the axes\' scale; density is the first choice', async () => {
    await rendering('density');
    const [b] = await show(page, url('3_2_0_.htm'));
    const legend = await page.tab.innerText('.vantrel-legend');
    assert.match(legend, /share of its largest/);
    assert.match(legend, /93\u2013100 %/);
    assert.match(legend, /a tick every 1 \u00c5/);
    assert.match(await page.evaluate(`document.querySelector('.vantrel-toolbar button[aria-pressed]:nth-child(2)').getAttribute('aria-pressed')`), /false/);
    // Glowing points, not the class colours of dots.
    const shot = await page.screenshot();
    const lit = pixelsWhere(shot, b, (c) => c.some((v) => v > 40)).length;
    assert.ok(lit > 500, 'only ' + lit + ' lit pixels');
    await rendering('dots');
  });

  await t.test('the index by energy switches orbitals on a click; its "reloading" link opens it anew from disk', async () => {
    let boxes = await show(page, url('index.htm'));
    assert.equal(boxes[0].file, '3_2_2_.xyz'); // the last orbital written
    const before = await page.screenshot();
    assertCloud(before, boxes, [255, 255, 255]);

    for (const [name, label] of [['2_1_0_.xyz', 'n=2 l=1 m=0'], ['3_2_0_.xyz', 'n=3 l=2 m=0']]) {
      await page.tab.frame('fraInfo').locator(`a[href*="showxyz('${name}'"]`).click();
      boxes = await settled(page, 1, (bs) => bs[0].file === name);
      assert.equal(boxes[0].state, 'ready', boxes[0].message);
      const after = await page.screenshot();
      assertCloud(after, boxes, [255, 255, 255]);
      assert.ok(differingRows(picture(before, boxes[0]), picture(after, boxes[0])) > 10, 'the cloud did not change');
      const title = page.tab.frame('fraTitle');
      await title.waitForFunction((l) => document.body && document.body.innerText.includes(l), label, { timeout: 10000 });
      assert.match(await title.innerText('body'), /for the H Atom/);
    }

    const info = () => page.tab.frame('fraInfo');
    await info().evaluate('window.stale = true');
    await info().evaluate(`[...document.querySelectorAll('a')].find(a => a.textContent === 'reloading').click()`);
    await chromium.waitFor(() => info() && info().evaluate('document.readyState === "complete" && window.stale === undefined'),
      10000, 'the index to load again');
  });

  await t.test('missing three.js is said in the viewer area', async () => {
    fs.rmSync(path.join(cache, 'three.min.js'));
    await page.navigate(url('3_2_0_.htm'));
    const boxes = await settled(page, 1);
    assert.equal(boxes[0].state, 'error');
    assert.match(boxes[0].message, /needs three\.js.*libjs-three/);
    // The message is drawn: light text on the black viewer area.
    const shot = await page.screenshot();
    const rows = picture(shot, boxes[0]).filter((row) => row.split(' ').some((c) => c !== '0,0,0'));
    assert.ok(rows.length > 10, 'the message is not visible');
  });
});
