// The search box of a layout built on the sample trees, driven like a
// visitor does: names typed key by key list the expected persons with their
// years and a link to every tree that holds them, the status line says what
// was found, and the links lead to the person in the tree.

import probe from '../search/search-probe.js';
import { existsSync } from 'node:fs';
import { fileURLToPath } from 'node:url';

const kSeconds = 20; // the most one search may take, its shard loaded included

// Persons of the sample trees (samples/*/*.htx): surname, given names,
// prefix, years, and the person's page in each tree that holds them.
const person = (surname, given, prefix, years, ...at) => ({ surname, given, prefix, years, at });

const kBerg = [
  person('Berg', 'André', '', '1616-1669', 'jansen/persons2.htm#p79'),
  person('Berg', 'André', '', '1627-1657', 'jansen/persons1.htm#p16'),
  person('Berg', 'Björn', '', '1848-', 'smit/persons2.htm#p44'),
  person('Berg', 'Geertruida Daniël', '', '1934-', 'jansen/persons2.htm#p71'),
  person('Berg', 'Émilie', '', '1921-', 'deboer/persons2.htm#p63', 'smit/persons1.htm#p39'),
  person('Berg', 'Adriana', "'t", '1701-1758', 'smit/persons2.htm#p57'),
  person('Berg', 'Daniël', 'von', '1788-', 'deboer/persons1.htm#p13'),
  person('Berg', 'Hendrik', 'von', '1820-1885', 'jansen/persons1.htm#p26', 'deboer/persons2.htm#p78'),
];
const kMuller = [
  person('Müller', 'Irène', '', '1659-1738', 'jansen/persons2.htm#p43'),
  person('Müller', 'Zoë Daniël', 'de', '1836-', 'deboer/persons3.htm#p81'),
  person('Müller', 'Émilie', 'du', '1611-1638', 'deboer/persons1.htm#p29', 'smit/persons1.htm#p16'),
  person('Müller', 'Johanna', 'van den', '1893-1961', 'smit/persons3.htm#p93'),
  person('Müller', 'Anna', 'van der', '1847-1883', 'jansen/persons2.htm#p59', 'deboer/persons1.htm#p9'),
];
const kSchroder = [
  person('Schröder', 'Jacob', 'van der', '1843-',
    'jansen/persons3.htm#p91', 'deboer/persons1.htm#p39', 'smit/persons3.htm#p100'),
];

// What is typed and whom it must list. The last search leaves persons shown
// for the checks that follow.
export const kSampleSearches = [
  { typed: 'Bergman', persons: [] }, // a shard is loaded, nothing matches
  { typed: 'muller', persons: kMuller }, // without the accent
  { typed: 'aebelholt johannes', persons: [ // a ligature spelled out, a given name, no years
    person('Æbelholt', 'Johannes Anna', '', '', 'smit/persons1.htm#p9'),
    person('Æbelholt', 'Johannes Pieter', 'de', '1771-1837',
      'jansen/persons1.htm#p12', 'deboer/persons3.htm#p95', 'smit/persons1.htm#p6'),
  ] },
  // Any name finds its person: a given name alone and wherever it stands,
  // with years, begun, in another order, and persons without a surname.
  { typed: 'jörg', persons: [
    person('Brouwer', 'Jörg Johanna', '', '1944-', 'jansen/persons2.htm#p62'),
    person('Visser', 'Jörg', '', '', 'jansen/persons1.htm#p31'),
    person('Broek', 'Pieter Jörg', 'von', '1976-', 'deboer/persons1.htm#p15'),
    person('Dekker', 'Jörg', '', '1943-1985', 'deboer/persons1.htm#p19'),
    person('Hébert', 'Jörg Cornelia', '', '1679-', 'deboer/persons1.htm#p3'),
    person('Smit', 'Jörg André', '', '1807-1846', 'smit/persons2.htm#p51'),
    person('Smith-Jones', 'Jörg', '', '1749-1824', 'smit/persons2.htm#p59'),
    person('Meijer', 'Jörg', '', '1785-', 'smit/persons2.htm#p63'),
    person('Wit', 'Jörg', '', '1744-1778', 'smit/persons3.htm#p85'),
  ] },
  { typed: 'Jorg 1780-1790', persons: [
    person('Smith-Jones', 'Jörg', '', '1749-1824', 'smit/persons2.htm#p59'),
    person('Meijer', 'Jörg', '', '1785-', 'smit/persons2.htm#p63'),
  ] },
  { typed: 'daniel geertruida', persons: [
    person('Berg', 'Geertruida Daniël', '', '1934-', 'jansen/persons2.htm#p71'),
  ] },
  { typed: 'geertr dan', persons: [
    person('Berg', 'Geertruida Daniël', '', '1934-', 'jansen/persons2.htm#p71'),
  ] },
  { typed: 'rené 1740', persons: [
    person('Meijer', 'René Jacob', 'van', '1723-1807', 'jansen/persons2.htm#p75', 'smit/persons2.htm#p46'),
    person('Bakker', 'Cornelis René', '', '1740-', 'smit/persons1.htm#p4'),
    person('', 'René Anna', '', '1723-1748', 'smit/persons2.htm#p73'),
  ] },
  { typed: 'emilie 1900', persons: [person('', 'Émilie', '', '1881-1936', 'smit/persons1.htm#p36')] },
  { typed: 'Van der Schroder, Jacob', persons: kSchroder }, // prefix in front, capitals, comma
  // With and without prefixes; Broek sounds alike.
  { typed: 'berg', persons: kBerg, variants: ['Broek'] },
];
export const kAskedSearch = { typed: 'muller', persons: kMuller }; // page opened with ?q=
export const kPhoneSearch = { typed: 'berg', persons: kBerg, variants: ['Broek'] };
export const kFollowedSearch = 'Van der Schroder, Jacob'; // its persons' links are followed

