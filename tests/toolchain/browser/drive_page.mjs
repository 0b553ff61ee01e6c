// Drives the page of the bundled example in Debian's chromium as a person
// would: wheel zoom, drag pan, "Whole run", the text of a hovered record and
// the link from an ER record to its mark; the verdict banner, the colours,
// the filter and the "failures only" switch; and the ER marks of a large
// run's density bands, each in its tester's lane; the comparison of two runs,
// its timelines zoomed in, out and panned together.
//
//   node drive_page.mjs SOURCE_DIR BUILD_DIR
import { execFileSync } from "node:child_process";
import { cpSync, mkdtempSync, readdirSync, readFileSync, rmSync, writeFileSync } from "node:fs";
import { tmpdir } from "node:os";
import { join } from "node:path";
import assert from "node:assert/strict";
import puppeteer from "puppeteer-core";

const [source, build] = process.argv.slice(2);

const env = { ...process.env, VARNETDIR: join(build, "varnet"), MPS_DIR: build, LANG: "C" };

function merge(work, inputs) {
  try {
    execFileSync(join(build, "mpsmerge"), [...inputs, "-RDD=demo.rdd"], { cwd: work, env, stdio: "ignore" });
  } catch (e) {
    if (e.status !== 3) throw e; // the runs have incorrect scenarios
  }
}

function examplePage() {
  const work = mkdtempSync(join(tmpdir(), "mpsrdd-browser-"));
  cpSync(join(source, "examples"), work, { recursive: true });
  merge(work, readdirSync(work).sort());
  return work;
}

// 8 testers of 55 000 records, every lane a density band, over 2 000 ER records.
function largePage() {
  const work = mkdtempSync(join(tmpdir(), "mpsrdd-browser-"));
  execFileSync(join(build, "bench", "generate_run"), ["1", "8", "55000", work, "mixed"], { stdio: "ignore" });
  merge(work, ["bench.tdc", ...readdirSync(work).filter((n) => n.endsWith(".rio")).sort()]);
  return work;
}

// The example again with landing's clock 300 ms later, compared with the first run.
function comparedPage(first) {
  const work = examplePage();
  const landing = join(work, "landing.rio");
  writeFileSync(landing, readFileSync(landing, "utf8").replace('SY "lab" "100" "500"', 'SY "lab" "100" "800"'));
  merge(work, readdirSync(work).filter((n) => /\.(tdc|rio)$/.test(n)).sort());
  execFileSync(join(build, "mpsrdd"), ["compare", join(first, "demo.rdd"), join(work, "demo.rdd"), "--html=" + join(work, "compare.html")],
               { stdio: "ignore" });
  return work;
}

