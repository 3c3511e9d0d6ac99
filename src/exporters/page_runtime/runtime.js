// The HTML5 page's player: reads the movie's data (docs/html5-page.md) and
// plays it on a canvas, drawing what our own player (src/player/renderer.cpp)
// draws and following its timeline (timeline.cpp). Frames are timed from
// performance.now; nothing runs between two frames that change the picture.
// The exporter settles all it can (display-list states, colours as CSS
// text), so this script only draws and times.
(() => {
  "use strict";

  const read = (id) => JSON.parse(document.getElementById(id).textContent);
  const movie = read("movie");
  const settings = read("settings");
  const stage = document.getElementById("stage");
  const canvas = stage.querySelector("canvas");
  // Opaque: every paint starts with the movie's background, and an opaque
  // canvas costs the compositor less at each new frame. (Not desynchronized:
  // that can show a half-drawn frame, or hide what the page puts above it.)
  const context = canvas.getContext("2d", { alpha: false });
  const characters = movie.characters;
  const frameCount = Math.max(1, movie.frames);
  const period = 1000 / (movie.rate > 0 ? movie.rate : 12);

  // Data matrices are [a, b, c, d, tx, ty] in SWF order, as DOMMatrix takes
  // them; each is made once and kept on its array.
  const matrix = (m) => m.m ||= new DOMMatrix(m);

  const transformed = (path, m, out = new Path2D()) => (out.addPath(path, m), out);

  // Paths (see the data format: base64 of LEB128 numbers, each point the
  // zigzag-coded step from the one before) are decoded on first use and kept.
  const paths = new Map();
  const pathOf = (text) => {
    let path = paths.get(text);
    if (path) return path;
    paths.set(text, (path = new Path2D()));
    const bytes = atob(text);
    let at = 0, x = 0, y = 0;
    const number = () => {
      let value = 0, scale = 1, b;
      do {
        b = bytes.charCodeAt(at++);
        value += (b & 127) * scale;
        scale *= 128;
      } while (b & 128);
      return value;
    };
    const unzig = (v) => (v % 2 ? ~v : v) / 2;  // ~v is -(v + 1)
    const point = (first) => [(x += unzig(first)), (y += unzig(number()))];
    while (at < bytes.length) {
      const header = number();
      path.moveTo(...point(number()));
      for (let segments = header >> 1; segments > 0; --segments) {
        const first = number();
        if (first % 2) path.quadraticCurveTo(...point((first - 1) / 2), ...point(number()));
        else path.lineTo(...point(first / 2));
      }
      if (header % 2) path.closePath();
    }
    return path;
  };

  // --- pictures ---

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
    g.drawImage(image, 1, 1);
    g.drawImage(image, 0, 0, 1, h, 0, 1, 1, h);
    g.drawImage(image, w - 1, 0, 1, h, w + 1, 1, 1, h);
    g.drawImage(c, 0, 1, w + 2, 1, 0, 0, w + 2, 1);
    g.drawImage(c, 0, h, w + 2, 1, 0, h + 1, w + 2, 1);
    return c;
  };

  // Each picture's fill patterns (plain and padded), made once.
  const patternOf = (bitmap, pad) => {
    const patterns = (bitmap.patterns ||= []);
    return patterns[pad] ||= context.createPattern(pad ? padded(bitmap.picture) : bitmap.picture,
      "repeat");
  };

  // --- drawing ---

  // Gradients and pictures are drawn in their own space: the path is taken
  // there through the inverse of the fill's matrix.
  const fillPath = (path, fill, world) => {
    let space = fill.matrix && matrix(fill.matrix), style;
    if (!space) {
      style = fill;
    } else if ("bitmap" in fill) {
      const bitmap = characters[fill.bitmap];
      if (!bitmap.picture.naturalWidth) return;
      style = patternOf(bitmap, +!fill.repeat);
      space = space.scale(...(bitmap.scale || [1, 1]));
      if (!fill.repeat) space = space.translate(-1, -1);
      // Shown at its own size and unturned: drawn texel for pixel, unsmoothed.
      const shown = world.multiply(space);
      context.imageSmoothingEnabled = fill.smooth &&
        !(!shown.b && !shown.c && Math.abs(shown.a - 1) < 1e-3 && Math.abs(shown.d - 1) < 1e-3);
    } else {
      style = fill.linear ? context.createLinearGradient(-16384, 0, 16384, 0)
        : context.createRadialGradient((fill.focus || 0) * 16384, 0, 0, 0, 0, 16384);
      for (const [ratio, color] of fill.linear || fill.radial) style.addColorStop(ratio / 255, color);
    }
    context.setTransform(world.multiply(space));
    context.fillStyle = style;
    context.fill(space ? transformed(path, space.inverse()) : path);
  };

  // Lines thinner than a pixel are drawn as hairlines, as players do.
  const strokePath = (path, width, color, world) => {
    const hairline = width * Math.sqrt(Math.abs(world.a * world.d - world.b * world.c)) < 1;
    context.strokeStyle = color;
    context.setTransform(hairline ? {} : world);
    context.lineWidth = hairline ? ratio : width;
    context.stroke(hairline ? transformed(path, world) : path);
  };

  // Each glyph is placed in the text's space once; a draw only fills them.
  const drawText = (text, world) => {
    context.setTransform(world.multiply(matrix(text.matrix)));
    for (const record of text.text) {
      const [font, color, left, y, scale, glyphs] = record;
      context.fillStyle = color;
      if (!record.paths) {
        record.paths = [];
        for (let i = 0, x = left; i < glyphs.length; x += glyphs[i + 1], i += 2)
          for (const path of characters[font].glyphs[glyphs[i]] || [])
            record.paths.push(transformed(pathOf(path), matrix([scale, 0, 0, scale, x, y])));
      }
      for (const path of record.paths) context.fill(path, "evenodd");
    }
  };

  // Up, over and down are button states 0, 1 and 2; the hit area is 3.
  const drawCharacter = (c, world, buttonState) => {
    if (c.shape) {
      for (const [path, style, color] of c.shape) {
        if (color) strokePath(pathOf(path), style, color, world);
        else fillPath(pathOf(path), style, world);
      }
    }
    if (c.text) drawText(c, world);
    if (c.states)
      for (const [id, m] of c.states[buttonState]) drawCharacter(characters[id], world.multiply(matrix(m)));
  };

  // Device pixels a CSS pixel; the stage in twips maps onto the canvas.
  let ratio = 1, twipsToDevice;

  const fitCanvas = () => {
    ratio = devicePixelRatio || 1;
    canvas.width = Math.round(movie.width * ratio);
    canvas.height = Math.round(movie.height * ratio);
    twipsToDevice = new DOMMatrix().scale(ratio / 20).translate(-movie.stage[0], -movie.stage[1]);
  };

  const paint = () => {
    context.setTransform({});
    context.fillStyle = movie.background;
    context.fillRect(0, 0, canvas.width, canvas.height);
    context.lineCap = context.lineJoin = "round";
    for (const [, object] of [...displayList].sort((a, b) => a[0] - b[0]))
      drawCharacter(characters[object.id], twipsToDevice.multiply(matrix(object.matrix)),
        [0, 1, 2, 1][object.mouse]);
  };

  // --- the timeline (as timeline.cpp) ---

  // The pointer and a button; paint shows them as up, over, down and over.
  const idle = 0, overUp = 1, overDown = 2, outDown = 3;
  const displayList = new Map();  // depth: placed object
  const contentByFrame = new Map(movie.timeline.map((f) => [f.frame, f]));
  let frame = -1, playing = true, over = null, pressed = null, changed = true, loopsDone = 0;

  // The same button placed again at the same depth keeps the pointer's state.
  const showFrame = (to) => {
    to = Math.min(to, frameCount - 1);
    const heldDepth = pressed ?? over;
    const held = displayList.get(heldDepth);
    let from = frame + 1;
    if (to <= frame) {
      displayList.clear();
      changed = true;
      from = 0;
    }
    for (const content of movie.timeline) {
      if (content.frame >= from && content.frame <= to) {
        for (const [depth, id, m] of content.ops || []) {
          if (m) displayList.set(depth, { id, matrix: m, mouse: idle });
          else displayList.delete(depth);
          changed = true;
        }
      }
    }
    frame = to;
    const again = displayList.get(heldDepth);
    if (again && held && again.id === held.id) again.mouse = held.mouse;
    else over = pressed = null;
  };

  const enterFrame = (to) => {
    showFrame(to);
    const content = contentByFrame.get(frame) || {};
    (content.sounds || []).forEach(startSound);
    runActions(content.actions);
  };

  // What a movie does: stop, or open an address.
  const runActions = (actions) => {
    for (const a of actions || []) {
      if (a.url === undefined) playing = false;
      else openLink(a.url, a.target);
    }
  };

  // One frame on: from the last back to the first, unless the page's loop
  // count is reached.
  const advance = () => {
    if (frame + 1 < frameCount) enterFrame(frame + 1);
    else if (frameCount > 1 && !(settings.loops && loopsDone + 1 >= settings.loops)) ++loopsDone, enterFrame(0);
    else playing = false;
  };

  // --- buttons and the pointer ---

  const hitContext = newCanvas(1, 1).getContext("2d");

  // The point in twips on the stage; the shape placed there by m.
  const shapeContains = (shape, m, p) => shape.some(([path, width, color]) => {
    hitContext.setTransform(m);
    if (!color) return hitContext.isPointInPath(pathOf(path), ...p);
    hitContext.lineWidth = Math.max(20, width);
    return hitContext.isPointInStroke(pathOf(path), ...p);
  });

  const buttonAt = (p) => [...displayList.keys()].sort((a, b) => b - a).find((depth) => {
    const object = displayList.get(depth), states = characters[object.id].states;
    return states && states[3].some(([id, m]) =>
      shapeContains(characters[id].shape, matrix(object.matrix).multiply(matrix(m)), p));
  }) ?? null;

  const setMouse = (depth, state, condition) => {
    const object = displayList.get(depth), button = object && characters[object.id];
    if (!object || object.mouse === state) return;
    object.mouse = state;
    changed = true;
    if (!button.states) return;
    // Sounds of OverUpToIdle, IdleToOverUp, OverUpToOverDown, OverDownToOverUp.
    const sound = button.sounds[[1, 0, 2, 3][condition]];
    if (sound) startSound(sound);
    runActions(button.actions.filter((c) => c.conditions & (1 << condition)).pop()?.actions);
  };

  const pointerMove = (p) => {
    const hit = buttonAt(p);
    if (pressed !== null) {
      const inside = hit === pressed, mouse = displayList.get(pressed)?.mouse;
      if (inside && mouse === outDown) setMouse(pressed, overDown, 4);
      else if (!inside && mouse === overDown) setMouse(pressed, outDown, 5);
      over = inside ? pressed : null;
    } else if (hit !== over) {
      if (over !== null) setMouse(over, idle, 1);
      over = hit;
      if (over !== null) setMouse(over, overUp, 0);
    }
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
      const depth = pressed, mouse = displayList.get(depth)?.mouse;
      pressed = null;
      if (mouse === overDown) setMouse(depth, overUp, 3);
      else if (mouse === outDown) setMouse(depth, idle, 6);
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
      const tag = window["clickTag" + (exit < 0 ? "" : exit + 2)];
      if (typeof tag === "string" && tag) return void open(tag, "_blank");
    }
    if (url) open(url, target || "_self");
  };

  // --- sound: only after the viewer's first interaction ---

  const playingSounds = [];  // by sound id: audio elements
  const waitingSounds = [];
  let heard = false;

  const startSound = (start) => {
    const audios = (playingSounds[start.id] || []).filter((audio) => !audio.paused);
    playingSounds[start.id] = audios;
    if (start.stop) return audios.forEach((audio) => audio.pause());
    if (!heard) return void (start.noMultiple && waitingSounds.push(start));
    if (start.noMultiple && audios.length) return;
    const audio = new Audio(characters[start.id].audio);
    let loops = start.loops;
    audio.onended = () => --loops > 0 && audio.play().catch(() => {});
    audios.push(audio);
    audio.play().catch(() => {});
  };

  const firstInteraction = () => {
    if (heard) return;
    heard = true;
    waitingSounds.forEach(startSound);
  };

  // --- the clock ---

  // Frames are due at origin + ticks * period: the schedule never drifts,
  // however late a timer fires. timer is 0 while none is waiting.
  let origin = 0, ticks = 0, timer = 0;

  // Ticks until the picture may change: the next frame with content, or
  // the loop back to the first.
  const ticksToNextChange = () => {
    let f = frame;
    while (++f < frameCount && !contentByFrame.has(f));
    return f - frame;
  };

  const show = () => {
    if (changed) paint();
    changed = false;
    stage.dataset.frame = frame + 1;
  };

  // Milliseconds until the next change is due; not above 0 when it is.
  const untilNextChange = () => origin + (ticks + ticksToNextChange()) * period - performance.now();

  const schedule = () => {
    if (playing && !timer) timer = setTimeout(tick, untilNextChange());
  };

  // Enters every frame due by now: one step, or more when the timer fired late.
  const tick = () => {
    timer = 0;
    do {
      const steps = ticksToNextChange();
      ticks += steps;
      for (let n = steps; playing && n > 0; --n) advance();
    } while (playing && untilNextChange() <= 0);
    show();
    schedule();
  };

  // --- start ---

  const afterPointer = (handler) => (event) => {
    const r = canvas.getBoundingClientRect(), s = movie.stage;
    handler([s[0] + ((event.clientX - r.left) / r.width) * (s[2] - s[0]),
      s[1] + ((event.clientY - r.top) / r.height) * (s[3] - s[1])]);
    canvas.style.cursor = over !== null ? "pointer" : "";
    show();
    schedule();
  };

  // A new pixel ratio (zoom, another screen) sizes the canvas anew.
  const watchPixelRatio = () => {
    matchMedia(`(resolution: ${ratio}dppx)`).addEventListener("change", () => {
      fitCanvas();
      changed = true;
      show();
      watchPixelRatio();
    }, { once: true });
  };

  // #frame=N (1-based) shows frame N and holds it; so does a viewer who
  // asks for less motion, on the last frame.
  const hold = () => {
    const match = /^#frame=(\d+)$/.exec(location.hash);
    const held = match ? Math.max(1, Math.min(frameCount, +match[1]))
      : matchMedia("(prefers-reduced-motion: reduce)").matches && frameCount;
    if (!held) return;
    playing = false;
    clearTimeout(timer);
    showFrame(held - 1);
    show();
    return true;
  };

  const start = () => {
    fitCanvas();
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
    addEventListener("hashchange", hold);
    if (hold()) return;
    // Every frame is drawn once before the clock starts, so that none is
    // late the first time for decoding its paths or making its styles.
    for (const content of movie.timeline) showFrame(content.frame), paint();
    enterFrame(0);
    show();
    origin = performance.now();
    schedule();
  };

  Promise.all(Object.values(characters).filter((c) => c.image).map((c) => {
    (c.picture = new Image()).src = c.image;
    return c.picture.decode().catch(() => {});
  })).then(start);
})();
