// Checks built layouts in headless Chromium: axe finds no critical or serious
// violation, every page has a title, one h1 and a way back to the start page,
// a skip link as its first tab stop and no menus on paper; a page of a split
// index names its letter or range and lists the trees its numbers stand for;
// key menus are labelled, never move on an arrow key and work on Enter or
// their button, a letter link in the same file does not end under a sticky
// bar, and on a phone nothing scrolls sideways, every letter and part of a
// letter is on the screen, a pane opened from the letters is brought into
// view, and every tap target is at least 24 by 24 pixels. Without JavaScript no dead menu is shown. In the
// layouts built on the sample trees with "search", names typed into the
// search box of the start page and of one other page list the expected
// persons, and their links lead to them (check-search.mjs); in the first of
// them ?q=, the arrow keys and Back are checked once more from a web host (a
// static server on 127.0.0.1 of the folder that holds the site and the trees).
//
//   node check-browser.mjs MANIFEST
//
// MANIFEST has one line per built layout: a name, a tab and the start page,
// and for the search checks a tab and "search". KS_BROWSER_CHECKS=search
// runs the search checks alone.
// Prints one line per page and ends with "N passed, N failed".

import { chromium } from 'playwright-core';
import { createRequire } from 'node:module';
import { existsSync, readFile, readFileSync, readdirSync, mkdtempSync, rmSync } from 'node:fs';
import http from 'node:http';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';
import {
  kSampleSearches, kAskedSearch, kPhoneSearch, kFollowedSearch, kLongQuery,
  checkSearches, followLinks, clickFirstLink, checkAsked, checkKeysAndAddress, checkInFlow,
  checkLongQuery,
} from './check-search.mjs';

const require = createRequire(import.meta.url);
const axeSource = readFileSync(require.resolve('axe-core/axe.min.js'), 'utf8');

const kMinTarget = 24; // px, the smallest tap target
const kPageSeconds = 120; // the most all checks of one page may take
const kDesktop = { width: 1280, height: 900 };
const kPhone = { width: 390, height: 844 };
// KS_BROWSER_CHECKS=search: only the search checks, on the pages with a box
// (for the self-test's faulty copies of a site).
const kSearchOnly = process.env.KS_BROWSER_CHECKS === 'search';
// Chromium must never reach the network.
const kChromiumArgs = [
  '--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
  '--disable-background-networking', '--disable-component-update', '--disable-sync',
];

// The pages to check in one output folder: the start page and the first
// file of every other kind (index_01 of index_NN, and so on).
function pagesOf(start) {
  const folder = path.dirname(start);
  const kinds = new Map();
  for (const file of readdirSync(folder).filter((f) => f.endsWith('.htm')).sort()) {
    const kind = file.replace(/\d+/g, '#');
    if (!kinds.has(kind)) kinds.set(kind, path.join(folder, file));
  }
  return [start, ...[...kinds.values()].filter((file) => file !== start)];
}

const sameDocument = (a, b) => a.split('#')[0] === b.split('#')[0];

class Problems {
  constructor() { this.list = []; }
  add(text) { this.list.push(text); }
  get ok() { return this.list.length === 0; }
}

// A static server of `root` on 127.0.0.1 and a free port; nothing outside
// `root` is served.
const kTypes = { '.htm': 'text/html', '.html': 'text/html', '.js': 'text/javascript', '.css': 'text/css',
  '.json': 'application/json', '.png': 'image/png', '.svg': 'image/svg+xml' };
