// A combo box with an edit field and a drop-down list whose typed text has no effect: every
// action reads the entry at the current selection. It announces the drop-down before it opens,
// so the owner can rebuild the entries first.
#pragma once

#include <QComboBox>

class CDropDownComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit CDropDownComboBox(QWidget* parent = nullptr);

    void showPopup() override;

signals:
    // Emitted when the list is about to drop down, before it is shown.
    void aboutToDropDown();

private:
    void discardTypedText();
};
