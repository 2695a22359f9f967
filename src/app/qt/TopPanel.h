#pragma once
// The panel above the graph with the profile's four texts and the logging
// commands: "&Log results" with its keep-log toggle "<", "Log profile",
// "Log head&space" with its level; beside the texts
// the "&Save" button, whose command belongs to the window.
#include <QWidget>

#include "app/KelViewSession.h"

class QLineEdit;
class QPushButton;
class QToolButton;

namespace kel {

class TFieldBinder;
class TSessionBinding;

class TTopPanel : public QWidget {
    Q_OBJECT
public:
    // The texts on the left, the logging commands on the right and middle,
    // when given, between them.
    TTopPanel(TSessionBinding& binding, QWidget* parent = nullptr, QWidget* middle = nullptr);

    // The four texts as typed, also while one is still being edited.
    TProfileTexts FieldTexts() const;
    // "&Save" (btSaveMS).
    QPushButton* SaveButton() const { return btSaveMS_; }

private:
    QWidget* Texts();
    QWidget* Logging(TFieldBinder& fields);
    QLineEdit* TextField(const char* name, const QString& label);
    void UpdateComments();
    void TextsChanged();
    void ModesChanged();

    TSessionBinding& binding_;
    QLineEdit* edFileName_;
    QLineEdit* edIon_;
    QLineEdit* edSample_;
    QLineEdit* edComment_;
    QPushButton* btSaveMS_;
    QToolButton* sbKeepLog_;
};

}  // namespace kel
