#include "page.h"

const char PAGE_STYLE[] = R"CSS(
body { font: 14px/1.4 system-ui, sans-serif; margin: 0 24px 40px; color: #1d2330; background: #fff; }
h1 { font-size: 22px; margin: 16px 0 8px; } h1 small { font-weight: normal; color: #667; font-size: 14px; }
h2 { font-size: 17px; margin: 24px 0 6px; }
dl.facts { display: grid; grid-template-columns: max-content 1fr; gap: 2px 16px; margin: 0; }
dl.facts dt { color: #667; } dl.facts dd { margin: 0; } dl.facts ul { margin: 2px 0; padding-left: 18px; }
.toolbar { display: flex; gap: 6px; align-items: center; margin: 4px 0; }
.toolbar span { color: #667; margin-left: 8px; }
.note { background: #fff6d8; border-left: 3px solid #e0b000; padding: 4px 8px; margin: 4px 0; }
.scroller { overflow-x: hidden; border: 1px solid #d7dce5; }
#timeline { display: block; cursor: grab; user-select: none; }
#timeline.dragging { cursor: grabbing; }
.axis line { stroke: #e3e7ee; } .axis text { font-size: 11px; fill: #556; text-anchor: middle; }
.axis text.unit { text-anchor: end; font-weight: bold; }
.lane .band { fill: #f6f8fb; } .lane:nth-of-type(even) .band { fill: #eef2f7; }
.lane-name { font-weight: bold; font-size: 13px; } .lane-source { font-size: 11px; fill: #667; }
.m { stroke: none; } .m:hover { stroke: #000; stroke-width: 1px; }
.m.item { fill: #a9c1e3; } .m.step { fill: #8a8fa0; } .m.step.passed { fill: #3f9b57; } .m.step.failed { fill: #e8413c; }
.m.step.inconclusive { fill: #e3a21a; } .m.verdict.dt { fill: #6b7f99; } .m.verdict.xe { fill: #8c5a2b; }
.m.activity { fill: #7b5ea7; } .m.activity.ev { fill: #23968a; } .m.activity.sn { fill: #c9a227; } .m.activity.da { fill: #b0506b; }
.m.rendezvous { fill: #222; } .m.error { fill: #7a0019; } .m.focus { stroke: #000; stroke-width: 2px; }
.name { font-size: 10px; fill: #fff; pointer-events: none; }
.density { fill: #5a6f8f; }
.rdv { fill: none; stroke: #222; stroke-width: 1px; stroke-dasharray: 3 2; }
.legend { color: #556; font-size: 12px; } .legend .entry { margin-right: 12px; white-space: nowrap; }
.legend svg.key { vertical-align: middle; margin-right: 4px; }
.failures-only svg.timeline .m:not(.failed):not(.error), .failures-only .density, .failures-only .rdv { opacity: 0.15; }
.banner { border: 1px solid #d7dce5; border-left: 6px solid #3f9b57; padding: 6px 12px; margin: 8px 0 12px; }
.banner[data-verdict=failed] { border-left-color: #e8413c; } .banner[data-verdict=inconclusive] { border-left-color: #e3a21a; }
.banner[data-verdict=unknown], .banner[data-verdict="no test step"] { border-left-color: #8a8fa0; }
.banner h2 { margin: 4px 0; } .banner h3 { font-size: 14px; margin: 8px 0 2px; }
.count { border-radius: 3px; padding: 0 4px; } .count.passed { background: #d5ebd5; } .count.failed { background: #f4c7c7; }
.count.inconclusive { background: #f8e2b0; } .count.unknown { background: #e4d7f0; }
ul.list { margin: 2px 0; padding-left: 18px; } details { margin: 0 0 4px 18px; } summary { cursor: pointer; color: #445; }
.filter { display: flex; gap: 12px; align-items: center; margin: 6px 0; } .filter .shown { color: #667; }
tr:target { outline: 2px solid #1d2330; }
table { border-collapse: collapse; font-size: 13px; } th, td { border: 1px solid #d7dce5; padding: 3px 8px; text-align: left; }
th { background: #eef2f7; } td.na { color: #a33; } td.warn { color: #a33; font-weight: bold; }
td.d1 { padding-left: 24px; } td.d2 { padding-left: 40px; } td.d3, td.d4 { padding-left: 56px; }
td.passed { background: #e6f3e6; } td.failed { background: #f4c7c7; } td.inconclusive { background: #f8e2b0; }
td.unknown { background: #ece4f3; }
.hover { position: fixed; max-width: 720px; background: #1d2330; color: #fff; font: 12px/1.35 ui-monospace, monospace;
  padding: 4px 6px; border-radius: 3px; pointer-events: none; white-space: pre-wrap; word-break: break-all; z-index: 1; }
)CSS";

// Positions everything on the time axis of each timeline from the data-t
// (start) and data-e (end) attributes; the report text itself is never read
// back as markup. A timeline's view, the span of time it shows, is kept in
// its data-view attribute, and set from elsewhere with its show().
const char PAGE_SCRIPT[] = R"JS(
(function () {
  "use strict";
  var NS = "http://www.w3.org/2000/svg";
  var hover = document.querySelector("div.hover");
  var timelines = [];

  function pad(n, width) { var text = String(n); while (text.length < width) text = "0" + text; return text; }
  // Merged ticks as h:mm:ss and `digits` of the second, from the common base's zero.
  function clockText(t, tickNs, digits) {
    var ns = Math.round(t * tickNs), sign = ns < 0 ? "\u2212" : "";
    ns = Math.abs(ns);
    var s = Math.floor(ns / 1e9), text = sign + Math.floor(s / 3600) + ":" + pad(Math.floor(s / 60) % 60, 2) + ":" + pad(s % 60, 2);
    return digits ? text + "." + pad(Math.floor((ns - s * 1e9) / Math.pow(10, 9 - digits)), digits) : text;
  }
  function fractionDigits(ns) { return ns % 1e9 === 0 ? 0 : ns % 1e6 === 0 ? 3 : ns % 1e3 === 0 ? 6 : 9; }
  // Steps of the axis: 1, 2, 5 times a power of ten below the second, then
  // seconds, minutes and hours as a clock counts them.
  var CLOCK_STEPS = [1, 2, 5, 10, 15, 30, 60, 120, 300, 600, 900, 1800, 3600, 7200, 10800, 21600, 43200, 86400];
  function niceStep(raw, tickNs) {
    if (tickNs && raw * tickNs >= 1e9) {
      for (var k = 0; k < CLOCK_STEPS.length; ++k) if (CLOCK_STEPS[k] * 1e9 >= raw * tickNs) return CLOCK_STEPS[k] * 1e9 / tickNs;
    }
    var unit = tickNs ? tickNs : 1, power = Math.pow(10, Math.floor(Math.log10(raw * unit))), m = raw * unit / power;
    return Math.max(1, (m < 1.5 ? 1 : m < 3.5 ? 2 : m < 7.5 ? 5 : 10) * power / unit);
  }

  var PAD_RIGHT = 12; // pixels kept free right of the plot
  function timed(svg, selector) {
    return Array.prototype.map.call(svg.querySelectorAll(selector), function (el) {
      return { el: el, t: +el.dataset.t, e: el.dataset.e ? +el.dataset.e : +el.dataset.t };
    });
  }
  // A timeline's span with a margin either side, the view it shows, and its
  // timed marks, read once: a render only writes.
  function timelineOf(svg) {
    var margin = (+svg.dataset.last - +svg.dataset.first) / 50;
    var first = +svg.dataset.first - margin, last = +svg.dataset.last + margin;
    return {
      svg: svg, tickNs: +svg.dataset.tickNs, digits: +svg.dataset.digits, left: +svg.dataset.left,
      first: first, last: last, view: [first, last], width: 0,
      rects: timed(svg, "rect[data-t]"), names: timed(svg, "text[data-t]"),
      links: Array.prototype.map.call(svg.querySelectorAll("polyline[data-t]"), function (el) {
        return { el: el, t: el.dataset.t.split(" ").map(Number), y: el.dataset.y.split(" ") };
      }),
      bands: Array.prototype.map.call(svg.querySelectorAll("path[data-bin]"), function (el) {
        return { el: el, t: +el.dataset.t, bin: +el.dataset.bin };
      }),
      axis: svg.querySelector("g.axis"), clips: svg.querySelectorAll("clipPath rect")
    };
  }
  function clockOf(timeline, t, shown) {
    return clockText(t, timeline.tickNs, shown === undefined ? timeline.digits : Math.min(shown, timeline.digits));
  }
  function scaleOf(timeline) {
    return (timeline.width - timeline.left - PAD_RIGHT) / (timeline.view[1] - timeline.view[0]);
  }
  function xOf(timeline, t) { return timeline.left + (t - timeline.view[0]) * scaleOf(timeline); }
  function add(parent, name, attributes, text) {
    var el = document.createElementNS(NS, name);
    for (var key in attributes) el.setAttribute(key, attributes[key]);
    if (text !== undefined) el.textContent = text;
    parent.appendChild(el);
  }
  function drawAxis(timeline) {
    var axis = timeline.axis, view = timeline.view, left = timeline.left, tickNs = timeline.tickNs;
    while (axis.firstChild) axis.removeChild(axis.firstChild);
    var span = view[1] - view[0], raw = span / Math.max(2, (timeline.width - left) / 110);
    var step = niceStep(raw, tickNs), digits = tickNs ? fractionDigits(step * tickNs) : 0;
    var bottom = timeline.svg.getAttribute("height");
    for (var t = Math.ceil(view[0] / step) * step; t <= view[1]; t += step) {
      var px = xOf(timeline, t).toFixed(1);
      add(axis, "line", { x1: px, x2: px, y1: 18, y2: bottom });
      add(axis, "text", { x: px, y: 13 }, tickNs ? clockOf(timeline, t, digits)
        : (Math.round(t) || 0).toLocaleString("en-US").replace(/,/g, "\u202f"));
    }
    add(axis, "text", { "class": "unit", x: left - 8, y: 13 }, tickNs ? "h:mm:ss" : timeline.svg.dataset.unit);
  }
  function placeMarks(timeline) {
    var s = scaleOf(timeline);
    function x(t) { return xOf(timeline, t); }
    timeline.rects.forEach(function (r) {
      var w = Math.max((r.e - r.t) * s, r.el.classList.contains("error") ? 3 : 2);
      r.el.setAttribute("x", (r.e > r.t ? x(r.t) : x(r.t) - w / 2).toFixed(1));
      r.el.setAttribute("width", w.toFixed(1));
    });
    timeline.names.forEach(function (n) {
      var w = (n.e - n.t) * s;
      n.el.setAttribute("x", (x(n.t) + 3).toFixed(1));
      n.el.style.display = w > 7 * n.el.textContent.length ? "" : "none";
    });
    timeline.links.forEach(function (l) {
      l.el.setAttribute("points", l.t.map(function (t, i) { return x(t).toFixed(1) + "," + l.y[i]; }).join(" "));
    });
    timeline.bands.forEach(function (b) {
      b.el.setAttribute("transform", "translate(" + x(b.t).toFixed(2) + ",0) scale(" + (b.bin * s) + ",1)");
    });
  }
  function render(timeline) {
    var svg = timeline.svg, left = timeline.left, width = Math.max(left + 200, svg.parentNode.clientWidth);
    timeline.width = width;
    svg.setAttribute("width", width);
    svg.dataset.view = timeline.view[0] + " " + timeline.view[1];
    Array.prototype.forEach.call(timeline.clips, function (c) { c.setAttribute("width", width - left - PAD_RIGHT + 1); });
    placeMarks(timeline);
    drawAxis(timeline);
    Array.prototype.forEach.call(svg.querySelectorAll("g.lane"), function (lane) {
      var box = lane.querySelector(".band").getBoundingClientRect();
      lane.setAttribute("data-plot", [Math.round(box.left + left + window.scrollX), Math.round(box.top + window.scrollY),
        Math.round(box.width - left - PAD_RIGHT), Math.round(box.height)].join(" "));
    });
  }
  function show(timeline, from, to) { timeline.view = [from, to]; render(timeline); }
  function zoom(timeline, factor, at) {
    var view = timeline.view, span = Math.min((view[1] - view[0]) * factor, timeline.last - timeline.first);
    span = Math.max(span, 10);
    var ratio = (at - view[0]) / (view[1] - view[0]);
    show(timeline, at - ratio * span, at - ratio * span + span);
  }
  // The wheel zooms about the time under the pointer; a drag pans.
  function wireZoomAndPan(timeline) {
    var svg = timeline.svg, drag = null;
    svg.addEventListener("wheel", function (ev) {
      ev.preventDefault();
      var view = timeline.view, at = view[0] + (ev.offsetX - timeline.left) / scaleOf(timeline);
      zoom(timeline, Math.exp(ev.deltaY * 0.002), Math.min(Math.max(at, view[0]), view[1]));
    }, { passive: false });
    svg.addEventListener("pointerdown", function (ev) {
      drag = { x: ev.clientX, view: timeline.view.slice() };
      svg.setPointerCapture(ev.pointerId);
      svg.classList.add("dragging");
    });
    svg.addEventListener("pointermove", function (ev) {
      if (!drag) return;
      var moved = (ev.clientX - drag.x) / scaleOf(timeline);
      show(timeline, drag.view[0] - moved, drag.view[1] - moved);
    });
    svg.addEventListener("pointerup", function () { drag = null; svg.classList.remove("dragging"); });
  }
  function wireZoomButtons(timeline) {
    timeline.svg.closest("section").querySelectorAll("button[data-zoom]").forEach(function (b) {
      b.addEventListener("click", function () {
        var middle = (timeline.view[0] + timeline.view[1]) / 2;
        if (b.dataset.zoom === "fit") show(timeline, timeline.first, timeline.last);
        else zoom(timeline, b.dataset.zoom === "in" ? 0.5 : 2, middle);
      });
    });
  }
  // A twentieth of the run about the mark, but never wider than the view
  // shown: a view zoomed into stays as close.
  function focus(timeline, target) {
    var view = timeline.view, t = +target.dataset.t;
    var span = Math.min(view[1] - view[0], Math.max(20, (timeline.last - timeline.first) / 20));
    show(timeline, t - span / 2, t + span / 2);
    Array.prototype.forEach.call(timeline.svg.querySelectorAll(".focus"), function (el) { el.classList.remove("focus"); });
    target.classList.add("focus");
    timeline.svg.scrollIntoView({ block: "center" });
  }
  function setup(svg) {
    var timeline = timelineOf(svg);
    svg.clock = function (t, shown) { return clockOf(timeline, t, shown); };
    wireZoomAndPan(timeline);
    wireZoomButtons(timeline);
    svg.show = function (from, to) { show(timeline, from, to); };
    timelines.push({
      svg: svg, render: function () { render(timeline); }, focus: function (target) { focus(timeline, target); }
    });
    render(timeline);
  }

  // Rows of a tester, of a status (in any tester, or in the one chosen),
  // whose name holds a text, and failed with "failures only"; the first
  // few of them are shown, or all on asking.
  function filterTable(filter) {
    var few = +filter.dataset.shown;
    var rows = document.getElementById(filter.dataset.table).tBodies[0].rows;
    var tester = filter.querySelector("select.tester"), status = filter.querySelector("select.status");
    var name = filter.querySelector("input.name"), shown = filter.querySelector(".shown"), all = false;
    function matches(row) {
      var text = name.value.toLowerCase();
      if (document.body.classList.contains("failures-only") && !row.classList.contains("failed")) return false;
      if (text && row.cells[0].textContent.toLowerCase().indexOf(text) < 0) return false;
      if (tester.value === "" && !status.value) return true;
      var from = tester.value === "" ? 2 : 2 + +tester.value, to = tester.value === "" ? row.cells.length : from + 1;
      for (var c = from; c < to && c < row.cells.length; ++c) {
        var cell = row.cells[c];
        if (status.value ? cell.classList.contains(status.value) : cell.hasAttribute("data-report")) return true;
      }
      return false;
    }
    function tell(matching, showing) {
      shown.textContent = matching + " of " + rows.length + " rows" + (showing < matching ? ", the first " + showing + " shown" : "");
      shown.dataset.count = matching;
    }
    function apply() {
      var matching = 0, showing = 0;
      for (var i = 0; i < rows.length; ++i) {
        var show = matches(rows[i]);
        matching += show ? 1 : 0;
        show = show && (all || showing < few);
        showing += show ? 1 : 0;
        rows[i].hidden = !show;
      }
      tell(matching, showing);
    }
    [tester, status, name].forEach(function (el) { el.addEventListener("input", apply); });
    filter.querySelector("button.all").addEventListener("click", function () { all = true; apply(); });
    filter.apply = apply;
    tell(rows.length, Math.min(rows.length, few));
  }

  // The record under the pointer, told in a box: the browser's own tooltip
  // comes late and cannot be copied.
  function tell(ev) {
    var title = ev.target.querySelector && ev.target.querySelector(":scope > title");
    if (!title || !hover) return;
    var svg = ev.currentTarget, at = ev.target.dataset.t;
    var when = at && at.indexOf(" ") < 0 && !ev.target.dataset.bin && +svg.dataset.tickNs ? svg.clock(+at) +
      (ev.target.dataset.e ? " to " + svg.clock(+ev.target.dataset.e) : "") + "\n" : "";
    hover.textContent = when + title.textContent;
    hover.hidden = false;
    hover.style.left = Math.min(ev.clientX + 12, window.innerWidth - hover.offsetWidth - 4) + "px";
    hover.style.top = (ev.clientY + 16) + "px";
  }
  function focusTarget(id) {
    var target = document.getElementById(id);
    if (!target || !target.dataset.t) return;
    timelines.forEach(function (line) { if (line.svg.contains(target)) line.focus(target); });
  }
  Array.prototype.forEach.call(document.querySelectorAll("svg.timeline"), function (svg) {
    setup(svg);
    svg.addEventListener("pointerover", tell);
    svg.addEventListener("pointerout", function () { if (hover) hover.hidden = true; });
  });
  // Links to a mark show it on its timeline; others scroll as links do.
  document.querySelectorAll("a[href^='#']").forEach(function (a) {
    a.addEventListener("click", function (ev) {
      var target = document.getElementById(a.getAttribute("href").slice(1));
      if (target && target.tagName === "TR") target.hidden = false;
      if (!target || !target.dataset.t) return;
      ev.preventDefault();
      focusTarget(target.id);
    });
  });
  document.querySelectorAll("input.failures-only").forEach(function (box) {
    box.addEventListener("change", function () {
      document.body.classList.toggle("failures-only", box.checked);
      document.querySelectorAll("div.filter").forEach(function (filter) { filter.apply(); });
    });
  });
  document.querySelectorAll("div.filter").forEach(filterTable);
  document.querySelectorAll("table.items").forEach(function (table) {
    table.addEventListener("pointerover", function (ev) {
      var cell = ev.target.closest && ev.target.closest("td[data-status]");
      if (!cell || cell.title) return;
      var status = cell.dataset.status;
      cell.title = !status ? "no FS status could be read" : "FS status " + status +
        (cell.classList.contains("merged") ? ": the merged status of all testers (the ROD report is not available)" : "");
    });
  });
  window.addEventListener("resize", function () { timelines.forEach(function (line) { line.render(); }); });
  if (location.hash.indexOf("er-") >= 0) focusTarget(location.hash.slice(1));
})();
)JS";
