#pragma once
// The window's numeric fields bound to the session's fields: typing, leaving
// and spinning are the session's commands, and the fields re-read the
// session whenever a command reports changed fields.
#include <QObject>
#include <memory>
#include <vector>

#include "app/KelViewSession.h"

class QGridLayout;
class QWidget;

namespace kel {

class TFloatEdit;
class TSessionBinding;

// One session field as a numeric field widget edits it.
class TSessionFieldAccess : public TFloatFieldAccess {
public:
    TSessionFieldAccess(TSessionBinding& binding, TFieldId id) : binding_(binding), id_(id) {}
    const TFloatField& Field() const override;
    void Type(const std::string& text) override;
    bool Leave(const std::string& text) override;
    void Spin(bool up) override;

private:
    TSessionBinding& binding_;
    TFieldId id_;
};

// Makes the numeric fields of one panel and keeps them in step with the session.
class TFieldBinder : public QObject {
    Q_OBJECT
public:
    TFieldBinder(TSessionBinding& binding, QObject* parent);
    // A field for id named after its control, labelled with label (and the
    // hint as tool tip when given): the label in cell (row, 2 column) of
    // grid, the field right of it.
    TFloatEdit* Add(QGridLayout& grid, int row, int column, TFieldId id, const QString& label,
                    const QString& hint = {});

private:
    void FieldsChanged();

    TSessionBinding& binding_;
    std::vector<std::unique_ptr<TSessionFieldAccess>> accesses_;
    std::vector<TFloatEdit*> edits_;
};

}  // namespace kel
