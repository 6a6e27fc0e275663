#include "app/KSstartup.h"

#include "app/KSqtText.h"
#include "common/KSproduct.h"
#include "common/KSswitches.h"
#include "common/KStextutil.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QPointer>
#include <QTranslator>
#include <utility>

namespace ks::app {

std::vector<std::string> StartupSwitches(const QStringList& arguments) {
    std::vector<std::string> args;
    for (qsizetype i = 1; i < arguments.size(); ++i)
        args.push_back(ToPath(arguments[i]));
    return TakeSwitches(args, {}, SwitchForms::Wizard);
}

std::unique_ptr<TKScommon> StartEnvironment(const std::vector<std::string>& switches) {
    auto env = std::make_unique<TKScommon>(switches, "");
    env->SetProduct(kProductName, kProductVersion, kProductRelease, kProductReleaseDate);
    env->InitEnvironment();
    InstallQtTranslations(env->UiLanguage);
    return env;
}

QString QtTranslationName(const std::string& language) {
    // The program's codes that are no code of Qt's translations.
    static const std::pair<const char*, const char*> kOwnCodes[] = {{"D", "de"}, {"F", "fr"}};
    const std::string code = AsciiUpper(language);
    for (const auto& [own, qt] : kOwnCodes)
        if (code == own) return QString::fromLatin1(qt);
    // English is Qt's own; GB and US are the program's two English codes.
    if (code.empty() || code == "GB" || code == "US" || code == "EN") return QString();
    return QString::fromLatin1(AsciiLower(language));
}

bool InstallQtTranslations(const std::string& language, const QString& folder) {
    // Owned by the application, so it goes with it.
    static QPointer<QTranslator> installed;
    if (installed) {
        QCoreApplication::removeTranslator(installed);
        delete installed;
    }
    const QString name = QtTranslationName(language);
    if (name.isEmpty() || !QCoreApplication::instance()) return false;
    const QString from =
        folder.isEmpty() ? QLibraryInfo::path(QLibraryInfo::TranslationsPath) : folder;
    auto translator = std::make_unique<QTranslator>();
    // qt_xx would also bring modules the wizard does not use; qtbase holds the dialogs.
    if (!translator->load(QStringLiteral("qtbase_") + name, from)) return false;
    translator->setParent(QCoreApplication::instance());
    installed = translator.release();
    QCoreApplication::installTranslator(installed);
    return true;
}

} // namespace ks::app
