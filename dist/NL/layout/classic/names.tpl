<!DOCTYPE html>
<html lang="nl">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<meta name="generator" content="KESTRIN HTML verzamelindex #VERSION$! (#TEMPLATE$!)">
<title>Achternamen &ndash; #TITLE$!</title>
<link rel="stylesheet" href="#FILE(css)!">
<link rel="stylesheet" href="#FILE(searchcss)!">
</head>
<body class="kc-page">
<div class="kc-nav">#LINKFIRST(names)!#LINKPREV(names)!<span class="kc-navtitle">Achternamen</span>#LINKNEXT(names)!#LINKLAST(names)!</div>
#KSLTEXT(searchpane)!
<div class="kc-sheet kc-names">
  <p class="kc-intro">#KSLTEXT(nameshint)!</p>
  #NAMELIST(index)!
</div>
</body>
</html>
