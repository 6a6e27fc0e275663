// A small reader of rich text (RTF) for the explanation page: paragraphs and
// line breaks, bold, italic, underline, font sizes, colours from the colour
// table, and the escapes \'hh (a Windows-1252 byte) and \uN (a Unicode
// character with its \ucN substitutes skipped), turned into Qt rich text.
// Tables, pictures, fonts and every other destination are left out.
#pragma once

#include <QString>

class QByteArray;

namespace ks::app {

// The HTML that QTextDocument shows for rtf; plain text for text that is no RTF.
QString RtfToHtml(const QByteArray& rtf);

} // namespace ks::app
