#include "index/KSdocumentText.h"

#include "LINE_INPUT/KSFileStream.h"
#include "common/KScodepage.h"
#include "common/KSlocal.h"
#include "index/KShtxData.h"

#include <algorithm>
#include <vector>

namespace ks {

std::string DescribeDocument(const TKShtxData& document) {
    const std::string folder = document.FileName.substr(0, document.FileName.rfind('/') + 1);
    const auto label = [](const char* text) {
        return Windows1252ToUtf8(LookupText(text, "Text")) + " : ";
    };
    std::vector<std::string> lines = {label("#1518.1=KESTRIN document") + folder + document.HtmFile,
                                      label("#1518.2=Aangemaakt d.d.") + document.Created,
                                      label("#1518.3=Vanuit bestand") + document.DataFile,
                                      label("#1518.4=KESTRIN versie") +
                                          MessageToUtf8(document.Version),
                                      label("#1518.5=KESTRIN gebruiker") + document.UserName +
                                          " (" + std::to_string(document.UserNr) + ")"};
    if (!document.Description.empty())
        lines.push_back(label("#1518.6=omschrijving") + document.Description);
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
