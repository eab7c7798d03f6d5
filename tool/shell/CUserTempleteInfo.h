// "用户面板信息": the name under which the program library saves or imports an application
// program. Both buttons take the edit box's text into the name; "确认" accepts, "取消" rejects.
// The dialog itself does not check the name.
#pragma once

#include <QDialog>
#include <QString>

class QLineEdit;

class CUserTempleteInfo : public QDialog {
    Q_OBJECT
public:
    explicit CUserTempleteInfo(const QString& name, QWidget* parent = nullptr);

    QString name() const { return name_; }

private:
    void takeName();

    QString name_;
    QLineEdit* nameBox_ = nullptr;
};
