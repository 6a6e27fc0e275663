<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<meta name="generator" content="KESTRIN HTML verzamelindex #VERSION$! (#TEMPLATE$!)">
<title>Name index#PAGE$( )!#TITLE$( &ndash; )!</title>
<base target="_top">
<link rel="stylesheet" href="#FILE(css)!">
<link rel="stylesheet" href="#FILE(searchcss)!">
<script>if (window.top !== window.self) document.documentElement.className += " kc-framed";</script>
</head>
<body class="kc-page">
<a class="kc-skip" href="#names">Skip to the names</a>
<header class="kc-nav">
  <a class="kc-home" href="#FILE(frame)!">Start page</a>
  <nav class="kc-turn" aria-label="Pages">
    #LINKFIRST(index,_self,&laquo;<span class="kc-sr"> first page</span>)!#LINKPREV(index,_self,&lsaquo;<span class="kc-sr"> previous page</span>)!
    <h1 class="kc-navtitle">Name index#PAGE$( )!</h1>
    #LINKNEXT(index,_self,<span class="kc-sr">next page </span>&rsaquo;)!#LINKLAST(index,_self,<span class="kc-sr">last page </span>&raquo;)!
  </nav>
</header>
#KSLTEXT(searchpane)!
<main id="names" class="kc-sheet kc-index">
  #INDEXDATA(%1, tree %2)!
</main>
<footer class="kc-nav">
  <a class="kc-home" href="#FILE(frame)!">Start page</a>
  <nav class="kc-turn" aria-label="Pages below">
    #LINKFIRST(index,_self,&laquo;<span class="kc-sr"> first page</span>)!#LINKPREV(index,_self,&lsaquo;<span class="kc-sr"> previous page</span>)!
    <span class="kc-navtitle">Name index#PAGE$( )!</span>
    #LINKNEXT(index,_self,<span class="kc-sr">next page </span>&rsaquo;)!#LINKLAST(index,_self,<span class="kc-sr">last page </span>&raquo;)!
  </nav>
</footer>
</body>
</html>
