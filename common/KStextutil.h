// Text operations on byte strings (Windows-1252); positions count from 1.
// Free functions without state.
#pragma once

#include <string>

namespace ks {

// Position of the first delimiter outside quoted parts (and, with parens,
// outside parentheses), or 0. An empty delimiter is never found.
int FindOutside(const std::string& text, const std::string& delimiter, char quoteChar, bool parens);
// field = text before that delimiter, text = the rest after it; without one,
// field = the whole text and text becomes empty.
void CutField(std::string& text, const std::string& delimiter, char quoteChar, std::string& field,
              bool parens);
// Removes enclosing pairs (pairs holds opening/closing characters two by two);
// true when anything was removed.
bool StripEnclosing(std::string& text, const std::string& pairs);

std::string PadRight(const std::string& text, int width, char ch);
std::string PadLeft(const std::string& text, int width, char ch);
std::string Center(const std::string& text, int width, char ch);

int PosFrom(int start, const std::string& text, const std::string& sub);
int PosChar(int start, const std::string& text, char ch);
int LastPosChar(int start, const std::string& text, char ch);
int FirstOfChars(const std::string& chars, const std::string& text, int start);

// Same length, '#' faces a digit, every other mask character faces itself.
bool MatchMask(const std::string& text, const std::string& mask);
bool IsDigits(const std::string& text);
// Decimal value of a whole number (leading blanks, optional sign, digits, nothing
// after them) within the 32-bit range, else def.
int StrToIntDef(const std::string& text, int def);

std::string ToRoman(int n);
int FromRoman(const std::string& text);
// Code of at most length characters (at least the first letter), padded with '0'.
std::string Soundex(const std::string& text, int length);

// Small helpers shared by the core.
std::string Trim(const std::string& text); // blanks and control bytes at both ends
std::string TrimLeft(const std::string& text);
std::string TrimRight(const std::string& text);
std::string AsciiUpper(const std::string& text); // only a to z change
std::string AsciiLower(const std::string& text); // only A to Z change
bool SameTextAscii(const std::string& a, const std::string& b);

} // namespace ks
