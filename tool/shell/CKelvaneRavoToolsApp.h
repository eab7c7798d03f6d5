// The application object: sets up Qt (font, icon, names) and runs the main window until it
// closes.
#pragma once

#include <QApplication>

class CKelvaneRavoToolsApp : public QApplication {
    Q_OBJECT
public:
    CKelvaneRavoToolsApp(int& argc, char** argv);

    // Shows the main window for the executable's folder and runs until it is closed.
    int InitInstance();
};
