<!DOCTYPE html>
<html lang="nl">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<meta name="generator" content="KESTRIN HTML verzamelindex #VERSION$! (#TEMPLATE$!)">
<title>Naamindex#PAGE$( )!#TITLE$( &ndash; )!</title>
<link rel="stylesheet" href="#FILE(css)!">
<link rel="stylesheet" href="#FILE(searchcss)!">
<script src="#FILE(js)!" defer></script>
</head>
<body class="ks-indexpage">
<a class="ks-skip" href="#names">Naar de namen</a>
<header class="ks-bar">
  <div class="ks-wrap">
    <a class="ks-sitename" href="#FILE(start)!">#TITLE$(,,Verzamelindex)!<span class="ks-sr"> (startpagina)</span></a>
    <nav class="ks-barlinks" aria-label="Site"><a href="#FILE(start)!">Stambomen</a> <a href="#FILE(names)!">Achternamen</a></nav>
  </div>
</header>
#KSLTEXT(search)!
<nav class="ks-keys ks-wrap" aria-label="Letters">
  <div class="ks-keyrow">
    #INDEXKEYS(index,,0,,current distinct)!
  </div>
</nav>
<nav class="ks-pager ks-wrap" aria-label="Bladeren">
  #LINKFIRST(index,_self,&laquo; eerste)!#LINKPREV(index,_self,&lsaquo; vorige)!
  <form class="ks-jump" action="#FILE(index)!" hidden>
    <label for="keymenu9001">Pagina</label>
    #INDEXKEYS(index,,9001,,distinct)!
    <button type="submit">Ga</button>
  </form>
  #LINKNEXT(index,_self,volgende &rsaquo;)!#LINKLAST(index,_self,laatste &raquo;)!
</nav>
<main id="names" class="ks-wrap">
  <h1 class="ks-pagetitle">Naamindex#PAGE$( )!</h1>
  <p class="ks-hint">#KSLTEXT(indexhint)!</p>
  <div class="ks-index">
    #INDEXDATA(%1, stamboom %2)!
  </div>
</main>
<nav class="ks-pager ks-wrap" aria-label="Bladeren onderaan">
  #LINKFIRST(index,_self,&laquo; eerste)!#LINKPREV(index,_self,&lsaquo; vorige)!
  <form class="ks-jump" action="#FILE(index)!" hidden>
    <label for="keymenu9002">Pagina</label>
    #INDEXKEYS(index,,9002,,distinct)!
    <button type="submit">Ga</button>
  </form>
  #LINKNEXT(index,_self,volgende &rsaquo;)!#LINKLAST(index,_self,laatste &raquo;)!
</nav>
<footer class="ks-footer">
  <div class="ks-wrap">
    <p class="ks-contact"><a class="ks-homepage" href="#HOMEPAGE$!">Homepage</a><a class="ks-email" href="mailto:#EMAIL$!">#EMAIL$!</a></p>
    <p class="ks-made">&copy; #RIGHT$(""+DATE,4)!#TITLE$( )! &middot; Gemaakt op #DATE! met KESTRIN HTML verzamelindex #VERSION$!</p>
  </div>
</footer>
</body>
</html>
