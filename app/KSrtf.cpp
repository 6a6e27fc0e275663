#include "app/KSrtf.h"

#include "app/KSqtText.h"

#include <QByteArray>
#include <QColor>
#include <QList>
#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

namespace ks::app {

namespace {

struct Style {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int halfPoints = 24;
    int colour = 0;    // index in the colour table; 0 the default
    bool skip = false; // inside a destination that is not shown
    int ucSkip = 1;    // substitutes that follow a \u character
};

bool operator==(const Style& a, const Style& b) {
    return a.bold == b.bold && a.italic == b.italic && a.underline == b.underline &&
           a.halfPoints == b.halfPoints && a.colour == b.colour;
}

class RtfReader {
public:
    explicit RtfReader(const QByteArray& rtf) : rtf_(rtf) {}

    QString Html() {
        while (pos_ < rtf_.size())
            Step();
        EndParagraph(false);
        return html_;
    }

private:
    void Step() {
        const char c = rtf_[pos_++];
        if (c == '{') {
            stack_.push_back(style_);
            if (Peek("\\*")) style_.skip = true;
        } else if (c == '}') {
            if (inColourTable_ && stack_.size() == colourTableDepth_) inColourTable_ = false;
            if (!stack_.empty()) {
                style_ = stack_.back();
                stack_.pop_back();
            }
        } else if (c == '\\') {
            ControlWord();
        } else if (c == '\r' || c == '\n') {
        } else if (inColourTable_ && c == ';') {
            colours_.push_back(QColor(red_, green_, blue_));
            red_ = green_ = blue_ = 0;
        } else {
            Text(QString(FromKS(std::string(1, c))));
        }
    }

    bool Peek(const char* text) const { return rtf_.mid(pos_, qsizetype(qstrlen(text))) == text; }

    void ControlWord() {
        if (pos_ >= rtf_.size()) return;
        const char first = rtf_[pos_];
        if (!std::isalpha(static_cast<unsigned char>(first))) {
            ++pos_;
            Symbol(first);
            return;
        }
        std::string word;
        while (pos_ < rtf_.size() && std::isalpha(static_cast<unsigned char>(rtf_[pos_])))
            word += rtf_[pos_++];
        bool hasNumber = false;
        long number = 0;
        bool negative = false;
        if (pos_ < rtf_.size() && rtf_[pos_] == '-') {
            negative = true;
            ++pos_;
        }
        while (pos_ < rtf_.size() && std::isdigit(static_cast<unsigned char>(rtf_[pos_]))) {
            hasNumber = true;
            number = std::min(number * 10 + (rtf_[pos_++] - '0'), 10000000L);
        }
        if (negative) number = -number;
        if (pos_ < rtf_.size() && rtf_[pos_] == ' ') ++pos_; // the delimiter
        Word(word, hasNumber ? number : -1, hasNumber);
    }

    void Symbol(char c) {
        if (c == '\'') {
            const bool ok = pos_ + 2 <= rtf_.size();
            const int byte = ok ? rtf_.mid(pos_, 2).toInt(nullptr, 16) : 0;
            pos_ = std::min(pos_ + 2, rtf_.size());
            if (ok) Text(FromKS(std::string(1, static_cast<char>(byte))));
        } else if (c == '~') {
            Text(QString(QChar(0x00A0)));
        } else if (c == '\\' || c == '{' || c == '}') {
            Text(QString(QLatin1Char(c)));
        } else if (c == '*') {
            style_.skip = true;
        } else if (c == '\n' || c == '\r') {
            EndParagraph(true);
        }
    }

