#include "index/KSdocumentText.h"

#include "LINE_INPUT/KSFileStream.h"
#include "common/KSlocal.h"
#include "index/KShtxData.h"

#include <algorithm>
#include <vector>

namespace ks {

std::string DescribeDocument(const TKShtxData& document) {
    const std::string folder = document.FileName.substr(0, document.FileName.rfind('/') + 1);
    std::vector<std::string> lines = {
        LookupText("#1518.1=KESTRIN document", "Text") + " : " + folder + document.HtmFile,
        LookupText("#1518.2=Aangemaakt d.d.", "Text") + " : " + document.Created,
        LookupText("#1518.3=Vanuit bestand", "Text") + " : " + document.DataFile,
        LookupText("#1518.4=KESTRIN versie", "Text") + " : " + document.Version,
        LookupText("#1518.5=KESTRIN gebruiker", "Text") + " : " + document.UserName + " (" +
            std::to_string(document.UserNr) + ")"};
    if (!document.Description.empty())
        lines.push_back(LookupText("#1518.6=omschrijving", "Text") + " : " + document.Description);
    std::size_t widest = 0;
    for (const std::string& line : lines)
        widest = std::max(widest, line.find(':'));
    std::string text;
    for (const std::string& line : lines)
        text += std::string(widest - line.find(':') + 1, ' ') + line + "\r\n";
    return text;
}

int64_t CountIndexLines(const std::string& path) {
    TKSFileStream stream(path, File::OpenMode::Read);
    std::string line;
    bool inIndex = false;
    int64_t count = 0;
    while (!stream.Eof()) {
        stream.ReadLine(line);
        if (!inIndex) {
            inIndex = TKShtxData::IsIndexDataLine(line);
        } else {
            if (line.empty()) break;
            ++count;
        }
    }
    return count;
}

} // namespace ks
