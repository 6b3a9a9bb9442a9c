// The viewer's reading of the page markup, its colours and its data checks.
'use strict';

const test = require('node:test');
const assert = require('node:assert/strict');
const path = require('node:path');
const viewer = require(path.join(__dirname, '../../data/vantrel-viewer.js'));

const applet = (param, attributes = { width: '312', height: '312' }) => ({ kind: 'applet', attributes, param });
const pick = (s, names) => Object.fromEntries(names.split(' ').map((n) => [n, s[n]]));
const script = (text) => viewer.applyScript(viewer.defaultSettings(), text);

test('the applet script gives file, background, size, rotations, box and axes', () => {
  const s = viewer.settingsFromMarkup(applet(
    'set color rasmol;background BLACK;load 3_2_-1_(z_3).xyz;select *;spacefill 700;wireframe off;' +
    'rotate x -45; rotate z 45;set boundbox on;set axes on; color axes grey;'));
  assert.deepEqual(pick(s, 'file background spacefill rotations boundbox axes axesColour spin width height'), {
    file: '3_2_-1_(z_3).xyz', background: [0, 0, 0], spacefill: 700,
    rotations: [{ axis: 'x', degrees: -45 }, { axis: 'z', degrees: 45 }], boundbox: true, axes: true,
    axesColour: [128, 128, 128], spin: false, width: 312, height: 312,
  });
  // Without the Jmol options there is no box and no axes; rotate x 0 is a rotation by nothing.
  const plain = viewer.settingsFromMarkup(applet('background WHITE;load 1_0_0_.xyz;rotate x 0;'));
  assert.deepEqual([plain.background, plain.boundbox, plain.axes, plain.rotations],
    [[255, 255, 255], false, false, [{ axis: 'x', degrees: 0 }]]);
  // Sizes that are missing or absurd fall back to something drawable.
  assert.equal(viewer.settingsFromMarkup(applet('', {})).width, 300);
  assert.equal(viewer.settingsFromMarkup(applet('', { width: '-5', height: '99999' })).height, 8192);
});

test('the plug-in markup gives file, background, spin and its script', () => {
  const attributes = {
    pluginspage: 'http://example/', name: 'orbital', align: 'abscenter', options3d: 'specular', color3d: 'cpk',
    src: '2_1_0_n.xyz', script: 'select *;spacefill 700;wireframe off;rotate y 90;', width: '156', height: '156',
    bgcolor: 'BLACK', startspin: 'true', spiny: '60', frank: 'no',
  };
  const s = viewer.settingsFromMarkup({ kind: 'embed', attributes, param: '' });
  assert.deepEqual([s.file, s.background, s.rotations, s.spin, s.spinRate, s.width],
    ['2_1_0_n.xyz', [0, 0, 0], [{ axis: 'y', degrees: 90 }], true, [0, 60, 0], 156]);
  delete attributes.startspin;
  assert.equal(viewer.settingsFromMarkup({ kind: 'embed', attributes, param: '' }).spin, false);
  // The applet spins when Vantrel added its parameter.
  const jmol = (params) => viewer.settingsFromMarkup({ kind: 'applet', attributes: {}, param: 'load a.xyz;', params });
  assert.deepEqual([jmol({ startspin: 'true' }).spin, jmol({}).spin], [true, false]);
});

test('odd scripts: unknown commands, blanks, case, quotes and sizes in Angstrom', () => {
  const s = script(' ;  LOAD "a b.xyz" ; Background [x1020FF];frobnicate 3;SPACEFILL 1.5;rotate q 10;rotate x many;set axes;');
  assert.deepEqual([s.file, s.background, s.spacefill, s.rotations, s.axes], ['a b.xyz', [16, 32, 255], 375, [], true]);
  assert.equal(script('spacefill off').spacefill, 0);
  assert.deepEqual(script('background nonsense').background, [0, 0, 0]);
});

test('colours by name, #rrggbb, [r,g,b] and [xrrggbb]; anything else is not a colour', () => {
  for (const [text, rgb] of [['WHITE', [255, 255, 255]], [' grey ', [128, 128, 128]], ['#FF8000', [255, 128, 0]],
    ['[1, 2,3]', [1, 2, 3]], ['[xff0000]', [255, 0, 0]]]) assert.deepEqual(viewer.parseColour(text), rgb, text);
  for (const bad of ['', 'whiteish', '[256,0,0]', '#12345', null, undefined]) assert.equal(viewer.parseColour(bad), null);
});

test('the fifteen colour classes differ, but for the two B classes; O is red, N blue', () => {
  const colours = 'O BeArP S SiB B MgNaN I HeC H '.match(/../g).map((s) => viewer.elementColour(s.trim()).join());
  assert.equal(new Set(colours).size, 14);
  assert.deepEqual([viewer.elementColour('O'), viewer.elementColour('N'), viewer.elementColour('he')],
    [[240, 0, 0], [143, 143, 255], [255, 192, 203]]);
  assert.deepEqual(viewer.elementColour('Xx'), viewer.UNKNOWN_ELEMENT_COLOUR);
});

