<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<meta name="generator" content="KESTRIN HTML verzamelindex #VERSION$! (#TEMPLATE$!)">
<title>Name index &ndash; #TITLE$!</title>
<base target="_top">
<link rel="stylesheet" href="#FILE(css)!">
<link rel="stylesheet" href="#FILE(searchcss)!">
</head>
<body class="kc-page">
<div class="kc-nav">#LINKFIRST(index)!#LINKPREV(index)!<span class="kc-navtitle">Name index</span>#LINKNEXT(index)!#LINKLAST(index)!</div>
#KSLTEXT(searchpane)!
<div class="kc-sheet kc-index">
  #INDEXDATA!
</div>
<div class="kc-nav">#LINKFIRST(index)!#LINKPREV(index)!<span class="kc-navtitle">Name index</span>#LINKNEXT(index)!#LINKLAST(index)!</div>
</body>
</html>
