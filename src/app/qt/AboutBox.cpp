#include "app/qt/AboutBox.h"

#include <QDesktopServices>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include "common/InstalledData.h"
#include "plot/qt/WidgetNames.h"

namespace kel {

namespace {

QLabel* Text(QWidget* parent, const char* name, const QString& text) {
    auto* label = new QLabel(text, parent);
    Name(label, name, text);
    return label;
}

// Where the link leads: the program's own description of itself.
QString LinkUrl() { return QUrl::fromLocalFile(QString::fromStdString(DocumentationFile("README.md"))).toString(); }

}  // namespace

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TAboutBox"));
    setWindowTitle(QStringLiteral("About"));
    setModal(true);

    QLabel* product = Text(this, "ProductName", QStringLiteral("VANTOR software"));
    QFont font = product->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.4);
    product->setFont(font);
    QLabel* version = Text(this, "Version", QStringLiteral("Version " KELVIEW_VERSION));
    QLabel* notice = Text(this, "Comments",
                          QStringLiteral("Kelview \u2014 a viewer and analysis tool for multi-ion profiles of "
                                         "flow-tube mass spectrometers."));
    notice->setWordWrap(true);
    const QString url = LinkUrl();
    auto* link = new QLabel(QStringLiteral("<a href=\"%1\">%1</a>").arg(url.toHtmlEscaped()), this);
    Name(link, "lbLink", url);
    link->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    link->setWordWrap(true);
    // Handed to the desktop, which opens it in the user's chosen program.
    connect(link, &QLabel::linkActivated, this, [](const QString& target) { QDesktopServices::openUrl(QUrl(target)); });

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    Name(ok, "OKButton", QStringLiteral("OK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(product);
    layout->addWidget(version);
    layout->addSpacing(8);
    layout->addWidget(notice);
    layout->addWidget(link);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    setFixedWidth(420);
}

void About1Click(QWidget* parent) {
    TAboutBox box(parent);
    box.exec();
}

}  // namespace kel
