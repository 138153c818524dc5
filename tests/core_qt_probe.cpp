// Must not compile: the core's include paths reach no Qt header.
#include "core/editor/TextBuffer.h"
#include <QString>
int main() {
    return 0;
}
