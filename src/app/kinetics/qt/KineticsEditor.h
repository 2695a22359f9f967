#pragma once
// The kinetics text editor: the main kinetics file as plain text, with "Find".
// It lives for the whole run and is shown modally only.
#include <QDialog>
#include <QString>
#include <functional>
#include <optional>

class QPlainTextEdit;
class QPushButton;

namespace kel {

class TFH3OPtxte : public QDialog {
    Q_OBJECT
public:
    explicit TFH3OPtxte(QWidget* parent = nullptr);

    // The text to edit, under the file's name as caption.
    void LoadText(const QString& text, const QString& caption);
    QString Text() const;
    QPlainTextEdit* Memo() const { return Memo1; }

    // "Find": asks for a text and puts the caret on its first occurrence;
    // an empty or absent text leaves the caret where it was.
    void FindClick();

    // Writes the text when "Save" is pressed; the editor closes only when it
    // returns true, so that a text that could not be written is not lost.
    std::function<bool(const QString& text)> SaveText;
    // The input box of "Find" (caption, prompt): the entry, or nothing when
    // cancelled. Tests answer it themselves.
    std::function<std::optional<QString>(const QString& caption, const QString& prompt)> AskText;

private:
    void SaveClick();

    QPlainTextEdit* Memo1;
    QPushButton* btSave;
    QPushButton* btCancel;
    QPushButton* btFind;
};

}  // namespace kel
