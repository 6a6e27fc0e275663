#include "cli/InfoCommands.h"
#include "builder/run/KSfetchedDocument.h"

#include "cli/Messages.h"
#include "cli/OptionTable.h"
#include "common/KScodepage.h"
#include "common/KScommon.h"
#include "common/KSfiles.h"
#include "common/KSlocal.h"
#include "fetch/KSfetch.h"
#include "index/KSdocumentCharset.h"
#include "index/KSdocumentCheck.h"
#include "index/KSdocumentText.h"
#include "index/KShtxData.h"
#include "index/KSlayoutList.h"

#include <algorithm>
#include <ostream>

namespace ks::cli {

namespace {

constexpr int kUsageError = 2;
std::string LayoutsUsage() {
    return Say("#1606.24=gebruik: kestrin-index layouts") + "\n";
}

std::string InfoUsage() {
    return Say("#1606.25=gebruik: kestrin-index info [--] DOCUMENT.htx") + "\n";
}

// The labels of the list of layouts, their values in one column.
struct LayoutLabels {
    std::string file = Say("#1606.28=bestand");
    std::string comment = Say("#1606.29=toelichting");
    std::string asks = Say("#1606.30=vraagt");

    std::string operator()(const std::string& label) const {
        const std::size_t width = std::max({file.size(), comment.size(), asks.size()});
        return "  " + label + ":" + std::string(width - label.size() + 1, ' ');
    }
};

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
        out << LayoutsUsage();
        return 0;
    }
    if (!args.empty()) {
        err << "kestrin-index layouts: " << Say("#1606.26=geen argumenten verwacht") << '\n'
            << LayoutsUsage();
        return kUsageError;
    }
    const std::string folder = environment->LanguageFolder + "layout/";
    const auto layouts = LoadLayouts(folder);
    if (layouts.empty()) {
        err << "kestrin-index: " << ProblemLine({folder, Say("#1566.2=geen stijlen gevonden")})
            << '\n';
        return 1;
    }
    const LayoutLabels label;
    for (const auto& layout : layouts) {
        out << TerminalText(Windows1252ToUtf8(layout->Title)) << '\n'
            << label(label.file) << TerminalText(layout->LayoutFile) << '\n';
        if (!layout->Comment.empty())
            out << label(label.comment)
                << Indented(TerminalText(Windows1252ToUtf8(layout->Comment), true)) << '\n';
        if (!layout->AskUser.empty())
            out << label(label.asks) << TerminalText(Windows1252ToUtf8(layout->AskUser)) << '\n';
    }
    return 0;
}

int RunInfo(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (IsHelp(args)) {
        out << InfoUsage();
        return 0;
    }
    std::vector<std::string> documents = args;
    if (!documents.empty() && documents[0] == "--") {
        documents.erase(documents.begin());
    } else if (!documents.empty() && documents[0].size() > 1 && documents[0][0] == '-') {
        err << "kestrin-index info: " << UnknownOption(TerminalText(documents[0])).message << '\n'
            << InfoUsage();
        return kUsageError;
    }
    if (documents.size() != 1) {
        err << "kestrin-index info: " << Say("#1606.27=\xE9\xE9n document verwacht") << '\n'
            << InfoUsage();
        return kUsageError;
    }
    const std::string& given = documents[0];
    std::string path = given;
    // A document given by its address: its copy, fetched as a build fetches it.
    if (IsFetchAddress(given)) {
        const TKSfetchedDocument fetched = FetchIndexDocument(given, Environment().TempFolder);
        if (!fetched.Warning.empty())
            err << "kestrin-index: " << Say("#1566.5=waarschuwing") << ": "
                << ProblemLine({given, MessageToUtf8(fetched.Warning)}) << '\n';
        if (!fetched.Problem.empty()) {
            err << "kestrin-index: " << ProblemLine({given, MessageToUtf8(fetched.Problem)})
                << '\n';
            return 1;
        }
        path = fetched.Document;
    }
    if (const std::string problem = IndexDocumentProblem(path); !problem.empty()) {
        err << "kestrin-index: " << ProblemLine({given, MessageToUtf8(problem)}) << '\n';
        return 1;
    }
    const TKShtxData document(path);
    out << TerminalText(document.Title) << '\n';
    out << TerminalText(DescribeDocument(document), true);
    // Right-aligned like the labels of the description above it.
    const std::string linesLabel = Say("#1602.10=indexregels");
    out << std::string(linesLabel.size() < 18 ? 18 - linesLabel.size() : 0, ' ') << linesLabel
        << " : " << CountIndexLines(path) << '\n';
    if (document.Charset != TKSdocumentCharset::Utf8 && DocumentLooksLikeUtf8(path))
        out << Say("#1566.5=waarschuwing") << ": "
            << Say("#1566.6=lijkt UTF-8-tekst te zijn; indexdocumenten worden als Windows-1252 "
                   "gelezen, dus de namen met accenten worden verkeerd getoond; charset=utf-8 in "
                   "de "
                   "sectie [KESTRIN] laat het als UTF-8 lezen")
            << '\n';
    return 0;
}

} // namespace ks::cli
