// Whether a document's text looks like UTF-8. Index documents are written in
// Windows-1252; one saved as UTF-8 by another program reads without error but
// shows its accented names wrong (two odd characters for one letter), so the
// tools point it out before a combined index is built from it.
#pragma once

#include <string>
#include <string_view>

namespace ks {

// Reads a text piece by piece (a multi-byte sequence may be cut between two
// pieces). The text looks like UTF-8 when it holds at least one valid
// multi-byte sequence and no byte above 127 outside one: plain ASCII does not
// count, and neither does Windows-1252 text with an accented letter that
// happens to look like a sequence somewhere beside one that does not.
class TKSutf8Scanner {
public:
    void Feed(std::string_view piece);
    // The verdict on everything fed so far; a sequence cut off at the end
    // counts as invalid.
    bool LooksLikeUtf8() const { return sequences_ > 0 && !invalid_ && expected_ == 0; }
    // True once the answer can no longer become yes.
    bool Invalid() const { return invalid_; }

private:
    void StartSequence(unsigned char lead);

    int expected_ = 0; // continuation bytes still to come
    unsigned char low_ = 0x80;
    unsigned char high_ = 0xBF; // range of the next continuation byte
    long long sequences_ = 0;
    bool invalid_ = false;
};

bool LooksLikeUtf8(std::string_view text);

// The whole file read through a TKSutf8Scanner; false for a file that cannot
// be read (reading stops early once the answer is no).
bool DocumentLooksLikeUtf8(const std::string& path);

} // namespace ks