// A person without a surname is named by the given names alone.
const shown = (p) => `${p.surname ? `${p.surname}, ` : ''}${p.given}${p.prefix ? ` ${p.prefix}` : ''}`;
const label = (p) => `${shown(p)}${p.years ? ` ${p.years}` : ''}`;
// A link as the sample trees' folder and the page in it.
const inSamples = (href) => href.slice(href.lastIndexOf('/samples/') + '/samples/'.length);

export async function watch(page) {
  return page.evaluate(probe.watchSearchBox);
}

// Types `typed` into the box key by key (after emptying it) and returns what
// the box shows once the search of the whole text has ended.
async function type(page, typed) {
  const input = page.locator('#KSVIsearchInput');
  await input.focus();
  if ((await input.inputValue()) !== '') {
    await page.keyboard.press('Control+A');
    await page.keyboard.press('Backspace');
  }
  await input.pressSequentially(typed);
  return page.evaluate(probe.searchSettled, kSeconds);
}

// Compares what the box shows with the persons expected; every difference is
// a problem naming the text typed.
export function compare(search, shownNow, problems, where = '') {
  const what = `search "${search.typed}"${where}`;
  if (shownNow.error) return problems.add(`${what}: ${shownNow.error}`);
  if (shownNow.state !== 'done') {
    return problems.add(`${what}: data-state ${shownNow.state}, status "${shownNow.status}"`);
  }
  if (shownNow.statusLive !== 'polite') problems.add(`${what}: the status line is not a polite live region`);
  // The persons of surnames that sound alike: under their heading, counted
  // in the status line, of the surnames expected.
  const variants = shownNow.variants || [];
  const others = variants.filter((h) => !(search.variants || []).some((v) => h.name.startsWith(`${v},`)));
  if (others.length) problems.add(`${what}: sounding alike ${others.map((h) => h.name).join('; ')}`);
  if ((search.variants || []).length && !variants.length) problems.add(`${what}: no names that sound alike`);
  if (variants.length && !shownNow.variantsHeading) problems.add(`${what}: names that sound alike without a heading`);
  const n = search.persons.length + variants.length;
  if (n === 0) {
    if (shownNow.status === '' || (shownNow.texts.none && shownNow.status !== shownNow.texts.none))
      problems.add(`${what}: status "${shownNow.status}", expected "${shownNow.texts.none}"`);
  } else if (!shownNow.status.includes(String(n))) {
    problems.add(`${what}: status "${shownNow.status}" does not say ${n}`);
  }
  if (shownNow.more) problems.add(`${what}: the button for more is shown for ${n} persons`);

  const found = shownNow.hits.map((h) => ({ ...h, key: `${h.name} ${h.years}`.trim() }));
  const missing = [];
  for (const p of search.persons) {
    const at = found.findIndex((h) => h.key === label(p));
    if (at < 0) {
      missing.push(label(p));
      continue;
    }
    const [hit] = found.splice(at, 1);
    const links = hit.links.map((l) => inSamples(l.href)).sort();
    const expected = [...p.at].sort();
    if (links.join(' ') !== expected.join(' '))
      problems.add(`${what}: ${label(p)} links to [${links.join(' ')}], expected [${expected.join(' ')}]`);
  }
  if (missing.length) problems.add(`${what}: missing ${missing.join('; ')}`);
  if (found.length) problems.add(`${what}: unexpected ${found.map((h) => h.key).join('; ')}`);
  if (missing.length || found.length)
    problems.add(`${what}: expected ${search.persons.length} persons, found ${shownNow.hits.length}`);
}

