// A class of 40 answers a served run from real browser pages (headless
// Chromium): each page joins with the student's school number, answers ten
// questions with known letters; one page reloads in the middle, one student
// tries a second device. Then every answer must be stored exactly once, under
// the student's remote or browser address. Screenshots of the page go to
// SCREENSHOTS.
//
//   node sinif.mjs DERSLIK_CLI WORK_DIR
import {spawn, execFileSync} from "node:child_process";
import {mkdtempSync, mkdirSync, rmSync, writeFileSync} from "node:fs";
import {tmpdir} from "node:os";
import path from "node:path";
import puppeteer from "puppeteer-core";

const [cli, work] = process.argv.slice(2);
const shots = path.join(work, "ekran");
mkdirSync(shots, {recursive: true});
const data = mkdtempSync(path.join(tmpdir(), "derslik-tarayici-"));
const CLASS = "6-B", TEST = "5", QUESTIONS = 10, STUDENTS = 40;
const problems = [];
const started = Date.now();
const step = (what) => console.log(`${((Date.now() - started) / 1000).toFixed(1)} s: ${what}`);
const check = (ok, what) => { if (!ok) problems.push(what); };
const derslik = (...args) =>
  execFileSync(cli, ["--veri-klasoru", data, ...args], {encoding: "utf8"});
const rows = (sql) => derslik("sql", sql).trim().split("\n").slice(1).map((l) => l.split("\t"));

