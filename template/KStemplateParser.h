// Expands one template file into one or more output files. Placeholders are
// "#" expression "!" anywhere in a line (the "!" is the first one outside
// double quotes and round brackets). A placeholder whose name the caller
// registered goes to the caller's variable callback; any other is compiled
// quietly and run as an expression of the template language, so a faulty
// one expands to nothing. The caller may end the current output file in the
// middle of the template and go on in a next one: the template's head and
// tail are repeated on every page.
//
// Every occurrence of a placeholder on a line is replaced at once (letters
// compared without regard to case), so identical placeholders reach the
// callback once. A replacement is scanned again for placeholders from its
// third character on (a layout text may hold "#TITLE$!"); such nesting stops
// a few levels deep, so a replacement that holds its own placeholder cannot
// expand for ever.
//
// Output files are named by the caller: a name from SetOutputFile or
// OnNextFile is used as given, after the output folder. Keeping the output
// inside that folder (no "/" or ".." in the names) is the caller's duty. An
// output path that is the template itself is refused with EWriteError. The
// files may be written elsewhere (SetWriteFolder) and moved into the output
// folder later: what is written stays the same, as links are made relative
// to the output folder.
//
// Templates and every text the processor or its callers produce are
// Windows-1252; with Utf8Output the output files are written in UTF-8, each
// line converted as it is written (the lines the callers' writers write
// included), except the parts a replacement marked as UTF-8 already.
#pragma once

#include "LINE_INPUT/KSFileStream.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace ks {

// What one pass in collect mode finds in a template.
struct TKSvariableCount {
    int32_t Lines = 0;              // lines of the template
    std::vector<std::string> Names; // registered names, once per line that uses them, in order
};

class TKSprogressBar;

// What the writers of lists see of the processor while a placeholder is
// being replaced. Tests of the writers implement it with a fake.
class TKStemplateOutput {
public:
    virtual ~TKStemplateOutput() = default;
    // The current output file; writers may write whole lines to it before
    // the placeholder's own line is written.
    virtual TKSFileStream& Output() = 0;
    // Where the output file belongs, and what links are relative to.
    virtual const std::string& OutputFolder() const = 0; // ends with "/"
    virtual const std::string& OutputFile() const = 0;   // name without folder
    // Where files of the output are written for now (more files beside the
    // output file go there too); ends with "/".
    virtual const std::string& WriteFolder() const { return OutputFolder(); }
    // Characters in front of the placeholder on its template line.
    virtual int32_t PlaceholderColumn() const = 0;
    virtual const std::string& EntryName() const = 0;
    // Advances the progress bar by n, never beyond its maximum.
    virtual void StepProgress(int64_t n) = 0;
    // Finishes the current output with the rest of the template and goes on
    // in the next file; false when there is no next file (or no expansion is
    // running). Then Output() discards what is written to it and the template
    // ends after the current line. While the head and tail are expanded for a
    // page change, their own placeholders get false: they cannot change pages.
    virtual bool NextPage() = 0;
};

class TKStemplateParser : public TKStemplateOutput {
public:
    // Given the expression text (as written) and the processor, gives the
    // replacement text.
    using VariableCallback = std::function<std::string(const std::string&, TKStemplateParser&)>;
    // Gives the file name of the next output file ("" when there is none).
    using NextFileCallback = std::function<std::string(TKStemplateParser&)>;

    enum class Mode { Expand, Collect };

    TKStemplateParser();
    ~TKStemplateParser() override;
    TKStemplateParser(const TKStemplateParser&) = delete;
    TKStemplateParser& operator=(const TKStemplateParser&) = delete;

    std::string TemplateFile;
    std::string Entry; // the entry name, for the caller's use
    VariableCallback OnVariable;
    NextFileCallback OnNextFile;
    TKSprogressBar* ProgressBar = nullptr;
    bool Utf8Output = false; // write the output files in UTF-8

