// The viewer's reading of the page markup, its colours and its data checks.
'use strict';

const test = require('node:test');
const assert = require('node:assert/strict');
const path = require('node:path');
const viewer = require(path.join(__dirname, '../../data/vantrel-viewer.js'));

const applet = (param, attributes = { width: '312', height: '312' }) => ({ kind: 'applet', attributes, param });

test('the applet script gives file, background, size, rotations, box and axes', () => {
  const s = viewer.settingsFromMarkup(applet(
    'set color rasmol;background BLACK;load 3_2_-1_(z_3).xyz;select *;spacefill 700;wireframe off;' +
    'rotate x -45; rotate z 45;set boundbox on;set axes on; color axes grey;'));
  assert.equal(s.file, '3_2_-1_(z_3).xyz');
  assert.deepEqual(s.background, [0, 0, 0]);
  assert.equal(s.spacefill, 700);
  assert.deepEqual(s.rotations, [{ axis: 'x', degrees: -45 }, { axis: 'z', degrees: 45 }]);
  assert.equal(s.boundbox, true);
  assert.equal(s.axes, true);
  assert.deepEqual(s.axesColour, [128, 128, 128]);
  assert.equal(s.spin, false);
  assert.equal(s.width, 312);
  assert.equal(s.height, 312);
});

test('without the Jmol options there is no box and no axes; rotate x 0 is a rotation by nothing', () => {
  const s = viewer.settingsFromMarkup(applet('set color rasmol;background WHITE;load 1_0_0_.xyz;select *;spacefill 700;wireframe off;rotate x 0;'));
  assert.deepEqual(s.background, [255, 255, 255]);
  assert.equal(s.boundbox, false);
  assert.equal(s.axes, false);
  assert.deepEqual(s.rotations, [{ axis: 'x', degrees: 0 }]);
});

test('the plug-in markup gives file, background, spin and its script', () => {
  const attributes = {
    pluginspage: 'http://example/', name: 'orbital', src: '2_1_0_n.xyz',
    script: 'select *;spacefill 700;wireframe off;rotate y 90;', width: '156', height: '156',
    align: 'abscenter', bgcolor: 'BLACK', options3d: 'specular', color3d: 'cpk', startspin: 'true',
    spiny: '60', frank: 'no'
  };
  const s = viewer.settingsFromMarkup({ kind: 'embed', attributes, param: '' });
  assert.equal(s.file, '2_1_0_n.xyz');
  assert.deepEqual(s.background, [0, 0, 0]);
  assert.deepEqual(s.rotations, [{ axis: 'y', degrees: 90 }]);
  assert.equal(s.spin, true);
  assert.deepEqual(s.spinRate, [0, 60, 0]);
  assert.equal(s.width, 156);

  delete attributes.startspin;
  assert.equal(viewer.settingsFromMarkup({ kind: 'embed', attributes, param: '' }).spin, false);
});

test('odd scripts: unknown commands, blanks, case, quotes and sizes in Angstrom', () => {
  const s = viewer.applyScript(viewer.defaultSettings(),
    ' ;  LOAD "a b.xyz" ; Background [x1020FF];frobnicate 3;SPACEFILL 1.5;rotate q 10;rotate x many;set axes;');
  assert.equal(s.file, 'a b.xyz');
  assert.deepEqual(s.background, [16, 32, 255]);
  assert.equal(s.spacefill, 375);
  assert.deepEqual(s.rotations, []);
  assert.equal(s.axes, true);
  assert.equal(viewer.applyScript(viewer.defaultSettings(), 'spacefill off').spacefill, 0);
  assert.equal(viewer.applyScript(viewer.defaultSettings(), 'background nonsense').background.join(), '0,0,0');
});

test('sizes that are missing or absurd fall back to something drawable', () => {
  assert.equal(viewer.settingsFromMarkup(applet('', {})).width, 300);
  assert.equal(viewer.settingsFromMarkup(applet('', { width: '-5', height: '99999' })).height, 8192);
});

test('colours by name, #rrggbb, [r,g,b] and [xrrggbb]; anything else is not a colour', () => {
  assert.deepEqual(viewer.parseColour('WHITE'), [255, 255, 255]);
  assert.deepEqual(viewer.parseColour(' grey '), [128, 128, 128]);
  assert.deepEqual(viewer.parseColour('#FF8000'), [255, 128, 0]);
  assert.deepEqual(viewer.parseColour('[1, 2,3]'), [1, 2, 3]);
  assert.deepEqual(viewer.parseColour('[xff0000]'), [255, 0, 0]);
  for (const bad of ['', 'whiteish', '[256,0,0]', '#12345', null, undefined]) assert.equal(viewer.parseColour(bad), null);
});