const work = examplePage();
const large = largePage();
const compared = comparedPage(work);
const browser = await puppeteer.launch({
  executablePath: "/usr/bin/chromium",
  headless: true,
  args: ["--no-sandbox", "--disable-gpu", "--no-first-run", "--disable-background-networking"],
});
try {
  const page = await browser.newPage();
  await page.setViewport({ width: 1400, height: 1000 });
  await page.goto("file://" + join(work, "demo.html"));
  const view = async () => (await page.$eval("#timeline", (svg) => svg.dataset.view)).split(" ").map(Number);
  const plot = await page.$eval("#timeline", (svg) => {
    const box = svg.getBoundingClientRect();
    return { left: box.left + +svg.dataset.left, right: box.right - 12, y: box.top + 60 };
  });
  const whole = await view();
  const timeAt = (v, x) => v[0] + ((x - plot.left) / (plot.right - plot.left)) * (v[1] - v[0]);

  // The wheel zooms in around the time under the pointer.
  const x = plot.left + (plot.right - plot.left) / 4;
  await page.mouse.move(x, plot.y);
  const under = timeAt(whole, x);
  await page.mouse.wheel({ deltaY: -400 });
  const zoomed = await view();
  assert.ok(zoomed[1] - zoomed[0] < 0.6 * (whole[1] - whole[0]), `wheel zoom: ${whole} to ${zoomed}`);
  assert.ok(Math.abs(timeAt(zoomed, x) - under) < 1, `the time under the pointer moved: ${under}`);

  // A drag of 200 pixels to the right shows earlier times.
  await page.mouse.down();
  await page.mouse.move(x + 200, plot.y, { steps: 5 });
  await page.mouse.up();
  const panned = await view();
  const moved = (200 / (plot.right - plot.left)) * (zoomed[1] - zoomed[0]);
  assert.ok(Math.abs(zoomed[0] - panned[0] - moved) < 1, `drag pan: ${zoomed} to ${panned}`);

  await page.click("button[data-zoom=fit]");
  assert.deepEqual(await view(), whole, "Whole run");

  // Hovering a record tells its line.
  const wait = await page.$("rect.dw");
  const box = await wait.boundingBox();
  await page.mouse.move(box.x + box.width / 2, box.y + box.height / 2);
  const told = await page.$eval("div.hover", (d) => (d.hidden ? "" : d.textContent));
  assert.equal(told, '0:00:05.400 to 0:00:05.900\nDW "door_open" "cabin" "400" "500" "5400" "1" "13"');

  // The incorrect scenario's link shows its mark.
  await page.click("dd.errors a");
  const focused = await page.$eval("rect.focus", (r) => [r.id, +r.dataset.t]);
  const shown = await view();
  assert.equal(focused[0], "er-76");
  assert.ok(shown[0] < focused[1] && focused[1] < shown[1] && shown[1] - shown[0] < whole[1] - whole[0]);

  // The verdict first: counts of the steps as the testers ran them.
  const counts = await page.$$eval("#verdict .count", (spans) => spans.map((s) => s.textContent));
  assert.deepEqual(counts, ["4 passed", "1 failed", "1 inconclusive", "0 unknown"]);
  assert.equal(await page.$eval("#verdict h2", (h) => h.textContent), "Verdict: failed");
  await page.click("#verdict .failed-steps a");
  assert.equal(await page.$eval("rect.focus", (r) => r.id), "step-58-2");

  // Steps in their status's colour; ER marks in their lane, above the rendezvous lines.
  const fill = (selector) => page.$eval(selector, (el) => getComputedStyle(el).fill);
  assert.equal(await fill("rect.step.failed"), "rgb(232, 65, 60)");
  assert.equal(await fill("rect.step.passed"), "rgb(63, 155, 87)");
  const colours = async (selector) => [...new Set(await page.$$eval(selector, (els) => els.map((e) => getComputedStyle(e).fill)))].sort();
  assert.deepEqual(await colours(".legend rect"), await colours("svg.timeline rect.m[data-t], svg.timeline path.density"));
  await page.click("button[data-zoom=fit]");
  const error = await (await page.$("svg.timeline rect.error")).boundingBox();
  await page.mouse.move(error.x + error.width / 2, error.y + error.height / 2);
  assert.match(await page.$eval("div.hover", (d) => d.textContent), /\nER "/);

  // The filter and the switch, over the rows of the test-item table.
  const shownRows = () => page.$$eval("table.items tbody tr", (rows) => rows.filter((r) => r.offsetParent).map((r) => r.cells[0].textContent));
  await page.select(".filter select.status", "inconclusive");
  assert.deepEqual(await shownRows(), ["TI-01 door_cycle"]);
  await page.select(".filter select.tester", "0");
  assert.deepEqual(await shownRows(), []);
  await page.select(".filter select.status", "");
  await page.type(".filter input.name", "FLOOR");
  assert.deepEqual(await shownRows(), ["TI-02 call_to_floor"]);
  assert.equal(await page.$eval(".filter .shown", (s) => s.textContent), "1 of 3 rows");
  await page.click("input.failures-only");
  await page.$eval(".filter input.name", (input) => { input.value = ""; input.dispatchEvent(new Event("input")); });
  assert.deepEqual(await shownRows(), ["TI-02 call_to_floor"]);
  assert.equal(await page.$eval("rect.step.passed", (r) => getComputedStyle(r).opacity), "0.15");
  assert.equal(await page.$eval("rect.step.failed", (r) => getComputedStyle(r).opacity), "1");

  // Time as a person reads it.
  const ticks = await page.$$eval("g.axis text:not(.unit)", (texts) => texts.map((t) => t.textContent));
  assert.ok(ticks.length > 3 && ticks.every((t) => /^\d+:\d\d:\d\d(\.\d+)?$/.test(t)), `axis: ${ticks}`);

  // Each ER mark of the large run lies in its tester's lane.
  const started = Date.now();
  await page.goto("file://" + join(large, "demo.html"));
  const loaded = Date.now() - started;
  assert.equal((await shownRows()).length, 100);
  assert.match(await page.$eval(".filter .shown", (s) => s.textContent), /^(\d+) of \1 rows, the first 100 shown$/);
  const misplaced = await page.$$eval("svg.timeline rect.error", (marks) => marks.filter((m) => {
    const report = m.querySelector("title").textContent.split(" ").at(-2).replace(/"/g, "");
    const band = document.querySelector(`#lane-${report} .band`).getBoundingClientRect();
    const box = m.getBoundingClientRect();
    return box.top < band.top || box.bottom > band.bottom;
  }).length);
  const lanes = await page.$$eval("svg.timeline rect.error", (marks) => marks.map((m) => m.closest("g[data-report]").dataset.report));
  const marked = lanes.length;
  assert.ok(marked > 1000, `${marked} ER marks`);
  assert.deepEqual([...new Set(lanes)].sort(), ["1", "2", "3", "4", "5", "6", "7", "8"]);
  assert.equal(misplaced, 0);

  // Two runs of one name told apart by their folders; their timelines on one axis.
  await page.goto("file://" + join(compared, "compare.html"));
  const headings = await page.$$eval("h2.run", (hs) => hs.map((h) => h.textContent.split(", ")[0]));
  assert.deepEqual(headings, [`Old: demo.rdd in ${work}`, `New: demo.rdd in ${compared}`]);
  const views = () => page.$$eval("svg.timeline", (svgs) => svgs.map((svg) => svg.dataset.view.split(" ").map(Number)));
  const alike = (v) => Math.abs(v[0][0] - v[1][0]) < 1e-6 && Math.abs(v[0][1] - v[1][1]) < 1e-6;
  const plotOf = (id) => page.$eval(id, (svg) => {
    svg.scrollIntoView({ block: "center" });
    const box = svg.getBoundingClientRect();
    return { x: box.left + +svg.dataset.left + 200, y: box.top + 60 };
  });
  const joint = await views();
  assert.ok(alike(joint), `one axis: ${joint}`);
  const old = await plotOf("#old-timeline");
  await page.mouse.move(old.x, old.y);
  await page.mouse.wheel({ deltaY: -400 });
  const zoomedBoth = await views();
  assert.ok(zoomedBoth[0][1] - zoomedBoth[0][0] < 0.6 * (joint[0][1] - joint[0][0]) && alike(zoomedBoth),
            `zooming the old run: ${zoomedBoth}`);
  const changed = await plotOf("#new-timeline");
  await page.mouse.move(changed.x, changed.y);
  await page.mouse.down();
  await page.mouse.move(changed.x + 150, changed.y, { steps: 5 });
  await page.mouse.up();
  const pannedBoth = await views();
  assert.ok(pannedBoth[1][0] < zoomedBoth[1][0] && alike(pannedBoth), `panning the new run: ${pannedBoth}`);
  await page.click("#new-timeline-section button[data-zoom=fit]");
  assert.deepEqual(await views(), joint, "Whole run, both");

  // Runs of unlike ticks share an axis of time: the same report read in 10 µs ticks is 100 times shorter.
  const tens = join(compared, "tens.rdd");
  writeFileSync(tens, readFileSync(join(work, "demo.rdd"), "latin1").replaceAll('"1" "ms" "', '"1" "10us" "'), "latin1");
  execFileSync(join(build, "mpsrdd"), ["compare", join(work, "demo.rdd"), tens, "-o", join(compared, "tens.html")], { stdio: "ignore" });
  await page.goto("file://" + join(compared, "tens.html"));
  const inTime = async () => (await views()).map((v, i) => v.map((t) => t * [1e6, 1e4][i]));
  const before = await inTime();
  await page.click("#new-timeline-section button[data-zoom=in]");
  const after = await inTime();
  assert.ok(after[0][1] - after[0][0] < before[0][1] - before[0][0], `zoom in: ${after}`);
  await page.click("#new-timeline-section button[data-zoom=out]");
  const out = await inTime();
  assert.ok(Math.abs(out[1][0] - before[1][0]) < 1 && Math.abs(out[1][1] - before[1][1]) < 1, `zoom out: ${out}`);
  for (const v of [before, after, out]) assert.ok(Math.abs(v[0][0] - v[1][0]) < 1 && Math.abs(v[0][1] - v[1][1]) < 1, `in ns: ${v}`);

  console.log(`page in a browser: zoom, pan, hover, links, verdict, colours, filter and switch work; ` +
              `${marked} ER marks of a large run in their lanes (loaded in ${loaded} ms); two runs zoomed together`);
} finally {
  await browser.close();
  rmSync(work, { recursive: true, force: true });
  rmSync(large, { recursive: true, force: true });
  rmSync(compared, { recursive: true, force: true });
}
