<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<meta name="generator" content="KESTRIN HTML verzamelindex #VERSION$! (#TEMPLATE$!)">
<title>Surnames &ndash; #TITLE$!</title>
<link rel="stylesheet" href="#FILE(css)!">
<link rel="stylesheet" href="#FILE(searchcss)!">
</head>
<body class="ks-namespage">
<header class="ks-bar">
  <div class="ks-wrap">
    <a class="ks-sitename" href="#FILE(start)!">#TITLE$!</a>
    <span class="ks-barlinks"><a href="#FILE(start)!">Family trees</a> <a href="#FILE(index)!">Name index</a></span>
  </div>
</header>
#KSLTEXT(search)!
<nav class="ks-keys ks-wrap" aria-label="Pages of surnames">
  #INDEXKEYS(names)!
</nav>
<nav class="ks-pager ks-wrap" aria-label="Pages">
  #LINKFIRST(names,_self,&laquo; first)!#LINKPREV(names,_self,&lsaquo; previous)!
  #INDEXKEYS(names,,9001)!
  #LINKNEXT(names,_self,next &rsaquo;)!#LINKLAST(names,_self,last &raquo;)!
</nav>
<main class="ks-wrap">
  <h1 class="ks-pagetitle">Surnames</h1>
  <p class="ks-hint">#KSLTEXT(nameshint)!</p>
  <div class="ks-names">
    #NAMELIST(index,,)!
  </div>
</main>
<footer class="ks-footer">
  <div class="ks-wrap">
    <p class="ks-contact"><a class="ks-homepage" href="#HOMEPAGE$!">Home page</a><a class="ks-email" href="mailto:#EMAIL$!">#EMAIL$!</a></p>
    <p class="ks-made">&copy; #RIGHT$(""+DATE,4)! #TITLE$! &middot; Made on #DATE! with KESTRIN HTML verzamelindex #VERSION$!</p>
  </div>
</footer>
</body>
</html>
