#include "CKelvaneRavoToolsApp.h"

int main(int argc, char** argv) {
    CKelvaneRavoToolsApp app(argc, argv);
    return app.InitInstance();
}
