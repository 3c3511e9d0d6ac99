// The HTML5 page's player: reads the movie's data (docs/html5-page.md) and
// plays it on a canvas, drawing what our own player (src/player/renderer.cpp)
// draws and following its timeline (timeline.cpp). Frames are timed from
// performance.now; nothing runs between two frames that change the picture.
(() => {
  "use strict";

  const movie = JSON.parse(document.getElementById("movie").textContent);
  const settings = JSON.parse(document.getElementById("settings").textContent);
  const stage = document.getElementById("stage");
  const canvas = stage.querySelector("canvas");
  const context = canvas.getContext("2d");
  const characters = movie.characters;
  const frameCount = Math.max(1, movie.frames);
  const period = 1000 / (movie.rate > 0 ? movie.rate : 12);
  const maxNesting = 8;
  const bsUp = 1, bsOver = 2, bsDown = 4, bsHit = 8;
  const identity = [1, 0, 0, 1, 0, 0];
  const noColor = [1, 1, 1, 1, 0, 0, 0, 0];

  // --- numbers, matrices and colours ---

  // outer after inner, as TMatrix::operator*.
  const multiply = (m, n) => [
    m[0] * n[0] + m[2] * n[1], m[1] * n[0] + m[3] * n[1],
    m[0] * n[2] + m[2] * n[3], m[1] * n[2] + m[3] * n[3],
    m[0] * n[4] + m[2] * n[5] + m[4], m[1] * n[4] + m[3] * n[5] + m[5],
  ];

  const invert = (m) => {
    const det = m[0] * m[3] - m[1] * m[2];
    if (!det || !isFinite(det)) return null;
    return [m[3] / det, -m[1] / det, -m[2] / det, m[0] / det,
      (m[2] * m[5] - m[3] * m[4]) / det, (m[1] * m[4] - m[0] * m[5]) / det];
  };

  const domMatrix = (m) => new DOMMatrix(m);

  const combineColor = (outer, inner) => [
    outer[0] * inner[0], outer[1] * inner[1], outer[2] * inner[2], outer[3] * inner[3],
    inner[4] * outer[0] + outer[4], inner[5] * outer[1] + outer[5],
    inner[6] * outer[2] + outer[6], inner[7] * outer[3] + outer[7],
  ];

  const channel = (v) => Math.min(255, Math.max(0, Math.round(v)));

  const applyColor = (cx, c) => [
    channel(c[0] * cx[0] + cx[4]), channel(c[1] * cx[1] + cx[5]),
    channel(c[2] * cx[2] + cx[6]), channel(c[3] * cx[3] + cx[7]),
  ];

  const isAlphaOnly = (cx) =>
    cx[0] === 1 && cx[1] === 1 && cx[2] === 1 && !cx[4] && !cx[5] && !cx[6] && !cx[7];

  const css = (c) => `rgba(${c[0]},${c[1]},${c[2]},${c[3] / 255})`;

  // --- paths: base64 of zigzag LEB128 steps (see the data format) ---

  const decodePath = (text) => {
    const bytes = Uint8Array.from(atob(text.padEnd(Math.ceil(text.length / 4) * 4, "=")),
      (c) => c.charCodeAt(0));
    let at = 0, x = 0, y = 0;
    const number = () => {
      let value = 0, scale = 1, b;
      do {
        b = bytes[at++];
        value += (b & 127) * scale;
        scale *= 128;
      } while (b & 128);
      return value;
    };
    const unzig = (v) => (v % 2 ? -(v + 1) / 2 : v / 2);
    const point = (first) => {
      x += unzig(first);
      y += unzig(number());
    };
    const path = new Path2D();
    for (let subpaths = number(); subpaths > 0; --subpaths) {
      const header = number();
      point(number());
      path.moveTo(x, y);
      for (let segments = Math.floor(header / 2); segments > 0; --segments) {
        const first = number();
        if (first % 2) {
          point((first - 1) / 2);
          const cx = x, cy = y;
          point(number());
          path.quadraticCurveTo(cx, cy, x, y);
        } else {
          point(first / 2);
          path.lineTo(x, y);
        }
      }
      if (header % 2) path.closePath();
    }
    return path;
  };

  // Paths are decoded on first use and kept.
  const pathCache = new Map();
  const pathOf = (text) => {
    let path = pathCache.get(text);
    if (!path) pathCache.set(text, (path = decodePath(text)));
    return path;
  };

  // --- pictures ---

  const images = new Map();  // bitmap id: HTMLImageElement

  const loadImages = () => Promise.all(Object.entries(characters)
    .filter(([, c]) => c && c.kind === "bitmap")
    .map(([id, c]) => {
      const image = new Image();
      image.src = c.image;
      images.set(+id, image);
      return image.decode().catch(() => {});
    }));

  const newCanvas = (width, height) => {
    const c = document.createElement("canvas");
    c.width = width;
    c.height = height;
    return c;
  };

  // The picture with its edge pixels repeated once around it: a clipped
  // bitmap fill shows its edges beyond the picture.
  const padded = (image) => {
    const w = image.naturalWidth, h = image.naturalHeight;
    const c = newCanvas(w + 2, h + 2), g = c.getContext("2d");
    g.imageSmoothingEnabled = false;
    g.drawImage(image, 1, 1);
    g.drawImage(image, 0, 0, 1, h, 0, 1, 1, h);
    g.drawImage(image, w - 1, 0, 1, h, w + 1, 1, 1, h);
    g.drawImage(c, 0, 1, w + 2, 1, 0, 0, w + 2, 1);
    g.drawImage(c, 0, h, w + 2, 1, 0, h + 1, w + 2, 1);
    return c;
  };

  // The picture with a colour transform applied to each pixel.
  const recolored = (source, cx) => {
    const c = newCanvas(source.width || source.naturalWidth, source.height || source.naturalHeight);
    const g = c.getContext("2d");
    g.drawImage(source, 0, 0);
    try {
      const pixels = g.getImageData(0, 0, c.width, c.height);
      const d = pixels.data;
      for (let i = 0; i < d.length; i += 4) {
        const t = applyColor(cx, [d[i], d[i + 1], d[i + 2], d[i + 3]]);
        d[i] = t[0], d[i + 1] = t[1], d[i + 2] = t[2], d[i + 3] = t[3];
      }
      g.putImageData(pixels, 0, 0);
    } catch (e) {
      // A picture from another origin (a page opened from disk) stays as it is.
    }
    return c;
  };

  // The picture as a fill pattern, made once: padded when clipped,
  // recoloured unless only its alpha changes.
  const patternCache = new Map();
  const patternOf = (id, pad, cx) => {
    const image = images.get(id);
    if (!image || !image.naturalWidth) return null;
    const key = `${id} ${pad} ${isAlphaOnly(cx) ? "" : cx}`;
    let pattern = patternCache.get(key);
    if (!pattern) {
      let picture = pad ? padded(image) : image;
      if (!isAlphaOnly(cx)) picture = recolored(picture, cx);
      patternCache.set(key, (pattern = context.createPattern(picture, "repeat")));
    }
    return pattern;
  };

  // --- drawing ---

  const deviceScale = (m) => Math.sqrt(Math.abs(m[0] * m[3] - m[1] * m[2]));

  // Shown at its own size and unturned: drawn texel for pixel, unsmoothed.
  const texelForPixel = (m) =>
    !m[1] && !m[2] && Math.abs(m[0] - 1) < 1e-3 && Math.abs(m[3] - 1) < 1e-3;

  const transformedPath = (path, m) => {
    const out = new Path2D();
    out.addPath(path, domMatrix(m));
    return out;
  };

  const gradientOf = (fill, cx) => {
    const gradient = fill.linear
      ? context.createLinearGradient(-16384, 0, 16384, 0)
      : context.createRadialGradient((fill.focus || 0) * 16384, 0, 0, 0, 0, 16384);
    for (const [ratio, color] of fill.linear || fill.radial)
      gradient.addColorStop(ratio / 255, css(applyColor(cx, color)));
    return gradient;
  };

  // Gradients and pictures are drawn in their own space: the path is taken
  // there through the inverse of the fill's matrix.
  const fillPath = (path, fill, world, cx) => {
    if (fill.solid) {
      context.setTransform(domMatrix(world));
      context.fillStyle = css(applyColor(cx, fill.solid));
      context.fill(path);
      return;
    }
    let space = fill.matrix, style;
    if (fill.bitmap !== undefined) {
      style = patternOf(fill.bitmap, !fill.repeat, cx);
      if (!style) return;
      const [scaleX, scaleY] = characters[fill.bitmap].scale || [1, 1];
      space = multiply(space, [scaleX, 0, 0, scaleY, 0, 0]);
      if (!fill.repeat) space = multiply(space, [1, 0, 0, 1, -1, -1]);
      context.imageSmoothingEnabled = fill.smooth && !texelForPixel(multiply(world, space));
      if (isAlphaOnly(cx)) context.globalAlpha = Math.min(1, Math.max(0, cx[3]));
    } else {
      if (!(fill.linear || fill.radial).length) return;
      style = gradientOf(fill, cx);
    }
    const inverse = invert(space);
    if (!inverse) return;
    context.setTransform(domMatrix(multiply(world, space)));
    context.fillStyle = style;
    context.fill(transformedPath(path, inverse));
    context.globalAlpha = 1;
  };

  // Lines thinner than a pixel are drawn as hairlines, as players do.
  const strokePath = (path, line, world, cx) => {
    context.strokeStyle = css(applyColor(cx, line[1]));
    context.lineCap = context.lineJoin = "round";
    if (line[0] * deviceScale(world) < 1) {
      context.setTransform(base);
      context.lineWidth = 1;
      context.stroke(transformedPath(path, multiply(unbase, world)));
      return;
    }
    context.setTransform(domMatrix(world));
    context.lineWidth = line[0];
    context.stroke(path);
  };

  const drawShape = (shape, world, cx) => {
    for (const layer of shape.layers) {
      for (const [style, path] of layer.fillPaths) fillPath(pathOf(path), layer.fills[style], world, cx);
      for (const [style, path] of layer.linePaths) strokePath(pathOf(path), layer.lines[style], world, cx);
    }
  };

  const drawText = (text, world, cx) => {
    const textWorld = multiply(world, text.matrix);
    for (const r of text.records) {
      const font = characters[r.font];
      if (!font || font.kind !== "font") continue;
      const scale = (r.height / 1024) * font.scale;
      context.fillStyle = css(applyColor(cx, r.color));
      let x = r.x;
      for (let i = 0; i < r.glyphs.length; i += 2) {
        const glyph = font.glyphs[r.glyphs[i]];
        if (glyph) {
          context.setTransform(domMatrix(multiply(textWorld, [scale, 0, 0, scale, x, r.y])));
          for (const path of glyph) context.fill(pathOf(path), "evenodd");
        }
        x += r.glyphs[i + 1];
      }
    }
  };

  const buttonRecords = (button, state) => button.records
    .filter((r) => r.states & state)
    .sort((a, b) => a.depth - b.depth);

  const drawCharacter = (id, world, cx, buttonState, nesting) => {
    const c = characters[id];
    if (!c || nesting > maxNesting) return;
    if (c.kind === "shape") drawShape(c, world, cx);
    else if (c.kind === "text") drawText(c, world, cx);
    else if (c.kind === "button" && nesting === 0)  // a button in a button shows nothing
      for (const r of buttonRecords(c, buttonState))
        drawCharacter(r.id, multiply(world, r.matrix), combineColor(cx, r.color), bsUp, nesting + 1);
  };

  const maskPath = (object) => {
    const clip = new Path2D(), c = characters[object.id];
    if (c && c.kind === "shape")
      for (const layer of c.layers)
        for (const [, path] of layer.fillPaths) clip.addPath(pathOf(path), domMatrix(object.matrix));
    return clip;
  };

  // Device pixels a CSS pixel; the stage in twips maps onto the canvas.
  let base = domMatrix(identity), unbase = identity, twipsToDevice = identity;

  const fitCanvas = () => {
    const ratio = window.devicePixelRatio || 1;
    canvas.width = Math.round(movie.width * ratio);
    canvas.height = Math.round(movie.height * ratio);
    base = domMatrix([ratio, 0, 0, ratio, 0, 0]);
    unbase = [1 / ratio, 0, 0, 1 / ratio, 0, 0];
    twipsToDevice = [ratio / 20, 0, 0, ratio / 20, -movie.stage[0] * ratio / 20,
      -movie.stage[1] * ratio / 20];
  };

  const paint = () => {
    context.setTransform(1, 0, 0, 1, 0, 0);
    context.fillStyle = movie.background;
    context.fillRect(0, 0, canvas.width, canvas.height);
    const masks = [];
    for (const [depth, object] of [...displayList].sort((a, b) => a[0] - b[0])) {
      while (masks.length && masks[masks.length - 1].until < depth) masks.pop();
      if (object.clip) {
        masks.push({ until: object.clip, object });
        continue;
      }
      context.save();
      for (const mask of masks) {
        context.setTransform(domMatrix(twipsToDevice));
        context.clip(maskPath(mask.object), "evenodd");
      }
      drawCharacter(object.id, multiply(twipsToDevice, object.matrix), object.color,
        shownButtonState(object), 0);
      context.restore();
    }
  };

  // --- the timeline (as timeline.cpp) ---

  const idle = 0, overUp = 1, overDown = 2, outDown = 3;
  const displayList = new Map();  // depth: placed object
  const contentByFrame = new Map(movie.timeline.map((f) => [f.frame, f]));
  let frame = -1, playing = true, jumped = false, over = null, pressed = null, changed = true;
  let loopsDone = 0;

  const shownButtonState = (object) =>
    object.mouse === idle ? bsUp : object.mouse === overDown ? bsDown : bsOver;

  const applyOp = (op) => {
    changed = true;
    if (op.remove) return void displayList.delete(op.depth);
    const existing = displayList.get(op.depth);
    if (op.move ? !existing && op.id === undefined : op.id === undefined) return;
    const target = op.move && existing ? existing
      : { id: 0, matrix: identity, color: noColor, clip: 0, mouse: idle };
    displayList.set(op.depth, target);
    if (op.id !== undefined) {
      if (target.id !== op.id) target.mouse = idle;
      target.id = op.id;
    }
    if (op.matrix) target.matrix = op.matrix;
    if (op.color) target.color = op.color;
    if (op.clip) target.clip = op.clip;
  };

  // The same button placed again at the same depth keeps the pointer's state.
  const showFrame = (to) => {
    to = Math.min(to, frameCount - 1);
    const heldDepth = pressed ?? over;
    const held = heldDepth === null ? undefined : displayList.get(heldDepth);
    const heldId = held && held.id, heldMouse = held && held.mouse;
    let from = frame + 1;
    if (to <= frame) {
      displayList.clear();
      changed = true;
      from = 0;
    }
    for (const content of movie.timeline)
      if (content.frame >= from && content.frame <= to) (content.ops || []).forEach(applyOp);
    frame = to;
    const again = heldDepth === null ? undefined : displayList.get(heldDepth);
    if (again && held && again.id === heldId) again.mouse = heldMouse;
    else over = pressed = null;
  };

  const enterFrame = (to) => {
    showFrame(to);
    const content = contentByFrame.get(frame);
    if (content && content.sounds) content.sounds.forEach(startSound);
  };

  const runFrameActions = (nesting) => {
    const content = contentByFrame.get(frame);
    if (content && content.actions) runActions(content.actions, nesting);
  };

  const findLabel = (label) => {
    const found = movie.timeline.find((f) => f.label === label);
    return found ? found.frame : -1;
  };

  const runActions = (actions, nesting = 0) => {
    jumped = false;
    for (const a of actions) {
      if (a.stop) setPlaying(false);
      else if (a.play) setPlaying(true);
      else if (a.next) setPlaying(false), enterFrame(frame + 1);
      else if (a.previous) setPlaying(false), enterFrame(Math.max(0, frame - 1));
      else if (a.goto !== undefined) enterFrame(a.goto), jumped = true;
      else if (a.label !== undefined && findLabel(a.label) >= 0)
        enterFrame(findLabel(a.label)), jumped = true;
      else if (a.url !== undefined) openLink(a.url, a.target);
    }
    if (jumped && nesting < maxNesting) runFrameActions(nesting + 1);
  };

  // One frame on: from the last back to the first, unless the page's loop
  // count is reached.
  const advance = () => {
    if (!playing) return;
    if (frame + 1 < frameCount) {
      enterFrame(frame + 1);
    } else if (frameCount > 1 && !(settings.loops && loopsDone + 1 >= settings.loops)) {
      ++loopsDone;
      enterFrame(0);
    } else {
      return setPlaying(false);
    }
    runFrameActions(0);
  };

  // --- buttons and the pointer ---

  const hitContext = newCanvas(1, 1).getContext("2d");

  const shapeContains = (shape, x, y) => shape.layers.some((layer) =>
    layer.fillPaths.some(([, path]) => hitContext.isPointInPath(pathOf(path), x, y, "nonzero")) ||
    layer.linePaths.some(([style, path]) => {
      hitContext.lineWidth = Math.max(20, layer.lines[style][0]);
      return hitContext.isPointInStroke(pathOf(path), x, y);
    }));

  const characterContains = (id, matrix, p) => {
    const c = characters[id], inverse = invert(matrix);
    if (!c || !inverse) return false;
    const x = inverse[0] * p[0] + inverse[2] * p[1] + inverse[4];
    const y = inverse[1] * p[0] + inverse[3] * p[1] + inverse[5];
    if (c.kind === "shape") return shapeContains(c, x, y);
    if (c.kind !== "text") return false;
    const t = invert(c.matrix), b = c.bounds;
    if (!t) return false;
    const tx = t[0] * x + t[2] * y + t[4], ty = t[1] * x + t[3] * y + t[5];
    return tx >= b[0] && tx <= b[2] && ty >= b[1] && ty <= b[3];
  };

  const buttonOf = (object) => {
    const c = object && characters[object.id];
    return c && c.kind === "button" ? c : null;
  };

  const buttonAt = (p) => {
    const depths = [...displayList.keys()].sort((a, b) => b - a);
    return depths.find((depth) => {
      const object = displayList.get(depth), button = buttonOf(object);
      return button && button.records.some((r) =>
        (r.states & bsHit) && characterContains(r.id, multiply(object.matrix, r.matrix), p));
    }) ?? null;
  };

  // Button sounds: OverUpToIdle, IdleToOverUp, OverUpToOverDown, OverDownToOverUp.
  const transitionSound = [1, 0, 2, 3];

  const setMouse = (depth, state, condition) => {
    const object = displayList.get(depth);
    if (!object || object.mouse === state) return;
    object.mouse = state;
    changed = true;
    const button = buttonOf(object);
    if (!button) return;
    const sound = condition < 4 ? button.sounds[transitionSound.indexOf(condition)] : null;
    if (sound) startSound(sound);
    let run = null;
    for (const c of button.actions) if (c.conditions & (1 << condition)) run = c.actions;
    if (run) runActions(run);
  };

  const pointerMove = (p) => {
    const hit = buttonAt(p);
    if (pressed !== null) {
      const inside = hit === pressed, object = displayList.get(pressed);
      if (object && inside && object.mouse === outDown) setMouse(pressed, overDown, 4);
      else if (object && !inside && object.mouse === overDown) setMouse(pressed, outDown, 5);
      over = inside ? pressed : null;
      return;
    }
    if (hit === over) return;
    if (over !== null) setMouse(over, idle, 1);
    over = hit;
    if (over !== null) setMouse(over, overUp, 0);
  };

  const pointerDown = (p) => {
    pointerMove(p);
    if (over === null) return;
    pressed = over;
    setMouse(pressed, overDown, 2);
  };

  const pointerUp = (p) => {
    pointerMove(p);
    // An ad opens its click tag wherever the movie has no button to answer.
    if (pressed === null && over === null && settings.click === "clickTag") openLink();
    if (pressed !== null) {
      const depth = pressed, object = displayList.get(depth);
      pressed = null;
      if (object && object.mouse === overDown) setMouse(depth, overUp, 3);
      else if (object && object.mouse === outDown) setMouse(depth, idle, 6);
    }
    over = null;
    pointerMove(p);
  };

  // --- links ---

  // With click tags the address is read when the viewer clicks: the ad
  // server may have set it after the page loaded. A button's own address is
  // a further exit, clickTag2, clickTag3... in the order of settings.exits.
  const openLink = (url, target) => {
    if (settings.click === "clickTag") {
      const exit = (settings.exits || []).indexOf(url);
      const tag = window[exit < 0 ? "clickTag" : "clickTag" + (exit + 2)];
      if (typeof tag === "string" && tag) return void window.open(tag, "_blank");
    }
    if (url) window.open(url, target || "_self");
  };

  // --- sound: only after the viewer's first interaction ---

  const playingSounds = new Map();  // sound id: audio elements
  const waitingSounds = [];
  let heard = false;

  const startSound = (start) => {
    const sound = characters[start.id];
    if (!settings.sound || !sound || sound.kind !== "sound") return;
    const playing = playingSounds.get(start.id) || [];
    if (start.stop) {
      playing.forEach((audio) => audio.pause());
      return void playingSounds.delete(start.id);
    }
    if (!heard) return void (start.noMultiple && waitingSounds.push(start));
    if (start.noMultiple && playing.length) return;
    const audio = new Audio(sound.audio);
    let loops = Math.max(1, start.loops);
    audio.addEventListener("ended", () => {
      if (--loops > 0) return void audio.play().catch(() => {});
      const left = (playingSounds.get(start.id) || []).filter((a) => a !== audio);
      playingSounds.set(start.id, left);
    });
    playingSounds.set(start.id, [...playing, audio]);
    audio.play().catch(() => {});
  };

  const firstInteraction = () => {
    if (heard) return;
    heard = true;
    waitingSounds.splice(0).forEach(startSound);
  };

  // --- the clock ---

  // Frames are due at origin + ticks * period: the schedule never drifts,
  // however late a timer fires. timer is 0 while none is waiting.
  let origin = 0, ticks = 0, timer = 0;

  // Ticks until the picture may change: the next frame with content, or
  // the loop back to the first.
  const ticksToNextChange = () => {
    for (let f = frame + 1; f < frameCount; ++f) if (contentByFrame.has(f)) return f - frame;
    return frameCount - frame;
  };

  const show = () => {
    if (changed) paint();
    changed = false;
    stage.dataset.frame = String(frame + 1);
  };

  const schedule = () => {
    if (!playing || timer) return;
    const due = origin + (ticks + ticksToNextChange()) * period;
    timer = setTimeout(tick, Math.max(0, due - performance.now()));
  };

  // Enters every frame due by now: one step, or more when the timer fired late.
  const tick = () => {
    timer = 0;
    do {
      const steps = ticksToNextChange();
      ticks += steps;
      for (let n = steps; playing && n > 0; --n) advance();
    } while (playing && origin + (ticks + ticksToNextChange()) * period <= performance.now());
    show();
    schedule();
  };

  function setPlaying(value) {
    if (value === playing) return;
    playing = value;
    if (playing) {
      origin = performance.now();
      ticks = 0;
    }
  }

  // --- start ---

  const pointOf = (event) => {
    const r = canvas.getBoundingClientRect();
    return [movie.stage[0] + ((event.clientX - r.left) / r.width) * (movie.stage[2] - movie.stage[0]),
      movie.stage[1] + ((event.clientY - r.top) / r.height) * (movie.stage[3] - movie.stage[1])];
  };

  const afterPointer = (handler) => (event) => {
    handler(pointOf(event));
    canvas.style.cursor = over !== null ? "pointer" : "";
    show();
    schedule();
  };

  // A new pixel ratio (zoom, another screen) sizes the canvas anew.
  const watchPixelRatio = () => {
    matchMedia(`(resolution: ${window.devicePixelRatio}dppx)`).addEventListener("change", () => {
      fitCanvas();
      changed = true;
      show();
      watchPixelRatio();
    }, { once: true });
  };

  const listen = () => {
    canvas.addEventListener("pointermove", afterPointer(pointerMove));
    canvas.addEventListener("pointerdown", (event) => {
      firstInteraction();
      afterPointer(pointerDown)(event);
    });
    canvas.addEventListener("pointerup", afterPointer(pointerUp));
    canvas.addEventListener("pointerleave", afterPointer(() => pointerMove([-1e9, -1e9])));
    document.addEventListener("keydown", firstInteraction);
    // The stage link: pointer clicks are the movie's to answer; Enter on the
    // focused stage opens the movie's link.
    stage.addEventListener("click", (event) => {
      event.preventDefault();
      if (event.detail === 0 && settings.link !== undefined) {
        firstInteraction();
        openLink(settings.link, settings.target);
      }
    });
    watchPixelRatio();
  };

  // #frame=N (1-based) shows frame N and holds it; so does a viewer who
  // asks for less motion, on the last frame.
  const heldFrame = () => {
    const match = /^#frame=(\d+)$/.exec(location.hash);
    if (match) return Math.max(1, Math.min(frameCount, +match[1])) - 1;
    if (matchMedia("(prefers-reduced-motion: reduce)").matches) return frameCount - 1;
    return -1;
  };

  const hold = (held) => {
    playing = false;
    clearTimeout(timer);
    timer = 0;
    showFrame(held);
    show();
  };

  const start = () => {
    fitCanvas();
    listen();
    addEventListener("hashchange", () => heldFrame() >= 0 && hold(heldFrame()));
    const held = heldFrame();
    if (held >= 0) return hold(held);
    enterFrame(0);
    runFrameActions(0);
    origin = performance.now();
    ticks = 0;
    show();
    schedule();
  };

  loadImages().then(start);
})();
