#pragma once
// Every control carries its control name as objectName and its caption,
// label or hint as accessible name, for screen readers and UI automation.
#include <QString>
#include <QWidget>

namespace kel {

// Names widget; accessible is what a screen reader announces for it.
inline void Name(QWidget* widget, const char* controlName, const QString& accessible) {
    widget->setObjectName(QLatin1String(controlName));
    widget->setAccessibleName(accessible);
}

}  // namespace kel
