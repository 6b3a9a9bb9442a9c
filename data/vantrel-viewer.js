/*
 * Vantrel's 3-D viewer for the orbital pages, on top of three.js.
 *
 * The pages carry applet and plug-in markup that no current browser runs.
 * This script finds that markup, reads the file name and the viewer
 * commands from it, and puts in its place a canvas of the same size that
 * draws the point cloud. The points come from the companion NAME.xyz.js
 * that Vantrel writes beside every NAME.xyz: a page opened from disk may
 * run a script element but may not read another local file.
 *
 * A classic script: it works from file:// without a server or a build step.
 * Under Node it exports its pure parts for the tests.
 */
(function (root) {
  'use strict';

  // ---------------------------------------------------------------------
  // Colours

  // RasMol's element colours; Be and Ar, which RasMol leaves at its
  // "unknown" pink, take Jmol's colours so that the two classes differ.
  var ELEMENT_COLOURS = {
    H: [255, 255, 255], He: [255, 192, 203], Li: [178, 34, 34], Be: [194, 255, 0],
    B: [0, 255, 0], C: [200, 200, 200], N: [143, 143, 255], O: [240, 0, 0],
    F: [218, 165, 32], Na: [0, 0, 255], Mg: [34, 139, 34], Al: [128, 128, 144],
    Si: [218, 165, 32], P: [255, 165, 0], S: [255, 200, 50], Cl: [0, 255, 0],
    Ar: [128, 209, 227], Ca: [128, 128, 144], Ti: [128, 128, 144], Cr: [128, 128, 144],
    Mn: [128, 128, 144], Fe: [255, 165, 0], Ni: [165, 42, 42], Cu: [165, 42, 42],
    Zn: [165, 42, 42], Br: [165, 42, 42], Ag: [128, 128, 144], I: [160, 32, 240],
    Ba: [255, 165, 0], Au: [218, 165, 32]
  };
  var UNKNOWN_ELEMENT_COLOUR = [255, 20, 147];

  function elementColour(symbol) {
    var s = String(symbol || '').trim();
    if (!s) return UNKNOWN_ELEMENT_COLOUR;
    s = s.charAt(0).toUpperCase() + s.slice(1).toLowerCase();
    return ELEMENT_COLOURS[s] || UNKNOWN_ELEMENT_COLOUR;
  }

  var NAMED_COLOURS = {
    black: [0, 0, 0], white: [255, 255, 255], grey: [128, 128, 128], gray: [128, 128, 128],
    red: [255, 0, 0], green: [0, 255, 0], blue: [0, 0, 255], yellow: [255, 255, 0],
    cyan: [0, 255, 255], magenta: [255, 0, 255], orange: [255, 165, 0], purple: [160, 32, 240],
    pink: [255, 192, 203], lightgrey: [211, 211, 211], lightgray: [211, 211, 211],
    darkgrey: [169, 169, 169], darkgray: [169, 169, 169], navy: [0, 0, 128]
  };

  // "white", "#rrggbb", "[r,g,b]" or "[xrrggbb]"; null when not a colour.
  function parseColour(text) {
    var t = String(text == null ? '' : text).trim().toLowerCase().replace(/^["']|["']$/g, '');
    if (NAMED_COLOURS.hasOwnProperty(t)) return NAMED_COLOURS[t].slice();
    var m = /^#([0-9a-f]{6})$/.exec(t) || /^\[x([0-9a-f]{6})\]$/.exec(t);
    if (m) {
      var v = parseInt(m[1], 16);
      return [(v >> 16) & 255, (v >> 8) & 255, v & 255];
    }
    m = /^\[\s*(\d{1,3})\s*,\s*(\d{1,3})\s*,\s*(\d{1,3})\s*\]$/.exec(t);
    if (m) {
      var rgb = [+m[1], +m[2], +m[3]];
      if (rgb.every(function (c) { return c <= 255; })) return rgb;
    }
    return null;
  }

  // ---------------------------------------------------------------------
  // The markup and its viewer commands

  function defaultSettings() {
    return {
      file: '',
      background: [0, 0, 0],
      spacefill: 700,           // RasMol units, 1/250 Angstrom (radius)
      rotations: [],            // [{axis: 'x'|'y'|'z', degrees: N}] in order
      boundbox: false,
      axes: false,
      axesColour: null,         // null: a colour that stands out from the background
      spin: false,
      spinRate: [0, 0, 0]       // degrees per second about x, y, z
    };
  }

  function unquote(text) {
    var t = text.trim();
    if (t.length >= 2 && (t[0] === '"' || t[0] === "'") && t[t.length - 1] === t[0]) t = t.slice(1, -1);
    return t;
  }

  function onOff(word, fallback) {
    var w = String(word || '').toLowerCase();
    if (w === '' || w === 'on' || w === 'true') return true;
    if (w === 'off' || w === 'false') return false;
    return fallback;
  }

  // Applies the commands of a viewer script ("a;b;c") to the settings.
  // Unknown commands are passed over: a page may hold more than we draw.
  function applyScript(settings, script) {
    String(script == null ? '' : script).split(';').forEach(function (raw) {
      var command = raw.trim();
      if (!command) return;
      var words = command.split(/\s+/);
      var verb = words[0].toLowerCase();
      var rest = command.slice(words[0].length).trim();
      if (verb === 'load') {
        if (rest) settings.file = unquote(rest);
      } else if (verb === 'background') {
        var bg = parseColour(rest);
        if (bg) settings.background = bg;
      } else if (verb === 'spacefill' || verb === 'cpk') {
        var arg = (words[1] || 'on').toLowerCase();
        if (arg === 'off' || arg === 'false') settings.spacefill = 0;
        else if (arg === 'on' || arg === 'true') settings.spacefill = 700;
        else if (/^-?\d+$/.test(arg)) settings.spacefill = Math.abs(parseInt(arg, 10));
        else if (/^-?\d*\.\d+$|^-?\d+\.\d*$/.test(arg)) settings.spacefill = Math.abs(parseFloat(arg)) * 250;
      } else if (verb === 'rotate') {
        var axis = (words[1] || '').toLowerCase();
        var degrees = parseFloat(words[2]);
        if ((axis === 'x' || axis === 'y' || axis === 'z') && isFinite(degrees))
          settings.rotations.push({ axis: axis, degrees: degrees });
      } else if (verb === 'set' && words.length >= 2) {
        var what = words[1].toLowerCase();
        if (what === 'boundbox') settings.boundbox = onOff(words[2], settings.boundbox);
        else if (what === 'axes') settings.axes = onOff(words[2], settings.axes);
      } else if (verb === 'boundbox') {
        settings.boundbox = onOff(words[1], settings.boundbox);
      } else if (verb === 'axes') {
        settings.axes = onOff(words[1], settings.axes);
      } else if ((verb === 'color' || verb === 'colour') && (words[1] || '').toLowerCase() === 'axes') {
        var c = parseColour(words.slice(2).join(' '));
        if (c) settings.axesColour = c;
      } else if (verb === 'spin') {
        settings.spin = onOff(words[1], settings.spin);
        if (settings.spin && !settings.spinRate.some(Boolean)) settings.spinRate = [0, 10, 0];
      }
    });
    return settings;
  }

  // Settings from an element's markup: {kind: 'applet'|'embed',
  // attributes: {name: value} (names in lower case), param: the applet's
  // script parameter}.
  function settingsFromMarkup(markup) {
    var s = defaultSettings();
    var a = markup.attributes || {};
    if (markup.kind === 'applet') {
      applyScript(s, markup.param);
      // Vantrel adds this parameter for "Start Rotation"; the applet's own
      // script has no word for it.
      var start = (markup.params || {}).startspin;
      if (start !== undefined && onOff(start, false)) startSpin(s);
    } else {
      if (a.src) s.file = a.src.trim();
      var bg = parseColour(a.bgcolor);
      if (bg) s.background = bg;
      applyScript(s, a.script);
      ['spinx', 'spiny', 'spinz'].forEach(function (name, i) {
        var rate = parseFloat(a[name]);
        if (isFinite(rate)) s.spinRate[i] = rate;
      });
      if (onOff(a.startspin, false) && a.startspin !== undefined) startSpin(s);
    }
    s.width = sizeAttribute(a.width);
    s.height = sizeAttribute(a.height);
    return s;
  }

  function startSpin(s) {
    s.spin = true;
    if (!s.spinRate.some(Boolean)) s.spinRate = [0, 30, 0];
  }

  function sizeAttribute(text) {
    var v = parseInt(String(text == null ? '' : text), 10);
    return isFinite(v) && v > 0 ? Math.min(v, 8192) : 300;
  }

  // The markup that the by-energy index writes for another orbital: the
  // same element with the file and the script exchanged, exactly as the
  // index's own showxyz builds it.
  function switchedMarkup(markup, file, script) {
    var copy = { kind: markup.kind, attributes: {}, param: markup.param, params: markup.params };
    Object.keys(markup.attributes || {}).forEach(function (k) { copy.attributes[k] = markup.attributes[k]; });
    if (markup.kind === 'applet') {
      var p = String(markup.param || '');
      var at = p.toLowerCase().indexOf('load ');
      copy.param = (at >= 0 ? p.slice(0, at) : p + (p && !/;\s*$/.test(p) ? ';' : '')) + 'load ' + file + ';' + script;
    } else {
      copy.attributes.src = file;
      copy.attributes.script = script;
    }
    return copy;
  }

  // ---------------------------------------------------------------------
  // The companion data

  var BASE64 = 'ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/';
  var BASE64_VALUE = (function () {
    var t = new Int16Array(256).fill(-1);
    for (var i = 0; i < 64; i++) t[BASE64.charCodeAt(i)] = i;
    return t;
  })();

  function checkBase64(text) {
    if (typeof text !== 'string') throw new Error('not text');
    if (text.length % 4 !== 0) throw new Error('cut short');
    if (!/^[A-Za-z0-9+\/]*={0,2}$/.test(text)) throw new Error('holds a character that is not base64');
  }

  // Strict decoding: anything but a whole number of groups is damage.
  function base64ToBytes(text) {
    checkBase64(text);
    var n = text.length;
    if (typeof root.atob === 'function') {
      // The browser's own decoder is many times faster.
      var binary = root.atob(text);
      var bytes = new Uint8Array(binary.length);
      for (var k = 0; k < binary.length; k++) bytes[k] = binary.charCodeAt(k);
      return bytes;
    }
    var pad = n && text[n - 1] === '=' ? (text[n - 2] === '=' ? 2 : 1) : 0;
    var out = new Uint8Array(n / 4 * 3 - pad);
    var o = 0;
    for (var i = 0; i < n; i += 4) {
      var a = BASE64_VALUE[text.charCodeAt(i)], b = BASE64_VALUE[text.charCodeAt(i + 1)];
      var last = i + 4 === n;
      var c = last && pad === 2 ? 0 : BASE64_VALUE[text.charCodeAt(i + 2)];
      var d = last && pad >= 1 ? 0 : BASE64_VALUE[text.charCodeAt(i + 3)];
      if ((a | b | c | d) < 0) throw new Error('holds a character that is not base64');
      var v = (a << 18) | (b << 12) | (c << 6) | d;
      out[o++] = v >> 16;
      if (o < out.length) out[o++] = (v >> 8) & 255;
      if (o < out.length) out[o++] = v & 255;
    }
    return out;
  }

  // The same bytes, decoded by the browser away from the page's thread
  // (a data: address fetched); the page's own decoder where that fails.
  function base64ToBytesLater(text) {
    return new Promise(function (resolve) {
      checkBase64(text);
      if (typeof root.fetch !== 'function' || !text.length) throw new Error('no fetch');
      resolve(root.fetch('data:application/octet-stream;base64,' + text)
        .then(function (r) { return r.arrayBuffer(); })
        .then(function (b) { return new Uint8Array(b); }));
    }).catch(function () { return base64ToBytes(text); });
  }

  var LITTLE_ENDIAN = new Uint8Array(new Uint16Array([1]).buffer)[0] === 1;
  var MAX_STEP = 32767;
  var PALETTE_SIZE = 64;

  // Four 16-bit numbers an atom from little-endian bytes.
  function shortsOf(bytes, count) {
    if (LITTLE_ENDIAN && bytes.byteOffset % 2 === 0) return new Int16Array(bytes.buffer, bytes.byteOffset, count * 4);
    var out = new Int16Array(count * 4);
    var view = new DataView(bytes.buffer, bytes.byteOffset, bytes.byteLength);
    for (var i = 0; i < out.length; i++) out[i] = view.getInt16(i * 2, true);
    return out;
  }

  // Older companions: 32-bit positions and a class byte apart, brought to
  // the steps of one scale.
  function fromFloats(data, count) {
    var posBytes = base64ToBytes(data.positions);
    if (posBytes.length !== count * 12)
      throw new Error('it holds ' + Math.floor(posBytes.length / 12) + ' positions for ' + count + ' atoms');
    var classes = base64ToBytes(data.classes);
    if (classes.length !== count)
      throw new Error('it holds ' + classes.length + ' colour classes for ' + count + ' atoms');
    var view = new DataView(posBytes.buffer, posBytes.byteOffset, posBytes.byteLength);
    var largest = 0, i;
    for (i = 0; i < count * 3; i++) {
      var p = view.getFloat32(i * 4, true);
      if (!isFinite(p)) throw new Error('atom ' + (Math.floor(i / 3) + 1) + ' has no finite position');
      largest = Math.max(largest, Math.abs(p));
    }
    var scale = largest > 0 ? largest / MAX_STEP : 1;
    var atoms = new Int16Array(count * 4);
    for (i = 0; i < count; i++) {
      for (var k = 0; k < 3; k++) atoms[i * 4 + k] = Math.round(view.getFloat32((i * 3 + k) * 4, true) / scale);
      atoms[i * 4 + 3] = classes[i];
    }
    return { atoms: atoms, scale: scale };
  }

  // The leading atoms with two zero coordinates: the nucleus and the axis
  // marks, which the writer puts first.
  function leadingMarkers(atoms, count) {
    var n = 0;
    while (n < count && (atoms[n * 4] === 0) + (atoms[n * 4 + 1] === 0) + (atoms[n * 4 + 2] === 0) >= 2) n++;
    return n;
  }

  // Checks and unpacks a companion record (its atoms already decoded when
  // `bytes` is given); throws an Error whose message says what is wrong.
  function decodeCloud(data, bytes) {
    if (!data || typeof data !== 'object') throw new Error('it holds no point data');
    var count = data.count;
    if (typeof count !== 'number' || !(count >= 0) || Math.floor(count) !== count)
      throw new Error('its atom count is missing');
    if (!Array.isArray(data.symbols) || data.symbols.length === 0 || data.symbols.length > PALETTE_SIZE)
      throw new Error('its element list is missing');
    var atoms, scale;
    if (data.atoms !== undefined) {
      scale = data.scale;
      if (typeof scale !== 'number' || !(scale > 0) || !isFinite(scale)) throw new Error('its scale is missing');
      bytes = bytes || base64ToBytes(data.atoms);
      if (bytes.length !== count * 8)
        throw new Error('it holds ' + Math.floor(bytes.length / 8) + ' atoms where it says ' + count);
      atoms = shortsOf(bytes, count);
    } else {
      var old = fromFloats(data, count);
      atoms = old.atoms;
      scale = old.scale;
    }
    var markers = typeof data.markers === 'number' && data.markers >= 0 && data.markers <= count
      ? data.markers : leadingMarkers(atoms, count);
    // One pass: bounds, classes in use, and whether the cloud lies in a
    // coordinate plane.
    var min = [Infinity, Infinity, Infinity], max = [-Infinity, -Infinity, -Infinity];
    var used = new Array(data.symbols.length).fill(0);
    var nonZero = [0, 0, 0];
    var nSymbols = data.symbols.length;
    for (var i = 0; i < count; i++) {
      var o = i * 4;
      for (var axis = 0; axis < 3; axis++) {
        var p = atoms[o + axis];
        if (p < min[axis]) min[axis] = p;
        if (p > max[axis]) max[axis] = p;
        if (i >= markers && p !== 0) nonZero[axis] = 1;
      }
      var c = atoms[o + 3];
      if (c < 0 || c >= nSymbols) throw new Error('atom ' + (i + 1) + ' has an unknown colour class');
      if (i >= markers) used[c]++;
    }
    var flat = '';
    if (count > markers && nonZero[0] + nonZero[1] + nonZero[2] === 2)
      flat = ['yz', 'xz', 'xy'][nonZero.indexOf(0)];
    var total = typeof data.total === 'number' && data.total >= count ? data.total : count;
    return {
      count: count,
      total: total,
      markers: markers,
      comment: typeof data.comment === 'string' ? data.comment : '',
      symbols: data.symbols.map(String),
      atoms: atoms,
      scale: scale,
      used: used,
      plane: flat,
      bounds: count ? { min: min.map(function (v) { return v * scale; }), max: max.map(function (v) { return v * scale; }) }
        : { min: [-1, -1, -1], max: [1, 1, 1] }
    };
  }

  // Positions in viewer units, for tests and anything that wants floats.
  function positionsOf(cloud) {
    var out = new Float32Array(cloud.count * 3);
    for (var i = 0; i < cloud.count; i++)
      for (var k = 0; k < 3; k++) out[i * 3 + k] = cloud.atoms[i * 4 + k] * cloud.scale;
    return out;
  }

  // The class colours in a form the shader takes: red, green, blue from 0
  // to 1, PALETTE_SIZE entries.
  function paletteOf(symbols) {
    var out = new Float32Array(PALETTE_SIZE * 3);
    symbols.forEach(function (s, i) {
      var c = elementColour(s);
      for (var k = 0; k < 3; k++) out[i * 3 + k] = c[k] / 255;
    });
    return out;
  }

  // ---------------------------------------------------------------------
  // What the view shows: orientation, legend, density

  // Colouring by the sign of psi writes "_n" after the orbital's name.
  function colouredBySign(file, comment) {
    return /_n\.xyz$/i.test(String(file)) || / _n /.test(String(comment));
  }

  // The XYZ file holds (x, -y, -z); the view turns that back into the
  // orbital's own frame and looks at it from a direction: `right`, `up`
  // and `toward` (the viewer) in the orbital's coordinates. Rows of the
  // 3x3 matrix that takes file coordinates to the screen's.
  var ELEVATION = 20, AZIMUTH = 30; // degrees
  function viewMatrix(plane) {
    var r, u, v;
    if (plane === 'xy') { r = [1, 0, 0]; u = [0, 1, 0]; v = [0, 0, 1]; }
    else if (plane === 'yz') { r = [0, 1, 0]; u = [0, 0, 1]; v = [1, 0, 0]; }
    else if (plane === 'xz') { r = [1, 0, 0]; u = [0, 0, 1]; v = [0, -1, 0]; }
    else {
      var e = ELEVATION * Math.PI / 180, a = AZIMUTH * Math.PI / 180;
      r = [-Math.sin(a), Math.cos(a), 0];
      u = [-Math.sin(e) * Math.cos(a), -Math.sin(e) * Math.sin(a), Math.cos(e)];
      v = [Math.cos(e) * Math.cos(a), Math.cos(e) * Math.sin(a), Math.sin(e)];
    }
    return [r, u, v].map(function (row) { return [row[0], -row[1], -row[2]]; });
  }

  // A script that turns by nothing leaves the view to us.
  function turnsNothing(rotations) {
    return rotations.every(function (r) { return r.degrees % 360 === 0; });
  }

  // Where each positive half-axis of the orbital points in the file.
  var AXES = [['x', [1, 0, 0]], ['y', [0, -1, 0]], ['z', [0, 0, -1]]];

  var SIGN_LABELS = { N: '\u03c8 > 0', O: '\u03c8 < 0' };
  var PROBABILITY_CLASSES = 15;

  function percent(v) { return Math.round(v * 100); }

  // Entries {colour, label} for the classes the cloud uses, in class order,
  // classes of one colour merged; a heading first.
  function legendEntries(cloud, bySign) {
    var entries = [];
    var bySymbol = {};
    var probability = !bySign && cloud.symbols.length === PROBABILITY_CLASSES + 1;
    cloud.symbols.forEach(function (symbol, k) {
      if (!cloud.used[k]) return;
      var entry = bySymbol[symbol];
      if (!entry) {
        entry = bySymbol[symbol] = { colour: elementColour(symbol), symbol: symbol, low: 1, high: 0, label: '' };
        entries.push(entry);
      }
      // Class k holds psi squared from (15 - k)/15 to (16 - k)/15 of its
      // largest value; a class one symbol stands for may reach further.
      var last = k;
      while (last + 1 < cloud.symbols.length && cloud.symbols[last + 1] === symbol) last++;
      entry.low = Math.min(entry.low, (PROBABILITY_CLASSES - last) / PROBABILITY_CLASSES);
      entry.high = Math.max(entry.high, (PROBABILITY_CLASSES + 1 - k) / PROBABILITY_CLASSES);
    });
    entries.forEach(function (e) {
      if (bySign) e.label = SIGN_LABELS[e.symbol] || e.symbol;
      else if (probability) e.label = percent(e.low) + '\u2013' + percent(Math.min(1, e.high)) + ' %';
      else e.label = e.symbol;
    });
    var heading = bySign ? 'Sign of \u03c8' : probability ? '\u03c8\u00b2, share of its largest' : 'Atoms';
    return { heading: heading, entries: entries };
  }

  // What a tick is worth: the marks stand one Angstrom apart, `ticks` of
  // them on each half-axis.
  function axisNote(cloud) {
    var ticks = Math.floor((cloud.markers - 1) / 6);
    if (ticks < 1) return '';
    return 'Axes \u00b1' + ticks + ' \u00c5, a tick every 1 \u00c5' + (ticks >= 10 ? ', grey every 10' : '') +
      '; +x red, +y green, +z blue';
  }

  function thinnedNote(cloud) {
    if (cloud.total <= cloud.count) return '';
    var shown = cloud.count - cloud.markers, all = cloud.total - cloud.markers;
    return 'Showing ' + groupDigits(shown) + ' of ' + groupDigits(all) + ' points, evenly thinned';
  }

  function groupDigits(n) { return String(n).replace(/\B(?=(\d{3})+(?!\d))/g, '\u2009'); }

  // The strength of one point in the density view: where the cloud is of
  // average thickness on the screen, its pixels get 0.7 times the colours.
  function densityAlpha(points, pointPixels, cloudPixels) {
    var cover = points * Math.PI * pointPixels * pointPixels / 4 / Math.max(1, cloudPixels);
    return Math.min(0.9, Math.max(0.02, 0.7 / Math.max(cover, 1e-6)));
  }

  // ---------------------------------------------------------------------
  // Messages

  var INSTALL_THREE = 'Install three.js and display the orbital again in Vantrel. ' +
    'On Debian or Ubuntu: sudo apt install libjs-three';

  function messages(file) {
    return {
      noThree: 'The 3-D view needs three.js (three.min.js), which was not found beside this page. ' + INSTALL_THREE,
      noControls: 'The 3-D view needs the trackball controls of three.js (TrackballControls.js), ' +
        'which were not found beside this page. ' + INSTALL_THREE,
      noFile: 'This viewer names no point file to show.',
      missing: 'The point data of this view, ' + file + '.js, is missing. ' +
        'Display the orbital again in Vantrel to write it.',
      damaged: function (why) {
        return 'The point data of this view, ' + file + '.js, is damaged: ' + why + '. ' +
          'Display the orbital again in Vantrel to write it anew.';
      },
      noWebGL: 'This browser cannot draw 3-D graphics here: WebGL is turned off or not supported.'
    };
  }

  var api = {
    ELEMENT_COLOURS: ELEMENT_COLOURS,
    UNKNOWN_ELEMENT_COLOUR: UNKNOWN_ELEMENT_COLOUR,
    elementColour: elementColour,
    parseColour: parseColour,
    defaultSettings: defaultSettings,
    applyScript: applyScript,
    settingsFromMarkup: settingsFromMarkup,
    switchedMarkup: switchedMarkup,
    base64ToBytes: base64ToBytes,
    decodeCloud: decodeCloud,
    positionsOf: positionsOf,
    paletteOf: paletteOf,
    colouredBySign: colouredBySign,
    viewMatrix: viewMatrix,
    turnsNothing: turnsNothing,
    legendEntries: legendEntries,
    axisNote: axisNote,
    thinnedNote: thinnedNote,
    densityAlpha: densityAlpha,
    messages: messages
  };

  if (typeof module !== 'undefined' && module.exports) {
    module.exports = api;
    return;
  }
  if (typeof document === 'undefined') return;

  // ---------------------------------------------------------------------
  // In the browser

  var viewers = [];
  api.viewers = viewers;
  root.vantrelViewer = api;

  function markupOf(element) {
    var attributes = {};
    for (var i = 0; i < element.attributes.length; i++)
      attributes[element.attributes[i].name.toLowerCase()] = element.attributes[i].value;
    var kind = element.tagName.toLowerCase() === 'applet' ? 'applet' : 'embed';
    var params = {};
    if (kind === 'applet') {
      var found = element.getElementsByTagName('param');
      for (var j = 0; j < found.length; j++)
        params[(found[j].getAttribute('name') || '').toLowerCase()] = found[j].getAttribute('value') || '';
    }
    return { kind: kind, attributes: attributes, param: params.script || '', params: params };
  }

  function cssColour(rgb) { return 'rgb(' + rgb[0] + ',' + rgb[1] + ',' + rgb[2] + ')'; }

  function isLight(bg) { return 0.299 * bg[0] + 0.587 * bg[1] + 0.114 * bg[2] > 128; }

  // A colour for lines and text that stands out from the background (at
  // least 6:1 on white or black).
  function contrastColour(bg) { return isLight(bg) ? [80, 80, 80] : [190, 190, 190]; }

  // Density or dots, as the reader last chose on any page.
  var RENDERING_KEY = 'vantrel-viewer-rendering';
  function savedRendering() {
    try { return root.localStorage.getItem(RENDERING_KEY) === 'dots' ? 'dots' : 'density'; } catch (e) { return 'density'; }
  }
  function saveRendering(rendering) {
    try { root.localStorage.setItem(RENDERING_KEY, rendering); } catch (e) { /* storage turned off */ }
  }

  // Companion scripts, loaded once per file name.
  var loads = {};
  function loadCompanion(file) {
    if (loads[file]) return loads[file];
    loads[file] = new Promise(function (resolve) {
      var script = document.createElement('script');
      script.src = file.split('/').map(encodeURIComponent).join('/') + '.js';
      script.charset = 'utf-8';
      script.onload = function () {
        var all = root.vantrelClouds || {};
        var data = all[file];
        if (data === undefined) {
          var lower = file.toLowerCase();
          Object.keys(all).forEach(function (k) { if (k.toLowerCase() === lower) data = all[k]; });
        }
        resolve(data === undefined ? { damaged: 'it does not hold the points of ' + file } : { data: data });
      };
      script.onerror = function () { resolve({ missing: true }); };
      (document.head || document.documentElement).appendChild(script);
    });
    return loads[file];
  }

  // The decoded cloud of a file: {cloud}, {missing} or {damaged: why}.
  var decoded = {};
  function cloudOf(file) {
    if (decoded[file]) return decoded[file];
    decoded[file] = loadCompanion(file).then(function (result) {
      if (!result.data) return result;
      var data = result.data;
      var bytes = typeof data.atoms === 'string' ? base64ToBytesLater(data.atoms) : Promise.resolve(undefined);
      return bytes.then(function (b) { return { cloud: decodeCloud(data, b) }; });
    }).catch(function (e) { return { damaged: e && e.message ? e.message : String(e) }; });
    return decoded[file];
  }

  // The four views of a frame set share one cloud: the frame set loads
  // this script too, reads the points once and hands them to each view.
  // A view that hears nothing from its frame set loads them itself.
  var FOUR_VIEWS = /^fraView\d$/;
  function cloudFromFrameSet(file) {
    var parent = root.parent;
    if (!FOUR_VIEWS.test(root.name || '') || !parent || parent === root) return Promise.resolve(null);
    return new Promise(function (resolve) {
      var waiting = root.setTimeout(done.bind(null, null), 3000);
      function done(result) {
        root.clearTimeout(waiting);
        root.removeEventListener('message', listen);
        resolve(result);
      }
      function listen(event) {
        var m = event.data;
        if (event.source !== parent || !m || m.file !== file) return;
        if (m.vantrel === 'cloud-coming') root.clearTimeout(waiting);
        else if (m.vantrel === 'cloud' && m.result && typeof m.result === 'object') done(m.result);
      }
      root.addEventListener('message', listen);
      parent.postMessage({ vantrel: 'cloud?', file: file }, '*');
    });
  }

  function isChildFrame(source) {
    for (var i = 0; i < root.frames.length; i++) if (root.frames[i] === source) return true;
    return false;
  }

  function serveCloud(event) {
    var file = event.data.file, source = event.source;
    source.postMessage({ vantrel: 'cloud-coming', file: file }, '*');
    cloudOf(file).then(function (result) {
      source.postMessage({ vantrel: 'cloud', file: file, result: result }, '*');
    });
  }

  var TOOLBAR_HEIGHT = 26;

  function Viewer(element) {
    this.markup = markupOf(element);
    this.settings = settingsFromMarkup(this.markup);
    this.rendering = savedRendering();
    var wrapper = document.createElement('span');
    wrapper.className = 'vantrel-viewer-frame';
    wrapper.style.cssText = 'display:inline-block;vertical-align:middle;text-align:left;';
    var box = document.createElement('span');
    box.className = 'vantrel-viewer';
    box.style.cssText = 'display:block;position:relative;overflow:hidden;';
    var align = (this.markup.attributes.align || '').toLowerCase();
    if (align === 'left' || align === 'right') wrapper.style.cssFloat = align;
    wrapper.appendChild(box);
    this.wrapper = wrapper;
    this.box = box;
    this.setSize(this.settings.width, this.settings.height);
    element.parentNode.replaceChild(wrapper, element);
    viewers.push(this);
    this.start();
  }

  Viewer.prototype.setSize = function (width, height) {
    this.width = width;
    this.height = height;
    this.box.style.width = width + 'px';
    this.box.style.height = height + 'px';
  };

  // The largest view that fits: the whole frame for a view in a frame,
  // else the window less the rest of the page, never smaller than the
  // page asks for.
  Viewer.prototype.fittingSize = function () {
    var s = this.settings;
    var w = root.innerWidth, h = root.innerHeight;
    if (document.fullscreenElement && document.fullscreenElement === this.wrapper)
      return [w, Math.max(50, h - TOOLBAR_HEIGHT)];
    var inFrame = true;
    try { inFrame = root.top !== root; } catch (e) { /* a frame of another page */ }
    if (inFrame && this.aloneInDocument()) return [Math.max(100, w - 16), Math.max(100, h - 16 - TOOLBAR_HEIGHT)];
    var range = document.createRange();
    range.selectNodeContents(document.body);
    var rest = range.getBoundingClientRect().bottom + root.pageYOffset - this.box.offsetHeight + 12 +
      (this.toolbar ? 0 : TOOLBAR_HEIGHT);
    var table = this.wrapper.closest ? this.wrapper.closest('table') : null;
    var beside = table ? table.offsetWidth - this.wrapper.offsetWidth : 0;
    var side = Math.floor(Math.min(w - 24 - beside, h - rest));
    side = Math.min(4096, Math.max(Math.min(s.width, s.height), side));
    return [side, side];
  };

  // Nothing but this viewer has text or size on the page.
  Viewer.prototype.aloneInDocument = function () {
    var text = (document.body && document.body.innerText || '').replace(/\s+/g, '');
    var own = (this.wrapper.innerText || '').replace(/\s+/g, '');
    return text.length <= own.length;
  };

  Viewer.prototype.setState = function (state, text) {
    this.box.setAttribute('data-vantrel-viewer', state);
    this.box.setAttribute('data-vantrel-file', this.settings.file);
    if (text !== undefined) this.box.setAttribute('data-vantrel-message', text);
    else this.box.removeAttribute('data-vantrel-message');
  };

  // A line of text in the middle of the viewer area.
  Viewer.prototype.note = function (text) {
    var s = this.settings;
    this.box.textContent = '';
    this.box.style.background = cssColour(s.background);
    var note = document.createElement('span');
    note.style.cssText = 'position:absolute;left:8px;right:8px;top:50%;transform:translateY(-50%);' +
      'font:13px/1.35 sans-serif;text-align:center;white-space:normal;color:' +
      cssColour(contrastColour(s.background)) + ';';
    note.textContent = text;
    this.box.appendChild(note);
  };

  Viewer.prototype.showMessage = function (text) {
    this.stop();
    this.note(text);
    this.setState('error', text);
  };

  Viewer.prototype.start = function () {
    var self = this;
    var s = this.settings;
    var text = messages(s.file);
    this.note('Loading the points of ' + s.file + '\u2026');
    this.setState('loading');
    if (!s.file) return this.showMessage(text.noFile);
    var generation = this.generation = (this.generation || 0) + 1;
    // The points load while the browser is still busy with three.js.
    var loading = cloudFromFrameSet(s.file).then(function (shared) { return shared || cloudOf(s.file); });
    whenParsed(function () {
      if (generation !== self.generation) return;
      if (typeof root.THREE === 'undefined' || !root.THREE.WebGLRenderer) return self.showMessage(text.noThree);
      if (!root.THREE.TrackballControls) return self.showMessage(text.noControls);
      try {
        var size = self.fittingSize();
        self.setSize(size[0], size[1]);
        self.prepare();
      } catch (e) {
        return self.showMessage(text.noWebGL);
      }
      loading.then(function (result) { self.loaded(generation, result); });
    });
  };

  // The page's own scripts (three.js among them) have all run.
  function whenParsed(fn) {
    if (document.readyState === 'loading') document.addEventListener('DOMContentLoaded', fn);
    else fn();
  }

  Viewer.prototype.loaded = function (generation, result) {
    var text = messages(this.settings.file);
    if (generation !== this.generation) return;
    this.timings = { dataLoaded: root.performance.now() };
    if (result.missing) return this.showMessage(text.missing);
    if (result.damaged || !result.cloud) return this.showMessage(text.damaged(result.damaged || 'it holds no points'));
    this.timings.decoded = root.performance.now();
    try {
      this.build(result.cloud);
      this.timings.built = root.performance.now();
    } catch (e) {
      this.showMessage(/webgl/i.test(String(e && e.message)) ? text.noWebGL
        : 'The 3-D view could not be drawn: ' + (e && e.message ? e.message : e));
    }
  };

  // One program draws dots, marks and lines: atoms are four 16-bit numbers
  // (x, y, z in steps of the cloud's scale, and the colour class, looked
  // up in the palette). Modes: 0 dots, 3 lines. The density is drawn on
  // the processor (see splat) and shown as the scene's background.
  var VERTEX_SHADER = [
    'precision highp float;',
    'uniform mat4 modelViewMatrix;',
    'uniform mat4 projectionMatrix;',
    'uniform float pointSize;',
    'uniform float pixelsPerUnit;',
    'uniform float minPixels;',
    'uniform vec3 palette[' + PALETTE_SIZE + '];',
    'attribute vec4 position;',
    'varying vec3 vColour;',
    'void main() {',
    '  vec4 eye = modelViewMatrix * vec4(position.xyz, 1.0);',
    '  gl_Position = projectionMatrix * eye;',
    '  gl_PointSize = max(minPixels, pointSize * pixelsPerUnit / -eye.z);',
    '  vColour = palette[int(position.w + 0.5)];',
    '}'
  ].join('\n');

  // Dots are round, darkened towards the rim like a lit ball, so that
  // white ones still show on white.
  var FRAGMENT_SHADER = [
    'precision highp float;',
    'uniform float mode;',
    'varying vec3 vColour;',
    'void main() {',
    '  if (mode > 2.5) { gl_FragColor = vec4(vColour, 1.0); return; }',
    '  vec2 d = gl_PointCoord - vec2(0.5);',
    '  float r2 = 4.0 * dot(d, d);',
    '  if (r2 > 1.0) discard;',
    '  float shade = r2 < 0.36 ? 1.0 : 0.5 + 0.5 * sqrt((1.0 - r2) / 0.64);',
    '  gl_FragColor = vec4(vColour * shade, 1.0);',
    '}'
  ].join('\n');

  var FIELD_OF_VIEW = 20; // degrees: a mild perspective
  var LINE_SLOT = PALETTE_SIZE - 1;
  var MARK_SIZE = 0.6; // of a dot

  Viewer.prototype.makeMaterial = function (mode, size) {
    return new root.THREE.RawShaderMaterial({
      vertexShader: VERTEX_SHADER,
      fragmentShader: FRAGMENT_SHADER,
      uniforms: {
        pointSize: { value: 2 * this.settings.spacefill / 250 * size },
        pixelsPerUnit: this.common.pixelsPerUnit,
        minPixels: this.common.minPixels,
        palette: this.common.palette,
        mode: { value: mode }
      }
    });
  };

  // The canvas, the renderer and the shader program, made and used once
  // while the points are still loading: software renderers take long to
  // compile, and the first frame need not wait for that.
  Viewer.prototype.prepare = function () {
    var THREE = root.THREE;
    var s = this.settings;
    var ratio = root.devicePixelRatio || 1;
    var canvas = document.createElement('canvas');
    canvas.style.cssText = 'display:block;touch-action:none;outline:none;';
    canvas.setAttribute('aria-label', '3-D view of ' + s.file + ': drag to turn, wheel to zoom, double-click to reset');
    canvas.title = 'Drag to turn, wheel or pinch to zoom, right-drag to shift, double-click to reset';

    var renderer = new THREE.WebGLRenderer({ canvas: canvas, antialias: false, alpha: false });
    renderer.setPixelRatio(ratio);
    renderer.setClearColor(new THREE.Color(s.background[0] / 255, s.background[1] / 255, s.background[2] / 255), 1);
    this.common = {
      pixelsPerUnit: { value: 1 },
      minPixels: { value: ratio },
      palette: { value: new Float32Array(PALETTE_SIZE * 3) }
    };
    this.canvas = canvas;
    this.renderer = renderer;
    this.resizeCanvas();
    // Dots, tick marks a little smaller, and lines.
    this.dotMaterial = this.makeMaterial(0, 1);
    this.markMaterial = this.makeMaterial(0, MARK_SIZE);
    this.lineMaterial = this.makeMaterial(3, 1);
    this.materials = [this.dotMaterial, this.markMaterial, this.lineMaterial];

    // One atom and one line in the real layout, and the density's picture,
    // drawn as the first frame will be.
    var warm = new THREE.BufferGeometry();
    warm.setAttribute('position', new THREE.BufferAttribute(new Int16Array(8), 4));
    var warmScene = new THREE.Scene();
    var p = new THREE.Points(warm, this.rendering === 'dots' ? this.dotMaterial : this.markMaterial);
    p.frustumCulled = false;
    warmScene.add(p);
    if (s.boundbox || s.axes) {
      var l = new THREE.LineSegments(warm, this.lineMaterial);
      l.frustumCulled = false;
      warmScene.add(l);
    }
    if (this.rendering !== 'dots') warmScene.background = densityPicture(THREE, 2, 2).texture;
    renderer.render(warmScene, new THREE.PerspectiveCamera());
    if (warmScene.background) warmScene.background.dispose();
    warm.dispose();
  };

  // The density's picture: sums per pixel and the bytes of a texture.
  function densityPicture(THREE, w, h, smooth) {
    var bytes = new Uint8Array(w * h * 4);
    var texture = new THREE.DataTexture(bytes, w, h, THREE.RGBAFormat);
    texture.minFilter = texture.magFilter = smooth ? THREE.LinearFilter : THREE.NearestFilter;
    texture.generateMipmaps = false;
    texture.needsUpdate = true;
    return { w: w, h: h, sums: new Float32Array(w * h * 4), bytes: bytes, texture: texture };
  }

  // The density drawn on the processor: each point of the cloud adds its
  // colour, with the strength `alpha`, to the four pixels around where it
  // lands. Nothing hides anything. On a dark background the colours add
  // up and glow; on a light one each point tints what is behind it, so
  // thick parts take the colours (darkened a little, or white would not
  // show). Software WebGL takes far longer to draw a point than this
  // takes to place one. `m` is the cloud's 4x4 clip matrix (column-major)
  // for its steps.
  function splat(picture, cloud, palette, m, alpha, background) {
    var w = picture.w, h = picture.h, sums = picture.sums, atoms = cloud.atoms;
    sums.fill(0);
    for (var i = cloud.markers; i < cloud.count; i++) {
      var o = i * 4, x = atoms[o], y = atoms[o + 1], z = atoms[o + 2];
      var cw = m[3] * x + m[7] * y + m[11] * z + m[15];
      if (!(cw > 0)) continue;
      // Texture rows count from the bottom, as clip space does.
      var px = ((m[0] * x + m[4] * y + m[8] * z + m[12]) / cw + 1) * 0.5 * w - 0.5;
      var py = ((m[1] * x + m[5] * y + m[9] * z + m[13]) / cw + 1) * 0.5 * h - 0.5;
      var ix = Math.floor(px), iy = Math.floor(py);
      if (ix < 0 || iy < 0 || ix >= w - 1 || iy >= h - 1) continue;
      var fx = px - ix, fy = py - iy, c = atoms[o + 3] * 3;
      var r = palette[c] * alpha, g = palette[c + 1] * alpha, b = palette[c + 2] * alpha;
      var at = (iy * w + ix) * 4, wt;
      wt = (1 - fx) * (1 - fy);
      sums[at] += r * wt; sums[at + 1] += g * wt; sums[at + 2] += b * wt; sums[at + 3] += alpha * wt;
      wt = fx * (1 - fy);
      sums[at + 4] += r * wt; sums[at + 5] += g * wt; sums[at + 6] += b * wt; sums[at + 7] += alpha * wt;
      at += w * 4;
      wt = (1 - fx) * fy;
      sums[at] += r * wt; sums[at + 1] += g * wt; sums[at + 2] += b * wt; sums[at + 3] += alpha * wt;
      wt = fx * fy;
      sums[at + 4] += r * wt; sums[at + 5] += g * wt; sums[at + 6] += b * wt; sums[at + 7] += alpha * wt;
    }
    var out = picture.bytes, light = isLight(background);
    var br = background[0], bg = background[1], bb = background[2];
    for (var k = 0; k < w * h * 4; k += 4) {
      var mass = sums[k + 3];
      if (!(mass > 0)) {
        out[k] = br; out[k + 1] = bg; out[k + 2] = bb; out[k + 3] = 255;
      } else if (light) {
        var keep = Math.exp(-mass), tint = (1 - keep) * 0.8 * 255 / mass;
        out[k] = br * keep + sums[k] * tint;
        out[k + 1] = bg * keep + sums[k + 1] * tint;
        out[k + 2] = bb * keep + sums[k + 2] * tint;
        out[k + 3] = 255;
      } else {
        out[k] = Math.min(255, br + sums[k] * 255);
        out[k + 1] = Math.min(255, bg + sums[k + 1] * 255);
        out[k + 2] = Math.min(255, bb + sums[k + 2] * 255);
        out[k + 3] = 255;
      }
    }
    picture.texture.needsUpdate = true;
  }

  Viewer.prototype.resizeCanvas = function () {
    var ratio = root.devicePixelRatio || 1;
    this.renderer.setSize(this.width, this.height, false);
    this.canvas.style.width = this.width + 'px';
    this.canvas.style.height = this.height + 'px';
    this.common.pixelsPerUnit.value = this.height * ratio / (2 * Math.tan(FIELD_OF_VIEW * Math.PI / 360));
  };

  Viewer.prototype.build = function (cloud) {
    var THREE = root.THREE;
    var s = this.settings;
    var self = this;
    var renderer = this.renderer, canvas = this.canvas;
    this.cloud = cloud;

    var palette = this.common.palette.value;
    palette.set(paletteOf(cloud.symbols));
    var lineColour = contrastColour(s.background);
    for (var k = 0; k < 3; k++) palette[LINE_SLOT * 3 + k] = (s.axesColour || lineColour)[k] / 255;

    // The marks apart, so that the density view need not send the cloud
    // to the graphics card at all.
    var scaled = new THREE.Group();
    scaled.scale.setScalar(cloud.scale);
    var parts = [[cloud.atoms.subarray(0, cloud.markers * 4), this.markMaterial],
      [cloud.atoms.subarray(cloud.markers * 4), this.dotMaterial]];
    this.geometries = parts.map(function (part, k) {
      var g = new THREE.BufferGeometry();
      g.setAttribute('position', new THREE.BufferAttribute(part[0], 4));
      var points = new THREE.Points(g, part[1]);
      points.frustumCulled = false;
      points.renderOrder = 1 - k; // the marks over the dots
      if (k) self.cloudPoints = points;
      scaled.add(points);
      return g;
    });
    this.cloudPoints.visible = this.rendering === 'dots';
    this.scaled = scaled;

    var bounds = new THREE.Box3(new THREE.Vector3().fromArray(cloud.bounds.min), new THREE.Vector3().fromArray(cloud.bounds.max));
    var centre = bounds.getCenter(new THREE.Vector3());
    var radius = 0, spread = 0;
    var a = cloud.atoms, q = cloud.scale;
    for (var i = 0; i < cloud.count; i++) {
      var dx = a[i * 4] * q - centre.x, dy = a[i * 4 + 1] * q - centre.y, dz = a[i * 4 + 2] * q - centre.z;
      var r2 = dx * dx + dy * dy + dz * dz;
      radius = Math.max(radius, r2);
      if (i >= cloud.markers) spread += r2;
    }
    radius = Math.sqrt(radius);
    spread = Math.sqrt(spread / Math.max(1, cloud.count - cloud.markers));
    // The box's corners lie beyond the atoms; it must fit too.
    if (s.boundbox) radius = Math.max(radius, bounds.getSize(new THREE.Vector3()).length() / 2);
    radius = Math.max(radius, 1e-3);

    // The model turns about its centre; the camera looks at the origin.
    var model = new THREE.Group();
    var centred = new THREE.Group();
    centred.position.copy(centre).negate();
    centred.add(scaled);
    model.add(centred);

    this.box.textContent = '';
    this.box.style.background = '';
    this.box.appendChild(canvas);

    if (s.boundbox) scaled.add(stepLines(THREE, boxCorners(bounds), cloud.scale, this.lineMaterial));
    var reach = axisReach(cloud, bounds, radius);
    if (s.axes) {
      var ends = [];
      AXES.forEach(function (axis) { ends.push([0, 0, 0], axis[1].map(function (v) { return v * reach; })); });
      scaled.add(stepLines(THREE, ends, cloud.scale, this.lineMaterial));
    }
    var labels = cloud.markers > 1 || s.axes ? this.axisLabels(reach) : [];

    // A script that turns by nothing leaves the view to us: the orbital's
    // z up, seen from a little above, or a plane face on. The four views
    // of a frame set keep theirs.
    var ourView = turnsNothing(s.rotations) && !FOUR_VIEWS.test(root.name || '');
    var initial = new THREE.Quaternion();
    if (ourView) {
      var v = viewMatrix(cloud.plane);
      initial.setFromRotationMatrix(new THREE.Matrix4().set(
        v[0][0], v[0][1], v[0][2], 0, v[1][0], v[1][1], v[1][2], 0, v[2][0], v[2][1], v[2][2], 0, 0, 0, 0, 1));
    } else {
      s.rotations.forEach(function (r) {
        var axis = new THREE.Vector3(r.axis === 'x' ? 1 : 0, r.axis === 'y' ? 1 : 0, r.axis === 'z' ? 1 : 0);
        initial.premultiply(new THREE.Quaternion().setFromAxisAngle(axis, r.degrees * Math.PI / 180));
      });
    }
    model.quaternion.copy(initial);

    var scene = new THREE.Scene();
    scene.add(model);
    var camera = new THREE.PerspectiveCamera(FIELD_OF_VIEW, this.width / this.height, radius * 0.01, radius * 1000);
    // The cloud fills the view; far-flung atoms, long axes and a box may
    // run off it.
    var fitted = Math.min(radius, Math.max(2.5 * spread, radius * 0.05));
    var fit = Math.min(1, this.width / this.height);
    var distance = 1.05 * fitted / Math.sin(FIELD_OF_VIEW * Math.PI / 360) / fit;
    camera.position.set(0, 0, distance);
    camera.lookAt(0, 0, 0);

    // The density's strength follows the cloud's size on the screen, so
    // that zooming keeps its brightness.
    var clip = new THREE.Matrix4();
    var drawDensity = function () {
      var pixels = self.common.pixelsPerUnit.value / camera.position.distanceTo(controls.target);
      var points = cloud.count - cloud.markers, area = Math.PI * Math.pow(spread * pixels, 2);
      // A sparse cloud is drawn on coarser pixels, smoothed as they are
      // enlarged, so that each point shows as a soft spot, not a speck.
      var coarse = Math.min(4, Math.max(1, Math.ceil(Math.sqrt(0.5 * area / Math.max(1, points)))));
      var alpha = densityAlpha(points, 1.13, area / (coarse * coarse));
      var w = Math.ceil(canvas.width / coarse), h = Math.ceil(canvas.height / coarse);
      if (!self.picture || self.picture.w !== w || self.picture.h !== h) {
        if (self.picture) self.picture.texture.dispose();
        self.picture = densityPicture(THREE, w, h, coarse > 1);
      }
      scene.updateMatrixWorld();
      camera.updateMatrixWorld();
      camera.matrixWorldInverse.getInverse(camera.matrixWorld);
      clip.multiplyMatrices(camera.projectionMatrix, camera.matrixWorldInverse).multiply(scaled.matrixWorld);
      splat(self.picture, cloud, palette, clip.elements, alpha, s.background);
      scene.background = self.picture.texture;
    };

    var controls = new THREE.TrackballControls(camera, canvas);
    controls.rotateSpeed = 3;
    controls.zoomSpeed = 1.2;
    controls.panSpeed = 0.6;
    controls.staticMoving = true;
    controls.keys = [];
    controls.minDistance = radius * 0.05;
    controls.maxDistance = radius * 100;

    this.controls = controls;
    this.camera = camera;
    this.spinning = s.spin;
    var dirty = true;
    var lastTime = 0;
    this.redraw = function () { dirty = true; };
    controls.addEventListener('change', this.redraw);
    // Turning the model by hand stops the spin; a double click restarts it.
    controls.addEventListener('start', function () { self.setSpin(false); });

    var onResize = function () { controls.handleResize(); };
    var onWindow = function () {
      if (self.resizing) return;
      self.resizing = root.requestAnimationFrame(function () {
        self.resizing = 0;
        self.refit();
      });
    };
    // The page may have moved since the controls measured the canvas.
    canvas.addEventListener('mousedown', onResize, true);
    canvas.addEventListener('touchstart', onResize, true);
    root.addEventListener('resize', onWindow);
    document.addEventListener('fullscreenchange', onWindow);
    canvas.addEventListener('dblclick', function (e) {
      e.preventDefault();
      controls.reset();
      model.quaternion.copy(initial);
      self.setSpin(s.spin);
      dirty = true;
    });

    // Our own view spins about the orbital's z axis, which stays upright;
    // a page's own rotations spin about the screen's axis as it asks.
    var spinRate = (s.spinRate.some(Boolean) ? new THREE.Vector3().fromArray(s.spinRate).length() : 30) * Math.PI / 180;
    var spinAxis = ourView ? new THREE.Vector3(0, 0, -1) : new THREE.Vector3().fromArray(s.spinRate);
    if (spinAxis.lengthSq() === 0) spinAxis.set(0, 1, 0);
    spinAxis.normalize();
    var step = new THREE.Quaternion();

    this.render = function () {
      if (self.rendering === 'dots') scene.background = null;
      else drawDensity();
      renderer.render(scene, camera);
      self.placeLabels(labels, model);
    };
    var frame = function (time) {
      if (self.stopped) return;
      self.animation = root.requestAnimationFrame(frame);
      controls.update();
      if (self.spinning) {
        var dt = lastTime ? Math.min(0.1, (time - lastTime) / 1000) : 0;
        step.setFromAxisAngle(spinAxis, spinRate * dt);
        if (ourView) model.quaternion.multiply(step);
        else model.quaternion.premultiply(step);
        dirty = true;
      }
      lastTime = time;
      if (!dirty) return;
      dirty = false;
      self.render();
      if (!self.firstFrameMs) {
        // Wait for the drawing to finish, so the time is honest.
        var gl = renderer.getContext();
        gl.readPixels(0, 0, 1, 1, gl.RGBA, gl.UNSIGNED_BYTE, new Uint8Array(4));
        self.firstFrameMs = root.performance.now();
        self.count = cloud.count;
        self.setState('ready');
      }
    };
    // Draws one frame and waits for it (the benchmark's measure).
    this.drawNow = function () {
      self.render();
      var gl = renderer.getContext();
      gl.readPixels(0, 0, 1, 1, gl.RGBA, gl.UNSIGNED_BYTE, new Uint8Array(4));
    };
    this.cleanup = function () {
      root.removeEventListener('resize', onWindow);
      document.removeEventListener('fullscreenchange', onWindow);
      if (self.picture) self.picture.texture.dispose();
      self.picture = null;
    };
    this.legend = this.makeLegend(cloud);
    this.makeToolbar();
    this.stopped = false;
    // The first frame at once, not a display refresh later.
    frame(root.performance.now());
  };

  // How far the axes reach: the marks' last tick, else the cloud's edge.
  function axisReach(cloud, bounds, radius) {
    var reach = 0;
    for (var i = 0; i < cloud.markers; i++)
      for (var k = 0; k < 3; k++) reach = Math.max(reach, Math.abs(cloud.atoms[i * 4 + k]) * cloud.scale);
    if (!reach) reach = Math.max(bounds.max.x, -bounds.min.y, -bounds.min.z);
    return Math.max(reach, radius * 0.1);
  }

  // The view follows the window and full screen.
  Viewer.prototype.refit = function () {
    if (!this.renderer) return;
    var size = this.fittingSize();
    if (size[0] === this.width && size[1] === this.height) return;
    this.setSize(size[0], size[1]);
    this.resizeCanvas();
    this.camera.aspect = this.width / this.height;
    this.camera.updateProjectionMatrix();
    this.controls.handleResize();
    this.redraw();
  };

  Viewer.prototype.setSpin = function (on) {
    this.spinning = !!on;
    if (this.spinButton) this.spinButton.setAttribute('aria-pressed', String(this.spinning));
  };

  Viewer.prototype.setRendering = function (rendering) {
    this.rendering = rendering;
    saveRendering(rendering);
    if (this.cloudPoints) this.cloudPoints.visible = rendering === 'dots';
    if (this.dotsButton) this.dotsButton.setAttribute('aria-pressed', String(rendering === 'dots'));
    if (this.redraw) this.redraw();
  };

  // Text laid over the canvas at the positive ends of the orbital's axes.
  Viewer.prototype.axisLabels = function (reach) {
    var THREE = root.THREE;
    var colour = cssColour(contrastColour(this.settings.background));
    var box = this.box;
    return AXES.map(function (axis) {
      var span = document.createElement('span');
      span.className = 'vantrel-axis-label';
      span.textContent = axis[0];
      span.style.cssText = 'position:absolute;left:0;top:0;font:italic bold 15px serif;pointer-events:none;' +
        'transform:translate(-50%,-50%);color:' + colour + ';';
      box.appendChild(span);
      return { element: span, name: axis[0], at: new THREE.Vector3().fromArray(axis[1]).multiplyScalar(reach * 1.12) };
    });
  };

  Viewer.prototype.placeLabels = function (labels, model) {
    var w = this.width, h = this.height, camera = this.camera;
    model.updateMatrixWorld();
    var centred = model.children[0];
    labels.forEach(function (label) {
      var p = label.at.clone().applyMatrix4(centred.matrixWorld).project(camera);
      // Kept inside the view when the axis runs off it.
      label.x = Math.min(w - 8, Math.max(8, (p.x + 1) / 2 * w));
      label.y = Math.min(h - 8, Math.max(8, (1 - p.y) / 2 * h));
      label.element.style.left = label.x.toFixed(1) + 'px';
      label.element.style.top = label.y.toFixed(1) + 'px';
    });
    this.labels = labels;
  };

  // The colours in use, what a tick is worth, and a thinned cloud's share.
  Viewer.prototype.makeLegend = function (cloud) {
    var s = this.settings;
    var fg = cssColour(contrastColour(s.background));
    var bg = s.background;
    var legend = document.createElement('span');
    legend.className = 'vantrel-legend';
    legend.style.cssText = 'position:absolute;left:4px;top:4px;max-width:32%;padding:3px 5px;font:11px/1.3 sans-serif;' +
      'color:' + fg + ';background:rgba(' + bg.join(',') + ',0.55);border-radius:3px;pointer-events:none;';
    var content = legendEntries(cloud, colouredBySign(s.file, cloud.comment));
    var heading = document.createElement('div');
    heading.style.fontWeight = 'bold';
    heading.textContent = content.heading;
    legend.appendChild(heading);
    content.entries.forEach(function (e) {
      var row = document.createElement('div');
      var swatch = document.createElement('span');
      swatch.style.cssText = 'display:inline-block;width:10px;height:10px;margin-right:4px;vertical-align:-1px;' +
        'border:1px solid ' + fg + ';background:' + cssColour(e.colour) + ';';
      row.appendChild(swatch);
      row.appendChild(document.createTextNode(e.label));
      legend.appendChild(row);
    });
    var axes = axisNote(cloud);
    if (axes) {
      var note = document.createElement('div');
      note.style.marginTop = '2px';
      note.textContent = axes;
      legend.appendChild(note);
    }
    this.box.appendChild(legend);
    var thinned = thinnedNote(cloud);
    if (thinned) {
      var caption = document.createElement('span');
      caption.className = 'vantrel-thinned';
      caption.style.cssText = 'position:absolute;left:4px;bottom:4px;right:4px;font:11px/1.3 sans-serif;pointer-events:none;color:' + fg + ';';
      caption.textContent = thinned;
      this.box.appendChild(caption);
    }
    // Small views, and all but the first of four, start without it; the
    // button shows it.
    if (Math.min(this.width, this.height) < 250 || (FOUR_VIEWS.test(root.name || '') && root.name !== 'fraView1'))
      legend.style.display = 'none';
    this.legendContent = content;
    return legend;
  };

  Viewer.prototype.makeToolbar = function () {
    var self = this;
    var s = this.settings;
    if (this.toolbar) this.toolbar.remove();
    var bar = document.createElement('span');
    bar.className = 'vantrel-toolbar';
    bar.style.cssText = 'display:flex;flex-wrap:wrap;gap:3px;height:' + (TOOLBAR_HEIGHT - 4) + 'px;margin-top:4px;overflow:hidden;';
    var button = function (label, title, action, pressed) {
      var b = document.createElement('button');
      b.type = 'button';
      b.textContent = label;
      b.title = title;
      b.style.cssText = 'font:12px sans-serif;padding:1px 6px;cursor:pointer;';
      if (pressed !== undefined) b.setAttribute('aria-pressed', String(pressed));
      b.addEventListener('click', function (e) { e.preventDefault(); action(b); });
      bar.appendChild(b);
      return b;
    };
    this.spinButton = button('Spin', 'Turn the model about its axis, or stop it', function () {
      self.setSpin(!self.spinning);
    }, this.spinning);
    this.dotsButton = button('Dots', 'Opaque dots instead of the density', function () {
      self.setRendering(self.rendering === 'dots' ? 'density' : 'dots');
    }, this.rendering === 'dots');
    button('Legend', 'Show or hide the colours and the axes\u2019 scale', function () {
      self.legend.style.display = self.legend.style.display === 'none' ? '' : 'none';
    });
    if (this.wrapper.requestFullscreen && document.fullscreenEnabled !== false) {
      button('Full screen', 'Fill the screen with the view (Esc leaves)', function () {
        if (document.fullscreenElement === self.wrapper) document.exitFullscreen();
        else self.wrapper.requestFullscreen().catch(function () { /* refused */ });
      });
    }
    this.saveButton = button('Save picture', 'Save the view as a PNG picture', function () { self.savePicture(); });
    this.wrapper.style.background = cssColour(s.background);
    this.wrapper.appendChild(bar);
    this.toolbar = bar;
  };

  // The view as it is, with its labels and legend, as NAME.png.
  Viewer.prototype.pictureCanvas = function () {
    this.render();
    var ratio = root.devicePixelRatio || 1;
    var out = document.createElement('canvas');
    out.width = this.canvas.width;
    out.height = this.canvas.height;
    var g = out.getContext('2d');
    // Copied in the same task as the drawing, while the buffer holds it.
    g.drawImage(this.canvas, 0, 0);
    g.scale(ratio, ratio);
    g.fillStyle = cssColour(contrastColour(this.settings.background));
    g.textAlign = 'center';
    g.textBaseline = 'middle';
    g.font = 'italic bold 15px serif';
    (this.labels || []).forEach(function (l) { g.fillText(l.name, l.x, l.y); });
    if (this.legend && this.legend.style.display !== 'none') {
      var c = this.legendContent;
      g.textAlign = 'left';
      g.font = 'bold 11px sans-serif';
      g.fillText(c.heading, 8, 12);
      g.font = '11px sans-serif';
      c.entries.forEach(function (e, i) {
        var y = 26 + 14 * i;
        g.fillRect(7, y - 6, 12, 12);
        g.save();
        g.fillStyle = cssColour(e.colour);
        g.fillRect(8, y - 5, 10, 10);
        g.restore();
        g.fillText(e.label, 23, y);
      });
    }
    return out;
  };

  Viewer.prototype.savePicture = function () {
    var self = this;
    if (!this.render) return;
    var name = this.settings.file.replace(/^.*[\/\\]/, '').replace(/\.xyz$/i, '') + '.png';
    this.pictureCanvas().toBlob(function (blob) {
      if (!blob) return;
      var url = root.URL.createObjectURL(blob);
      var a = document.createElement('a');
      a.href = url;
      a.download = name;
      a.style.display = 'none';
      self.wrapper.appendChild(a);
      a.click();
      a.remove();
      root.setTimeout(function () { root.URL.revokeObjectURL(url); }, 30000);
    }, 'image/png');
  };

  Viewer.prototype.stop = function () {
    this.stopped = true;
    if (this.animation) root.cancelAnimationFrame(this.animation);
    if (this.cleanup) this.cleanup();
    if (this.controls) this.controls.dispose();
    (this.geometries || []).forEach(function (g) { g.dispose(); });
    (this.materials || []).forEach(function (m) { m.dispose(); });
    if (this.renderer) {
      this.renderer.dispose();
      if (this.renderer.forceContextLoss) this.renderer.forceContextLoss();
    }
    if (this.toolbar) this.toolbar.remove();
    this.controls = this.geometries = this.materials = this.renderer = this.cleanup = this.canvas = null;
    this.toolbar = this.render = this.cloudPoints = this.markerPoints = this.labels = null;
    this.firstFrameMs = 0;
  };

  // Another orbital in the same place (the by-energy index).
  Viewer.prototype.show = function (file, script) {
    this.stop();
    this.markup = switchedMarkup(this.markup, file, script);
    this.settings = settingsFromMarkup(this.markup);
    this.setSize(this.settings.width, this.settings.height);
    this.start();
  };

  // Line segments in the line colour, in steps of the cloud's scale,
  // drawn by the points' own program (one program to compile makes the
  // first frame sooner).
  function stepLines(THREE, ends, scale, material) {
    var steps = new Int16Array(ends.length * 4);
    ends.forEach(function (p, i) {
      for (var k = 0; k < 3; k++) steps[i * 4 + k] = Math.max(-MAX_STEP, Math.min(MAX_STEP, Math.round(p[k] / scale)));
      steps[i * 4 + 3] = LINE_SLOT;
    });
    var g = new THREE.BufferGeometry();
    g.setAttribute('position', new THREE.BufferAttribute(steps, 4));
    var lines = new THREE.LineSegments(g, material);
    lines.frustumCulled = false;
    return lines;
  }

  function boxCorners(bounds) {
    var a = bounds.min, b = bounds.max;
    var corners = [];
    for (var k = 0; k < 8; k++) corners.push([k & 1 ? b.x : a.x, k & 2 ? b.y : a.y, k & 4 ? b.z : a.z]);
    var edges = [[0, 1], [2, 3], [4, 5], [6, 7], [0, 2], [1, 3], [4, 6], [5, 7], [0, 4], [1, 5], [2, 6], [3, 7]];
    var ends = [];
    edges.forEach(function (e) { ends.push(corners[e[0]], corners[e[1]]); });
    return ends;
  }

  // Every applet and plug-in element of the page, in document order.
  function replaceAll() {
    var found = document.querySelectorAll('applet, embed');
    for (var i = 0; i < found.length; i++) {
      if (found[i].parentNode) new Viewer(found[i]);
    }
  }

  // The by-energy index. Its showxyz writes the new viewer into the
  // neighbouring frames; pages opened from disk are walled off from each
  // other in current browsers, so when that fails the file, script and
  // title are sent as messages instead.
  function wrapShowxyz() {
    var writeFrames = root.showxyz;
    if (typeof writeFrames !== 'function' || writeFrames.vantrelWrapped) return;
    var wrapped = function (sfile, script, shead) {
      try {
        return writeFrames.apply(this, arguments);
      } catch (e) {
        var parent = root.parent;
        try { parent.fraOrb.postMessage({ vantrel: 'showxyz', file: String(sfile), script: String(script) }, '*'); } catch (e2) { /* no viewer frame */ }
        try { parent.fraTitle.postMessage({ vantrel: 'title', html: String(shead) }, '*'); } catch (e3) { /* no title frame */ }
      }
    };
    wrapped.vantrelWrapped = true;
    root.showxyz = wrapped;
  }

  // "reloading" links reload the whole page; from a frame of a page opened
  // from disk the browser forbids that, so the frame set is opened anew
  // instead (the index is the only frame set these links live in).
  function reloadLink(event) {
    var a = event.target && event.target.closest ? event.target.closest('a[href]') : null;
    if (!a || !/^javascript:.*location\.reload\(\)/i.test(a.getAttribute('href') || '')) return;
    event.preventDefault();
    try {
      root.top.document.location.reload();
    } catch (e) {
      root.open('index.htm', '_top');
    }
  }

  // Messages come only from frames of the same window.
  function fromSibling(event) {
    try {
      return event.source && event.source !== root && event.source.top === root.top;
    } catch (e) {
      return false;
    }
  }

  root.addEventListener('message', function (event) {
    var m = event.data;
    if (!m || typeof m !== 'object') return;
    if (m.vantrel === 'cloud?' && typeof m.file === 'string' && isChildFrame(event.source)) return serveCloud(event);
    if (!fromSibling(event)) return;
    if (m.vantrel === 'showxyz' && typeof m.file === 'string' && typeof m.script === 'string') {
      if (viewers.length) viewers[0].show(m.file, m.script);
    } else if (m.vantrel === 'title' && typeof m.html === 'string' && document.body) {
      document.body.innerHTML = m.html;
    }
  });
  document.addEventListener('click', reloadLink, true);

  // What is parsed so far at once, before a browser tries the markup
  // itself; anything after this script when the page is complete.
  wrapShowxyz();
  replaceAll();
  if (document.readyState === 'loading') {
    document.addEventListener('DOMContentLoaded', function () { wrapShowxyz(); replaceAll(); });
  }
})(typeof window !== 'undefined' ? window : this);
