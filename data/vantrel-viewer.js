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
    } else {
      if (a.src) s.file = a.src.trim();
      var bg = parseColour(a.bgcolor);
      if (bg) s.background = bg;
      applyScript(s, a.script);
      ['spinx', 'spiny', 'spinz'].forEach(function (name, i) {
        var rate = parseFloat(a[name]);
        if (isFinite(rate)) s.spinRate[i] = rate;
      });
      if (onOff(a.startspin, false) && a.startspin !== undefined) {
        s.spin = true;
        if (!s.spinRate.some(Boolean)) s.spinRate = [0, 10, 0];
      }
    }
    s.width = sizeAttribute(a.width);
    s.height = sizeAttribute(a.height);
    return s;
  }

  function sizeAttribute(text) {
    var v = parseInt(String(text == null ? '' : text), 10);
    return isFinite(v) && v > 0 ? Math.min(v, 8192) : 300;
  }

  // The markup that the by-energy index writes for another orbital: the
  // same element with the file and the script exchanged, exactly as the
  // index's own showxyz builds it.
  function switchedMarkup(markup, file, script) {
    var copy = { kind: markup.kind, attributes: {}, param: markup.param };
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

  // Strict decoding: anything but a whole number of groups is damage.
  function base64ToBytes(text) {
    if (typeof text !== 'string') throw new Error('not text');
    var n = text.length;
    if (n % 4 !== 0) throw new Error('cut short');
    if (!/^[A-Za-z0-9+\/]*={0,2}$/.test(text)) throw new Error('holds a character that is not base64');
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

  var LITTLE_ENDIAN = new Uint8Array(new Uint16Array([1]).buffer)[0] === 1;

  // Checks and unpacks a companion record; throws an Error whose message
  // says what is wrong.
  function decodeCloud(data) {
    if (!data || typeof data !== 'object') throw new Error('it holds no point data');
    var count = data.count;
    if (typeof count !== 'number' || !(count >= 0) || Math.floor(count) !== count)
      throw new Error('its atom count is missing');
    if (!Array.isArray(data.symbols) || data.symbols.length === 0 || data.symbols.length > 256)
      throw new Error('its element list is missing');
    var posBytes = base64ToBytes(data.positions);
    if (posBytes.length !== count * 12)
      throw new Error('it holds ' + Math.floor(posBytes.length / 12) + ' positions for ' + count + ' atoms');
    var classes = base64ToBytes(data.classes);
    if (classes.length !== count)
      throw new Error('it holds ' + classes.length + ' colour classes for ' + count + ' atoms');
    var positions;
    if (LITTLE_ENDIAN) {
      positions = new Float32Array(posBytes.buffer, 0, count * 3);
    } else {
      positions = new Float32Array(count * 3);
      var view = new DataView(posBytes.buffer);
      for (var i = 0; i < count * 3; i++) positions[i] = view.getFloat32(i * 4, true);
    }
    var min = [Infinity, Infinity, Infinity], max = [-Infinity, -Infinity, -Infinity];
    for (var j = 0; j < positions.length; j++) {
      var p = positions[j], axis = j % 3;
      if (!isFinite(p)) throw new Error('atom ' + (Math.floor(j / 3) + 1) + ' has no finite position');
      if (p < min[axis]) min[axis] = p;
      if (p > max[axis]) max[axis] = p;
    }
    for (var k = 0; k < count; k++)
      if (classes[k] >= data.symbols.length) throw new Error('atom ' + (k + 1) + ' has an unknown colour class');
    return {
      count: count,
      comment: typeof data.comment === 'string' ? data.comment : '',
      symbols: data.symbols.map(String),
      positions: positions,
      classes: classes,
      bounds: count ? { min: min, max: max } : { min: [-1, -1, -1], max: [1, 1, 1] }
    };
  }

  // Red, green, blue and an unused byte per atom, from its class's element
  // colour; four bytes keep the vertex data aligned for the GPU.
  function atomColours(cloud) {
    var palette = cloud.symbols.map(elementColour);
    var out = new Uint8Array(cloud.count * 4);
    for (var i = 0; i < cloud.count; i++) {
      var c = palette[cloud.classes[i]];
      out[i * 4] = c[0];
      out[i * 4 + 1] = c[1];
      out[i * 4 + 2] = c[2];
      out[i * 4 + 3] = 255;
    }
    return out;
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
    atomColours: atomColours,
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
    var param = '';
    if (kind === 'applet') {
      var params = element.getElementsByTagName('param');
      for (var j = 0; j < params.length; j++)
        if ((params[j].getAttribute('name') || '').toLowerCase() === 'script') param = params[j].getAttribute('value') || '';
    }
    return { kind: kind, attributes: attributes, param: param };
  }

  function cssColour(rgb) { return 'rgb(' + rgb[0] + ',' + rgb[1] + ',' + rgb[2] + ')'; }

  // A colour for lines and text that stands out from the background.
  function contrastColour(bg) {
    var light = 0.299 * bg[0] + 0.587 * bg[1] + 0.114 * bg[2] > 128;
    return light ? [96, 96, 96] : [176, 176, 176];
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

  function Viewer(element) {
    this.markup = markupOf(element);
    this.settings = settingsFromMarkup(this.markup);
    var box = document.createElement('span');
    box.className = 'vantrel-viewer';
    box.style.cssText = 'display:inline-block;position:relative;overflow:hidden;vertical-align:middle;' +
      'width:' + this.settings.width + 'px;height:' + this.settings.height + 'px;';
    var align = (this.markup.attributes.align || '').toLowerCase();
    if (align === 'left' || align === 'right') box.style.cssFloat = align;
    this.box = box;
    element.parentNode.replaceChild(box, element);
    viewers.push(this);
    this.start();
  }

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
    var loading = loadCompanion(s.file);
    whenParsed(function () {
      if (generation !== self.generation) return;
      if (typeof root.THREE === 'undefined' || !root.THREE.WebGLRenderer) return self.showMessage(text.noThree);
      if (!root.THREE.TrackballControls) return self.showMessage(text.noControls);
      try {
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
    var self = this;
    var text = messages(this.settings.file);
    if (generation !== self.generation) return;
    self.timings = { dataLoaded: root.performance.now() };
    if (result.missing) return self.showMessage(text.missing);
    if (result.damaged) return self.showMessage(text.damaged(result.damaged));
    var cloud;
    try {
      cloud = decodeCloud(result.data);
    } catch (e) {
      return self.showMessage(text.damaged(e.message));
    }
    self.timings.decoded = root.performance.now();
    try {
      self.build(cloud);
      self.timings.built = root.performance.now();
    } catch (e) {
      self.showMessage(/webgl/i.test(String(e && e.message)) ? text.noWebGL
        : 'The 3-D view could not be drawn: ' + (e && e.message ? e.message : e));
    }
  };

  var VERTEX_SHADER = [
    'precision highp float;',
    'uniform mat4 modelViewMatrix;',
    'uniform mat4 projectionMatrix;',
    'uniform float pointSize;',
    'uniform float pixelsPerUnit;',
    'uniform float minPixels;',
    'attribute vec3 position;',
    'attribute vec4 color;',
    'varying vec3 vColour;',
    'void main() {',
    '  vec4 eye = modelViewMatrix * vec4(position, 1.0);',
    '  gl_Position = projectionMatrix * eye;',
    '  gl_PointSize = max(minPixels, pointSize * pixelsPerUnit / -eye.z);',
    '  vColour = color.rgb;',
    '}'
  ].join('\n');

  // Round points in the colour of their class, darkened towards the rim
  // like a lit ball, so that white points still show on white.
  var FRAGMENT_SHADER = [
    'precision highp float;',
    'uniform float lines;',
    'varying vec3 vColour;',
    'void main() {',
    '  if (lines > 0.5) { gl_FragColor = vec4(vColour, 1.0); return; }',
    '  vec2 d = gl_PointCoord - vec2(0.5);',
    '  float r2 = 4.0 * dot(d, d);',
    '  if (r2 > 1.0) discard;',
    '  float shade = r2 < 0.36 ? 1.0 : 0.5 + 0.5 * sqrt((1.0 - r2) / 0.64);',
    '  gl_FragColor = vec4(vColour * shade, 1.0);',
    '}'
  ].join('\n');

  var FIELD_OF_VIEW = 20; // degrees: a mild perspective

  // The canvas, the renderer and the shader program, made and used once
  // while the points are still loading: software renderers take long to
  // compile, and the first frame need not wait for that.
  Viewer.prototype.prepare = function () {
    var THREE = root.THREE;
    var s = this.settings;
    var ratio = root.devicePixelRatio || 1;
    var canvas = document.createElement('canvas');
    canvas.width = Math.round(s.width * ratio);
    canvas.height = Math.round(s.height * ratio);
    canvas.style.cssText = 'display:block;width:' + s.width + 'px;height:' + s.height + 'px;touch-action:none;outline:none;';
    canvas.setAttribute('aria-label', '3-D view of ' + s.file + ': drag to turn, wheel to zoom, double-click to reset');
    canvas.title = 'Drag to turn, wheel or pinch to zoom, right-drag to shift, double-click to reset';

    var renderer = new THREE.WebGLRenderer({ canvas: canvas, antialias: false, alpha: false });
    renderer.setPixelRatio(ratio);
    renderer.setSize(s.width, s.height, false);
    renderer.setClearColor(new THREE.Color(s.background[0] / 255, s.background[1] / 255, s.background[2] / 255), 1);

    var material = new THREE.RawShaderMaterial({
      vertexShader: VERTEX_SHADER,
      fragmentShader: FRAGMENT_SHADER,
      uniforms: {
        pointSize: { value: 2 * s.spacefill / 250 },
        pixelsPerUnit: { value: canvas.height / (2 * Math.tan(FIELD_OF_VIEW * Math.PI / 360)) },
        minPixels: { value: ratio },
        lines: { value: 0 }
      }
    });
    var lineMaterial = new THREE.RawShaderMaterial({
      vertexShader: VERTEX_SHADER,
      fragmentShader: FRAGMENT_SHADER,
      uniforms: { pointSize: { value: 1 }, pixelsPerUnit: { value: 1 }, minPixels: { value: 1 }, lines: { value: 1 } }
    });

    // One point and one line in the same vertex layout as the real ones.
    var warmPoints = new THREE.BufferGeometry();
    warmPoints.setAttribute('position', new THREE.BufferAttribute(new Float32Array(3), 3));
    warmPoints.setAttribute('color', new THREE.BufferAttribute(new Uint8Array(4), 4, true));
    var warmScene = new THREE.Scene();
    var warmPoint = new THREE.Points(warmPoints, material);
    warmPoint.frustumCulled = false;
    warmScene.add(warmPoint);
    if (s.boundbox || s.axes) warmScene.add(lineSegments(THREE, [0, 0, 0, 0, 0, 0], [0, 0, 0], lineMaterial));
    renderer.render(warmScene, new THREE.PerspectiveCamera());
    warmScene.children.forEach(function (o) { o.geometry.dispose(); });

    this.renderer = renderer;
    this.material = material;
    this.lineMaterial = lineMaterial;
    this.canvas = canvas;
  };

  Viewer.prototype.build = function (cloud) {
    var THREE = root.THREE;
    var s = this.settings;
    var renderer = this.renderer, material = this.material, lineMaterial = this.lineMaterial, canvas = this.canvas;

    var geometry = new THREE.BufferGeometry();
    geometry.setAttribute('position', new THREE.BufferAttribute(cloud.positions, 3));
    geometry.setAttribute('color', new THREE.BufferAttribute(atomColours(cloud), 4, true));
    var bounds = new THREE.Box3(new THREE.Vector3().fromArray(cloud.bounds.min), new THREE.Vector3().fromArray(cloud.bounds.max));
    geometry.boundingBox = bounds.clone();
    var centre = bounds.getCenter(new THREE.Vector3());
    var radius = 0;
    for (var i = 0; i < cloud.count; i++) {
      var dx = cloud.positions[i * 3] - centre.x, dy = cloud.positions[i * 3 + 1] - centre.y, dz = cloud.positions[i * 3 + 2] - centre.z;
      radius = Math.max(radius, dx * dx + dy * dy + dz * dz);
    }
    radius = Math.sqrt(radius);
    // The box's corners lie beyond the atoms; it must fit too.
    if (s.boundbox) radius = Math.max(radius, bounds.getSize(new THREE.Vector3()).length() / 2);
    radius = Math.max(radius, 1e-3);

    var points = new THREE.Points(geometry, material);
    points.frustumCulled = false;

    // The model turns about its centre; the camera looks at the origin.
    var model = new THREE.Group();
    var centred = new THREE.Group();
    centred.position.copy(centre).negate();
    centred.add(points);
    model.add(centred);

    this.box.textContent = '';
    this.box.appendChild(canvas);

    var lineColour = contrastColour(s.background);
    if (s.boundbox) centred.add(boxLines(THREE, bounds, lineColour, lineMaterial));
    var axes = s.axes ? axisLines(THREE, bounds, s.axesColour || lineColour, radius, lineMaterial, this.box) : null;
    if (axes) centred.add(axes);

    var initial = new THREE.Quaternion();
    s.rotations.forEach(function (r) {
      var axis = new THREE.Vector3(r.axis === 'x' ? 1 : 0, r.axis === 'y' ? 1 : 0, r.axis === 'z' ? 1 : 0);
      initial.premultiply(new THREE.Quaternion().setFromAxisAngle(axis, r.degrees * Math.PI / 180));
    });
    model.quaternion.copy(initial);

    var scene = new THREE.Scene();
    scene.add(model);
    var camera = new THREE.PerspectiveCamera(FIELD_OF_VIEW, s.width / s.height, radius * 0.01, radius * 1000);
    var fit = Math.min(1, s.width / s.height);
    camera.position.set(0, 0, 1.05 * radius / Math.sin(FIELD_OF_VIEW * Math.PI / 360) / fit);
    camera.lookAt(0, 0, 0);

    var controls = new THREE.TrackballControls(camera, canvas);
    controls.rotateSpeed = 3;
    controls.zoomSpeed = 1.2;
    controls.panSpeed = 0.6;
    controls.staticMoving = true;
    controls.keys = [];
    controls.minDistance = radius * 0.05;
    controls.maxDistance = radius * 100;

    var self = this;
    this.renderer = renderer;
    this.controls = controls;
    this.geometry = geometry;
    this.spinning = s.spin && s.spinRate.some(Boolean);
    var dirty = true;
    var lastTime = 0;
    controls.addEventListener('change', function () { dirty = true; });
    // Turning the model by hand stops the spin; a double click restarts it.
    controls.addEventListener('start', function () { self.spinning = false; });

    var onResize = function () { controls.handleResize(); };
    // The page may have moved since the controls measured the canvas.
    canvas.addEventListener('mousedown', onResize, true);
    canvas.addEventListener('touchstart', onResize, true);
    root.addEventListener('resize', onResize);
    canvas.addEventListener('dblclick', function (e) {
      e.preventDefault();
      controls.reset();
      model.quaternion.copy(initial);
      self.spinning = s.spin && s.spinRate.some(Boolean);
      dirty = true;
    });

    var spinAxis = new THREE.Vector3(s.spinRate[0], s.spinRate[1], s.spinRate[2]);
    var spinRate = spinAxis.length() * Math.PI / 180;
    if (spinRate > 0) spinAxis.normalize();
    var step = new THREE.Quaternion();

    var frame = function (time) {
      if (self.stopped) return;
      self.animation = root.requestAnimationFrame(frame);
      controls.update();
      if (self.spinning && spinRate > 0) {
        var dt = lastTime ? Math.min(0.1, (time - lastTime) / 1000) : 0;
        step.setFromAxisAngle(spinAxis, spinRate * dt);
        model.quaternion.premultiply(step);
        dirty = true;
      }
      lastTime = time;
      if (!dirty) return;
      dirty = false;
      renderer.render(scene, camera);
      if (axes) placeLabels(axes, camera, s.width, s.height);
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
      renderer.render(scene, camera);
      var gl = renderer.getContext();
      gl.readPixels(0, 0, 1, 1, gl.RGBA, gl.UNSIGNED_BYTE, new Uint8Array(4));
    };
    this.cleanup = function () {
      root.removeEventListener('resize', onResize);
    };
    this.stopped = false;
    // The first frame at once, not a display refresh later.
    frame(root.performance.now());
  };

  Viewer.prototype.stop = function () {
    this.stopped = true;
    if (this.animation) root.cancelAnimationFrame(this.animation);
    if (this.cleanup) this.cleanup();
    if (this.controls) this.controls.dispose();
    if (this.geometry) this.geometry.dispose();
    if (this.material) this.material.dispose();
    if (this.lineMaterial) this.lineMaterial.dispose();
    if (this.renderer) {
      this.renderer.dispose();
      if (this.renderer.forceContextLoss) this.renderer.forceContextLoss();
    }
    this.controls = this.geometry = this.material = this.lineMaterial = this.renderer = this.cleanup = this.canvas = null;
    this.firstFrameMs = 0;
  };

  // Another orbital in the same place (the by-energy index).
  Viewer.prototype.show = function (file, script) {
    this.stop();
    this.markup = switchedMarkup(this.markup, file, script);
    this.settings = settingsFromMarkup(this.markup);
    this.box.style.width = this.settings.width + 'px';
    this.box.style.height = this.settings.height + 'px';
    this.start();
  };

  // Line segments in one colour, drawn by the points' own shader program
  // (one program to compile makes the first frame sooner).
  function lineSegments(THREE, vertices, rgb, material) {
    var colours = new Uint8Array(vertices.length / 3 * 4);
    for (var k = 0; k < colours.length; k += 4) {
      colours[k] = rgb[0];
      colours[k + 1] = rgb[1];
      colours[k + 2] = rgb[2];
      colours[k + 3] = 255;
    }
    var g = new THREE.BufferGeometry();
    g.setAttribute('position', new THREE.Float32BufferAttribute(vertices, 3));
    g.setAttribute('color', new THREE.BufferAttribute(colours, 4, true));
    var lines = new THREE.LineSegments(g, material);
    lines.frustumCulled = false;
    return lines;
  }

  function placeLabels(axes, camera, width, height) {
    axes.userData.labels.forEach(function (label) {
      var p = label.at.clone().applyMatrix4(axes.matrixWorld).project(camera);
      label.element.style.left = ((p.x + 1) / 2 * width).toFixed(1) + 'px';
      label.element.style.top = ((1 - p.y) / 2 * height).toFixed(1) + 'px';
    });
  }

  function boxLines(THREE, bounds, rgb, material) {
    var a = bounds.min, b = bounds.max;
    var corners = [];
    for (var k = 0; k < 8; k++) corners.push([k & 1 ? b.x : a.x, k & 2 ? b.y : a.y, k & 4 ? b.z : a.z]);
    var edges = [[0, 1], [2, 3], [4, 5], [6, 7], [0, 2], [1, 3], [4, 6], [5, 7], [0, 4], [1, 5], [2, 6], [3, 7]];
    var vertices = [];
    edges.forEach(function (e) { vertices.push.apply(vertices, corners[e[0]].concat(corners[e[1]])); });
    return lineSegments(THREE, vertices, rgb, material);
  }

  // X, Y and Z from the origin to the edge of the box; the labels are text
  // laid over the canvas at the projected ends.
  function axisLines(THREE, bounds, rgb, radius, material, box) {
    var ends = [
      ['X', Math.max(bounds.max.x, radius * 0.1), 0, 0],
      ['Y', 0, Math.max(bounds.max.y, radius * 0.1), 0],
      ['Z', 0, 0, Math.max(bounds.max.z, radius * 0.1)]
    ];
    var vertices = [];
    ends.forEach(function (e) { vertices.push(0, 0, 0, e[1], e[2], e[3]); });
    var lines = lineSegments(THREE, vertices, rgb, material);
    lines.userData.labels = ends.map(function (e) {
      var span = document.createElement('span');
      span.textContent = e[0];
      span.style.cssText = 'position:absolute;left:0;top:0;font:bold 12px sans-serif;pointer-events:none;' +
        'transform:translate(-50%,-50%);color:' + cssColour(rgb) + ';';
      box.appendChild(span);
      return { element: span, at: new THREE.Vector3(e[1] * 1.08, e[2] * 1.08, e[3] * 1.08) };
    });
    return lines;
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
    if (!m || typeof m !== 'object' || !fromSibling(event)) return;
    if (m.vantrel === 'showxyz' && typeof m.file === 'string' && typeof m.script === 'string') {
      if (viewers.length) viewers[0].show(m.file, m.script);
    } else if (m.vantrel === 'title' && typeof m.html === 'string' && document.body) {
      document.body.innerHTML = m.html;
    }
  });

  // What is parsed so far at once, before a browser tries the markup
  // itself; anything after this script when the page is complete.
  wrapShowxyz();
  replaceAll();
  if (document.readyState === 'loading') {
    document.addEventListener('DOMContentLoaded', function () { wrapShowxyz(); replaceAll(); });
  }
})(typeof window !== 'undefined' ? window : this);
