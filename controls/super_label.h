#pragma once
// A static control shown as a web link: its text underlined in black on the parent's background,
// the hand cursor over it, and the shell opens its target on a left-button press. The control
// needs SS_NOTIFY to receive mouse messages.
#include <string>

#include "framework/controls.h"
#include "framework/gdi.h"

class CSuperLabel : public CStatic {
public:
    CSuperLabel();
    ~CSuperLabel() override;

    // The control's font description with the underline set, as found at attachment.
    LOGFONTA m_logFont;
    // The link target: the text at attachment, or at the first paint when it was empty then.
    std::string m_strUrl;
    CFont m_fontLink;

protected:
    void PreSubclassWindow() override;

    DECLARE_MESSAGE_MAP()
    LRESULT OnPaint(WPARAM wParam, LPARAM lParam);
    LRESULT OnLButtonDown(WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseMove(WPARAM wParam, LPARAM lParam);
};
