// Conversion between the core's Windows-1252 texts and UTF-8 at a user
// interface boundary (the terminal, the wizard). Every one of the 256 bytes
// survives the round trip: the five bytes that code page leaves undefined
// map to the control characters of the same value.
#pragma once

#include <string>
#include <string_view>

namespace ks {

std::string Windows1252ToUtf8(std::string_view text);
// The same, appended to out.
void AppendWindows1252ToUtf8(std::string& out, std::string_view text);
// The byte of code point cp in Windows-1252 (the five undefined bytes stand
// for the control characters of their value), or -1 when it has none.
int Windows1252Byte(char32_t cp);
// The code point of a Windows-1252 byte (the five undefined bytes stand for
// the control characters of their value).
char32_t Windows1252CodePoint(unsigned char byte);
// A program text that may hold paths (a message naming files): valid UTF-8
// multi-byte sequences, as paths are usually spelled, stay as they are;
// every other byte is read as Windows-1252.
std::string MessageToUtf8(std::string_view text);
// The same, appended to out.
void AppendMessageToUtf8(std::string& out, std::string_view text);
// Characters without a Windows-1252 byte, and bytes that are no valid
// UTF-8, become "?".
std::string Utf8ToWindows1252(std::string_view text);

// Text a user typed (the wizard's fields, the command line's arguments)
// crosses into the core here, so both front ends spell it alike: letters
// the code page lacks become the nearest ones it holds (a letter without its
// mark, a ligature spelled out, a typographic mark as its plain sign), and
// "?" stands only where nothing is near (another script, invalid bytes).
struct NearestText {
    std::string Text;
    bool Replaced = false;  // some character could not be kept as typed
    long ReplacedCount = 0; // how many characters could not be kept
};
NearestText Utf8ToNearestWindows1252(std::string_view text);

} // namespace ks
