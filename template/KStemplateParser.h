// Expands one template file into one or more output files. Placeholders are
// "#" expression "!" anywhere in a line (the "!" is the first one outside
// double quotes and round brackets). A placeholder whose name the caller
// registered goes to the caller's variable callback; any other is compiled
// quietly and run as an expression of the template language, so a faulty
// one expands to nothing. The caller may end the current output file in the
// middle of the template and go on in a next one: the template's head and
// tail are repeated on every page.
#pragma once

#include "LINE_INPUT/KSFileStream.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace ks {

class TKSprogressBar;

// What the writers of lists see of the processor while a placeholder is
// being replaced. Tests of the writers implement it with a fake.
class TKStemplateOutput {
public:
    virtual ~TKStemplateOutput() = default;
    // The current output file; writers may write whole lines to it before
    // the placeholder's own line is written.
    virtual TKSFileStream& Output() = 0;
    virtual const std::string& OutputFolder() const = 0; // ends with "/"
    virtual const std::string& OutputFile() const = 0;   // name without folder
    // Characters in front of the placeholder on its template line.
    virtual int32_t PlaceholderColumn() const = 0;
    virtual const std::string& EntryName() const = 0;
    // Advances the progress bar by n, never beyond its maximum.
    virtual void StepProgress(int64_t n) = 0;
    // Finishes the current output with the rest of the template and goes on
    // in the next file; false when there is no next file.
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

    // Registers the comma-separated names ("FILE,REPORTLIST,...").
    void SetVariableNames(const std::string& list);
    void SetOutputFolder(const std::string& path);
    // A path with a folder part also sets the output folder.
    void SetOutputFile(const std::string& path);
    // One pass in collect mode: the line count in decimal, then "," and the
    // registered names of every line that uses any ("37,INDEXKEYS,INDEXDATA").
    std::string CountVariables();
    // Expands the whole template into the output file(s).
    bool Execute();
    std::string ExpandLine(const std::string& line, Mode mode);

    int32_t LinesRead() const { return linesRead_; }
    const std::string& VariableNames() const { return variableNames_; }

    // TKStemplateOutput
    TKSFileStream& Output() override;
    const std::string& OutputFolder() const override { return outputFolder_; }
    const std::string& OutputFile() const override { return outputFile_; }
    int32_t PlaceholderColumn() const override { return placeholderColumn_; }
    const std::string& EntryName() const override { return Entry; }
    void StepProgress(int64_t n) override;
    bool NextPage() override;

private:
    std::string variableNames_ = ",";
    std::string outputFolder_;
    std::string outputFile_;
    int32_t placeholderColumn_ = 0;
    int32_t linesRead_ = 0;
    std::unique_ptr<TKSFileStream> reader_;
    std::unique_ptr<TKSFileStream> writer_;
};

} // namespace ks
