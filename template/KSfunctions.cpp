#include "template/KSfunctions.h"

#include "common/KSerrors.h"
#include "common/KStextutil.h"
#include "template/KSbuiltins.h"
#include "template/KSbytecode.h"
#include "template/KSdatefunctions.h"

#include <algorithm>
#include <iterator>
#include <string_view>

namespace ks {
namespace {

using F = code::FnId;
using A = TCallArgs;

// One row per function: its ID, its signature, the order in which its
// arguments are compiled ("" for parameter order) and its handler.
struct Row {
    F id;
    const char* signature;
    const char* order = "";
    TTextHandler text = nullptr;
    TNumberHandler number = nullptr;
};

// The language's full vocabulary, shared with the family's main program; a
// row with a handler is evaluated here. Some signatures lack their closing
// parenthesis; they register exactly as if it were there.
constexpr Row kCatalogue[] = {
    {F::Initials, "T=INITIALS(T)"},
    {F::RecordNumber, "G=RECORDNUMBER(G)"},
    {F::Reference, "T=REFERENCE(G=0)"},
    {F::Generation, "G=GENERATION"},
    {F::Number, "T=NUMBER(G=0)"},
    {F::Marriages, "G=MARRIAGES"},
    {F::Children, "G=CHILDREN"},
    {F::Choice, "G=CHOICE"},
    {F::Status, "G=STATUS"},
    {F::Printer, "T=PRINTER$"},
    {F::Options, "G=OPTIONS"},
    {F::Page, "G=PAGE"},
    {F::Line, "G=LINE"},
    {F::Width, "G=WIDTH"},
    {F::Height, "G=HEIGHT"},
    {F::Sort, "T=SORT$"},
    {F::Select, "T=SELECT$"},
    {F::File, "T=FILE", "", [](const A&) { return std::string(); }}, // no database is ever open
    {F::Chr, "T=CHR$(G)", "", [](const A& a) { return FnChr(a.number[0]); }},
    {F::String, "T=STRING$(G,G)", "",
     [](const A& a) { return FnString(a.number[0], a.number[1]); }},
    {F::Mid, "T=MID$(T,G,G=-1", "",
     [](const A& a) { return FnMid(a.text[0], a.number[1], a.number[2]); }},
    {F::Info, "T=INFO$(T,G,G=16000)", "",
     [](const A& a) { return FnInfo(a.text[0], a.number[1], a.number[2]); }},
    {F::Str, "T=STR$(G,G=-1)", "", [](const A& a) { return FnStr(a.number[0], a.number[1]); }},
    {F::Trim, "T=TRIM$(T)", "", [](const A& a) { return FnTrim(a.text[0]); }},
    {F::Val, "G=VAL(T)", "", nullptr, [](const A& a) { return FnVal(a.text[0]); }},
    {F::Len, "G=LEN(T)", "", nullptr, [](const A& a) { return FnLen(a.text[0]); }},
    {F::BinAnd, "G=BINAND(G,G)"},
    {F::BinOr, "G=BINOR(G,G)"},
    {F::Center, "T=CENTER$(T,G,G=32)", "",
     [](const A& a) { return FnCenter(a.text[0], a.number[1], a.number[2]); }},
    {F::Age, "T=AGE(D,D=DATE,G=0)", "312",
     [](const A& a) { return FnAge(a.number[2], a.text[0], a.text[1]); }},
    {F::Day, "T=DAY(D,G=0)", "", [](const A& a) { return FnDay(a.text[0], a.number[1]); }},
    {F::Soundex, "T=SOUNDEX$(T,G=0", "",
     [](const A& a) { return FnSoundex(a.text[0], a.number[1]); }},
    {F::Persons, "G=PERSONS"},
    {F::Relations, "G=RELATIONS"},
    {F::PerSel, "G=PERSEL"},
    {F::RelSel, "G=RELSEL"},
    {F::NrOption, "G=NROPTION"},
    {F::DateFormat, "T=DATEFORMAT$"},
    {F::Duplicates, "T=DUPLICATES$(G=0)"},
    {F::Roman, "T=ROMAN$(G)", "", [](const A& a) { return FnRoman(a.number[0]); }},
    {F::CharacterSet, "T=CHARACTERSET$"},
    {F::Filter, "T=FILTER$(T)"},
    {F::UCase, "T=UCASE$(T)", "", [](const A& a) { return FnUpper(a.text[0]); }},
    {F::LCase, "T=LCASE$(T)", "", [](const A& a) { return FnLower(a.text[0]); }},
    {F::DVal, "G=DVAL(D)"},
    {F::Time, "T=TIME", "", [](const A&) { return FnTime(); }},
    {F::Month, "T=MONTH$(D,G=0)"},
    {F::Name, "T=NAME$(T,G=0)"},
    {F::Mark, "T=MARK$"},
    {F::BinNot, "G=BINNOT(G)"},
    {F::Random, "G=RANDOM"},
    {F::PrinterDriver, "T=PRINTERDRIVER$"},
    {F::FieldType, "G=FIELDTYPE(TV,G)"},
    {F::FieldLength, "G=FIELDLENGTH(TV,G)"},
    {F::Asc, "G=ASC(T)"},
    {F::Cvi, "G=CVI(T)"},
    {F::Mki, "T=MKI$(G)"},
    {F::InStr, "G=INSTR(G,T,T)"},
    {F::Insert, "T=INSERT$(T,G,T)", "",
     [](const A& a) { return FnInsert(a.text[0], a.number[1], a.text[2]); }},
    {F::LastChar, "T=LASTCHAR$"},
    {F::FieldNumber, "G=FIELDNUMBER(TV,G)"},
    {F::FieldName, "T=FIELDNAME$(G,G)"},
    {F::FieldExist, "G=FIELDEXIST(TV,G=0)"},
    {F::Filled, "T=FILLED$(T)"},
    {F::LSet, "T=LSET$(T,G,G=32)"},
    {F::RSet, "T=RSET$(T,G,G=32)"},
    {F::PerStatus, "G=PERSTATUS(G=0)"},
    {F::Path, "T=PATH$"},
    {F::InfoLen, "G=INFOLEN(T,G=16000)", "", nullptr,
     [](const A& a) { return FnInfoLen(a.text[0], a.number[1]); }},
    {F::Text, "T=TEXT$(G)"},
    {F::Child, "T=CHILD$(G=0,T,T=\" \""},
    {F::NewLine, "T=NEWLINE$"},
    {F::UserName, "T=USERNAME$", "", [](const A&) { return std::string(); }},
    {F::Version, "T=VERSION$", "", [](const A&) { return FnVersion(); }},
    {F::UserNumber, "G=USERNUMBER"},
    {F::Language, "T=LANGUAGE$"},
    {F::Cvl, "G=CVL(T)"},
    {F::Mkl, "T=MKL$(G)"},
    {F::Partner, "T=PARTNER$(G=0,T,T=\" \""},
    {F::Bold, "T=BOLD$(T)", "", [](const A& a) { return FnStyled(a.text[0], kBoldOn, kBoldOff); }},
    {F::Underline, "T=UNDERLINE$(T)", "",
     [](const A& a) { return FnStyled(a.text[0], kUnderlineOn, kUnderlineOff); }},
    {F::Italic, "T=ITALIC$(T)", "",
     [](const A& a) { return FnStyled(a.text[0], kItalicOn, kItalicOff); }},
    {F::Style, "T=STYLE$(G,T)"},
    {F::Binary, "T=BINARY$(T)", "", [](const A& a) { return FnBinary(a.text[0]); }},
    {F::VersionDate, "D=VERSIONDATE$", "", [](const A&) { return FnVersionDate(); }},
    {F::MainRecord, "G=MAINRECORD"},
    {F::MainGeneration, "G=MAINGENERATION"},
    {F::Index, "T=INDEX$(T,T,G=0)"},
    {F::Email, "T=EMAIL$"},
    {F::HomePage, "T=HOMEPAGE$"},
    {F::Ancestor, "T=ANCESTOR$(G,T)"},
    {F::CheckMark, "G=CHECKMARK(G,T)"},
    {F::Marked, "G=MARKED(G,G)"},
    {F::Selected, "G=SELECTED(G,G)"},
    {F::Generations, "G=GENERATIONS"},
    {F::Left, "T=LEFT$(T,G)", "", [](const A& a) { return FnLeft(a.text[0], a.number[1]); }},
    {F::Right, "T=RIGHT$(T,G)", "", [](const A& a) { return FnRight(a.text[0], a.number[1]); }},
    {F::IfText, "T=IF$(B,T,T)"},
    {F::If, "G=IF(B,G,G)"},
    {F::EvalText, "T=EVAL$(T)"},
    {F::Eval, "G=EVAL(T)"},
    {F::ContentsText, "T=CONTENTS$(GV,G)"},
    {F::Contents, "G=CONTENTS(GV,G)"},
    {F::Date, "D=DATE", "", [](const A&) { return FnToday(); }},
    {F::DateText, "T=DATE(D,T=\"\",G=0)", "",
     [](const A& a) { return FnDate(a.text[0], a.text[1], a.number[2]); }},
    {F::YearText, "T=YEAR$(D,G=0)", "",
     [](const A& a) { return FnYearText(a.text[0], a.number[1]); }},
    {F::Year, "G=YEAR(D)", "", nullptr, [](const A& a) { return FnYear(a.text[0]); }},
    {F::At, "T=@"},
    {F::Rmkl, "T=RMKL$(G)"},
    {F::True, "G=TRUE"},
    {F::False, "G=FALSE"},
    {F::Male, "T=MALE$"},
    {F::Female, "T=FEMALE$"},
};

constexpr bool RowsAreSound() {
    int previous = code::kFirstFunction - 1;
    for (const Row& row : kCatalogue) {
        const int id = static_cast<int>(row.id);
        if (id <= previous) return false; // in number order, each slot once
        previous = id;
        const char result = row.signature[0];
        if (row.text != nullptr && row.number != nullptr) return false;
        if (row.text != nullptr && result != 'T' && result != 'D') return false;
        if (row.number != nullptr && result != 'G') return false;
    }
    return true;
}
static_assert(std::size(kCatalogue) == 113);
static_assert(RowsAreSound(), "catalogue rows out of order or with a handler of the wrong type");

// text before the first occurrence of ch, the rest after it; without ch the
// whole text is the head and the rest is empty.
std::string_view CutAt(std::string_view& text, char ch) {
    const std::size_t pos = text.find(ch);
    std::string_view head = text.substr(0, pos);
    text = pos == std::string_view::npos ? std::string_view() : text.substr(pos + 1);
    return head;
}

TFunctionTable BuildTable() {
    TFunctionTable table;
    for (const Row& row : kCatalogue) {
        const int number = static_cast<int>(row.id);
        RegisterFunction(table, number, row.signature, row.order);
        table[static_cast<std::size_t>(number)].TextHandler = row.text;
        table[static_cast<std::size_t>(number)].NumberHandler = row.number;
    }
    return table;
}

} // namespace

void RegisterFunction(TFunctionTable& table, int number, const std::string& signature,
                      const std::string& order) {
    TFunction& slot = table.at(static_cast<std::size_t>(number));
    slot.FunctionNumber = number;
    std::string_view rest = signature;
    const std::string_view result = CutAt(rest, '=');
    if (result == "T")
        slot.ResultType = kTypeText;
    else if (result == "G")
        slot.ResultType = kTypeNumber;
    else if (result == "D")
        slot.ResultType = kTypeDate;
    else
        throw EKSError("Error in functionlist");
    slot.FunctionName = AsciiUpper(std::string(CutAt(rest, '(')));
    slot.ParamSpec = std::string(CutAt(rest, ')'));
    slot.ParamCount = CountParams(slot.ParamSpec);
    slot.ArgOrder = order;
}

int CountParams(std::string_view params) {
    // One walk over the text, cutting at every comma outside quotes and at
    // bracket depth 0 or less; each cut restarts the bracket count, as
    // cutting the fields off one after the other would.
    int count = 0;
    bool inQuote = false;
    int depth = 0;
    for (std::size_t i = 0; i < params.size(); ++i) {
        const char c = params[i];
        if (c == '"') {
            inQuote = !inQuote;
        } else if (inQuote) {
            continue;
        } else if (c == '(') {
            ++depth;
        } else if (c == ')') {
            --depth;
        } else if (c == ',' && depth <= 0) {
            ++count;
            depth = 0;
            if (i + 1 == params.size()) return count;
        }
    }
    return params.empty() ? 0 : count + 1;
}

int EmittedParam(const TFunction& f, int k) {
    if (static_cast<int>(f.ArgOrder.size()) != f.ParamCount) return k;
    return f.ArgOrder[static_cast<std::size_t>(k)] - '1';
}

std::string_view ParamType(const TFunction& f, int index) {
    if (index < 0) return {};
    std::string_view item = f.ParamSpec;
    for (int skip = 0; skip < index && !item.empty(); ++skip) {
        const std::size_t comma = item.find(',');
        item = comma == std::string_view::npos ? std::string_view() : item.substr(comma + 1);
    }
    return item.substr(0, std::min(item.find(','), item.find('=')));
}

const TFunctionTable& FunctionTable() {
    static const TFunctionTable table = BuildTable();
    return table;
}

int FindFunction(const std::string& name, int argCount) {
    std::string bare = name;
    if (!bare.empty() && bare.back() == '$') bare.pop_back();
    int candidate = kNoFunction;
    for (const TFunction& slot : FunctionTable()) {
        if (slot.FunctionName.empty()) continue;
        if (slot.FunctionName != name && slot.FunctionName != bare) continue;
        candidate = slot.FunctionNumber;
        if (slot.ParamCount >= argCount) break;
    }
    return candidate;
}

} // namespace ks
