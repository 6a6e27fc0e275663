#include "app/KSmnemonics.h"

#include "app/KSqtText.h"
#include "app/KSwizardPage.h"

#include <QAbstractButton>
#include <QLabel>
#include <QWidget>

namespace ks::app {

QChar MnemonicOf(const QString& caption) {
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != QLatin1Char('&')) continue;
        if (caption[i + 1] == QLatin1Char('&')) {
            ++i; // a plain ampersand
            continue;
        }
        return caption[i + 1].toLower();
    }
    return {};
}

QString PlainCaption(const QString& text) {
    QString plain = text;
    return plain.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

QString WithFreeMnemonic(const QString& caption, const QString& used, qsizetype from) {
    if (!MnemonicOf(caption).isNull()) return caption;
    const auto freeAt = [&](qsizetype i) {
        const QChar c = caption[i];
        // A letter after an "&" of "&&" would read that pair as one "&" and a mark.
        return c.isLetterOrNumber() && !used.contains(c.toLower()) &&
               (i == 0 || caption[i - 1] != QLatin1Char('&'));
    };
    for (const auto& [begin, end] :
         {std::pair{from, caption.size()}, std::pair{qsizetype(0), from}})
        for (qsizetype i = begin; i < end; ++i)
            if (freeAt(i)) return caption.left(i) + QLatin1Char('&') + caption.mid(i);
    return caption;
}

namespace {

// The caption whose mnemonic moves the focus or presses: a button's, or a
// label's that has a field to give the focus to.
QString ActiveCaption(const QWidget* widget) {
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) return button->text();
    if (const auto* label = qobject_cast<const QLabel*>(widget))
        if (label->buddy()) return label->text();
    return {};
}

const TWizardPage* PageOf(const QWidget* widget) {
    for (const QWidget* w = widget; w; w = w->parentWidget())
        if (const auto* page = qobject_cast<const TWizardPage*>(w)) return page;
    return nullptr;
}

} // namespace

QString UsedMnemonics(const QWidget* page) {
    QString used;
    const QWidget* window = page->window();
    for (const QWidget* widget : window->findChildren<QWidget*>()) {
        const TWizardPage* owner = PageOf(widget);
        if (owner && owner != page) continue;
        QString caption = ActiveCaption(widget);
        // A window not shown yet still holds its literals; they are shown translated.
        if (caption.startsWith(QLatin1Char('#'))) caption = Lookup(ToKS(caption));
        const QChar letter = MnemonicOf(caption);
        if (!letter.isNull()) used += letter;
    }
    return used;
}

} // namespace ks::app
