// Byte-level text conversions: the HTML entity table, the upper-case and
// folding tables behind sort keys, OEM to ANSI, and packing of whole numbers
// into short byte strings (compiled template code, stored dates).
// Texts are Windows-1252 bytes; every conversion keeps the order of the bytes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace ks {

// Every byte replaced by its entity text ("&amp;", "&eacute;", ...) or kept.
std::string HtmlEncode(const std::string& text);
// Byte-for-byte through the upper-case table; the length stays.
std::string UpperCaseTable(const std::string& text);
// Byte-for-byte through the sort-key folding table; the length stays.
std::string FoldTable(const std::string& text);
// Code page 850 to Windows-1252; characters without an equivalent (box
// drawing, shades) become a look-alike ASCII byte. The length stays.
std::string OemToAnsi(const std::string& text);
// The same two tables appending to a text being built (sort keys).
void AppendUpperCaseTable(std::string& out, std::string_view text);
void AppendFoldTable(std::string& out, std::string_view text);

unsigned char UpperCaseByte(unsigned char c);
unsigned char FoldByte(unsigned char c);
// The entity text of one byte as a C string; a byte without a name comes back
// as a one-character text (so byte 0 reads as "").
const char* HtmlEntity(unsigned char c);

// Least significant byte first; the reversed forms put the most significant first.
std::string PackWord(int16_t value);
std::string PackWordReversed(int16_t value);
std::string PackLong(int32_t value);
std::string PackLongReversed(int32_t value);
std::string PackInt64(uint32_t low, uint32_t high);
std::string PackInt64Reversed(uint32_t low, uint32_t high);
std::string PackInt64(int64_t value);

// Readers never look past the end of the text. ReadWord and ReadLong take
// missing bytes as 0; ReadInt64 and ReadSingle give 0 for a text too short.
uint16_t ReadWord(const std::string& text);
int32_t ReadLong(const std::string& text);
int64_t ReadInt64(const std::string& text);
float ReadSingle(const std::string& text);

} // namespace ks
