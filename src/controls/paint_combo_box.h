#pragma once

#include <QComboBox>

// The zoom selector's combo box: a drop-down list on which Left and Right do
// not change the selection and Enter is swallowed.
class TPaintComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit TPaintComboBox(QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};
