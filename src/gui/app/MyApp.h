// The application object: start-up, the recent-file list, document opening and exit.
#pragma once

#include <QApplication>

namespace mireka {

class CMyApp {
public:
    CMyApp(int& argc, char** argv);
    int Run();

private:
    QApplication qapp_;
};

} // namespace mireka
