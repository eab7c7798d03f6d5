#include "CUserTempleteInfo.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

CUserTempleteInfo::CUserTempleteInfo(const QString& name, QWidget* parent) : QDialog(parent), name_(name) {
    setWindowTitle(QStringLiteral("用户面板信息"));

    nameBox_ = new QLineEdit(name_, this);
    nameBox_->setObjectName(QStringLiteral("name"));
    nameBox_->setAccessibleName(QStringLiteral("模板名称"));
    auto* ok = new QPushButton(QStringLiteral("确认"), this);
    ok->setObjectName(QStringLiteral("ok"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("取消"), this);
    cancel->setObjectName(QStringLiteral("cancel"));

    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("模板名称:"), this), 0, 0);
    layout->addWidget(nameBox_, 0, 1, 1, 2);
    layout->addWidget(ok, 1, 1);
    layout->addWidget(cancel, 1, 2);

    connect(ok, &QPushButton::clicked, this, [this] {
        takeName();
        accept();
    });
    connect(cancel, &QPushButton::clicked, this, [this] {
        takeName();
        reject();
    });
    setMinimumWidth(320);
}

void CUserTempleteInfo::takeName() { name_ = nameBox_->text(); }
