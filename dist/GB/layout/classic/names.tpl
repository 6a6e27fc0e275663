<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<meta name="generator" content="KESTRIN HTML verzamelindex #VERSION$! (#TEMPLATE$!)">
<title>Surnames#PAGE$( )!#TITLE$( &ndash; )!</title>
<link rel="stylesheet" href="#FILE(css)!">
<link rel="stylesheet" href="#FILE(searchcss)!">
<script>if (window.top !== window.self) document.documentElement.className += " kc-framed";</script>
</head>
<body class="kc-page">
<a class="kc-skip" href="#names">Skip to the names</a>
<header class="kc-nav">
  <a class="kc-home" href="#FILE(frame)!" target="_top">Start page</a>
  <nav class="kc-turn" aria-label="Pages">
    #LINKFIRST(names,_self,&laquo;<span class="kc-sr"> first page</span>)!#LINKPREV(names,_self,&lsaquo;<span class="kc-sr"> previous page</span>)!
    <h1 class="kc-navtitle">Surnames#PAGE$( )!</h1>
    #LINKNEXT(names,_self,<span class="kc-sr">next page </span>&rsaquo;)!#LINKLAST(names,_self,<span class="kc-sr">last page </span>&raquo;)!
  </nav>
</header>
#KSLTEXT(searchpane)!
<main id="names" class="kc-sheet kc-names">
  <p class="kc-intro">#KSLTEXT(nameshint)!</p>
  #NAMELIST(index)!
</main>
</body>
</html>
