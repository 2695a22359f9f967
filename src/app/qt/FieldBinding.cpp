#include "app/qt/FieldBinding.h"

#include <QGridLayout>
#include <QLabel>

#include "app/qt/SessionBinding.h"
#include "plot/qt/FloatEdit.h"

namespace kel {

const TFloatField& TSessionFieldAccess::Field() const { return binding_.Session().Field(id_); }

void TSessionFieldAccess::Type(const std::string& text) {
    binding_.Run([this, &text](TKelViewSession& session) { session.TypeField(id_, text); });
}

bool TSessionFieldAccess::Leave(const std::string& text) {
    bool taken = false;
    binding_.Run([this, &text, &taken](TKelViewSession& session) { taken = session.LeaveField(id_, text); });
    return taken;
}

void TSessionFieldAccess::Spin(bool up) {
    binding_.Run([this, up](TKelViewSession& session) { session.SpinField(id_, up); });
}

TFieldBinder::TFieldBinder(TSessionBinding& binding, QObject* parent) : QObject(parent), binding_(binding) {
    connect(&binding, &TSessionBinding::FieldsChanged, this, &TFieldBinder::FieldsChanged);
}

TFloatEdit* TFieldBinder::Add(QGridLayout& grid, int row, int column, TFieldId id, const QString& label,
                              const QString& hint) {
    auto* edit = new TFloatEdit(grid.parentWidget());
    accesses_.push_back(std::make_unique<TSessionFieldAccess>(binding_, id));
    edit->Bind(accesses_.back().get());
    edit->SetSpinButton(true);
    const std::string_view name = TKelViewSession::NameOfField(id);
    edit->setObjectName(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
    edit->setAccessibleName(hint.isEmpty() ? label : label + QStringLiteral(", ") + hint.trimmed());
    if (!hint.isEmpty()) edit->setToolTip(hint);
    edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("0.000379")) + 22);
    auto* caption = new QLabel(label, grid.parentWidget());
    caption->setBuddy(edit);
    if (!hint.isEmpty()) caption->setToolTip(hint);
    grid.addWidget(caption, row, 2 * column, Qt::AlignRight);
    grid.addWidget(edit, row, 2 * column + 1);
    edits_.push_back(edit);
    return edit;
}

void TFieldBinder::FieldsChanged() {
    for (TFloatEdit* edit : edits_) edit->Refresh();
}

}  // namespace kel