test('the fifteen colour classes, densest first, in their element colours', () => {
  const classes = 'O BeArP S SiB B MgNaN I HeC H '.match(/../g).map((s) => s.trim());
  const expected = [[240, 0, 0], [194, 255, 0], [128, 209, 227], [255, 165, 0], [255, 200, 50], [218, 165, 32],
    [0, 255, 0], [0, 255, 0], [34, 139, 34], [0, 0, 255], [143, 143, 255], [160, 32, 240], [255, 192, 203],
    [200, 200, 200], [255, 255, 255]];
  assert.deepEqual(classes.map(viewer.elementColour), expected);
  // Be and Ar, alike in RasMol, differ here, and from every other class.
  const be = viewer.elementColour('Be').join(), ar = viewer.elementColour('Ar').join();
  assert.notEqual(be, ar);
  assert.equal(expected.filter((c) => c.join() === be || c.join() === ar).length, 2);
  assert.deepEqual(viewer.elementColour('he'), [255, 192, 203]);
  assert.deepEqual(viewer.elementColour('Xx'), viewer.UNKNOWN_ELEMENT_COLOUR);
});

test('the index switches file and script as its own showxyz would', () => {
  const asWritten = applet('set color rasmol;background white;load 1_0_0_.xyz;select *;spacefill 700;', { width: '300', height: '300' });
  const switched = viewer.switchedMarkup(asWritten, '3_2_0_n.xyz', 'select *;rotate x 0;set axes on;');
  assert.equal(switched.param, 'set color rasmol;background white;load 3_2_0_n.xyz;select *;rotate x 0;set axes on;');
  assert.equal(asWritten.param, 'set color rasmol;background white;load 1_0_0_.xyz;select *;spacefill 700;');
  const s = viewer.settingsFromMarkup(switched);
  assert.equal(s.file, '3_2_0_n.xyz');
  assert.equal(s.axes, true);

  const embed = { kind: 'embed', attributes: { src: 'a.xyz', script: 'x', bgcolor: 'white' }, param: '' };
  const e = viewer.switchedMarkup(embed, 'b.xyz', 'rotate y 90;');
  assert.equal(e.attributes.src, 'b.xyz');
  assert.deepEqual(viewer.settingsFromMarkup(e).rotations, [{ axis: 'y', degrees: 90 }]);
  assert.equal(embed.attributes.src, 'a.xyz');
});

function companion(positions, classes, extra = {}) {
  return Object.assign({
    comment: 'test', count: classes.length, symbols: ['', 'O', 'He'],
    positions: Buffer.from(new Float32Array(positions).buffer).toString('base64'),
    classes: Buffer.from(Uint8Array.from(classes)).toString('base64'),
  }, extra);
}

test('base64 decodes exactly, padding included, and refuses damage', () => {
  for (const bytes of [[], [1], [1, 2], [1, 2, 3], [255, 0, 128, 7, 9]])
    assert.deepEqual([...viewer.base64ToBytes(Buffer.from(bytes).toString('base64'))], bytes);
  assert.throws(() => viewer.base64ToBytes('AAA'), /cut short/);
  assert.throws(() => viewer.base64ToBytes('AA!A'), /not base64/);
  assert.throws(() => viewer.base64ToBytes(undefined), /not text/);
});

test('a companion decodes to positions and classes; each kind of damage is named', () => {
  const good = companion([1.5, -2, 3, 0, 0, 0], [1, 2]);
  const cloud = viewer.decodeCloud(good);
  assert.equal(cloud.count, 2);
  assert.deepEqual([...cloud.positions], [1.5, -2, 3, 0, 0, 0]);
  assert.deepEqual(cloud.bounds, { min: [0, -2, 0], max: [1.5, 0, 3] });
  assert.deepEqual([...viewer.atomColours(cloud)], [240, 0, 0, 255, 255, 192, 203, 255]);

  assert.equal(viewer.decodeCloud(companion([], [])).count, 0);
  assert.throws(() => viewer.decodeCloud(undefined), /no point data/);
  assert.throws(() => viewer.decodeCloud(companion([1, 2, 3], [1], { count: 'x' })), /count is missing/);
  assert.throws(() => viewer.decodeCloud(companion([1, 2, 3], [1], { symbols: [] })), /element list/);
  assert.throws(() => viewer.decodeCloud(companion([1, 2, 3], [1], { count: 2 })), /1 positions for 2 atoms/);
  assert.throws(() => viewer.decodeCloud(companion([1, 2, 3, 4, 5, 6], [1])), /2 positions for 1 atoms/);
  assert.throws(() => viewer.decodeCloud(companion([1, 2, 3], [3])), /atom 1 has an unknown colour class/);
  assert.throws(() => viewer.decodeCloud(companion([1, NaN, 3], [1])), /no finite position/);
  const cut = companion([1, 2, 3], [1]);
  cut.positions = cut.positions.slice(0, -2);
  assert.throws(() => viewer.decodeCloud(cut), /cut short/);
});

test('messages name the file and say what to do', () => {
  const m = viewer.messages('2_1_0_.xyz');
  assert.match(m.noThree, /libjs-three/);
  assert.match(m.missing, /2_1_0_\.xyz\.js, is missing/);
  assert.match(m.damaged('it is cut short'), /2_1_0_\.xyz\.js, is damaged: it is cut short\. Display/);
});
