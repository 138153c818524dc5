// Mireka: a small C development environment.
#include "gui/app/MyApp.h"

int main(int argc, char** argv) {
    mireka::CMyApp app(argc, argv);
    return app.Run();
}
