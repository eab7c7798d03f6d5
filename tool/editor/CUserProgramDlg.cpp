#include "CUserProgramDlg.h"

CUserProgramDlg::CUserProgramDlg(QWidget* parent) : QWidget(parent) {}