// Types every sample search into the box of a loaded page; returns what the
// box showed for each text typed.
export async function checkSearches(page, problems, searches, where = '') {
  if (!(await watch(page))) {
    problems.add('no search box');
    return new Map();
  }
  const answers = new Map();
  for (const search of searches) {
    const answer = await type(page, search.typed);
    compare(search, answer, problems, where);
    answers.set(search.typed, answer);
  }
  return answers;
}

// The page a link leads to (from file://): it exists and holds the element
// its fragment names, and that element names the person.
export async function checkLinkTarget(load, href, p, problems, what) {
  const [file, fragment] = href.split('#');
  if (!href.startsWith('file:') || !existsSync(fileURLToPath(file))) {
    problems.add(`${what}: ${label(p)} links to ${href}, which does not exist`);
    return;
  }
  if (!fragment) return;
  const page = await load(fileURLToPath(file));
  try {
    const text = await page.evaluate((id) => {
      const target = document.getElementById(id) || document.getElementsByName(id)[0];
      return target ? target.textContent.replace(/\s+/g, ' ') : null;
    }, decodeURIComponent(fragment));
    if (text === null) problems.add(`${what}: ${label(p)} links to ${href}, which has no element "${fragment}"`);
    else if (!text.includes(p.surname) || !text.includes(p.given.split(' ')[0]))
      problems.add(`${what}: ${label(p)} links to ${href}, which holds "${text.trim().slice(0, 60)}"`);
  } finally {
    await page.close();
  }
}

// Follows every link of the persons `typed` listed, each in a page of its own.
export async function followLinks(load, answers, typed, problems) {
  const search = kSampleSearches.find((s) => s.typed === typed);
  const answer = answers.get(typed);
  if (!answer || answer.error) return;
  for (const p of search.persons) {
    const hit = answer.hits.find((h) => `${h.name} ${h.years}`.trim() === label(p));
    for (const link of hit ? hit.links : [])
      await checkLinkTarget(load, link.href, p, problems, `link of search "${typed}"`);
  }
}

// Clicks the first tree link of the first person shown: the window goes to
// the person's page. The page has moved on afterwards.
export async function clickFirstLink(page, search, problems) {
  const link = page.locator('.KSVIsearchHit a.KSVIsearchTree').first();
  if ((await link.count()) === 0) return problems.add(`search "${search.typed}": no link to click`);
  const href = await link.evaluate((a) => a.href);
  const name = await page.locator('.KSVIsearchHit .KSVIsearchName').first().textContent();
  const p = search.persons.find((q) => shown(q) === name.replace(/\s+/g, ' ').trim());
  await Promise.all([page.waitForURL(href, { waitUntil: 'load' }), link.click()]);
  if (!p) return;
  const fragment = href.split('#')[1];
  const text = await page.evaluate((id) => {
    const target = document.getElementById(id) || document.getElementsByName(id)[0];
    return target ? target.textContent : null;
  }, decodeURIComponent(fragment || ''));
  if (text === null || !text.includes(p.surname))
    problems.add(`clicking ${label(p)} of search "${search.typed}" opened ${href} without the person`);
}

