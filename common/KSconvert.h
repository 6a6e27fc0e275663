// Byte-level text conversions: the HTML entity table, the upper-case and
// folding tables behind sort keys, OEM to ANSI, and packing of whole numbers
// into short byte strings (compiled template code, stored dates).
#pragma once

#include <cstdint>
#include <string>

namespace ks {

std::string HtmlEncode(const std::string& text);
std::string UpperCaseTable(const std::string& text);
std::string FoldTable(const std::string& text);
std::string OemToAnsi(const std::string& text);

unsigned char UpperCaseByte(unsigned char c);
unsigned char FoldByte(unsigned char c);
const char* HtmlEntity(unsigned char c);

std::string PackWord(int16_t value);
std::string PackWordReversed(int16_t value);
std::string PackLong(int32_t value);
std::string PackLongReversed(int32_t value);
std::string PackInt64(uint32_t low, uint32_t high);
std::string PackInt64Reversed(uint32_t low, uint32_t high);
std::string PackInt64(int64_t value);

uint16_t ReadWord(const std::string& text);
int32_t ReadLong(const std::string& text);
int64_t ReadInt64(const std::string& text);
float ReadSingle(const std::string& text);

} // namespace ks
