#include "gui/app/MyApp.h"

namespace mireka {

CMyApp::CMyApp(int& argc, char** argv) : qapp_(argc, argv) {}

int CMyApp::Run() { return 0; }

} // namespace mireka
