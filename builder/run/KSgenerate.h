// The generation run: from the selected index documents and a layout to the
// combined HTML index in the output folder. Merges the documents, folds
// duplicates and cuts pages, then handles every layout entry in order: a
// template is expanded (its builder variables answered by KSbuilderVariables), a plain file
// copied. Stop requests are honoured between steps. The files are written
// into a private folder first and replace the old results only when every
// entry is done: a run that fails or is stopped leaves the output folder as
// it was.
#pragma once

#include "builder/combine/KSmerge.h"
#include "builder/run/KSrunSummary.h"
#include "common/KSfileio.h"
#include "common/KSproblem.h"

#include <cstdint>
#include <exception>
#include <memory>
#include <string>
#include <vector>

namespace ks {

class TKSbuilder;
class TKSkslFile;
class TKSprogressBar;
class TKSrunProgress;
class TKSstagedOutput;
class TKStemplateParser;
struct TKSvariableCount;

// What a run would do: the old results it would delete, the files of the
// user it would move to the trash and the files it would write, in order.
struct TKSrunPlan {
    std::vector<std::string> Deletions;
    std::vector<std::string> Trash;
    std::vector<std::string> Outputs;
};

class TKSgenerator {
public:
    TKSgenerator(TKSbuilder& builder, TKSrunProgress& progress);
    ~TKSgenerator();

    // The whole run, started afresh from the builder's settings: nothing an
    // earlier run of the same builder learnt is carried over. Never leaves
    // temporary files behind (unless developer mode), whatever fails.
    TKSrunResult GenerateIndex();
    // The same checks, merge and page cutting, touching nothing outside the
    // run's private folder, and the lists of what the run would delete and
    // write. Raises the error a run would report before its first output.
    TKSrunPlan PlanRun();

    // The value of a builder variable, given the placeholder text (name and
    // arguments); list variables write their lines into the parser's output.
    std::string ResolveVariable(const std::string& placeholder, TKStemplateParser& parser);
    // The file name of the next page of the entry being expanded.
    std::string NextPageFileName(TKStemplateParser& parser);
    // The progress maximum of a template from what it uses.
    int64_t EstimateProgress(const TKSvariableCount& count, bool split) const;

    // The builder variables every template may use, comma-separated.
    static const std::string& VariableNames();

private:
    void StartState();
    void CheckBeforeStart();
    void LockOutputFolder();
    void WriteExportFiles(TKSrunResult& result);
    void Publish(TKSrunResult& result);
    std::vector<std::string> OldResultMasks() const;
    std::vector<std::string> PlannedOutputs(const TKSkslFile& entry) const;
    void CutNameList();
    void ComparePersons();
    bool ListsNewPersons() const;
    void RunSteps(TKSrunResult& result);
    void RunEntry(int step, const TKSkslFile& entry, TKSrunResult& result);
    void ExpandTemplate(const TKSkslFile& entry, TKSprogressBar& bar, TKSrunResult& result);
    void CopyPlainFile(int step, const TKSkslFile& entry, TKSprogressBar& bar,
                       TKSrunResult& result);
    void Finish(TKSrunResult& result);
    void GatherSummary(TKSrunResult& result) const;
    void NoteError(TKSrunResult& result, int step, const std::exception& error);

    // What the run learns lives in the builder's state; the generator holds
    // only the resources of a run.
    TKSbuilder& builder_;
    TKSrunProgress& progress_;
    File outputLock_; // held from before the first step to the end of the run
    std::unique_ptr<TKSstagedOutput> staged_; // where the files go until the run is complete
};

} // namespace ks