    // Registers the comma-separated names in upper case ("FILE,REPORTLIST,...").
    void SetVariableNames(const std::string& list);
    // Adds the trailing "/" when missing; an empty path stays empty (the
    // current folder) rather than becoming the root folder.
    void SetOutputFolder(const std::string& path);
    // A path with a folder part also sets the output folder.
    void SetOutputFile(const std::string& path);
    // Writes the files into path in place of the output folder, which stays
    // what links are relative to. An empty path writes into the output folder.
    void SetWriteFolder(const std::string& path);
    // One pass in collect mode: the line count and the registered names of
    // every line that uses any (37; INDEXKEYS, INDEXDATA). A template that
    // cannot be opened counts as empty. Raises EAssertionFailed when called
    // during Execute.
    TKSvariableCount CountVariables();
    // Expands the whole template into the output file(s); a template that
    // cannot be opened gives an empty output. An output that cannot be
    // created raises EWriteError naming it. Errors of expressions and
    // callbacks pass through. False only when called during its own run.
    bool Execute();
    // Expand mode gives the line with its placeholders replaced; collect mode
    // gives the registered names the line uses, comma-separated, and calls
    // nothing.
    std::string ExpandLine(const std::string& line, Mode mode);

    // For OnVariable: the replacement text is what a user typed, to be
    // inserted as it is and never scanned again for placeholders.
    std::string Verbatim(std::string text) {
        verbatim_ = true;
        return text;
    }
    // The same for a text whose bytes in utf8 (in text order) are UTF-8
    // already (a user's text as typed, names of trees, for output in UTF-8):
    // with Utf8Output they are written as they are and the rest is
    // converted as usual.
    std::string VerbatimUtf8(std::string text, std::vector<TKSbyteRange> utf8) {
        verbatimUtf8_ = std::move(utf8);
        return Verbatim(std::move(text));
    }
    // The same for one part, bytes [from, from + size).
    std::string VerbatimUtf8(std::string text, std::size_t from, std::size_t size) {
        const std::size_t begin = std::min(from, text.size());
        const std::size_t end = begin + std::min(size, text.size() - begin);
        return VerbatimUtf8(std::move(text), {TKSbyteRange{begin, end}});
    }

    int32_t LinesRead() const { return linesRead_; }

    // TKStemplateOutput
    TKSFileStream& Output() override;
    const std::string& OutputFolder() const override { return outputFolder_; }
    const std::string& OutputFile() const override { return outputFile_; }
    const std::string& WriteFolder() const override {
        return writeFolder_.empty() ? outputFolder_ : writeFolder_;
    }
    int32_t PlaceholderColumn() const override { return placeholderColumn_; }
    const std::string& EntryName() const override { return Entry; }
    void StepProgress(int64_t n) override;
    bool NextPage() override;

private:
    enum class Pass { None, Count, Execute };
    class PassGuard;
    class PageGuard;
    class PlaceholderLine;

    std::size_t HandlePlaceholder(PlaceholderLine& text, std::size_t hash, Mode mode,
                                  std::string& names, int& replacements);
    std::string Replacement(const std::string& expression, const std::string& name,
                            std::size_t hash, Mode mode, std::string& names);
    bool IsRegistered(const std::string& name) const;
    // ExpandLine, also giving the ranges of the expanded line that are UTF-8
    // already (when utf8 is given).
    std::string Expand(const std::string& line, Mode mode, std::vector<TKSbyteRange>* utf8);
    void OpenReader();
    void OpenWriter();
    void CountLine();
    // Reads, expands and writes template lines up to the end, or up to line
    // stopAt when it is above 0 (that line is read and skipped).
    void ExpandLines(int32_t stopAt);

    std::string variableNames_ = ",";
    std::string outputFolder_;
    std::string outputFile_;
    std::string writeFolder_; // "" while the files go into the output folder
    int32_t placeholderColumn_ = 0;
    int32_t linesRead_ = 0;
    std::unique_ptr<TKSFileStream> reader_;
    std::unique_ptr<TKSFileStream> writer_;
    std::unique_ptr<TKSFileStream> discard_; // Output() when there is no current output
    Pass pass_ = Pass::None;
    bool paging_ = false;
    bool verbatim_ = false;                  // the replacement being made is a user's text
    std::vector<TKSbyteRange> verbatimUtf8_; // the parts of that text that are UTF-8 already
};

} // namespace ks
