#include "template/KSfunctions.h"

#include "common/KSerrors.h"
#include "common/KStextutil.h"

#include <string_view>

namespace ks {
namespace {

struct Signature {
    int number;
    const char* text;
    const char* order;
};

// The language's full vocabulary, shared with the family's main program.
// Some texts lack their closing parenthesis; they register exactly as if it
// were there.
constexpr Signature kSignatures[] = {
    {29, "T=INITIALS(T)", ""},
    {30, "G=RECORDNUMBER(G)", ""},
    {31, "T=REFERENCE(G=0)", ""},
    {32, "G=GENERATION", ""},
    {33, "T=NUMBER(G=0)", ""},
    {34, "G=MARRIAGES", ""},
    {35, "G=CHILDREN", ""},
    {36, "G=CHOICE", ""},
    {37, "G=STATUS", ""},
    {38, "T=PRINTER$", ""},
    {39, "G=OPTIONS", ""},
    {40, "G=PAGE", ""},
    {41, "G=LINE", ""},
    {42, "G=WIDTH", ""},
    {43, "G=HEIGHT", ""},
    {44, "T=SORT$", ""},
    {45, "T=SELECT$", ""},
    {46, "T=FILE", ""},
    {47, "T=CHR$(G)", ""},
    {48, "T=STRING$(G,G)", ""},
    {49, "T=MID$(T,G,G=-1", ""},
    {50, "T=INFO$(T,G,G=16000)", ""},
    {51, "T=STR$(G,G=-1)", ""},
    {52, "T=TRIM$(T)", ""},
    {53, "G=VAL(T)", ""},
    {54, "G=LEN(T)", ""},
    {55, "G=BINAND(G,G)", ""},
    {56, "G=BINOR(G,G)", ""},
    {57, "T=CENTER$(T,G,G=32)", ""},
    {58, "T=AGE(D,D=DATE,G=0)", "312"},
    {59, "T=DAY(D,G=0)", ""},
    {60, "T=SOUNDEX$(T,G=0", ""},
    {61, "G=PERSONS", ""},
    {62, "G=RELATIONS", ""},
    {63, "G=PERSEL", ""},
    {64, "G=RELSEL", ""},
    {65, "G=NROPTION", ""},
    {66, "T=DATEFORMAT$", ""},
    {67, "T=DUPLICATES$(G=0)", ""},
    {68, "T=ROMAN$(G)", ""},
    {70, "T=CHARACTERSET$", ""},
    {71, "T=FILTER$(T)", ""},
    {72, "T=UCASE$(T)", ""},
    {73, "T=LCASE$(T)", ""},
    {74, "G=DVAL(D)", ""},
    {76, "T=TIME", ""},
    {77, "T=MONTH$(D,G=0)", ""},
    {78, "T=NAME$(T,G=0)", ""},
    {79, "T=MARK$", ""},
    {80, "G=BINNOT(G)", ""},
    {81, "G=RANDOM", ""},
    {82, "T=PRINTERDRIVER$", ""},
    {83, "G=FIELDTYPE(TV,G)", ""},
    {84, "G=FIELDLENGTH(TV,G)", ""},
    {85, "G=ASC(T)", ""},
    {86, "G=CVI(T)", ""},
    {87, "T=MKI$(G)", ""},
    {88, "G=INSTR(G,T,T)", ""},
    {89, "T=INSERT$(T,G,T)", ""},
    {90, "T=LASTCHAR$", ""},
    {91, "G=FIELDNUMBER(TV,G)", ""},
    {93, "T=FIELDNAME$(G,G)", ""},
    {94, "G=FIELDEXIST(TV,G=0)", ""},
    {95, "T=FILLED$(T)", ""},
    {96, "T=LSET$(T,G,G=32)", ""},
    {97, "T=RSET$(T,G,G=32)", ""},
    {98, "G=PERSTATUS(G=0)", ""},
    {99, "T=PATH$", ""},
    {100, "G=INFOLEN(T,G=16000)", ""},
    {101, "T=TEXT$(G)", ""},
    {102, "T=CHILD$(G=0,T,T=\" \"", ""},
    {103, "T=NEWLINE$", ""},
    {104, "T=USERNAME$", ""},
    {105, "T=VERSION$", ""},
    {106, "G=USERNUMBER", ""},
    {107, "T=LANGUAGE$", ""},
    {108, "G=CVL(T)", ""},
    {109, "T=MKL$(G)", ""},
    {110, "T=PARTNER$(G=0,T,T=\" \"", ""},
    {111, "T=BOLD$(T)", ""},
    {112, "T=UNDERLINE$(T)", ""},
    {113, "T=ITALIC$(T)", ""},
    {114, "T=STYLE$(G,T)", ""},
    {115, "T=BINARY$(T)", ""},
    {116, "D=VERSIONDATE$", ""},
    {117, "G=MAINRECORD", ""},
    {118, "G=MAINGENERATION", ""},
    {120, "T=INDEX$(T,T,G=0)", ""},
    {121, "T=EMAIL$", ""},
    {122, "T=HOMEPAGE$", ""},
    {123, "T=ANCESTOR$(G,T)", ""},
    {124, "G=CHECKMARK(G,T)", ""},
    {125, "G=MARKED(G,G)", ""},
    {126, "G=SELECTED(G,G)", ""},
    {127, "G=GENERATIONS", ""},
    {128, "T=LEFT$(T,G)", ""},
    {129, "T=RIGHT$(T,G)", ""},
    {130, "T=IF$(B,T,T)", ""},
    {131, "G=IF(B,G,G)", ""},
    {132, "T=EVAL$(T)", ""},
    {133, "G=EVAL(T)", ""},
    {134, "T=CONTENTS$(GV,G)", ""},
    {135, "G=CONTENTS(GV,G)", ""},
    {136, "D=DATE", ""},
    {137, "T=DATE(D,T=\"\",G=0)", ""},
    {138, "T=YEAR$(D,G=0)", ""},
    {139, "G=YEAR(D)", ""},
    {200, "T=@", ""},
    {201, "T=RMKL$(G)", ""},
    {202, "G=TRUE", ""},
    {203, "G=FALSE", ""},
    {204, "T=MALE$", ""},
    {205, "T=FEMALE$", ""},
};

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
    for (const Signature& s : kSignatures)
        RegisterFunction(table, s.number, s.text, s.order);
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
