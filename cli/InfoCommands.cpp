#include "cli/InfoCommands.h"

#include "cli/Messages.h"
#include "common/KScodepage.h"
#include "common/KScommon.h"
#include "common/KSfiles.h"
#include "common/KSlocal.h"
#include "index/KSdocumentCharset.h"
#include "index/KSdocumentCheck.h"
#include "index/KSdocumentText.h"
#include "index/KShtxData.h"
#include "index/KSlayoutList.h"

#include <ostream>

namespace ks::cli {

namespace {

constexpr int kUsageError = 2;
const char* const kLayoutsUsage = "usage: kestrin-index layouts\n";
const char* const kInfoUsage = "usage: kestrin-index info [--] DOCUMENT.htx\n";

// A text of the language files in the run's language, for the terminal.
std::string Say(const char* literal) {
    return MessageToUtf8(LocalText(literal));
}

bool IsHelp(const std::vector<std::string>& args) {
    return args.size() == 1 && (args[0] == "-h" || args[0] == "--help");
}

// Each line of a multi-line text indented under its label.
std::string Indented(const std::string& text) {
    std::string result;
    for (char c : text) {
        if (c == '\r') continue;
        result += c;
        if (c == '\n') result += "    ";
    }
    return result;
}

} // namespace

int RunLayouts(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const TKScommon* environment = &Environment();
    if (IsHelp(args)) {
        out << kLayoutsUsage;
        return 0;
    }
    if (!args.empty()) {
        err << "kestrin-index layouts: no arguments expected\n" << kLayoutsUsage;
        return kUsageError;
    }
    const std::string folder = environment->LanguageFolder + "layout/";
    const auto layouts = LoadLayouts(folder);
    if (layouts.empty()) {
        err << "kestrin-index: " << ProblemLine({folder, Say("#1566.2=geen stijlen gevonden")})
            << '\n';
        return 1;
    }
    for (const auto& layout : layouts) {
        out << TerminalText(Windows1252ToUtf8(layout->Title)) << '\n'
            << "  file:    " << TerminalText(layout->LayoutFile) << '\n';
        if (!layout->Comment.empty())
            out << "  comment: " << Indented(TerminalText(Windows1252ToUtf8(layout->Comment), true))
                << '\n';
        if (!layout->AskUser.empty())
            out << "  asks:    " << TerminalText(Windows1252ToUtf8(layout->AskUser)) << '\n';
    }
    return 0;
}

int RunInfo(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (IsHelp(args)) {
        out << kInfoUsage;
        return 0;
    }
    std::vector<std::string> documents = args;
    if (!documents.empty() && documents[0] == "--") {
        documents.erase(documents.begin());
    } else if (!documents.empty() && documents[0].size() > 1 && documents[0][0] == '-') {
        err << "kestrin-index info: unknown option " << TerminalText(documents[0]) << '\n'
            << kInfoUsage;
        return kUsageError;
    }
    if (documents.size() != 1) {
        err << "kestrin-index info: one document expected\n" << kInfoUsage;
        return kUsageError;
    }
    const std::string& path = documents[0];
    if (const std::string problem = IndexDocumentProblem(path); !problem.empty()) {
        err << "kestrin-index: " << ProblemLine({path, MessageToUtf8(problem)}) << '\n';
        return 1;
    }
    const TKShtxData document(path);
    out << TerminalText(Windows1252ToUtf8(document.Title)) << '\n';
    out << TerminalText(Windows1252ToUtf8(DescribeDocument(document)), true);
    // Right-aligned like the labels of the description above it.
    const std::string linesLabel = Say("#1602.10=indexregels");
    out << std::string(linesLabel.size() < 18 ? 18 - linesLabel.size() : 0, ' ') << linesLabel
        << " : " << CountIndexLines(path) << '\n';
    if (DocumentLooksLikeUtf8(path))
        out << Say("#1566.5=waarschuwing") << ": "
            << Say("#1566.6=lijkt UTF-8-tekst te zijn; indexdocumenten worden als Windows-1252 "
                   "gelezen, dus de namen met accenten worden verkeerd getoond")
            << '\n';
    return 0;
}

} // namespace ks::cli
