#pragma once
// The About box: product, version of this build, authorship and a link.
#include <QDialog>

namespace kel {

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);
};

// "About": the box, modal over parent, made for this showing and freed after.
void About1Click(QWidget* parent);

}  // namespace kel
