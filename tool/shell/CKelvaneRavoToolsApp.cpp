#include "CKelvaneRavoToolsApp.h"

#include "CKelvaneRavoToolsDlg.h"
#include "CorePath.h"

#include "core/application/DataLocation.h"

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
    // The main window builds every data path from the folder that holds KelvaneRavoTools/: the
    // executable's folder, or for an installed tool the user's data folder.
    const std::string dataRoot = kelvane::PrepareDataRoot(kelvane::DataLocationsFor(CorePath(applicationDirPath())));
    CKelvaneRavoToolsDlg window(PathFromCore(dataRoot));
    window.show();
    return exec();
}
