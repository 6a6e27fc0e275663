<!DOCTYPE html>
<html lang="nl">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<meta name="generator" content="KESTRIN HTML verzamelindex #VERSION$! (#TEMPLATE$!)">
<title>Achternamen#PAGE$( )!#TITLE$( &ndash; )!</title>
<link rel="stylesheet" href="#FILE(css)!">
<link rel="stylesheet" href="#FILE(searchcss)!">
<script>if (window.top !== window.self) document.documentElement.className += " kc-framed";</script>
</head>
<body class="kc-page">
<a class="kc-skip" href="#names">Naar de namen</a>
<header class="kc-nav">
  <a class="kc-home" href="#FILE(frame)!" target="_top">Startpagina</a>
  <nav class="kc-turn" aria-label="Bladeren">
    #LINKFIRST(names,_self,&laquo;<span class="kc-sr"> eerste pagina</span>)!#LINKPREV(names,_self,&lsaquo;<span class="kc-sr"> vorige pagina</span>)!
    <h1 class="kc-navtitle">Achternamen#PAGE$( )!</h1>
    #LINKNEXT(names,_self,<span class="kc-sr">volgende pagina </span>&rsaquo;)!#LINKLAST(names,_self,<span class="kc-sr">laatste pagina </span>&raquo;)!
  </nav>
</header>
#KSLTEXT(searchpane)!
<main id="names" class="kc-sheet kc-names">
  <p class="kc-intro">#KSLTEXT(nameshint)!</p>
  #NAMELIST(index)!
</main>
</body>
</html>
