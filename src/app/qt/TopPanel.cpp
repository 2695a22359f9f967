#include "app/qt/TopPanel.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

#include "app/qt/FieldBinding.h"
#include "app/qt/FlowLayout.h"
#include "app/qt/SessionBinding.h"
#include "plot/qt/WidgetNames.h"

namespace kel {

namespace {

QString FromStd(const std::string& text) { return QString::fromStdString(text); }

constexpr int kPanelSpacing = 6;

}  // namespace

TTopPanel::TTopPanel(TSessionBinding& binding, QWidget* parent, QWidget* middle) : QWidget(parent), binding_(binding) {
    auto* fields = new TFieldBinder(binding, this);
    // Side by side where the window is wide enough, else in rows: every
    // mode's panels fit a small screen. The texts take what a row leaves.
    auto* layout = new TFlowLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(kPanelSpacing);
    layout->addWidget(Texts());
    if (middle) layout->addWidget(middle);
    layout->addWidget(Logging(*fields));
    connect(&binding, &TSessionBinding::TextsChanged, this, &TTopPanel::TextsChanged);
    connect(&binding, &TSessionBinding::ModesChanged, this, &TTopPanel::ModesChanged);
    TextsChanged();
    ModesChanged();
}

QLineEdit* TTopPanel::TextField(const char* name, const QString& label) {
    auto* field = new QLineEdit(this);
    Name(field, name, label);
    // Room for a usual file name whole, with the field's frame and margins:
    // what its smallest size adds to the widest character.
    const QFontMetrics metrics = field->fontMetrics();
    const int chrome = field->minimumSizeHint().width() - metrics.maxWidth();
    field->setMinimumWidth(metrics.horizontalAdvance(QStringLiteral("breath-01.kel")) + chrome);
    // Leaving a text field hands all four to the profile.
    connect(field, &QLineEdit::editingFinished, this, &TTopPanel::UpdateComments);
    return field;
}

QWidget* TTopPanel::Texts() {
    auto* box = new QGroupBox(QStringLiteral("Profile"), this);
    box->setObjectName(QStringLiteral("pnTexts"));
    box->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    auto* grid = new QGridLayout(box);
    const auto add = [&](QLineEdit*& field, const char* name, const QString& label, int row, int column) {
        field = TextField(name, QString(label).remove(QLatin1Char('&')).remove(QLatin1Char(':')));
        field->setParent(box);
        auto* caption = new QLabel(label, box);
        caption->setBuddy(field);
        grid->addWidget(caption, row, 2 * column, Qt::AlignRight);
        grid->addWidget(field, row, 2 * column + 1);
    };
    add(edFileName_, "edFileName", QStringLiteral("File n&ame:"), 0, 0);
    add(edIon_, "edIon", QStringLiteral("I&on:"), 1, 0);
    add(edSample_, "edSample", QStringLiteral("Sam&ple:"), 0, 1);
    add(edComment_, "edComment", QStringLiteral("Comme&nt:"), 1, 1);
    btSaveMS_ = new QPushButton(QStringLiteral("&Save"), box);
    Name(btSaveMS_, "btSaveMS", QStringLiteral("Save"));
    btSaveMS_->setToolTip(QStringLiteral("Save the profile with its texts, or as a worksheet"));
    grid->addWidget(btSaveMS_, 0, 4);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 2);
    grid->setHorizontalSpacing(4);
    return box;
}

QWidget* TTopPanel::Logging(TFieldBinder& fields) {
    auto* box = new QGroupBox(QStringLiteral("Results log"), this);
    box->setObjectName(QStringLiteral("pnLogging"));
    auto* grid = new QGridLayout(box);
    grid->setHorizontalSpacing(4);
    const auto button = [&](const char* name, const QString& caption, int row, int column,
                            TIoResult (TKelViewSession::*command)()) {
        auto* b = new QPushButton(caption, box);
        Name(b, name, QString(caption).remove(QLatin1Char('&')));
        grid->addWidget(b, row, column);
        connect(b, &QPushButton::clicked, this, [this, command] { binding_.Run([command](TKelViewSession& s) { (s.*command)(); }); });
        return b;
    };
    button("btLogResults", QStringLiteral("&Log results"), 0, 0, &TKelViewSession::btLogResultsClick);
    sbKeepLog_ = new QToolButton(box);
    sbKeepLog_->setText(QStringLiteral("<"));
    sbKeepLog_->setCheckable(true);
    sbKeepLog_->setToolTip(QStringLiteral("Log every new result while down"));
    Name(sbKeepLog_, "sbKeepLog", QStringLiteral("Keep logging"));
    grid->addWidget(sbKeepLog_, 0, 1);
    connect(sbKeepLog_, &QToolButton::clicked, this, [this] {
        binding_.Run([](TKelViewSession& s) { s.sbKeepLogClick(); });
        ModesChanged();
    });
    button("btLogProfile", QStringLiteral("Log profile"), 1, 0, &TKelViewSession::btLogProfileClick);
    button("btPress", QStringLiteral("Log head&space"), 0, 2, &TKelViewSession::btPressClick);
    fields.Add(*grid, 1, 1, TFieldId::PressLevel, QStringLiteral("Level %:"),
               QStringLiteral("pressure level of a headspace section, % of the reading's range"));
    return box;
}

TProfileTexts TTopPanel::FieldTexts() const {
    return {edFileName_->text().toStdString(), edIon_->text().toStdString(), edSample_->text().toStdString(),
            edComment_->text().toStdString()};
}

void TTopPanel::UpdateComments() {
    const TProfileTexts texts = FieldTexts();
    binding_.Run([&texts](TKelViewSession& s) { s.UpdateComments(texts); });
}

void TTopPanel::TextsChanged() {
    const TProfileTexts& texts = binding_.Session().Texts();
    const auto show = [](QLineEdit* field, const std::string& text) {
        if (field->text() == FromStd(text)) return;
        field->setText(FromStd(text));
        // A text longer than its field shows its beginning, as it reads.
        field->setCursorPosition(0);
    };
    show(edFileName_, texts.FileName);
    show(edIon_, texts.Ion);
    show(edSample_, texts.Sample);
    show(edComment_, texts.Comment);
}

void TTopPanel::ModesChanged() {
    const TKelViewSession& session = binding_.Session();
    sbKeepLog_->setChecked(session.KeepLogDown());
}

}  // namespace kel
