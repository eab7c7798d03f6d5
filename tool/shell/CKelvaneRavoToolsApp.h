// The application object: sets up Qt (font, icon, names) and runs the main window until it
// closes.
#pragma once

#include <QApplication>

class CKelvaneRavoToolsApp : public QApplication {
    Q_OBJECT
public:
    CKelvaneRavoToolsApp(int& argc, char** argv);

    // Shows the main window on the data folder (beside the executable, or the user's data
    // folder when the tool is installed) and runs until it is closed.
    int InitInstance();
};
