// The live feed in the browser: follows /ws (reconnecting whenever the
// program restarts) and draws LED displays the way the board does.
"use strict";

const Feed = (() => {
  const isObject = (v) => v !== null && typeof v === "object" && !Array.isArray(v);

  // Merges what changed into the state held (docs/live-feed.md): objects
  // field by field, a list of named objects by name, anything else whole.
  function merge(state, change) {
    for (const [key, value] of Object.entries(change)) {
      const was = state[key];
      if (value === null) {
        delete state[key];
      } else if (isObject(value) && Array.isArray(was)) {
        for (const [name, part] of Object.entries(value)) {
          const entry = was.find((e) => isObject(e) && e.name === name);
          if (entry) merge(entry, part);
        }
      } else if (isObject(value) && isObject(was)) {
        merge(was, value);
      } else {
        state[key] = value;
      }
    }
  }

  // The board's clocks run here as the board runs them: a running keeper's
  // time is its ticks at the bout's moment less the time since, on the
  // program's clock. Every keep-alive says what that clock reads; the least
  // delayed of the last 20 readings sets the page's reckoning of it.
  const KEEPERS = {
    tledPeriod: "period", tledJam: "jam",
    tledHomePenalty1: "homePenalty1", tledHomePenalty2: "homePenalty2",
    tledVisitorPenalty1: "visitorPenalty1", tledVisitorPenalty2: "visitorPenalty2",
  };
  const PENALTIES = ["homePenalty1", "homePenalty2", "visitorPenalty1", "visitorPenalty2"];
  const TICKS = 10000; // a second
  const lags = [];
  let lag = null; // the page's clock less the program's, ms

  function heardClock(ns) {
    if (typeof ns !== "number") return;
    lags.push(performance.now() - ns / 1e6);
    if (lags.length > 20) lags.shift();
    lag = Math.min(...lags);
  }

  // What a clock shows in whole seconds: the time plus 0.4999 s, rounded
  // half to even, as the board rounds it.
  function displaySeconds(ticks) {
    const n = ticks + 4999;
    const q = Math.floor(n / TICKS);
    const r = n - q * TICKS;
    return r > TICKS / 2 || (r === TICKS / 2 && q % 2 === 1) ? q + 1 : q;
  }

  // A number right-aligned in `width` positions, zero-padded or with blanks.
  const digitsIn = (value, width, zeroPad) =>
    String(value).padStart(width, zeroPad ? "0" : " ");

  // A clock's cells for `digits` digit positions: minutes and seconds, or
  // seconds and tenths; a time beyond them shows the largest they can.
  function clockCells(ticks, digits, tenths) {
    if (!tenths) return minutesCells(displaySeconds(ticks), digits);
    return cellsOf(Math.floor(ticks / TICKS), Math.floor((ticks % TICKS) / 1000), digits, true);
  }

  // Whole seconds as minutes and seconds in `digits` digit positions.
  const minutesCells = (seconds, digits) =>
    cellsOf(Math.floor(seconds / 60), seconds % 60, digits, false);

  function cellsOf(high, low, digits, tenths) {
    const lower = tenths ? 1 : 2;
    const width = Math.max(1, digits - lower);
    if (high > 10 ** width - 1) {
      high = 10 ** width - 1;
      low = tenths ? 9 : 59;
    }
    return digitsIn(high, width, false) + (tenths ? "." : ":") + digitsIn(low, lower, true);
  }

  // The program's clock now, in ns, as this page reckons it.
  const programNs = () => (performance.now() - lag) * 1e6;

  // With the bout run by the clock, the time between jams has a clock of its
  // own: the lineup's and the timeouts' in the jam clock's place, the
  // intermission's in the period clock's (unless that shows the time of
  // day). Its time at a moment is its ticks at clockAtNs, counted down for a
  // team timeout and the intermission, up otherwise. Shown in whole seconds
  // as the board shows them: counting down, a second until all of it has
  // gone; counting up, once all of it has. Null where it is not shown.
  const BETWEEN_JAMS = ["lineup", "timeout", "official timeout", "review", "overtime"];
  const COUNTING_DOWN = ["timeout", "halftime"];
  const MOST_BETWEEN_JAMS = 5999 * TICKS; // 99:59
  function phaseSeconds(s, displayName) {
    const p = s.phase && s.bout && s.bout.rules && s.bout.rules.phase;
    if (!p || !p.clockRunning || lag === null) return null;
    const here = displayName === "tledJam" ? BETWEEN_JAMS.includes(p.phase)
      : displayName === "tledPeriod" && p.phase === "halftime" && !s.period.timeOfDay;
    if (!here) return null;
    const passed = Math.floor(Math.max(0, programNs() - p.clockAtNs) / 1e5);
    if (COUNTING_DOWN.includes(p.phase))
      return Math.ceil(Math.max(0, p.clockTicks - passed) / TICKS);
    return Math.floor(Math.min(MOST_BETWEEN_JAMS, p.clockTicks + passed) / TICKS);
  }

  // How many digits a display has.
  const digitCount = (cells) => Array.from(cells).filter((c) => !":.|".includes(c)).length;

  // What a display shows now: a running clock run on from the bout, a
  // clock between jams from the bout's phase (in minutes and seconds
  // throughout), any other as the program sent it.
  function shownCells(s, d) {
    const between = phaseSeconds(s, d.name);
    if (between !== null) return minutesCells(between, digitCount(d.cells));
    const name = KEEPERS[d.name];
    const keeper = name && s.bout && s.bout.keepers && s.bout.keepers[name];
    if (!keeper || !keeper.running || lag === null) return d.cells;
    if (name === "period" && s.period.timeOfDay) return d.cells;
    const penalty = PENALTIES.indexOf(name);
    if (penalty >= 0 && s.bout.penaltyBlank[penalty]) return d.cells;
    const since = Math.floor((programNs() - s.bout.monotonicNs) / 1e5);
    const ticks = Math.max(0, keeper.ticks - Math.max(0, since));
    // Tenths in the period's last minute, as on the board.
    return clockCells(ticks, digitCount(d.cells), name === "period" && ticks <= 599000);
  }

  // A clock display's text now ("12:31", "59.4"), or `otherwise` without it.
  function clockText(s, name, otherwise) {
    const d = (s.layout.displays || []).find((x) => x.name === name);
    return d ? shownCells(s, d).replace(/\|/g, " ").trim() : otherwise;
  }

  // Follows the feed; calls show(state) with every new state, and
  // connected(false) when the program has gone quiet (nothing heard for 3 s:
  // it sends a keep-alive every second) or its socket closed, connected(true)
  // when it is heard again. A frozen clock is never shown as live. The first
  // message on a socket is the whole state; every later one holds what
  // changed, merged into it.
  function follow(show, connected) {
    let state = null;
    let heard = 0;
    let live = false;
    const say = (now) => {
      if (now !== live) {
        live = now;
        if (connected) connected(now);
      }
    };
    const take = (message) => {
      if (!message || typeof message.seq !== "number") return;
      heard = Date.now();
      say(true);
      if (Object.keys(message).every((k) => k === "seq" || k === "monotonicNs")) {
        heardClock(message.monotonicNs); // a keep-alive
        return;
      }
      if (state === null) {
        if (!message.colors) return;
        state = message;
      } else if (message.seq === state.seq + 1) {
        // Read before it was sent: a later reckoning, which the least
        // delayed readings put right.
        if (message.bout) heardClock(message.bout.monotonicNs);
        merge(state, message);
      } else {
        throw new Error("a change was missed");
      }
      show(state);
    };
    if (connected) connected(false);
    setInterval(() => {
      if (Date.now() - heard > 3000) say(false);
    }, 500);
    const open = () => {
      const scheme = location.protocol === "https:" ? "wss://" : "ws://";
      const ws = new WebSocket(scheme + location.host + "/ws");
      ws.onmessage = (e) => {
        try {
          take(JSON.parse(e.data));
        } catch (err) {
          // A broken message, or one that does not follow the state held:
          // start again from the whole state.
          ws.close();
        }
      };
      // The program restarted or the network blinked: try again, and take
      // whatever it shows then (its numbering starts again).
      ws.onclose = () => {
        state = null;
        heard = 0;
        lags.length = 0; // another run of the program reads another clock
        lag = null;
        say(false);
        setTimeout(open, 1000);
      };
    };
    open();
  }

  // Seven segments in a cell of width 1 and height 2: a top, b top right,
  // c bottom right, d bottom, e bottom left, f top left, g middle.
  const SEGMENTS = {
    "0": "abcdef", "1": "bc", "2": "abdeg", "3": "abcdg", "4": "bcfg",
    "5": "acdfg", "6": "acdefg", "7": "abc", "8": "abcdefg", "9": "abcdfg",
    "-": "g", " ": "",
  };
  // Five by seven dots per digit, a row a string.
  const DOTS = {
    "0": ["01110", "10001", "10011", "10101", "11001", "10001", "01110"],
    "1": ["00100", "01100", "00100", "00100", "00100", "00100", "01110"],
    "2": ["01110", "10001", "00001", "00010", "00100", "01000", "11111"],
    "3": ["11111", "00010", "00100", "00010", "00001", "10001", "01110"],
    "4": ["00010", "00110", "01010", "10010", "11111", "00010", "00010"],
    "5": ["11111", "10000", "11110", "00001", "00001", "10001", "01110"],
    "6": ["00110", "01000", "10000", "11110", "10001", "10001", "01110"],
    "7": ["11111", "00001", "00010", "00100", "01000", "01000", "01000"],
    "8": ["01110", "10001", "10001", "01110", "10001", "10001", "01110"],
    "9": ["01110", "10001", "10001", "01111", "00001", "00010", "01100"],
    "-": ["00000", "00000", "00000", "11111", "00000", "00000", "00000"],
    " ": ["00000", "00000", "00000", "00000", "00000", "00000", "00000"],
  };
  const SEPARATOR_WIDTH = 0.4; // of a digit's width

  // The unlit parts: the lit colour faded into the background.
  function dim(lit, back) {
    const p = (c, i) => parseInt(c.substr(1 + 2 * i, 2), 16);
    const mix = (i) => Math.round(p(lit, i) * 0.16 + p(back, i) * 0.84);
    return "rgb(" + mix(0) + "," + mix(1) + "," + mix(2) + ")";
  }

  // One segment as a six-sided bar between two points, thickness t.
  function bar(ctx, x1, y1, x2, y2, t) {
    const h = t / 2;
    ctx.beginPath();
    if (y1 === y2) {
      ctx.moveTo(x1, y1);
      ctx.lineTo(x1 + h, y1 - h);
      ctx.lineTo(x2 - h, y1 - h);
      ctx.lineTo(x2, y1);
      ctx.lineTo(x2 - h, y1 + h);
      ctx.lineTo(x1 + h, y1 + h);
    } else {
      ctx.moveTo(x1, y1);
      ctx.lineTo(x1 + h, y1 + h);
      ctx.lineTo(x1 + h, y2 - h);
      ctx.lineTo(x1, y2);
      ctx.lineTo(x1 - h, y2 - h);
      ctx.lineTo(x1 - h, y1 + h);
    }
    ctx.closePath();
  }

  function segmentPath(ctx, seg, x, y, w, h, t) {
    const g = t * 0.15; // the gap between neighbouring segments
    const l = x + t / 2, r = x + w - t / 2;
    const top = y + t / 2, mid = y + h / 2, bottom = y + h - t / 2;
    const ends = {
      a: [l + g, top, r - g, top],
      g: [l + g, mid, r - g, mid],
      d: [l + g, bottom, r - g, bottom],
      f: [l, top + g, l, mid - g],
      b: [r, top + g, r, mid - g],
      e: [l, mid + g, l, bottom - g],
      c: [r, mid + g, r, bottom - g],
    }[seg];
    bar(ctx, ends[0], ends[1], ends[2], ends[3], t);
  }

  // Draws what a display shows into its canvas: digits, " " for an unlit
  // digit, ":" and "." lit separators, "|" an unlit one ("10:00", " 59.9").
  function drawLed(canvas, cells, lit, back, dots) {
    const ratio = window.devicePixelRatio || 1;
    const W = Math.max(1, Math.round(canvas.clientWidth * ratio));
    const H = Math.max(1, Math.round(canvas.clientHeight * ratio));
    if (canvas.width !== W || canvas.height !== H) {
      canvas.width = W;
      canvas.height = H;
    }
    const ctx = canvas.getContext("2d");
    ctx.fillStyle = back;
    ctx.fillRect(0, 0, W, H);
    const unlit = dim(lit, back);
    const chars = Array.from(cells);
    const separator = (c) => c === ":" || c === "." || c === "|";
    const units = chars.reduce((n, c) => n + (separator(c) ? SEPARATOR_WIDTH : 1), 0);
    const pad = H * 0.12;
    const digitH = H - 2 * pad;
    const digitW = Math.min(digitH * 0.58, (W - 2 * pad) / Math.max(units, 1) * 0.8);
    const gap = digitW * 0.25;
    const total = units * digitW + (chars.length - 1) * gap;
    let x = (W - total) / 2;
    for (const c of chars) {
      if (c === ":" || c === "." || c === "|") {
        const r = Math.max(1, digitW * 0.09);
        const cx = x + (digitW * SEPARATOR_WIDTH) / 2;
        ctx.fillStyle = c === "|" ? unlit : lit;
        const dotsAt = c === "." ? [pad + digitH - r] : [pad + digitH * 0.3, pad + digitH * 0.7];
        for (const cy of dotsAt) {
          ctx.beginPath();
          ctx.arc(cx, cy, r, 0, 2 * Math.PI);
          ctx.fill();
        }
        x += digitW * SEPARATOR_WIDTH + gap;
        continue;
      }
      if (dots) {
        const rows = DOTS[c] || DOTS[" "];
        const step = Math.min(digitW / 5, digitH / 7);
        const r = step * 0.38;
        const ox = x + (digitW - step * 5) / 2;
        const oy = pad + (digitH - step * 7) / 2;
        for (let row = 0; row < 7; row++) {
          for (let col = 0; col < 5; col++) {
            ctx.fillStyle = rows[row][col] === "1" ? lit : unlit;
            ctx.beginPath();
            ctx.arc(ox + (col + 0.5) * step, oy + (row + 0.5) * step, r, 0, 2 * Math.PI);
            ctx.fill();
          }
        }
      } else {
        const on = SEGMENTS[c] !== undefined ? SEGMENTS[c] : "";
        const t = digitW * 0.17;
        for (const seg of "abcdefg") {
          ctx.fillStyle = on.includes(seg) ? lit : unlit;
          segmentPath(ctx, seg, x, pad, digitW, digitH, t);
          ctx.fill();
        }
      }
      x += digitW + gap;
    }
  }

  // A team's timeouts as dots in el, then half a place on one for its
  // official review: filled while left, a ring once taken. A row, or a
  // column from the top when el is taller than wide; each dot as wide as
  // el's shorter side allows. Nothing here sets visibility, so a hidden
  // parent hides them all.
  function drawDots(el, count, left, reviewLeft, color) {
    const on = [];
    for (let i = 0; i < count; ++i) on.push(i < left);
    on.push(null, reviewLeft);
    while (el.children.length < on.length) el.appendChild(document.createElement("span"));
    while (el.children.length > on.length) el.lastChild.remove();
    const down = el.clientHeight > el.clientWidth;
    el.style.flexDirection = down ? "column" : "row";
    el.style.justifyContent = down ? "flex-start" : "center";
    const along = down ? el.clientHeight : el.clientWidth;
    const across = down ? el.clientWidth : el.clientHeight;
    const step = Math.min(along / (count + 1.5), across * 1.2);
    const dot = Math.min(across * 0.95, step * 0.8);
    const ring = Math.max(1, dot * 0.12);
    on.forEach((o, i) => {
      const d = el.children[i];
      const size = o === null ? 0 : dot;
      const margin = o === null ? step / 4 : (step - dot) / 2;
      d.style.display = "block";
      d.style.flex = "none";
      d.style.boxSizing = "border-box";
      d.style.width = d.style.height = size + "px";
      d.style.margin = down ? margin + "px 0" : "0 " + margin + "px";
      d.style.borderRadius = "50%";
      d.style.background = o ? color : "transparent";
      d.style.border = o === false ? ring + "px solid " + color : "none";
    });
  }

  // Shrinks el's font from its own size (px, or the style sheet's) until
  // its text fits el's width on one line.
  function fitText(el, px) {
    el.style.fontSize = px ? px + "px" : "";
    const style = getComputedStyle(el);
    const size = parseFloat(style.fontSize);
    const room = el.clientWidth - parseFloat(style.paddingLeft) - parseFloat(style.paddingRight);
    const range = document.createRange();
    range.selectNodeContents(el);
    const wide = range.getBoundingClientRect().width;
    if (wide > room && room > 0) el.style.fontSize = Math.max(1, Math.floor(size * room / wide)) + "px";
  }

  return { follow, drawLed, drawDots, fitText, shownCells, clockText, clockCells, KEEPERS };
})();
