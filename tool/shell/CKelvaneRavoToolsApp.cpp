#include "CKelvaneRavoToolsApp.h"

#include "CKelvaneRavoToolsDlg.h"

#include <QFont>
#include <QIcon>

CKelvaneRavoToolsApp::CKelvaneRavoToolsApp(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("KelvaneRavoTools"));
    setApplicationVersion(QStringLiteral("3.0"));
    setWindowIcon(QIcon(QStringLiteral(":/kelvane/kelvane-ravo-tools.png")));
    // Every text is Chinese: a CJK sans font, at the size of the original dialogs.
    QFont font;
    font.setFamilies({QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC")});
    font.setPointSize(9);
    setFont(font);
}

int CKelvaneRavoToolsApp::InitInstance() {
    CKelvaneRavoToolsDlg window(applicationDirPath());
    window.show();
    return exec();
}
