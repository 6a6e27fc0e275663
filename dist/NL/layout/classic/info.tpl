<!DOCTYPE html>
<html lang="nl">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<meta name="generator" content="KESTRIN HTML verzamelindex #VERSION$! (#TEMPLATE$!)">
<title>Stambomen#TITLE$( &ndash; )!</title>
<base target="_top">
<link rel="stylesheet" href="#FILE(css)!">
<script>if (window.top !== window.self) document.documentElement.className += " kc-framed";</script>
</head>
<body class="kc-page">
<a class="kc-skip" href="#names">Naar de inhoud</a>
<header class="kc-nav kc-homebar">
  <a class="kc-home" href="#FILE(frame)!">Startpagina</a>
</header>
<main id="names" class="kc-sheet">
  <h1><span class="kc-kicker">#KSLTEXT(kicker)!</span> #TITLE$!</h1>
  <p class="kc-intro">#KSLTEXT(intro)!</p>
  <h2>Stambomen in deze index</h2>
  <table class="kc-reports">
    <thead>
      <tr><th>Nr.</th><th>Titel</th><th>Personen</th><th>Vanaf</th><th>Tot</th><th>Samensteller</th><th>Datum</th></tr>
    </thead>
    <tbody>
      #REPORTLIST(id,title,count,min,max,user,date)!
    </tbody>
  </table>
  <p class="kc-start"><a href="#FILE(index)!" target="_self">Open de naamindex</a> &middot; <a href="#FILE(names)!" target="_self">Lijst van achternamen</a></p>
  <p class="kc-note">#KSLTEXT(note)!</p>
</main>
</body>
</html>
