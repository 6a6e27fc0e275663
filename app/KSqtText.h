// The one crossing between the core's texts and Qt's. The core keeps texts as
// Windows-1252 bytes and paths as the system's bytes; Qt works in Unicode.
// Texts go through the core's 256-entry table, paths through Qt's file-name
// codec, so a file name that is no valid text still reaches the same file.
#pragma once

#include <QString>
#include <string>

namespace ks::app {

// A core text (Windows-1252) as a Qt string.
QString FromKS(const std::string& text);
// A Qt string as a core text: letters Windows-1252 lacks become the nearest
// ones it has (see Utf8ToNearestWindows1252); replaced, when given, tells
// whether any character could not be kept as typed.
std::string ToKS(const QString& text, bool* replaced = nullptr);

// A text of a tree (a title, a name: UTF-8 in the core) as a Qt string, and
// one typed for a tree, as typed.
QString FromTree(const std::string& utf8);
// A message of the core that may quote tree texts or paths (UTF-8) among its
// own words (Windows-1252), as the command line reads it too.
QString FromMessage(const std::string& message);
std::string ToTree(const QString& text);
// A path as the system has it (bytes) as a Qt string, and back.
QString FromPath(const std::string& path);
std::string ToPath(const QString& path);

// The translated text of a localised literal ("#1511.1=kies een map"),
// looked up in section "Text" of the user-interface texts.
QString Lookup(const std::string& literal);

} // namespace ks::app
