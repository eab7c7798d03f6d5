// The main window's watch over the line: the status names a controller that does not answer
// or a port that is lost, and a lost port is reopened by itself.
#include "CKelvaneRavoToolsDlg.h"

#include "core/workflow/ControllerConnection.h"
#include "ui_CKelvaneRavoToolsDlg.h"
#include "views/CManualOptDlg.h"
#include "views/CVideoTeachOptDlg.h"

#include <Kelvane_Ravo_Q9T2.h>

void CKelvaneRavoToolsDlg::watchLink() {
    if (linkLost_) {
        tryReconnect();
        return;
    }
    const int state = Ravo_GetLinkState();
    if (state == RAVO_LINK_LOST) {
        linkLost();
        return;
    }
    const char* trouble = kelvane::LinkTroubleText(state);
    ui_->statusText->setText(trouble ? QString::fromUtf8(trouble) : versionText_);
}

// The polling views pause: their exchanges would only fail until the port is back.
void CKelvaneRavoToolsDlg::linkLost() {
    linkLost_ = true;
    ui_->statusText->setText(QString::fromUtf8(kelvane::kLinkLostText));
    manualView_->Deactivate();
    teachView_->StopPolling();
}

// One attempt at a time; one that has not ended by the next second is not doubled.
void CKelvaneRavoToolsDlg::tryReconnect() {
    if (reconnecting_) return;
    reconnecting_ = true;
    const int com = *connectedCom_;
    worker_.post<kelvane::ConnectResult>(
        this, [com] { return kelvane::ConnectController(com); },
        [this, com](kelvane::ConnectResult result) {
            reconnecting_ = false;
            reconnected(com, result);
        });
}

// An attempt the user overtook (disconnected, chose another port) changes nothing.
void CKelvaneRavoToolsDlg::reconnected(int com, const kelvane::ConnectResult& result) {
    if (!linkLost_ || connectedCom_ != com || !result.opened) return;
    linkLost_ = false;
    showConnected(result);
    reactivateShownView();
}

// The controller may have restarted or lost its mode meanwhile: the shown view's whole
// activation runs again (work mode 1 for the program editor), also where a paused poll was
// restarted on the lost line.
void CKelvaneRavoToolsDlg::reactivateShownView() {
    manualView_->Deactivate();
    teachView_->StopPolling();
    if (QWidget* view = shownView()) activate(view);
}
