<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<meta name="generator" content="KESTRIN HTML verzamelindex #VERSION$! (#TEMPLATE$!)">
<title>Name index#PAGE$( )!#TITLE$( &ndash; )!</title>
<link rel="stylesheet" href="#FILE(css)!">
<link rel="stylesheet" href="#FILE(searchcss)!">
<script src="#FILE(js)!" defer></script>
</head>
<body class="ks-indexpage">
<a class="ks-skip" href="#names">Skip to the names</a>
<header class="ks-bar">
  <div class="ks-wrap">
    <a class="ks-sitename" href="#FILE(start)!">#TITLE$(,,Combined name index)!<span class="ks-sr"> (start page)</span></a>
    <nav class="ks-barlinks" aria-label="Site"><a href="#FILE(start)!">Family trees</a> <a href="#FILE(names)!">Surnames</a></nav>
  </div>
</header>
#KSLTEXT(search)!
<nav class="ks-keys ks-wrap" aria-label="Letters">
  <div class="ks-keyrow">
    #INDEXKEYS(index,,0,,current distinct)!
  </div>
</nav>
<nav class="ks-pager ks-wrap" aria-label="Pages">
  #LINKFIRST(index,_self,&laquo; first)!#LINKPREV(index,_self,&lsaquo; previous)!
  <form class="ks-jump" action="#FILE(index)!" hidden>
    <label for="keymenu9001">Page</label>
    #INDEXKEYS(index,,9001,,distinct)!
    <button type="submit">Go</button>
  </form>
  #LINKNEXT(index,_self,next &rsaquo;)!#LINKLAST(index,_self,last &raquo;)!
</nav>
<main id="names" class="ks-wrap">
  <h1 class="ks-pagetitle">Name index#PAGE$( )!</h1>
  <p class="ks-hint">#KSLTEXT(indexhint)!</p>
  <div class="ks-index">
    #INDEXDATA(%1, tree %2)!
  </div>
</main>
<nav class="ks-pager ks-wrap" aria-label="Pages below">
  #LINKFIRST(index,_self,&laquo; first)!#LINKPREV(index,_self,&lsaquo; previous)!
  <form class="ks-jump" action="#FILE(index)!" hidden>
    <label for="keymenu9002">Page</label>
    #INDEXKEYS(index,,9002,,distinct)!
    <button type="submit">Go</button>
  </form>
  #LINKNEXT(index,_self,next &rsaquo;)!#LINKLAST(index,_self,last &raquo;)!
</nav>
<footer class="ks-footer">
  <div class="ks-wrap">
    <p class="ks-contact"><a class="ks-homepage" href="#HOMEPAGE$!">Home page</a><a class="ks-email" href="mailto:#EMAIL$!">#EMAIL$!</a></p>
    <p class="ks-made">&copy; #RIGHT$(""+DATE,4)!#TITLE$( )! &middot; Made on #DATE! with KESTRIN HTML verzamelindex #VERSION$!</p>
  </div>
</footer>
</body>
</html>
