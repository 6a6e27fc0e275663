<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<meta name="generator" content="KESTRIN HTML verzamelindex #VERSION$! (#TEMPLATE$!)">
<title>Surnames#PAGE$( )!#TITLE$( &ndash; )!</title>
<link rel="stylesheet" href="#FILE(css)!">
<link rel="stylesheet" href="#FILE(searchcss)!">
<script src="#FILE(js)!" defer></script>
</head>
<body class="ks-namespage">
<a class="ks-skip" href="#names">Skip to the names</a>
<header class="ks-bar">
  <div class="ks-wrap">
    <a class="ks-sitename" href="#FILE(start)!">#TITLE$(,,Combined name index)!<span class="ks-sr"> (start page)</span></a>
    <nav class="ks-barlinks" aria-label="Site"><a href="#FILE(start)!">Family trees</a> <a href="#FILE(index)!">Name index</a></nav>
  </div>
</header>
#KSLTEXT(search)!
<nav class="ks-keys ks-wrap ks-sticky" aria-label="Letters">
  <div class="ks-keyrow">
    #INDEXKEYS(names,,0,,distinct)!
  </div>
  <form class="ks-jump" action="#FILE(names)!" hidden>
    <label for="keymenu9001">Part of the list</label>
    #INDEXKEYS(names,,9001,choose a part,distinct)!
    <button type="submit">Go</button>
  </form>
</nav>
<main id="names" class="ks-wrap">
  <h1 class="ks-pagetitle">Surnames#PAGE$( )!</h1>
  <p class="ks-hint">#KSLTEXT(nameshint)!</p>
  <div class="ks-names">
    #NAMELIST(index,,)!
  </div>
</main>
<footer class="ks-footer">
  <div class="ks-wrap">
    <p class="ks-contact"><a class="ks-homepage" href="#HOMEPAGE$!">Home page</a><a class="ks-email" href="mailto:#EMAIL$!">#EMAIL$!</a></p>
    <p class="ks-made">&copy; #RIGHT$(""+DATE,4)!#TITLE$( )! &middot; Made on #DATE! with KESTRIN HTML verzamelindex #VERSION$!</p>
  </div>
</footer>
</body>
</html>
