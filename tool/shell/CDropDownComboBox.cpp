#include "CDropDownComboBox.h"

#include <QLineEdit>

CDropDownComboBox::CDropDownComboBox(QWidget* parent) : QComboBox(parent) {
    // Our own edit field, connected before QComboBox connects its own: the typed text is put
    // back to the selected entry before the combo box could match it against an entry, so
    // typing never selects, inserts or activates anything.
    auto* edit = new QLineEdit(this);
    connect(edit, &QLineEdit::editingFinished, this, &CDropDownComboBox::discardTypedText);
    setLineEdit(edit);
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);
}

void CDropDownComboBox::showPopup() { emit dropDownRequested(); }

void CDropDownComboBox::dropDown() { QComboBox::showPopup(); }

void CDropDownComboBox::discardTypedText() {
    lineEdit()->setText(itemText(currentIndex()));  // empty when nothing is selected
}
