#pragma once
// Dialogs from templates: modal runs by the dialog manager (a dialog still sees every message of
// its run first, through PreTranslateMessage), modeless child pages, and data exchange.
#include "framework/wnd.h"

class CDataExchange {
public:
    CDataExchange(CWnd* dialog, BOOL save) : m_bSaveAndValidate(save), m_pDlgWnd(dialog) {}
    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd;
};

// Attaches a control object to the dialog's control id (once).
void DDX_Control(CDataExchange* dx, int id, CWnd& control);
// A list box's selection as text: the selected item's text, or empty when none is selected.
void DDX_LBString(CDataExchange* dx, int id, std::string& value);

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);
    explicit CDialog(const char* templateName, CWnd* parent = nullptr);
    ~CDialog() override;

    // Runs the dialog modally: its owner (the parent, else the application's main window) is
    // disabled meanwhile. Returns the value given to EndDialog, or -1 when it could not be created.
    virtual INT_PTR DoModal();
    // Creates the dialog as a modeless child of parent (pages): the template must be a child.
    BOOL Create(UINT templateId, CWnd* parent);
    // Ends a modal run: the window is hidden at once, the run ends when the current message has
    // been handled.
    void EndDialog(int result);

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    virtual void DoDataExchange(CDataExchange*) {}
    BOOL UpdateData(BOOL save = TRUE);
    // Sees every message of the modal loop first; true consumes it.
    virtual BOOL PreTranslateMessage(MSG* message);

protected:
    const char* m_lpszTemplateName;
    CWnd* m_pParentWnd;

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam,
                                       LPARAM lParam) noexcept;
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    bool m_modal = false;
    HWND m_hDisabledOwner = nullptr;
};