function serve(root) {
  const server = http.createServer((request, response) => {
    const file = path.join(root, decodeURIComponent(new URL(request.url, 'http://host').pathname));
    if (!file.startsWith(root + path.sep)) return response.writeHead(403).end();
    readFile(file, (error, data) => {
      if (error) return response.writeHead(404).end();
      response.writeHead(200, { 'Content-Type': kTypes[path.extname(file)] || 'application/octet-stream' });
      response.end(data);
    });
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

// Closing a page that has just moved on may never end in some Chromium
// builds; such a page is left to the browser's end.
async function close(page) {
  let timer;
  const waited = new Promise((resolve) => { timer = setTimeout(resolve, 5000); });
  await Promise.race([page.close(), waited]).finally(() => clearTimeout(timer));
}

// A file from disk, or from the web host when `host` is given.
async function load(context, file, query = '', host = null) {
  const page = await context.newPage();
  page.setDefaultTimeout(15000);
  const address = host ? `${host.origin}/${path.relative(host.root, file).split(path.sep).join('/')}`
    : pathToFileURL(file).href;
  await page.goto(address + query, { waitUntil: 'load' });
  return page;
}

// axe on the whole page, or on the part `within` selects; a frame page's
// panes are checked as pages of their own. Colours are the same at every
// size, so the phone run (where `contrast` is false) leaves out the slow
// contrast rule.
async function checkAxe(page, problems, notes, contrast = true, within = null) {
  await page.evaluate(axeSource);
  const rules = contrast ? {} : { 'color-contrast': { enabled: false } };
  const result = await page.evaluate(([r, w]) =>
    window.axe.run(w ? { include: [w] } : document, { iframes: false, rules: r, resultTypes: ['violations'] }),
  [rules, within]);
  for (const v of result.violations) {
    const where = v.nodes.slice(0, 3).map((n) => n.target.join(' ')).join(', ');
    const text = `axe ${v.impact} ${v.id} (${v.nodes.length}x: ${where})`;
    if (v.impact === 'critical' || v.impact === 'serious') problems.add(text);
    else notes.push(text);
  }
}

async function checkTitleAndHeading(page, problems) {
  const facts = await page.evaluate(() => ({
    title: document.title.trim(),
    headings: [...document.querySelectorAll('h1')].map((h) => h.textContent.trim()),
  }));
  if (!/[A-Za-z\u00c0-\u024f]/.test(facts.title)) problems.add(`title "${facts.title}" says nothing`);
  // "Name index -" of a build without a title
  if (/^[-\u2013\u2014:|\u00b7]|[-\u2013\u2014:|\u00b7]$/.test(facts.title)) problems.add(`title "${facts.title}" has a dangling separator`);
  if (facts.headings.length !== 1) problems.add(`${facts.headings.length} h1 elements`);
  else if (facts.headings[0] === '') problems.add('the h1 is empty');
}

// The first tab stop skips to the names; a page of a split index names its
// letter or range in its title and h1 and lists what its tree numbers
// stand for; on paper no menu, search or skip link is left.
async function checkSkipNameLegendAndPrint(page, file, problems) {
  await page.keyboard.press('Tab');
  const skip = await page.evaluate(() => {
    const a = document.activeElement;
    if (!a || a.tagName !== 'A' || !a.getAttribute('href')?.startsWith('#')) return { text: a?.outerHTML?.slice(0, 80) ?? 'none' };
    return { text: a.textContent.trim(), target: !!document.getElementById(a.getAttribute('href').slice(1)) };
  });
  if (skip.target === undefined) problems.add(`the first tab stop is no skip link: ${skip.text}`);
  else if (!skip.target) problems.add(`the skip link "${skip.text}" has no target`);

  if (/_\d+\.htm$/.test(file)) {
    const facts = await page.evaluate(() => ({
      title: document.title,
      h1: document.querySelector('h1')?.textContent.trim() ?? '',
      first: document.querySelector('.Idx1')?.textContent.trim() ?? '',
      numbers: [...new Set([...document.querySelectorAll('.IdxR')].map((a) => a.textContent.trim()))],
      legend: [...document.querySelectorAll('.KSVIlegend li')].map((li) => li.textContent.trim()),
      // A page that carries the whole table of trees needs no legend of its own.
      table: [...document.querySelectorAll('.KSVItr')].map((tr) =>
        `${tr.querySelector('.KSVItd_id')?.textContent.trim()} = ${tr.querySelector('.KSVItd_title')?.textContent.trim()}`),
    }));
    if (!facts.legend.length) facts.legend = facts.table;
    if (facts.first) {
      // Per letter the group letter ends the h1: the surname's own first
      // letter, or any letter for a surname that starts with a sign or a
      // letter outside A-Z (Æbelholt is under A).
      const letter = /\s(\p{L})$/u.exec(facts.h1)?.[1];
      const own = facts.first.normalize('NFD')[0].toUpperCase();
      // By two letters the h1 ends in the letters the page's surnames begin with.
      const pair = /\s(\p{L}{2})$/u.exec(facts.h1)?.[1];
      const named = facts.h1.includes(` ${facts.first}`) || (letter && (letter === own || !/[A-Z]/.test(own))) ||
        (pair && facts.first.toLowerCase().startsWith(pair.toLowerCase()));
      if (!named) problems.add(`the h1 "${facts.h1}" does not name the page's "${facts.first}"`);
      if (!facts.title.includes(facts.h1)) problems.add(`the title "${facts.title}" does not hold the h1 "${facts.h1}"`);
    }
    for (const n of facts.numbers)
      if (!facts.legend.some((line) => new RegExp(`^${n}\\s*=\\s*\\S`).test(line))) problems.add(`tree ${n} is not in the page's legend`);
    if (facts.legend !== facts.table && facts.legend.length !== facts.numbers.length) problems.add(`${facts.legend.length} trees in the legend, ${facts.numbers.length} used`);
  }

  await page.emulateMedia({ media: 'print' });
  const printed = await page.evaluate(() => {
    const shown = (el) => el.checkVisibility({ visibilityProperty: true });
    const menus = [...document.querySelectorAll('nav a, nav select, select, form, .KSVIsearch')].filter(shown);
    if (document.activeElement?.tagName === 'A' && shown(document.activeElement)) document.activeElement.blur();
    const skip = document.querySelector('body > a[href^="#"]:first-child');
    const main = document.querySelector('main');
    return {
      menus: menus.slice(0, 3).map((el) => el.outerHTML.slice(0, 60)),
      skip: !!skip && shown(skip) && skip.getBoundingClientRect().right > 0,
      main: !!main && shown(main),
    };
  });
  await page.emulateMedia({ media: 'screen' });
  if (printed.menus.length) problems.add(`printed with menus: ${printed.menus.join(' | ')}`);
  if (printed.skip) problems.add('the skip link is printed');
  if (!printed.main) problems.add('nothing of the names is printed');
}

// A site with a feed (its layout lists the new persons): the start page
// links the page of new persons, which opens with its heading, and the
// feed, which is announced in its head.
async function checkWhatsNew(contexts, page, file, start, problems) {
  if (file !== start || !existsSync(path.join(path.dirname(start), 'feed.xml'))) return;
  const found = await page.evaluate(() => ({
    page: [...document.querySelectorAll('a[href]')].map((a) => a.href)
      .find((href) => /_new\.htm$/.test(href.split('#')[0])) ?? null,
    announced: document.querySelector('link[rel="alternate"][type="application/atom+xml"]')?.href ?? null,
    feed: document.querySelector('a[type="application/atom+xml"]')?.href ?? null,
  }));
  if (!found.announced || !found.feed) problems.add('the start page does not link the feed');
  else if (found.announced !== found.feed || !existsSync(fileURLToPath(found.feed))) problems.add(`no feed at ${found.feed}`);
  if (!found.page) return problems.add('the start page does not link the page of new persons');
  const followed = await load(contexts.desktop, fileURLToPath(found.page));
  try {
    const heading = await followed.$eval('h1', (h) => h.textContent);
    if (!/new in this index|nieuw in deze index/i.test(heading)) problems.add(`the page of new persons is headed "${heading}"`);
  } finally {
    await close(followed);
  }
}

async function checkWayHome(page, file, start, problems) {
  if (file === start) return;
  const home = pathToFileURL(start).href;
  const hrefs = await page.$$eval('a[href]', (links) => links.map((a) => a.href));
  if (!hrefs.some((href) => sameDocument(href, home))) problems.add('no link to the start page');
}

// A navigation of the window or of a pane within `ms` milliseconds, or null.
function navigationWithin(page, ms) {
  return page.waitForEvent('framenavigated', { timeout: ms }).catch(() => null);
}

async function checkKeyMenus(page, problems) {
  const menus = await page.locator('select.KSVIkeyMenu:visible').all();
  for (const menu of menus) {
    const id = await menu.getAttribute('id');
    if ((await menu.locator('option').count()) < 2) continue;
    await menu.focus();
    const moved = navigationWithin(page, 1500);
    await page.keyboard.press('ArrowDown');
    await page.keyboard.press('ArrowDown');
    if ((await moved) !== null) {
      problems.add(`menu ${id} moves to another page on an arrow key`);
      return; // the page is gone
    }
    const value = await menu.inputValue();
    if (value === 'none') continue;
    const opened = navigationWithin(page, 5000);
    await page.keyboard.press('Enter');
    const frame = await opened;
    await page.waitForLoadState('load').catch(() => {});
    if (frame === null) problems.add(`menu ${id} does not open its choice on Enter`);
    else if (!frame.url().includes(value.split('#')[0])) problems.add(`menu ${id} opened ${frame.url()}, not ${value}`);
    return; // one menu per page is tried; the page has moved on
  }
}

// A letter link (or a menu) to a place in the same file must not leave that
// place under a sticky or fixed bar at the top.
async function checkJumpTargets(page, problems) {
  // The places in this file the visible letters lead to, or else those of a menu.
  const places = await page.evaluate(() => {
    const here = location.href.split('#')[0];
    const inFile = (url) => url.split('#')[0] === here && url.includes('#');
    const shown = (el) => el.getClientRects().length > 0;
    const links = [...document.querySelectorAll('.KSVIkey a')].filter(shown).map((a) => a.href);
    if (links.some(inFile)) return { how: 'link', urls: links.filter(inFile) };
    const menu = [...document.querySelectorAll('select.KSVIkeyMenu')].find(shown);
    const options = menu ? [...menu.options].map((o) => new URL(o.value, here).href) : [];
    return { how: 'menu', id: menu && menu.id, urls: options.filter(inFile) };
  });
  if (places.urls.length === 0) return;
  const href = places.urls[Math.floor(places.urls.length / 2)];
  const id = href.split('#')[1];
  if (places.how === 'link') {
    await page.locator(`.KSVIkey a[href$="#${id}"]:visible`).first().click();
  } else {
    const menu = page.locator(`#${places.id}`);
    const value = await menu.locator('option').evaluateAll((os, h) =>
      os.find((o) => new URL(o.value, location.href).href === h).value, href);
    await menu.selectOption(value);
    await menu.press('Enter');
  }
  await page.waitForTimeout(300);
  const hidden = await page.evaluate((id) => {
    const target = document.getElementById(id);
    if (!target) return `no element ${id}`;
    let coverBottom = 0;
    for (const el of document.body.querySelectorAll('*')) {
      const style = getComputedStyle(el);
      if (style.position !== 'sticky' && style.position !== 'fixed') continue;
      const box = el.getBoundingClientRect();
      if (box.top <= 1 && box.height > 0) coverBottom = Math.max(coverBottom, box.bottom);
    }
    const top = target.getBoundingClientRect().top;
    return top + 1 < coverBottom ? `${id} jumps to ${Math.round(top)}px, under a bar down to ${Math.round(coverBottom)}px` : '';
  }, id);
  if (hidden) problems.add(hidden);
}

// The key link of the page being shown carries aria-current.
async function checkCurrentMarked(page, problems) {
  const facts = await page.evaluate(() => {
    const here = location.href.split('#')[0];
    const links = [...document.querySelectorAll('.KSVIkey a')];
    return {
      own: links.filter((a) => a.href === here).length,
      marked: links.filter((a) => a.hasAttribute('aria-current')).map((a) => a.href),
      here,
    };
  });
  if (facts.own > 0 && !facts.marked.includes(facts.here)) problems.add('the current page is not marked in its key links');
}

// A row of letters with the parts of each letter beside it stays in view,
// however many pages there are, and names every letter once.
async function checkLetterRow(page, problems) {
  const facts = await page.evaluate(() => {
    const parts = document.querySelector('.ks-keyrow .KSVIkeyParts');
    if (!parts) return null;
    const row = parts.closest('.ks-keyrow');
    const letters = [...row.querySelectorAll('.KSVIkey a')].map((a) => a.textContent);
    return { shown: row.getClientRects().length > 0, letters: letters.length, distinct: new Set(letters).size };
  });
  if (!facts) return;
  if (!facts.shown) problems.add('the row of letters with their parts is hidden');
  if (facts.distinct !== facts.letters) problems.add('a letter repeats in the row of letters');
}

// On a phone: nothing wider than the screen, every link of a row of letters
// (the letters and the parts of each) on the screen without scrolling
// sideways, and every control at least 24 px square. (A phone zooms out to
// show content wider than its screen, so the page is measured against the
// screen's width, not the window's.)
async function checkPhone(page, problems) {
  const facts = await page.evaluate(([min, screenWidth]) => {
    const wide = document.documentElement.scrollWidth - screenWidth;
    const off = [...document.querySelectorAll('.ks-keyrow a')].filter((a) => {
      if (a.getClientRects().length === 0 || a.closest('[hidden]')) return false;
      const box = a.getBoundingClientRect();
      return box.left < -0.5 || box.right > screenWidth + 0.5;
    }).map((a) => a.textContent.trim());
    const small = [];
    for (const el of document.querySelectorAll('a[href], button, select, input, summary')) {
      const box = el.getBoundingClientRect();
      const style = getComputedStyle(el);
      if (box.width === 0 || box.height === 0 || style.visibility === 'hidden') continue;
      if (el.closest('[hidden]')) continue;
      if (box.width < min - 0.5 || box.height < min - 0.5) {
        const name = (el.textContent || el.getAttribute('aria-label') || '').trim().slice(0, 20);
        small.push(`${el.tagName.toLowerCase()}.${el.className} "${name}" ${Math.round(box.width)}x${Math.round(box.height)}`);
      }
    }
    return { wide, off, small };
  }, [kMinTarget, kPhone.width]);
  if (facts.wide > 1) problems.add(`phone: the page scrolls ${facts.wide}px sideways`);
  if (facts.off.length > 0)
    problems.add(`phone: ${facts.off.length} links of the row of letters off the screen: ${facts.off.slice(0, 4).join(', ')}`);
  if (facts.small.length > 0)
    problems.add(`phone: ${facts.small.length} tap targets below ${kMinTarget}px: ${facts.small.slice(0, 4).join('; ')}`);
}

// On a phone a letter that opens its page in a pane below the letters
// brings that pane into view.
async function checkPaneOnPhone(page, problems) {
  const pane = await page.evaluate(() => {
    const link = [...document.querySelectorAll('.ks-keyrow a[target]')].find((a) => a.getClientRects().length > 0);
    const frame = link && document.querySelector(`iframe[name="${link.getAttribute('target')}"]`);
    return frame ? link.getAttribute('target') : null;
  });
  if (!pane) return;
  await page.locator('.ks-keyrow a[target]:visible').last().click();
  await page.waitForTimeout(300);
  const top = await page.evaluate((name) =>
    document.querySelector(`iframe[name="${name}"]`).getBoundingClientRect().top, pane);
  if (top > kPhone.height / 2) problems.add(`phone: a letter opens its page in a pane ${Math.round(top)}px down, out of view`);
}

// Without JavaScript a menu cannot open anything: it must not be shown.
async function checkWithoutScript(page, problems) {
  const shown = await page.locator('select.KSVIkeyMenu:visible').count();
  if (shown > 0) problems.add(`without JavaScript ${shown} key menus are shown that cannot work`);
}

// The pages whose search box is tried: the start page and the first other
// page with a box (an index page, or the page of surnames of a layout whose
// start page holds the index).
function searchedPages(start) {
  const boxed = pagesOf(start).filter((file) => /class="KSVIsearch[ "]/.test(readFileSync(file, 'latin1')));
  return boxed.slice(0, 2);
}

// On a desktop: on the start page every sample search typed, axe on the box
// with the persons shown (the rest of the page is checked above) and every
// link of one search followed, and with a web host also opened from there
// with ?q= for the keys and Back; on the other page the last two searches
// typed, the first link clicked, and the page opened with ?q= once.
async function checkSearchBox(contexts, file, start, problems, notes, step, host) {
  let page = await step('load for the search', () => load(contexts.desktop, file));
  const searches = file === start ? kSampleSearches : kSampleSearches.slice(-2);
  const answers = await step('search box', () => checkSearches(page, problems, searches));
  if (file === start) {
    await step('axe with persons found', () => checkAxe(page, problems, notes, true, '.KSVIsearch'));
    await step('search links', () =>
      followLinks((target) => load(contexts.desktop, target), answers, kFollowedSearch, problems));
    await step('search keys and address', () =>
      checkKeysAndAddress(page, kSampleSearches[kSampleSearches.length - 1], problems));
    if (host) {
      const last = kSampleSearches[kSampleSearches.length - 1];
      const hosted = await step('load from a web host with ?q=', () =>
        load(contexts.desktop, file, `?q=${encodeURIComponent(last.typed)}`, host));
      await step('search of ?q= from a web host', () => checkAsked(hosted, last, problems));
      await step('search keys and address from a web host', () => checkKeysAndAddress(hosted, last, problems));
      await step('close', () => close(hosted));
    }
  } else {
    const last = kSampleSearches[kSampleSearches.length - 1];
    await step('search link clicked', () => clickFirstLink(page, last, problems));
  }
  await step('close', () => close(page));
  if (file === start) return;
  page = await step('load with ?q=', () =>
    load(contexts.desktop, file, `?q=${encodeURIComponent(kAskedSearch.typed)}`));
  await step('search of ?q=', () => checkAsked(page, kAskedSearch, problems));
  await step('close', () => close(page));
  page = await step('load with a long ?q=', () =>
    load(contexts.desktop, file, `?q=${encodeURIComponent(kLongQuery)}`));
  await step('search of a long ?q=', () => checkLongQuery(page, problems, true));
  await step('search of a long text typed', () => checkLongQuery(page, problems, false));
  await step('close', () => close(page));
}

// On a phone: a search, and the sizes with the persons shown.
async function checkSearchOnPhone(contexts, file, problems, step) {
  const page = await step('load on a phone for the search', () => load(contexts.phone, file));
  await step('search on a phone', () => checkSearches(page, problems, [kPhoneSearch], ' on a phone'));
  await step('phone sizes with persons found', () => checkPhone(page, problems));
  await step('persons found in the page', () => checkInFlow(page, problems));
  await step('close', () => close(page));
}

// The checks of one page, step by step; `state.step` names the step under
// way (for a page whose checks hang). KS_BROWSER_TRACE=1 prints each step's
// time on stderr.
async function checkPage(contexts, file, start, state, search) {
  const problems = new Problems();
  const notes = [];
  const step = async (name, action) => {
    state.step = name;
    const began = Date.now();
    const result = await action();
    if (process.env.KS_BROWSER_TRACE) console.error(`  ${name}: ${Date.now() - began} ms`);
    return result;
  };

  let page;
  if (!kSearchOnly) {
    page = await step('load on a desktop', () => load(contexts.desktop, file));
    await step('axe', () => checkAxe(page, problems, notes));
    await step('title and heading', () => checkTitleAndHeading(page, problems));
    await step('way home', () => checkWayHome(page, file, start, problems));
    await step('what is new', () => checkWhatsNew(contexts, page, file, start, problems));
    await step('skip link, page name, legend, print', () => checkSkipNameLegendAndPrint(page, file, problems));
    await step('current page marked', () => checkCurrentMarked(page, problems));
    await step('jump targets', () => checkJumpTargets(page, problems));
    await step('row of letters', () => checkLetterRow(page, problems));
    await step('close', () => close(page));

    page = await step('load again', () => load(contexts.desktop, file));
    await step('key menus', () => checkKeyMenus(page, problems));
    await step('close', () => close(page));
  }

  if (search.pages.includes(file))
    await checkSearchBox(contexts, file, start, problems, notes, step, file === start ? search.host : null);
  if (search.phone === file) await checkSearchOnPhone(contexts, file, problems, step);
  if (kSearchOnly) return { problems: problems.list, notes: [...new Set(notes)] };

  page = await step('load on a phone', () => load(contexts.phone, file));
  await step('phone sizes', () => checkPhone(page, problems));
  await step('axe on a phone', () => checkAxe(page, problems, notes, false));
  await step('pane on a phone', () => checkPaneOnPhone(page, problems));
  await step('close', () => close(page));

  page = await step('load without JavaScript', () => load(contexts.noScript, file));
  await step('menus without JavaScript', () => checkWithoutScript(page, problems));
  await step('current page marked without JavaScript', () => checkCurrentMarked(page, problems));
  await step('close', () => close(page));

  return { problems: problems.list, notes: [...new Set(notes)] };
}

// A page whose checks hang fails instead of stopping the run.
async function checkWithTimeLimit(contexts, file, start, search) {
  const state = { step: '' };
  let timer;
  const limit = new Promise((resolve) => {
    timer = setTimeout(() => resolve({
      problems: [`the checks did not end within ${kPageSeconds} s (at: ${state.step})`],
      notes: [],
    }), kPageSeconds * 1000);
  });
  const checks = checkPage(contexts, file, start, state, search).catch((error) => ({
    problems: [`the checks stopped at ${state.step}: ${String(error.message || error).split('\n')[0]}`],
    notes: [],
  }));
  return Promise.race([checks, limit]).finally(() => clearTimeout(timer));
}

async function main() {
  const manifest = readFileSync(process.argv[2], 'utf8').split('\n').filter(Boolean)
    .map((line) => line.split('\t'));
  // Playwright starts Chromium with a fresh profile of its own in a new
  // temporary folder; downloads and traces go to one of ours.
  const scratch = mkdtempSync(path.join(tmpdir(), 'ks-browser-'));
  const browser = await chromium.launch({
    executablePath: process.env.KS_CHROMIUM || '/usr/bin/chromium',
    args: kChromiumArgs,
    downloadsPath: scratch,
    tracesDir: scratch,
  });
  const contexts = {
    desktop: await browser.newContext({ viewport: kDesktop }),
    phone: await browser.newContext({ viewport: kPhone, isMobile: true, hasTouch: true, deviceScaleFactor: 2 }),
    noScript: await browser.newContext({ viewport: kDesktop, javaScriptEnabled: false }),
  };
  // Nothing but local files and the server of the first layout searched is
  // ever loaded; it serves the folder that holds that site and the trees.
  const hosted = manifest.find((line) => line[2] === 'search');
  const root = hosted && path.dirname(path.dirname(hosted[1]));
  const server = root && await serve(root);
  const host = server && { root, origin: `http://127.0.0.1:${server.address().port}` };
  for (const context of Object.values(contexts))
    await context.route((url) => url.protocol !== 'file:' && url.origin !== host?.origin, (route) => route.abort());

  let passed = 0;
  let failed = 0;
  try {
    for (const [name, start, checks] of manifest) {
      // Each layout styles the persons found in its own way: the phone's
      // sizes are measured with persons shown on every start page searched.
      const search = { pages: checks === 'search' ? searchedPages(start) : [], phone: '',
        host: name === hosted?.[0] ? host : null };
      if (checks === 'search' && search.pages.length < 2) {
        failed++;
        console.log(`FAILED ${name}: ${search.pages.length} pages with a search box`);
      }
      if (search.pages.includes(start)) search.phone = start;
      for (const file of kSearchOnly ? search.pages : pagesOf(start)) {
        const label = `${name}/${path.basename(file)}`;
        const { problems, notes } = await checkWithTimeLimit(contexts, file, start, search);
        if (problems.length === 0) {
          passed++;
          console.log(`ok ${label}${notes.length ? ` (notes: ${notes.join('; ')})` : ''}`);
        } else {
          failed++;
          console.log(`FAILED ${label}`);
          for (const p of problems) console.log(`  ${p}`);
          for (const n of notes) console.log(`  note: ${n}`);
        }
      }
    }
  } finally {
    server?.close();
    await browser.close();
    rmSync(scratch, { recursive: true, force: true });
  }
  console.log(`${passed} passed, ${failed} failed`);
  process.exit(failed === 0 && passed > 0 ? 0 : 1);
}

main().catch((error) => {
  console.error(`check-browser: ${error.stack || error}`);
  process.exit(1);
});
