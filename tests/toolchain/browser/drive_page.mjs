// Drives the page of the bundled example in Debian's chromium as a person
// would: wheel zoom, drag pan, "Whole run", the text of a hovered record and
// the link from an ER record to its mark.
//
//   node drive_page.mjs SOURCE_DIR BUILD_DIR
import { execFileSync } from "node:child_process";
import { cpSync, mkdtempSync, readdirSync, rmSync } from "node:fs";
import { tmpdir } from "node:os";
import { join } from "node:path";
import assert from "node:assert/strict";
import puppeteer from "puppeteer-core";

const [source, build] = process.argv.slice(2);

function examplePage() {
  const work = mkdtempSync(join(tmpdir(), "mpsrdd-browser-"));
  cpSync(join(source, "examples"), work, { recursive: true });
  const inputs = readdirSync(work).sort();
  const env = { ...process.env, VARNETDIR: join(build, "varnet"), MPS_DIR: build, LANG: "C" };
  try {
    execFileSync(join(build, "mpsmerge"), [...inputs, "-RDD=demo.rdd"], { cwd: work, env, stdio: "ignore" });
  } catch (e) {
    if (e.status !== 3) throw e; // the example has an incorrect scenario
  }
  return work;
}

const work = examplePage();
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
  assert.equal(told, 'DW "door_open" "cabin" "400" "500" "5400" "1" "13"');

  // The incorrect scenario's link shows its mark.
  await page.click("dd.errors a");
  const focused = await page.$eval("rect.focus", (r) => [r.id, +r.dataset.t]);
  const shown = await view();
  assert.equal(focused[0], "er-76");
  assert.ok(shown[0] < focused[1] && focused[1] < shown[1] && shown[1] - shown[0] < whole[1] - whole[0]);
  console.log("page in a browser: wheel zoom, drag pan, whole run, hover text and ER link work");
} finally {
  await browser.close();
  rmSync(work, { recursive: true, force: true });
}
