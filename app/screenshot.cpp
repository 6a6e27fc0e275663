// kestrin-wizard-screenshot: a picture of the wizard window on one page, with
// the given index documents in its list, for the documentation.
//   kestrin-wizard-screenshot OUT.png PAGE [switch...] [-- document.htx...]
// Run it under a display (Xvfb) with a private XDG_CONFIG_HOME: closing the
// window saves the list like the wizard does.
#include "app/KSHTMLverzamelIndex.h"
#include "app/KSdocumentPage.h"
#include "app/KSqtText.h"
#include "app/KSstartup.h"

#include <QApplication>
#include <QListWidget>
#include <QPixmap>
#include <QTest>
#include <cstdio>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    if (arguments.size() < 3) {
        std::fprintf(stderr, "usage: %s OUT.png PAGE [switch...] [-- document.htx...]\n", argv[0]);
        return 2;
    }
    QStringList switches = {arguments[0]};
    QStringList documents;
    bool afterDashes = false;
    for (qsizetype i = 3; i < arguments.size(); ++i) {
        if (!afterDashes && arguments[i] == QLatin1String("--"))
            afterDashes = true;
        else
            (afterDashes ? documents : switches) << arguments[i];
    }
    const auto environment = ks::app::StartEnvironment(ks::app::StartupSwitches(switches));

    ks::app::TwzrdHTMLverzamelIndex wizard;
    wizard.show();
    if (!QTest::qWaitForWindowExposed(&wizard)) return 1;
    for (const QString& document : documents)
        wizard.DocumentPage()->AddHTXfile(ks::app::ToPath(document));
    if (auto* list = wizard.findChild<QListWidget*>("HTXbestanden"); list && list->count() > 0) {
        list->item(list->count() - 1)->setCheckState(Qt::Unchecked);
        list->setCurrentRow(0);
    }
    wizard.ShowPage(arguments[2].toInt());
    QTest::qWait(200);
    const bool saved = wizard.grab().save(arguments[1]);
    wizard.btnCancelClick();
    return saved ? 0 : 1;
}
