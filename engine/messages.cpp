#include "engine/messages.h"

#include "engine/config.h"
#include "engine/services.h"
#include "res/strings.h"

std::string ConfigText(UINT id) {
    std::string text;
    LoadConfigString(id, text);
    return text;
}

int ShowMessage(HWND owner, const std::string& text, UINT icon) {
    return Services().messageBox(owner, text.c_str(), ConfigText(IDS_MSG_CAPTION).c_str(),
                                 MB_OK | icon);
}

int ShowConfigMessage(HWND owner, UINT textId, UINT icon) {
    return ShowMessage(owner, ConfigText(textId), icon);
}
