// kestrin-wizard-screenshot: a picture of the wizard window on one page, with
// the given index documents in its list, for the documentation. The output
// folder is OUT_DIR (made when missing); on the progress page (4) the
// picture shows a finished run into it.
//   kestrin-wizard-screenshot OUT.png PAGE OUT_DIR [switch...] [-- document.htx...]
// Run it under a display (Xvfb) with a private XDG_CONFIG_HOME: closing the
// window saves the list and the window's size like the wizard does.
// KS_GRAB_SCREEN=1 takes the whole screen with the window on it instead of
// the window alone.
#include "app/KSHTMLverzamelIndex.h"
#include "app/KSdocumentPage.h"
#include "app/KSqtText.h"
#include "app/KSsettingsPage.h"
#include "app/KSstartup.h"
#include "common/KSpaths.h"

#include <QApplication>
#include <QListWidget>
#include <QPixmap>
#include <QScreen>
#include <QTest>
#include <cstdio>
#include <filesystem>

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
    const bool saved = picture.save(arguments[1]);
    wizard.btnCancelClick();
    return saved ? 0 : 1;
}
