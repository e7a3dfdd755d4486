#include "framework/app.h"

namespace {

CWinApp* g_app = nullptr;

} // namespace

CWinApp::CWinApp(const char* appName) : m_pszAppName(appName) {
    g_app = this;
}

CWinApp::~CWinApp() {
    if (g_app == this) {
        g_app = nullptr;
    }
}

int CWinApp::Run() {
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    ExitInstance();
    return static_cast<int>(message.wParam);
}

CWinApp* AfxGetApp() {
    return g_app;
}

HINSTANCE AfxGetInstanceHandle() {
    return g_app && g_app->m_hInstance ? g_app->m_hInstance : GetModuleHandleA(nullptr);
}

int AfxWinMain(HINSTANCE instance) {
    if (!g_app) {
        return 1;
    }
    g_app->m_hInstance = instance;
    if (!g_app->InitInstance()) {
        return g_app->ExitInstance();
    }
    return g_app->Run();
}