let server = null, browser = null;
async function main() {
  // The demo school's 6-B (27 students with remotes) and 13 more without one.
  derslik("demo");
  const more = ["ADI;SOYADI;NUMARASI"];
  for (let i = 1; i <= STUDENTS - 27; i++) more.push(`Öğrenci${i};Ekli${i};${900 + i}`);
  writeFileSync(path.join(data, "ekler.csv"), more.join("\n") + "\n");
  derslik("students", "import", path.join(data, "ekler.csv"), "--class", CLASS,
          "--map", "1=ADI,2=SOYADI,3=NUMARASI");
  const students = rows(`SELECT NUMARASI, KAYITNO, (SELECT E.KUMANDAADRESI FROM TABLEESLESME E ` +
                        `WHERE E.KAYITNO=O.KAYITNO) FROM TABLEOGRENCI O WHERE SINIFI='${CLASS}' ` +
                        `ORDER BY VAL(NUMARASI)`)
    .map(([numara, kayitNo, remote]) => ({numara, kayitNo, address: remote || `900-${kayitNo}`}));
  check(students.length === STUDENTS, `class of ${students.length}`);
  // Each student's letter for each question: every key and the blank one.
  const letter = (s, q) => "ABCDEX"[(s * 7 + q) % 6];

  server = spawn(cli, ["--veri-klasoru", data, "run", "serve", "--test", TEST, "--class", CLASS,
                       "--bind", "127.0.0.1", "--port", String(20000 + (process.pid % 20000)),
                       "--duration", "fixed:40"], {stdio: ["ignore", "pipe", "pipe"]});
  let output = "", errors = "";
  server.stderr.on("data", (d) => { errors += d; });
  const ended = new Promise((done) => server.on("exit", (code) => done(code)));
  const first = await new Promise((done, fail) => {
    server.stdout.on("data", (d) => {
      output += d;
      const m = /^Katılım: (\S+) Kod: (\d{4})\n/.exec(output);
      if (m) done(m);
    });
    server.on("exit", () => fail(new Error("run serve ended: " + errors)));
  });
  const [, url, code] = first;
  step(`listening at ${url}`);

  browser = await puppeteer.launch({
    protocolTimeout: 60000,
    executablePath: process.env.CHROMIUM || "/usr/bin/chromium",
    headless: true, dumpio: !!process.env.DUMPIO,
    // One renderer for the whole class: 40 tabs of one site.
    // Every tab is a student's phone in front of them: none is throttled as a
    // background tab.
    args: ["--no-sandbox", "--process-per-site", "--disable-gpu", "--disable-dev-shm-usage",
           "--disable-background-timer-throttling", "--disable-renderer-backgrounding",
           "--disable-backgrounding-occluded-windows"],
  });
  const open = async (address = url) => {
    const page = await browser.newPage();
    await page.setViewport({width: 390, height: 844, isMobile: true, hasTouch: true});
    await page.goto(address, {waitUntil: "load"});
    return page;
  };
  // A tab in the background draws nothing, so puppeteer's clicks (which wait
  // for the element on the screen) would wait for ever: the tests fill and
  // click through the page's DOM, and look for what it shows in it.
  const fill = (page, sel, text) => page.$eval(sel, (e, t) => { e.value = t; }, text);
  const click = (page, sel) => page.$eval(sel, (e) => e.click());
  const until = (page, sel, timeout = 20000) =>
    page.waitForFunction((s) => document.querySelector(s) !== null, {polling: 100, timeout}, sel);
  const join = async (page, numara) => {
    await fill(page, "#kod", code);
    await click(page, "#kodForm button");
    await until(page, "#secim:not([hidden])");
    await fill(page, "#numara", numara);
    await click(page, "#katil");
  };
  const shoot = async (page, name, options = {}) => {
    await page.bringToFront();
    await page.screenshot({path: path.join(shots, name), ...options});
  };

  step("browser started");
  const pages = [];
  const first_ = await open();
  await shoot(first_, "giris-dikey.png");
  pages.push(first_);
  step("first page");
  for (let i = 1; i < STUDENTS; i += 13)
    pages.push(...await Promise.all(Array.from({length: Math.min(13, STUDENTS - i)}, () => open())));
  // A few at a time: the pages share one address, and the board takes one
  // request per 100 ms from an address before it has joined.
  for (let i = 0; i < STUDENTS; i += 4) {
    await Promise.all(pages.slice(i, i + 4).map((p, k) => join(p, students[i + k].numara)));
  }
  step("pages open");
  await Promise.all(pages.map((p) => until(p, "#cevap:not([hidden])")));
  step("joined");
  check(await pages[0].$eval("#ad", (e) => e.textContent) !== "", "no name on the page");

  // The same student from a second device, which scanned the board's QR code:
  // the address carries the join code, so the page goes straight to the list.
  const second = await open(`${url}?kod=${code}`);
  await until(second, "#secim:not([hidden])");
  await shoot(second, "liste-dikey.png", {fullPage: true});
  await fill(second, "#numara", students[3].numara);
  await click(second, "#katil");
  await second.waitForFunction(() => document.getElementById("hata").textContent !== "",
                               {polling: 100});
  const refused = await second.$eval("#hata", (e) => e.textContent);
  check(refused === "Bu öğrenci başka bir cihazdan katıldı.", `second device: ${refused}`);
  await second.close();

  const openFor = (page, q) => page.waitForFunction(
    (q) => document.getElementById("durum").textContent === q + ". soru: cevap verebilirsin",
    {timeout: 30000, polling: 100}, q);
  const answer = async (page, s, q, last = false) => {
    const h = letter(s, q);
    await click(page, `#tuslar button[data-harf="${h}"]`);
    // The class's last answer moves the run on at once: its page shows the next
    // question instead of its own letter.
    if (!last) await until(page, `#tuslar button[data-harf="${h}"][aria-pressed="true"]`, 10000);
  };
  const reloader = 7;
  for (let q = 1; q <= QUESTIONS; q++) {
    await Promise.all(pages.map((p) => openFor(p, q)));
    step(`question ${q}`);
    if (q === 1) {
      await shoot(pages[0], "soru-dikey.png");
      await pages[0].setViewport({width: 844, height: 390, isMobile: true, hasTouch: true,
                                  isLandscape: true});
      await shoot(pages[0], "soru-yatay.png");
    }
    if (q === 5) {
      // Answered, then reloaded: the page comes back as the same student, with
      // the letter it chose.
      await answer(pages[reloader], reloader, q);
      await pages[reloader].reload({waitUntil: "load"});
      await until(pages[reloader],
                  `#tuslar button[data-harf="${letter(reloader, q)}"][aria-pressed="true"]`, 10000);
      await shoot(pages[reloader], "yenilenen-dikey.png");
    }
    const last = pages.length - 1;
    // The last one answers last: the run moves on as soon as all have answered.
    await Promise.all(pages.slice(0, last).map((p, s) =>
      q === 5 && s === reloader ? null : answer(p, s, q)));
    await answer(pages[last], last, q, true);
  }
  const exitCode = await Promise.race([ended, new Promise((d) => setTimeout(() => d("timeout"), 30000).unref())]);
  check(exitCode === 0, `run serve ended with ${exitCode}: ${errors}`);
  step("run recorded");

  // Every answer once, under the right address, with the letter chosen.
  const stored = rows("SELECT C.KUMANDAADRESI, C.KAYITNO, C.TESTSIRANO, C.CEVAP FROM TABLECEVAP C");
  check(stored.length === STUDENTS * QUESTIONS, `${stored.length} answers stored`);
  const seen = new Set();
  for (const [address, kayitNo, q, cevap] of stored) {
    const s = students.findIndex((x) => x.kayitNo === kayitNo);
    const key = `${kayitNo}/${q}`;
    check(!seen.has(key), `stored twice: ${key}`);
    seen.add(key);
    if (s < 0) { check(false, `unknown student ${kayitNo}`); continue; }
    check(address === students[s].address, `${kayitNo} under ${address}, not ${students[s].address}`);
    check(cevap === letter(s, Number(q)), `${kayitNo} q${q}: ${cevap}, not ${letter(s, Number(q))}`);
  }
}

try {
  await main();
} catch (e) {
  problems.push(String(e && e.stack || e));
} finally {
  if (browser) await browser.close().catch(() => {});
  step("browser closed");
  if (server && server.exitCode === null) server.kill();
  rmSync(data, {recursive: true, force: true});
}
if (problems.length) {
  console.error(problems.slice(0, 30).join("\n"));
  process.exit(1);
}
console.log(`Tarayıcı sınıfı: ${STUDENTS} sayfa, ${QUESTIONS} soru, her cevap bir kez; ekranlar: ${shots}`);
process.exit(0);