// The page opened with ?q=TEXT searches for TEXT at once.
export async function checkAsked(page, search, problems) {
  compare(search, await page.evaluate(probe.searchSettled, kSeconds), problems, ' (in ?q=)');
}

// After a search the address holds its text as ?q=; the arrow keys go from
// the input through the persons found and back, Enter follows the link in
// focus, and Back shows the same persons again. The page has moved on
// afterwards.
export async function checkKeysAndAddress(page, search, problems) {
  const what = `search "${search.typed}"`;
  const asked = await page.evaluate(() => new URLSearchParams(location.search).get('q'));
  if (asked !== search.typed) problems.add(`${what}: the address holds q=${asked}`);
  const focused = () => page.evaluate(() => {
    const e = document.activeElement;
    const hits = [...document.querySelectorAll('.KSVIsearchHit')];
    const at = hits.findIndex((li) => li.contains(e));
    return e && e.id === 'KSVIsearchInput' ? 'input' : at >= 0 ? `hit ${at}` : e ? e.tagName : 'none';
  });
  await page.locator('#KSVIsearchInput').focus();
  const walk = [];
  for (const key of ['ArrowDown', 'ArrowDown', 'ArrowUp', 'ArrowUp']) {
    await page.keyboard.press(key);
    walk.push(await focused());
  }
  if (walk.join(', ') !== 'hit 0, hit 1, hit 0, input')
    problems.add(`${what}: the arrow keys went to ${walk.join(', ')}`);
  await page.keyboard.press('ArrowDown');
  const href = await page.evaluate(() => document.activeElement.href || null);
  if (!href) return problems.add(`${what}: the first person found has no link in focus`);
  await Promise.all([page.waitForURL(href, { waitUntil: 'load' }), page.keyboard.press('Enter')]);
  await page.goBack({ waitUntil: 'load' });
  compare(search, await page.evaluate(probe.searchSettled, kSeconds), problems, ' (after Back)');
}

// A query of 10,000 characters (one long name of letters with two sounds
// each, the most work for its sound keys), given by ?q= or typed in one go,
// is answered within the wait of every search here: the box ends its search
// and says what it found.
export const kLongQuery = 'jcl'.repeat(3334).slice(0, 10000);

export async function checkLongQuery(page, problems, asked) {
  const what = `a search of ${kLongQuery.length} characters${asked ? ' in ?q=' : ''}`;
  if (!asked) {
    if (!(await watch(page))) return problems.add('no search box');
    await page.locator('#KSVIsearchInput').fill(kLongQuery.toUpperCase());
  }
  const shownNow = await page.evaluate(probe.searchSettled, kSeconds);
  if (shownNow.error) return problems.add(`${what}: ${shownNow.error}`);
  if (shownNow.state !== 'done' || shownNow.status === '')
    problems.add(`${what}: data-state ${shownNow.state}, status "${shownNow.status}"`);
}

// On a phone the persons found are part of the page, not a box that
// scrolls on its own.
export async function checkInFlow(page, problems) {
  const facts = await page.evaluate(() => {
    const list = document.querySelector('.KSVIsearchResults');
    const s = list && getComputedStyle(list);
    if (!s) return null;
    // Nor may a pane around them scroll on its own (the page itself may).
    let box = list.parentElement;
    while (box && box !== document.body && box !== document.documentElement) {
      const overflow = getComputedStyle(box).overflowY;
      if (overflow !== 'visible' && overflow !== 'clip' && box.scrollHeight > box.clientHeight + 1) break;
      box = box.parentElement;
    }
    const pane = box && box !== document.body && box !== document.documentElement
      ? `${box.tagName.toLowerCase()}.${box.className}` : '';
    return { style: `${s.overflowY} ${s.maxHeight}`, pane };
  });
  if (facts !== null && facts.style !== 'visible none')
    problems.add(`phone: the persons found scroll in a box of their own (${facts.style})`);
  if (facts?.pane) problems.add(`phone: the persons found scroll inside ${facts.pane}, not in the page`);
}
