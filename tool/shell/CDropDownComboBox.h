// A combo box with an edit field and a drop-down list whose typed text has no effect: every
// action reads the entry at the current selection. Asked to drop down, it tells its owner,
// which rebuilds the entries and then drops the list down.
#pragma once

#include <QComboBox>

class CDropDownComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit CDropDownComboBox(QWidget* parent = nullptr);

    // Emits dropDownRequested instead of opening the list.
    void showPopup() override;
    // Opens the list as it is now.
    void dropDown();

signals:
    void dropDownRequested();

private:
    void discardTypedText();
};
