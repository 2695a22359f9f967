#include "app/kinetics/qt/KineticsEditor.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "plot/qt/WidgetNames.h"

namespace kel {

namespace {

QPushButton* Button(QWidget* parent, const char* name, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    Name(button, name, caption);
    button->setAutoDefault(false);
    return button;
}

}  // namespace

TFH3OPtxte::TFH3OPtxte(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FH3OPtxte"));
    setWindowTitle(QStringLiteral("H3OP.TXT"));
    setModal(true);
    Memo1 = new QPlainTextEdit(this);
    Name(Memo1, "Memo1", QStringLiteral("Kinetics file text"));
    QFont courier(QStringLiteral("Courier New"));
    courier.setStyleHint(QFont::TypeWriter);
    courier.setFamilies({QStringLiteral("Courier New"), QFontDatabase::systemFont(QFontDatabase::FixedFont).family()});
    Memo1->setFont(courier);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);

    btSave = Button(this, "btSave", QStringLiteral("Save"));
    btSave->setDefault(true);
    btCancel = Button(this, "btCancel", QStringLiteral("Cancel"));
    btFind = Button(this, "btFind", QStringLiteral("Find"));
    connect(btSave, &QPushButton::clicked, this, &TFH3OPtxte::SaveClick);
    connect(btCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(btFind, &QPushButton::clicked, this, &TFH3OPtxte::FindClick);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btFind);
    buttons->addStretch(1);
    buttons->addWidget(btSave);
    buttons->addWidget(btCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Memo1, 1);
    layout->addLayout(buttons);
    resize(640, 560);
}

void TFH3OPtxte::LoadText(const QString& text, const QString& caption) {
    Memo1->setPlainText(text);
    setWindowTitle(caption);
}

QString TFH3OPtxte::Text() const { return Memo1->toPlainText(); }

void TFH3OPtxte::SaveClick() {
    if (!SaveText || SaveText(Text())) accept();
}

void TFH3OPtxte::FindClick() {
    Memo1->setFocus();
    const QString caption = windowTitle();
    const QString prompt = QStringLiteral("Find :");
    std::optional<QString> wanted;
    if (AskText) {
        wanted = AskText(caption, prompt);
    } else {
        bool ok = false;
        const QString entry = QInputDialog::getText(this, caption, prompt, QLineEdit::Normal, QString(), &ok);
        if (ok) wanted = entry;
    }
    if (!wanted || wanted->isEmpty()) return;
    const qsizetype at = Text().indexOf(*wanted, 0, Qt::CaseSensitive);
    if (at < 0) return;
    QTextCursor caret = Memo1->textCursor();
    caret.setPosition(static_cast<int>(at));
    Memo1->setTextCursor(caret);
    Memo1->ensureCursorVisible();
}

}  // namespace kel
