// kestrin-wizard-screenshot: a picture of the wizard window on one page, with
// the given index documents in its list, for the documentation. The output
// folder is OUT_DIR (made when missing); on the progress page (4) the
// picture shows a finished run into it.
//   kestrin-wizard-screenshot OUT.png PAGE OUT_DIR [switch...] [-- document.htx...]
// Run it under a display (Xvfb) with a private XDG_CONFIG_HOME: closing the
// window saves the list and the window's size like the wizard does.
// KS_GRAB_SCREEN=1 takes the whole screen with the window on it instead of
// the window alone. The picture is kept small for the repository: 256
// colours, every pixel the nearest of them, fully compressed.
#include "app/KSHTMLverzamelIndex.h"
#include "app/KSdocumentPage.h"
#include "app/KSqtText.h"
#include "app/KSsettingsPage.h"
#include "app/KSstartup.h"
#include "common/KSpaths.h"

#include <QApplication>
#include <QImage>
#include <QListWidget>
#include <QPixmap>
#include <QScreen>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <unordered_map>
#include <vector>

namespace {

// The colours of the most used groups of like colours (5 bits a channel),
// each group by its most used colour: the window's own colours exactly
// (text, frames, backgrounds, the notes' colour), rather than many shades of
// the smoothed edges of letters.
QList<QRgb> MostUsedColours(const QImage& image) {
    std::unordered_map<QRgb, int> counts;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            ++counts[line[x]];
    }
    struct Group {
        int pixels = 0, best = 0;
        QRgb colour = 0;
    };
    std::unordered_map<QRgb, Group> groups;
    for (const auto& [colour, count] : counts) {
        Group& group = groups[colour & 0xF8F8F8];
        group.pixels += count;
        if (count > group.best) {
            group.best = count;
            group.colour = colour;
        }
    }
    std::vector<std::pair<int, QRgb>> ranked;
    for (const auto& [key, group] : groups)
        ranked.emplace_back(group.pixels, group.colour);
    const std::size_t kept = std::min<std::size_t>(256, ranked.size());
    std::partial_sort(ranked.begin(), ranked.begin() + static_cast<std::ptrdiff_t>(kept),
                      ranked.end(), std::greater<>());
    QList<QRgb> table;
    for (std::size_t i = 0; i < kept; ++i)
        table << ranked[i].second;
    return table;
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    if (arguments.size() < 4) {
        std::fprintf(stderr, "usage: %s OUT.png PAGE OUT_DIR [switch...] [-- document.htx...]\n",
                     argv[0]);
        return 2;
    }
    QStringList switches = {arguments[0]};
    QStringList documents;
    bool afterDashes = false;
    for (qsizetype i = 4; i < arguments.size(); ++i) {
        if (!afterDashes && arguments[i] == QLatin1String("--"))
            afterDashes = true;
        else
            (afterDashes ? documents : switches) << arguments[i];
    }
    const auto environment = ks::app::StartEnvironment(ks::app::StartupSwitches(switches));

    ks::app::TwzrdHTMLverzamelIndex wizard;
    // KS_WINDOW_SIZE=WIDTHxHEIGHT: the window as a user would have enlarged it.
    const QStringList size = qEnvironmentVariable("KS_WINDOW_SIZE").split(QLatin1Char('x'));
    if (size.size() == 2) wizard.resize(size[0].toInt(), size[1].toInt());
    wizard.show();
    if (!QTest::qWaitForWindowExposed(&wizard)) return 1;
    for (const QString& document : documents)
        wizard.DocumentPage()->AddHTXfile(ks::app::ToPath(document));
    if (auto* list = wizard.findChild<QListWidget*>("HTXbestanden"); list && list->count() > 0) {
        list->item(list->count() - 1)->setCheckState(Qt::Unchecked);
        list->setCurrentRow(0);
    }
    const std::string output = ks::WithSlash(ks::app::ToPath(arguments[3]));
    std::filesystem::create_directories(output);
    wizard.RunSetup().OutputFolder = output;
    wizard.SettingsPage()->ShowOutputFolder();
    const int page = arguments[2].toInt();
    if (page >= ks::app::TwzrdHTMLverzamelIndex::kInstellingen) {
        wizard.ShowPage(ks::app::TwzrdHTMLverzamelIndex::kStijl);
        wizard.btnVolgendeClick(); // builds the settings page for the layout
    }
    if (page == ks::app::TwzrdHTMLverzamelIndex::kVoortgang)
        wizard.btnVolgendeClick(); // runs
    else
        wizard.ShowPage(page);
    QTest::qWait(200);
    const QPixmap picture = qEnvironmentVariableIsSet("KS_GRAB_SCREEN")
                                ? wizard.screen()->grabWindow(0)
                                : wizard.grab();
    const QImage image = picture.toImage().convertToFormat(QImage::Format_RGB32);
    const bool saved =
        image.convertToFormat(QImage::Format_Indexed8, MostUsedColours(image), Qt::ThresholdDither)
            .save(arguments[1], "PNG", 0);
    wizard.btnCancelClick();
    return saved ? 0 : 1;
}
