#include "shell/Main.h"

#include "game/cDefault.h"
#include "pictures/PictureLibrary.h"
#include "platform/Services.h"
#include "shell/frmMain.h"

void Main() {
    pictures::frmImg.load();
    auto* window = new frmMain;
    window->Form_Load();
    window->show();
}

void ExitProgram() {
    objGame.release();
    platform::Services& services = platform::services();
    if (services.sound)
        services.sound->shutdown();
    if (services.endProcess)
        services.endProcess();
}
