<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<meta name="generator" content="KESTRIN HTML verzamelindex #VERSION$! (#TEMPLATE$!)">
<title>Family trees#TITLE$( &ndash; )!</title>
<base target="_top">
<link rel="stylesheet" href="#FILE(css)!">
<script>if (window.top !== window.self) document.documentElement.className += " kc-framed";</script>
</head>
<body class="kc-page">
<a class="kc-skip" href="#names">Skip to the content</a>
<header class="kc-nav kc-homebar">
  <a class="kc-home" href="#FILE(frame)!">Start page</a>
</header>
<main id="names" class="kc-sheet">
  <h1><span class="kc-kicker">#KSLTEXT(kicker)!</span> #TITLE$!</h1>
  <p class="kc-intro">#KSLTEXT(intro)!</p>
  <h2>Family trees in this index</h2>
  <table class="kc-reports">
    <thead>
      <tr><th>No.</th><th>Title</th><th>Persons</th><th>From</th><th>To</th><th>Compiled by</th><th>Date</th></tr>
    </thead>
    <tbody>
      #REPORTLIST(id,title,count,min,max,user,date)!
    </tbody>
  </table>
  <p class="kc-start"><a href="#FILE(index)!" target="_self">Open the name index</a> &middot; <a href="#FILE(names)!" target="_self">List of surnames</a></p>
  <p class="kc-note">#KSLTEXT(note)!</p>
</main>
</body>
</html>
