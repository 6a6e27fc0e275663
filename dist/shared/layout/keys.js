/* KESTRIN HTML verzamelindex - the choice of pages in the shipped layouts.
   The pages work without this script: the letters are plain links, and a
   menu (with its Go button) stays hidden until this script shows it.

   - A menu opens its choice only on Enter or its Go button, never when an
     arrow key moves through it; it opens in the pane named by its form's
     target, or in the window itself.
   - A row of letters that is too long or too vague to choose from (more
     than 30 pages, or two pages with the same label) gives way to a menu:
     the one beside it, or the one the page shows elsewhere.
   - The letter of the page shown carries aria-current: the pages mark it
     themselves, and this script keeps the mark right where they cannot: in
     a file with an anchor per letter the letter last jumped to carries it,
     and in a pane the letter last opened there.
   - A place jumped to is not hidden under a bar that sticks to the top.
   - On a phone, where the pane lies below the choice of pages, a page
     opened in the pane scrolls the pane into view. */
(function () {
  'use strict';

  var mostKeys = 30;

  function withoutHash(url) {
    return url.split('#')[0];
  }

  function open(select) {
    var value = select.value;
    if (!value || value === 'none') return;
    var target = select.form ? select.form.getAttribute('target') : '';
    if (target && target !== '_self') {
      window.open(value, target);
      showPane(target);
    } else window.location.href = value;
  }

  // A pane far down the page (the phone's layout) is brought into view.
  function showPane(name) {
    var pane = document.getElementsByName(name)[0];
    if (!pane || pane.tagName !== 'IFRAME') return;
    if (pane.getBoundingClientRect().top > window.innerHeight / 2) pane.scrollIntoView();
  }

  function showPaneOnClick(event) {
    var link = event.target.closest ? event.target.closest('a[target]') : null;
    if (link) showPane(link.getAttribute('target'));
  }

  function tooManyKeys(row) {
    var links = row.querySelectorAll('.KSVIkey a');
    if (links.length > mostKeys) return true;
    var seen = {};
    for (var i = 0; i < links.length; i++) {
      var label = links[i].textContent;
      if (seen[label]) return true;
      seen[label] = true;
    }
    return false;
  }

  function setUpMenu(form) {
    var select = form.querySelector('select.KSVIkeyMenu');
    if (!select) return;
    // The page's own onchange would move on at every arrow key.
    select.removeAttribute('onchange');
    select.onchange = null;
    select.addEventListener('keydown', function (event) {
      if (event.key === 'Enter') {
        event.preventDefault();
        open(select);
      }
    });
    form.addEventListener('submit', function (event) {
      event.preventDefault();
      open(select);
    });
    // A menu beside a row of letters is shown only when it replaces them.
    var row = form.parentNode.querySelector('.ks-keyrow');
    if (!row || tooManyKeys(row)) form.hidden = false;
  }

  // Too many letters give way to a menu shown elsewhere on the page.
  function hideLongRows() {
    if (!document.querySelector('form.ks-jump:not([hidden])')) return;
    var rows = document.querySelectorAll('.ks-keyrow');
    for (var i = 0; i < rows.length; i++) {
      if (!tooManyKeys(rows[i])) continue;
      var alone = rows[i].parentNode.children.length === 1;
      (alone ? rows[i].parentNode : rows[i]).hidden = true;
    }
  }

  function mark(links, link, value) {
    for (var i = 0; i < links.length; i++) links[i].removeAttribute('aria-current');
    if (link) link.setAttribute('aria-current', value);
  }

  function markCurrent() {
    var links = document.querySelectorAll('.KSVIkey a');
    var here = withoutHash(window.location.href);
    var current = null;
    for (var i = 0; i < links.length; i++) {
      var href = links[i].href;
      if (href === here) current = current || links[i];
      else if (window.location.hash && href === window.location.href) current = links[i];
    }
    if (current) mark(links, current, current.href === here ? 'page' : 'location');
    for (var j = 0; j < links.length; j++) {
      links[j].addEventListener('click', function (event) {
        var link = event.currentTarget;
        var inPane = link.target && link.target !== '_self';
        if (inPane || withoutHash(link.href) === here) mark(links, link, inPane ? 'page' : 'location');
      });
    }
  }

  // A place jumped to stays clear of a bar that sticks to the top; the style
  // sheet gives a fair guess for when this script does not run.
  function keepClearOf(bar) {
    function measure() {
      // On a phone the bar may not stick (the style sheet's guess holds).
      var position = window.getComputedStyle(bar).position;
      var sticks = position === 'sticky' || position === 'fixed';
      document.documentElement.style.scrollPaddingTop = sticks ? bar.offsetHeight + 8 + 'px' : '';
    }
    measure();
    window.addEventListener('resize', measure);
  }

  function start() {
    var forms = document.querySelectorAll('form.ks-jump');
    for (var i = 0; i < forms.length; i++) setUpMenu(forms[i]);
    hideLongRows();
    markCurrent();
    document.addEventListener('click', showPaneOnClick);
    var bar = document.querySelector('.ks-sticky');
    if (bar) keepClearOf(bar);
  }

  if (document.readyState === 'loading') document.addEventListener('DOMContentLoaded', start);
  else start();
})();
