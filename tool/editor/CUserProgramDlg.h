// The program editor view: the child view in which the user programs are edited. It holds no
// controls yet; the main window shows it at start-up and whenever "用户程序编辑" is pressed.
#pragma once

#include <QWidget>

class CUserProgramDlg : public QWidget {
    Q_OBJECT
public:
    explicit CUserProgramDlg(QWidget* parent = nullptr);
};
