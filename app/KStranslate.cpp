#include "app/KStranslate.h"

#include "app/KSqtText.h"
#include "app/KSwizardPage.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QMetaProperty>
#include <QVariant>
#include <QWidget>

namespace ks::app {

const char* CaptionProperty(const QWidget* widget) {
    if (qobject_cast<const TWizardPage*>(widget)) return "caption";
    if (qobject_cast<const QAbstractButton*>(widget) || qobject_cast<const QLabel*>(widget))
        return "text";
    if (qobject_cast<const QGroupBox*>(widget)) return "title";
    if (widget->isWindow()) return "windowTitle";
    return nullptr;
}

void TranslateProperty(QWidget* widget, const char* propertyName, const QString& fallbackKey) {
    const int index = widget->metaObject()->indexOfProperty(propertyName);
    if (index < 0) return;
    const QMetaProperty property = widget->metaObject()->property(index);
    if (property.metaType().id() != QMetaType::QString || !property.isWritable()) return;
    const QString value = property.read(widget).toString();
    if (!value.startsWith(QLatin1Char('#'))) return;
    const QString literal = value == QLatin1String("#") ? fallbackKey : value;
    property.write(widget, Lookup(ToKS(literal)));
}

void TranslateComponent(QWidget* widget, const QString& prefix) {
    if (const char* caption = CaptionProperty(widget))
        TranslateProperty(widget, caption, prefix + QStringLiteral(".text"));
    TranslateProperty(widget, "toolTip", prefix + QStringLiteral(".hint"));
}

void TranslateForm(QWidget* form) {
    TranslateComponent(form);
    for (QWidget* child : form->findChildren<QWidget*>())
        TranslateComponent(child);
}

} // namespace ks::app
