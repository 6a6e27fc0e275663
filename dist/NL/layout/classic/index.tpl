<!DOCTYPE html>
<html lang="nl">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<meta name="generator" content="KESTRIN HTML verzamelindex #VERSION$! (#TEMPLATE$!)">
<title>Naamindex#PAGE$( )!#TITLE$( &ndash; )!</title>
<base target="_top">
<link rel="stylesheet" href="#FILE(css)!">
<link rel="stylesheet" href="#FILE(searchcss)!">
<script>if (window.top !== window.self) document.documentElement.className += " kc-framed";</script>
</head>
<body class="kc-page">
<a class="kc-skip" href="#names">Naar de namen</a>
<header class="kc-nav">
  <a class="kc-home" href="#FILE(frame)!">Startpagina</a>
  <nav class="kc-turn" aria-label="Bladeren">
    #LINKFIRST(index,_self,&laquo;<span class="kc-sr"> eerste pagina</span>)!#LINKPREV(index,_self,&lsaquo;<span class="kc-sr"> vorige pagina</span>)!
    <h1 class="kc-navtitle">Naamindex#PAGE$( )!</h1>
    #LINKNEXT(index,_self,<span class="kc-sr">volgende pagina </span>&rsaquo;)!#LINKLAST(index,_self,<span class="kc-sr">laatste pagina </span>&raquo;)!
  </nav>
</header>
#KSLTEXT(searchpane)!
<main id="names" class="kc-sheet kc-index">
  #INDEXDATA(%1, stamboom %2)!
</main>
<footer class="kc-nav">
  <a class="kc-home" href="#FILE(frame)!">Startpagina</a>
  <nav class="kc-turn" aria-label="Bladeren onderaan">
    #LINKFIRST(index,_self,&laquo;<span class="kc-sr"> eerste pagina</span>)!#LINKPREV(index,_self,&lsaquo;<span class="kc-sr"> vorige pagina</span>)!
    <span class="kc-navtitle">Naamindex#PAGE$( )!</span>
    #LINKNEXT(index,_self,<span class="kc-sr">volgende pagina </span>&rsaquo;)!#LINKLAST(index,_self,<span class="kc-sr">laatste pagina </span>&raquo;)!
  </nav>
</footer>
</body>
</html>
