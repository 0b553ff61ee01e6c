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
.m.item { fill: #a9c1e3; } .m.step { fill: #3f6fb0; } .m.verdict.dt { fill: #5e9e5e; } .m.verdict.xe { fill: #d0822f; }
.m.activity { fill: #7b5ea7; } .m.activity.ev { fill: #23968a; } .m.activity.sn { fill: #c9a227; } .m.activity.da { fill: #b0506b; }
.m.rendezvous { fill: #222; } .m.error { fill: #d62828; } .m.focus { stroke: #000; stroke-width: 2px; }
.name { font-size: 10px; fill: #fff; pointer-events: none; }
.density { fill: #5a6f8f; }
.rdv { fill: none; stroke: #222; stroke-width: 1px; stroke-dasharray: 3 2; }
.legend { color: #556; font-size: 12px; } .key { display: inline-block; width: 12px; height: 10px; margin: 0 3px 0 10px; vertical-align: middle; }
.key.item { background: #a9c1e3; } .key.step { background: #3f6fb0; } .key.verdict { background: #5e9e5e; }
.key.activity { background: #7b5ea7; } .key.rendezvous { background: #222; } .key.error { background: #d62828; }
table { border-collapse: collapse; font-size: 13px; } th, td { border: 1px solid #d7dce5; padding: 3px 8px; text-align: left; }
th { background: #eef2f7; } td.na { color: #a33; } td.warn { color: #a33; font-weight: bold; }
td.d1 { padding-left: 24px; } td.d2 { padding-left: 40px; } td.d3, td.d4 { padding-left: 56px; }
.status { border-radius: 3px; padding: 0 4px; background: #dfe6ee; } .status.passed { background: #d5ebd5; } .status.failed { background: #f4c7c7; }
.status.inconclusive { background: #f8e2b0; } .status.unknown { background: #e4d7f0; }
.hover { position: fixed; max-width: 720px; background: #1d2330; color: #fff; font: 12px/1.35 ui-monospace, monospace;
  padding: 4px 6px; border-radius: 3px; pointer-events: none; white-space: pre-wrap; word-break: break-all; z-index: 1; }
)CSS";

// Positions everything on the time axis of each timeline from the data-t
// (start) and data-e (end) attributes; the report text itself is never read
// back as markup. A timeline's view, the span of time it shows, is kept in
// its data-view attribute.
const char PAGE_SCRIPT[] = R"JS(
(function () {
  "use strict";
  var NS = "http://www.w3.org/2000/svg";
  var hover = document.querySelector("div.hover");
  var timelines = [];

  function setup(svg) {
    var left = +svg.dataset.left, pad = 12, margin = (+svg.dataset.last - +svg.dataset.first) / 50;
    var first = +svg.dataset.first - margin, last = +svg.dataset.last + margin;
    var view = [first, last], width = 0;
    function timed(selector) {
      return Array.prototype.map.call(svg.querySelectorAll(selector), function (el) {
        return { el: el, t: +el.dataset.t, e: el.dataset.e ? +el.dataset.e : +el.dataset.t };
      });
    }
    var rects = timed("rect[data-t]"), names = timed("text[data-t]");
    var links = Array.prototype.map.call(svg.querySelectorAll("polyline[data-t]"), function (el) {
      return { el: el, t: el.dataset.t.split(" ").map(Number), y: el.dataset.y.split(" ") };
    });
    var bands = Array.prototype.map.call(svg.querySelectorAll("path[data-bin]"), function (el) {
      return { el: el, t: +el.dataset.t, bin: +el.dataset.bin };
    });
    var axis = svg.querySelector("g.axis");
    var clips = svg.querySelectorAll("clipPath rect");

    function scale() { return (width - left - pad) / (view[1] - view[0]); }
    function x(t) { return left + (t - view[0]) * scale(); }
    function add(parent, name, attributes, text) {
      var el = document.createElementNS(NS, name);
      for (var key in attributes) el.setAttribute(key, attributes[key]);
      if (text !== undefined) el.textContent = text;
      parent.appendChild(el);
    }
    function drawAxis() {
      while (axis.firstChild) axis.removeChild(axis.firstChild);
      var span = view[1] - view[0], raw = span / Math.max(2, (width - left) / 110);
      var power = Math.pow(10, Math.floor(Math.log10(raw))), m = raw / power;
      var step = Math.max(1, (m < 1.5 ? 1 : m < 3.5 ? 2 : m < 7.5 ? 5 : 10) * power);
      var bottom = svg.getAttribute("height");
      for (var t = Math.ceil(view[0] / step) * step; t <= view[1]; t += step) {
        var px = x(t).toFixed(1);
        add(axis, "line", { x1: px, x2: px, y1: 18, y2: bottom });
        add(axis, "text", { x: px, y: 13 }, (Math.round(t) || 0).toLocaleString("en-US").replace(/,/g, "\u202f"));
      }
      add(axis, "text", { "class": "unit", x: left - 8, y: 13 }, svg.dataset.unit);
    }
    function render() {
      width = Math.max(left + 200, svg.parentNode.clientWidth);
      svg.setAttribute("width", width);
      svg.dataset.view = view[0] + " " + view[1];
      Array.prototype.forEach.call(clips, function (c) { c.setAttribute("width", width - left - pad + 1); });
      var s = scale();
      rects.forEach(function (r) {
        var w = Math.max((r.e - r.t) * s, r.el.classList.contains("error") ? 3 : 2);
        r.el.setAttribute("x", (r.e > r.t ? x(r.t) : x(r.t) - w / 2).toFixed(1));
        r.el.setAttribute("width", w.toFixed(1));
      });
      names.forEach(function (n) {
        var w = (n.e - n.t) * s;
        n.el.setAttribute("x", (x(n.t) + 3).toFixed(1));
        n.el.style.display = w > 7 * n.el.textContent.length ? "" : "none";
      });
      links.forEach(function (l) {
        l.el.setAttribute("points", l.t.map(function (t, i) { return x(t).toFixed(1) + "," + l.y[i]; }).join(" "));
      });
      bands.forEach(function (b) {
        b.el.setAttribute("transform", "translate(" + x(b.t).toFixed(2) + ",0) scale(" + (b.bin * s) + ",1)");
      });
      drawAxis();
      Array.prototype.forEach.call(svg.querySelectorAll("g.lane"), function (lane) {
        var box = lane.querySelector(".band").getBoundingClientRect();
        lane.setAttribute("data-plot", [Math.round(box.left + left + window.scrollX), Math.round(box.top + window.scrollY),
          Math.round(box.width - left - pad), Math.round(box.height)].join(" "));
      });
    }
    function zoom(factor, at) {
      var span = Math.min((view[1] - view[0]) * factor, last - first);
      span = Math.max(span, 10);
      var ratio = (at - view[0]) / (view[1] - view[0]);
      view = [at - ratio * span, at - ratio * span + span];
      render();
    }
    svg.addEventListener("wheel", function (ev) {
      ev.preventDefault();
      var at = view[0] + (ev.offsetX - left) / scale();
      zoom(Math.exp(ev.deltaY * 0.002), Math.min(Math.max(at, view[0]), view[1]));
    }, { passive: false });
    var drag = null;
    svg.addEventListener("pointerdown", function (ev) {
      drag = { x: ev.clientX, view: view.slice() };
      svg.setPointerCapture(ev.pointerId);
      svg.classList.add("dragging");
    });
    svg.addEventListener("pointermove", function (ev) {
      if (!drag) return;
      var moved = (ev.clientX - drag.x) / scale();
      view = [drag.view[0] - moved, drag.view[1] - moved];
      render();
    });
    svg.addEventListener("pointerup", function () { drag = null; svg.classList.remove("dragging"); });
    svg.closest("section").querySelectorAll("button[data-zoom]").forEach(function (b) {
      b.addEventListener("click", function () {
        var middle = (view[0] + view[1]) / 2;
        if (b.dataset.zoom === "fit") { view = [first, last]; render(); }
        else zoom(b.dataset.zoom === "in" ? 0.5 : 2, middle);
      });
    });
    function focus(target) {
      var t = +target.dataset.t, span = Math.min(view[1] - view[0], Math.max(20, (last - first) / 20));
      view = [t - span / 2, t + span / 2];
      render();
      Array.prototype.forEach.call(svg.querySelectorAll(".focus"), function (el) { el.classList.remove("focus"); });
      target.classList.add("focus");
      svg.scrollIntoView({ block: "center" });
    }
    timelines.push({ svg: svg, render: render, focus: focus });
    render();
  }

  // The record under the pointer, told in a box: the browser's own tooltip
  // comes late and cannot be copied.
  function tell(ev) {
    var title = ev.target.querySelector && ev.target.querySelector(":scope > title");
    if (!title || !hover) return;
    hover.textContent = title.textContent;
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
  document.querySelectorAll("a[href*='er-']").forEach(function (a) {
    a.addEventListener("click", function (ev) { ev.preventDefault(); focusTarget(a.getAttribute("href").slice(1)); });
  });
  window.addEventListener("resize", function () { timelines.forEach(function (line) { line.render(); }); });
  if (location.hash.indexOf("er-") >= 0) focusTarget(location.hash.slice(1));
})();
)JS";
