#include "app/KSwizardPage.h"

namespace ks::app {

TWizardPage::TWizardPage(const QString& caption, QWidget* parent)
    : QWidget(parent), caption_(caption) {}

} // namespace ks::app
