#include "app/KShelp.h"

#include "app/KSqtText.h"
#include "common/KSpaths.h"

#include <QDesktopServices>
#include <QMessageBox>
#include <QUrl>

namespace ks::app {

namespace {

TKShelp::Opener& CurrentOpener() {
    static TKShelp::Opener opener;
    return opener;
}

bool OpenUrl(const QUrl& url) {
    const TKShelp::Opener& opener = CurrentOpener();
    return opener ? opener(url) : QDesktopServices::openUrl(url);
}

void TellProblem(QWidget* parent, const std::string& literal, const std::string& path) {
    QMessageBox::warning(parent, QStringLiteral("KESTRIN"),
                         Lookup(literal) + QStringLiteral("\n\n") + FromPath(path));
}

} // namespace

std::string TKShelp::PagePath(int context) const {
    return JoinPath(folder_, std::to_string(context) + ".html");
}

std::string TKShelp::PageFor(int context) const {
    for (const int candidate : {context, kWindowContext}) {
        const std::string path = PagePath(candidate);
        if (IsFile(path)) return path;
    }
    return {};
}

void TKShelp::Show(int context, QWidget* parent) const {
    const std::string page = PageFor(context);
    if (page.empty()) {
        TellProblem(parent, "#help.1=Er is geen hulppagina", PagePath(context));
        return;
    }
    if (!OpenUrl(QUrl::fromLocalFile(FromPath(page))))
        TellProblem(parent, "#help.2=De hulppagina kan niet in de browser geopend worden", page);
}

void TKShelp::SetOpener(Opener opener) {
    CurrentOpener() = std::move(opener);
}

} // namespace ks::app
