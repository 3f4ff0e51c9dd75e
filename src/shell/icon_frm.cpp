// The info window's two buttons.
#include "platform/error.h"
#include "shell/form1.h"

namespace rk {

void Form1::infoEvent(std::string_view control) {
    if (control == "Command1")
        return ICONfrm_Command1_Click();
    if (control == "Command3")
        return ICONfrm_Command3_Click();
}

void Form1::ICONfrm_Command1_Click() {
    p_.shell.hideInfo();
}

void Form1::ICONfrm_Command3_Click() {
    std::string address(kWebSite);
    try {
        p_.processes.start({"", "iexplore " + address, ShowCommand::Maximized});
    } catch (const RaidError&) {
        // Most systems have no Internet Explorer any more: the default browser opens it instead.
        p_.processes.start({"", "explorer.exe " + address, ShowCommand::Maximized});
    }
    p_.shell.hideInfo();
    p_.shell.hideMain();
}

}  // namespace rk