test('the index switches file and script as its own showxyz would, leaving the original alone', () => {
  const asWritten = applet('set color rasmol;background white;load 1_0_0_.xyz;select *;spacefill 700;');
  const switched = viewer.switchedMarkup(asWritten, '3_2_0_n.xyz', 'select *;rotate x 0;set axes on;');
  assert.equal(switched.param, 'set color rasmol;background white;load 3_2_0_n.xyz;select *;rotate x 0;set axes on;');
  assert.equal(asWritten.param, 'set color rasmol;background white;load 1_0_0_.xyz;select *;spacefill 700;');
  assert.equal(viewer.settingsFromMarkup(switched).axes, true);

  const embed = { kind: 'embed', attributes: { src: 'a.xyz', script: 'x', bgcolor: 'white' }, param: '' };
  const e = viewer.settingsFromMarkup(viewer.switchedMarkup(embed, 'b.xyz', 'rotate y 90;'));
  assert.deepEqual([e.file, e.rotations, embed.attributes.src], ['b.xyz', [{ axis: 'y', degrees: 90 }], 'a.xyz']);
});

// A companion as the program writes it: x, y, z in steps and the class.
function companion(atoms, extra = {}) {
  return Object.assign({
    comment: 'test', count: atoms.length, symbols: ['', 'O', 'He'], scale: 0.5,
    atoms: Buffer.from(new Int16Array(atoms.flat()).buffer).toString('base64'),
  }, extra);
}

// The layout of earlier versions: 32-bit positions, classes apart.
function olderCompanion(positions, classes) {
  return {
    comment: 'old', count: classes.length, symbols: ['', 'O', 'He'],
    positions: Buffer.from(new Float32Array(positions).buffer).toString('base64'),
    classes: Buffer.from(Uint8Array.from(classes)).toString('base64'),
  };
}

test('base64 decodes exactly, padding included, and refuses damage', () => {
  for (const bytes of [[], [1], [1, 2], [1, 2, 3], [255, 0, 128, 7, 9]])
    assert.deepEqual([...viewer.base64ToBytes(Buffer.from(bytes).toString('base64'))], bytes);
  for (const [bad, why] of [['AAA', /cut short/], ['AA!A', /not base64/], [undefined, /not text/]])
    assert.throws(() => viewer.base64ToBytes(bad), why);
});

test('a companion decodes to atoms, marks, classes in use and its plane', () => {
  // Nucleus and two marks first, then a cloud in the plane z = 0.
  const cloud = viewer.decodeCloud(companion([[0, 0, 0, 2], [4, 0, 0, 1], [0, -4, 0, 2], [3, -2, 0, 1], [-1, 6, 0, 1]]));
  assert.deepEqual([cloud.count, cloud.total, cloud.markers, cloud.plane, cloud.used], [5, 5, 3, 'xy', [0, 2, 0]]);
  assert.deepEqual([...viewer.positionsOf(cloud)].slice(9), [1.5, -1, 0, -0.5, 3, 0]);
  assert.deepEqual(cloud.bounds, { min: [-0.5, -2, 0], max: [2, 3, 0] });
  // The writer's own count of marks wins; a cloud in no plane has none.
  const thinned = viewer.decodeCloud(companion([[0, 0, 0, 2], [1, 2, 3, 1], [1, 0, 0, 2]], { markers: 1, total: 30 }));
  assert.deepEqual([thinned.markers, thinned.plane, thinned.total, thinned.used], [1, '', 30, [0, 1, 1]]);
  assert.match(viewer.thinnedNote(thinned), /Showing 2 of 29 points, evenly thinned/);

  const old = viewer.decodeCloud(olderCompanion([0, 0, 0, 1.5, -2, 3], [2, 1]));
  assert.deepEqual([old.markers, old.used], [1, [0, 1, 0]]);
  viewer.positionsOf(old).forEach((v, i) => assert.ok(Math.abs(v - [0, 0, 0, 1.5, -2, 3][i]) < 1e-4, String(i)));
  assert.equal(viewer.decodeCloud(companion([])).count, 0);

  const cut = companion([[1, 2, 3, 1]]);
  cut.atoms = cut.atoms.slice(0, -2);
  for (const [data, why] of [
    [undefined, /no point data/],
    [companion([[1, 2, 3, 1]], { count: 'x' }), /count is missing/],
    [companion([[1, 2, 3, 1]], { symbols: [] }), /element list/],
    [companion([[1, 2, 3, 1]], { scale: 0 }), /scale is missing/],
    [companion([[1, 2, 3, 1]], { count: 2 }), /holds 1 atoms where it says 2/],
    [companion([[1, 2, 3, 3]]), /atom 1 has an unknown colour class/],
    [olderCompanion([1, 2, 3, 4, 5, 6], [1]), /2 positions for 1 atoms/],
    [olderCompanion([1, NaN, 3], [1]), /no finite position/],
    [cut, /cut short/],
  ]) assert.throws(() => viewer.decodeCloud(data), why);
});