    void Word(const std::string& word, long n, bool hasNumber) {
        static const char* const kHidden[] = {"fonttbl",   "stylesheet",  "info",
                                              "pict",      "header",      "footer",
                                              "object",    "listtable",   "listoverridetable",
                                              "themedata", "latentstyles"};
        for (const char* hidden : kHidden)
            if (word == hidden) style_.skip = true;
        if (word == "colortbl") {
            inColourTable_ = true;
            colourTableDepth_ = stack_.size();
            style_.skip = true;
        } else if (word == "red") {
            red_ = int(n);
        } else if (word == "green") {
            green_ = int(n);
        } else if (word == "blue") {
            blue_ = int(n);
        } else if (word == "par") {
            EndParagraph(true);
        } else if (word == "line") {
            Text(QStringLiteral("\n"));
        } else if (word == "tab") {
            Text(QStringLiteral("\t"));
        } else if (word == "b") {
            style_.bold = !hasNumber || n != 0;
        } else if (word == "i") {
            style_.italic = !hasNumber || n != 0;
        } else if (word == "ul") {
            style_.underline = !hasNumber || n != 0;
        } else if (word == "ulnone") {
            style_.underline = false;
        } else if (word == "fs" && n > 0) {
            style_.halfPoints = int(std::min(n, 400L));
        } else if (word == "cf") {
            style_.colour = int(n);
        } else if (word == "plain") {
            const bool skip = style_.skip;
            const int uc = style_.ucSkip;
            style_ = Style();
            style_.skip = skip;
            style_.ucSkip = uc;
        } else if (word == "uc" && n >= 0) {
            style_.ucSkip = int(std::min(n, 8L));
        } else if (word == "u" && hasNumber) {
            Text(QString(QChar(char16_t(n < 0 ? n + 65536 : n))));
            SkipSubstitutes();
        } else if (word == "emdash") {
            Text(QString(QChar(0x2014)));
        } else if (word == "endash") {
            Text(QString(QChar(0x2013)));
        } else if (word == "bullet") {
            Text(QString(QChar(0x2022)));
        } else if (word == "lquote" || word == "rquote") {
            Text(QString(QChar(word == "lquote" ? 0x2018 : 0x2019)));
        } else if (word == "ldblquote" || word == "rdblquote") {
            Text(QString(QChar(word == "ldblquote" ? 0x201C : 0x201D)));
        }
    }

    // After \uN come ucSkip characters for readers without Unicode.
    void SkipSubstitutes() {
        for (int left = style_.ucSkip; left > 0 && pos_ < rtf_.size(); --left) {
            if (rtf_[pos_] == '\\' && pos_ + 1 < rtf_.size() && rtf_[pos_ + 1] == '\'')
                pos_ = std::min(pos_ + 4, rtf_.size());
            else if (rtf_[pos_] == '{' || rtf_[pos_] == '}')
                break;
            else
                ++pos_;
        }
    }

    void Text(const QString& text) {
        if (style_.skip || inColourTable_) return;
        if (!runOpen_ || !(runStyle_ == style_)) {
            CloseRun();
            runStyle_ = style_;
            runOpen_ = true;
            QString css = QStringLiteral("font-size:%1pt;").arg(style_.halfPoints / 2.0);
            if (style_.bold) css += QStringLiteral("font-weight:bold;");
            if (style_.italic) css += QStringLiteral("font-style:italic;");
            if (style_.underline) css += QStringLiteral("text-decoration:underline;");
            if (style_.colour > 0 && style_.colour < colours_.size())
                css += QStringLiteral("color:%1;").arg(colours_[style_.colour].name());
            paragraph_ += QStringLiteral("<span style=\"") + css + QStringLiteral("\">");
        }
        QString escaped = text.toHtmlEscaped();
        escaped.replace(QLatin1Char('\n'), QStringLiteral("<br>"));
        paragraph_ += escaped;
        empty_ = false;
    }

    void CloseRun() {
        if (runOpen_) paragraph_ += QStringLiteral("</span>");
        runOpen_ = false;
    }

    void EndParagraph(bool always) {
        if (style_.skip && always) return;
        CloseRun();
        if (always || !empty_)
            html_ += QStringLiteral("<p style=\"margin:0 0 6px 0;\">") + paragraph_ +
                     QStringLiteral("</p>");
        paragraph_.clear();
        empty_ = true;
    }

    const QByteArray& rtf_;
    qsizetype pos_ = 0;
    Style style_;
    std::vector<Style> stack_;
    QList<QColor> colours_; // entry 0 is "auto"
    bool inColourTable_ = false;
    std::size_t colourTableDepth_ = 0;
    int red_ = 0, green_ = 0, blue_ = 0;
    QString html_;
    QString paragraph_;
    Style runStyle_;
    bool runOpen_ = false;
    bool empty_ = true;
};

} // namespace

QString RtfToHtml(const QByteArray& rtf) {
    if (!rtf.startsWith("{\\rtf")) return FromKS(rtf.toStdString()).toHtmlEscaped();
    return RtfReader(rtf).Html();
}

} // namespace ks::app
