#include "CAboutDlg.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QVBoxLayout>

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("关于 KelvaneRavoTools"));

    auto* icon = new QLabel(this);
    icon->setPixmap(QIcon(QStringLiteral(":/kelvane/kelvane-ravo-tools.png")).pixmap(48, 48));
    auto* text = new QLabel(QStringLiteral("KelvaneRavoTools，3.0 版\n六轴步进电机控制器配置软件"), this);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* row = new QHBoxLayout;
    row->addWidget(icon, 0, Qt::AlignTop);
    row->addWidget(text, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
    setFixedSize(sizeHint());
}