test('a surfaces companion decodes to floats and triangles, and says what is damaged', () => {
  const b64 = (type, values) => Buffer.from(new type(values).buffer).toString('base64');
  const surface = (more = {}) => Object.assign({ colour: [143, 143, 255], vertices: 3, triangles: 1, indexBytes: 2,
    positions: b64(Int16Array, [0, 0, 0, 4, 0, 0, 0, -4, 8]), normals: b64(Int8Array, [0, 0, 127, 0, 0, -127, 127, 0, 0]),
    indices: b64(Uint16Array, [0, 1, 2]) }, more);
  const record = (more) => ({ note: '90 % inside', scale: 0.25, surfaces: [surface(more), surface({ vertices: 0, triangles: 0,
    positions: '', normals: '', indices: '' })] });
  const decoded = viewer.decodeSurfaces(record());
  assert.equal(decoded.note, '90 % inside');
  assert.deepEqual([...decoded.parts[0].positions], [0, 0, 0, 1, 0, 0, 0, -1, 2]);
  assert.deepEqual([...decoded.parts[0].normals], [0, 0, 1, 0, 0, -1, 1, 0, 0]);
  assert.deepEqual([[...decoded.parts[0].indices], decoded.parts[1].triangles], [[0, 1, 2], 0]);
  const wide = viewer.decodeSurfaces(record({ indexBytes: 4, indices: b64(Uint32Array, [2, 1, 0]) }));
  assert.deepEqual([...wide.parts[0].indices], [2, 1, 0]);
  for (const [data, why] of [
    [{ scale: 1 }, /holds no surfaces/],
    [Object.assign(record(), { scale: -1 }), /scale is missing/],
    [record({ indexBytes: 3 }), /surface 1 has no counts/],
    [record({ vertices: 4 }), /holds 3 positions and 3 normals where it says 4/],
    [record({ triangles: 2 }), /holds 1 triangles where it says 2/],
    [record({ indices: b64(Uint16Array, [0, 1, 3]) }), /vertex 4 of 3/],
  ]) assert.throws(() => viewer.decodeSurfaces(data), why);
});

// The file's (X, Y, Z) is the orbital's (x, -y, -z).
const onScreen = (m, p) => m.map((row) => row[0] * p[0] + row[1] * p[1] + row[2] * p[2]);

test('our own view: z up and seen from 20 degrees above the xy plane, a plane face on', () => {
  const m = viewer.viewMatrix('');
  const z = onScreen(m, [0, 0, -1]);
  assert.ok(Math.abs(z[0]) < 1e-12, 'z is upright: ' + z);
  assert.ok(Math.abs(z[1] - Math.cos(Math.PI / 9)) < 1e-9, 'z points up, seen from 20 degrees: ' + z);
  assert.ok(Math.abs(z[2] - Math.sin(Math.PI / 9)) < 1e-9, 'and a little toward us: ' + z);
  assert.ok(onScreen(m, [0, -1, 0])[0] > 0.8, 'y points to the right');
  for (const [plane, flat] of [['xy', [0, 0, 1]], ['yz', [1, 0, 0]], ['xz', [0, 1, 0]]]) {
    const normal = onScreen(viewer.viewMatrix(plane), flat).map(Math.abs);
    assert.deepEqual(normal.map((v) => Math.round(v)), [0, 0, 1], plane + ' is seen face on');
  }
  assert.equal(viewer.turnsNothing([{ axis: 'x', degrees: 0 }]), true);
  assert.equal(viewer.turnsNothing([{ axis: 'x', degrees: -90 }]), false);
});

test('the legend names the colours in use and what a tick is worth', () => {
  const symbols = 'x O BeArP S SiB B MgNaN I HeC H '.match(/../g).map((s) => s.trim()).map((s) => (s === 'x' ? '' : s));
  const used = new Array(16).fill(0);
  [1, 7, 15].forEach((k) => { used[k] = 5; });
  const probability = viewer.legendEntries({ symbols, used }, false);
  assert.deepEqual(probability.entries.map((e) => [e.symbol, e.label]),
    [['O', '93–100 %'], ['B', '47–60 %'], ['H', '0–7 %']]);
  const sign = viewer.legendEntries({ symbols, used: used.map((n, k) => (k === 1 || k === 11 ? 3 : 0)) }, true);
  assert.deepEqual(sign.entries.map((e) => [e.colour, e.label]), [[[240, 0, 0], 'ψ < 0'], [[143, 143, 255], 'ψ > 0']]);
  assert.equal(viewer.colouredBySign('3_1_0__n.xyz', ''), true);
  assert.equal(viewer.colouredBySign('3_1_0_.xyz', '3_1_0_ the H Atom (Z=1)  E = -1'), false);
  assert.match(viewer.axisNote({ markers: 61 }), /±10 Å, a tick every 1 Å/);
});

test('messages name the file and say what to do', () => {
  const m = viewer.messages('2_1_0_.xyz');
  assert.match(m.missing, /2_1_0_\.xyz\.js, is missing/);
  assert.match(m.damaged('it is cut short'), /2_1_0_\.xyz\.js, is damaged: it is cut short\. Display/);
});
